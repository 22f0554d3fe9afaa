#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "tessaldo/conversion/conversioni.h"
#include "tessaldo/conversion/currency.h"

namespace tessaldo {
namespace {

constexpr std::int64_t kMax = 922'337'203'685'477;

TEST(Currency, HoldsWholeValuesAsTenThousandths) {
  EXPECT_EQ(Currency::kMaxWhole, kMax);
  EXPECT_EQ(Currency::FromWhole(17)->Units(), 170'000);
  EXPECT_EQ(Currency::FromWhole(kMax)->Whole(), kMax);
  EXPECT_EQ(Currency::FromWhole(kMax)->Units(), kMax * 10'000);
  EXPECT_EQ(Currency{}.Whole(), 0);
}

TEST(Currency, RefusesValuesItCannotHold) {
  EXPECT_EQ(Currency::FromWhole(kMax + 1).error().kind, FailureKind::kOverflow);
  EXPECT_EQ(Currency::FromWhole(std::numeric_limits<std::int64_t>::max()).error().kind,
            FailureKind::kOverflow);
  EXPECT_EQ(Currency::FromWhole(-1).error().kind, FailureKind::kOutOfDomain);
  EXPECT_EQ(Currency::FromWhole(std::numeric_limits<std::int64_t>::min()).error().kind,
            FailureKind::kOutOfDomain);
  EXPECT_EQ(Currency::FromUnits(-10'000).error().kind, FailureKind::kOutOfDomain);
  EXPECT_EQ(Currency::FromUnits(15'000).error().kind, FailureKind::kOutOfDomain);
  EXPECT_EQ(Currency::FromUnits(1).error().kind, FailureKind::kOutOfDomain);
  EXPECT_EQ(Currency::FromUnits(30'000)->Whole(), 3);
}

TEST(Currency, DecimalTextIsPlainDigits) {
  EXPECT_EQ(Currency{}.DecimalText(), "0");
  EXPECT_EQ(Currency::FromWhole(7)->DecimalText(), "7");
  EXPECT_EQ(Currency::FromWhole(99'999'999'999'999)->DecimalText(), "99999999999999");
  EXPECT_EQ(Currency::FromWhole(kMax)->DecimalText(), "922337203685477");
}

TEST(Currency, ReadsDecimalText) {
  EXPECT_EQ(Currency::FromDecimalText("07")->Whole(), 7);
  EXPECT_EQ(Currency::FromDecimalText("00000000000000")->Whole(), 0);
  EXPECT_EQ(Currency::FromDecimalText("99999999999999")->Whole(), 99'999'999'999'999);
  EXPECT_EQ(Currency::FromDecimalText("922337203685477")->Whole(), kMax);
  EXPECT_EQ(Currency::FromDecimalText("922337203685478").error().kind, FailureKind::kOverflow);
  EXPECT_EQ(Currency::FromDecimalText("1a").error().kind, FailureKind::kMalformed);
  EXPECT_EQ(Currency::FromDecimalText("-1").error().kind, FailureKind::kMalformed);
  EXPECT_EQ(Currency::FromDecimalText("1.5").error().kind, FailureKind::kMalformed);
}

TEST(Resto, IsTheFlooredRemainder) {
  using Conversioni::Resto;
  const auto v = [](std::int64_t n) { return *Currency::FromWhole(n); };
  EXPECT_EQ(Resto(v(17), v(16))->Whole(), 1);
  EXPECT_EQ(Resto(v(256), v(256))->Whole(), 0);
  EXPECT_EQ(Resto(v(255), v(256))->Whole(), 255);
  EXPECT_EQ(Resto(v(0), v(2))->Whole(), 0);
  EXPECT_EQ(Resto(v(kMax), v(256))->Whole(), kMax % 256);
  EXPECT_EQ(Resto(v(kMax), v(kMax))->Whole(), 0);
  EXPECT_EQ(Resto(v(5), v(0)).error().kind, FailureKind::kDivisionByZero);
}

}  // namespace
}  // namespace tessaldo
