#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tessaldo/conversion/conversioni.h"

namespace tessaldo {
namespace {

using namespace Conversioni;

Currency V(std::int64_t n) {
  return *Currency::FromWhole(n);
}

struct WriteCase {
  std::int64_t value;
  std::string binary, octal, hex;
};

class Writers : public testing::TestWithParam<WriteCase> {};

TEST_P(Writers, WriteMostSignificantFirstUpperCaseNoLeadingZero) {
  const WriteCase& c = GetParam();
  EXPECT_EQ(DecimaleABinario(V(c.value)), c.binary);
  EXPECT_EQ(DecimaleAOttale(V(c.value)), c.octal);
  EXPECT_EQ(DecimaleAEsadecimale(V(c.value)), c.hex);
}

INSTANTIATE_TEST_SUITE_P(
    KnownValues, Writers,
    testing::Values(WriteCase{0, "", "", ""}, WriteCase{1, "1", "1", "1"},
                    WriteCase{5, "101", "5", "5"}, WriteCase{8, "1000", "10", "8"},
                    WriteCase{255, "11111111", "377", "FF"},
                    WriteCase{4096, "1000000000000", "10000", "1000"},
                    WriteCase{99'999'999'999'999, "10110101111001100010000011110100011111111111111",
                              "2657142036437777", "5AF3107A3FFF"},
                    WriteCase{922'337'203'685'477,
                              "11010001101101110001011101011000111000100001100101",
                              "32155613530704145", "346DC5D638865"}));

TEST(Writers, LengthsAtTheLimits) {
  EXPECT_EQ(DecimaleABinario(V(922'337'203'685'477)).size(), 50u);
  EXPECT_EQ(DecimaleAOttale(V(922'337'203'685'477)).size(), 17u);
  EXPECT_EQ(DecimaleAEsadecimale(V(922'337'203'685'477)).size(), 13u);
  EXPECT_EQ(DecimaleABinario(V(99'999'999'999'999)).size(), 47u);
}

TEST(Writers, YieldOncePerDigitWritten) {
  int calls = 0;
  auto count = [&calls] { ++calls; };
  EXPECT_EQ(DecimaleABinario(V(0), count), "");
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(DecimaleABinario(V(5), count), "101");
  EXPECT_EQ(calls, 3);
  calls = 0;
  EXPECT_EQ(DecimaleAOttale(V(511), count), "777");
  EXPECT_EQ(calls, 3);
  calls = 0;
  EXPECT_EQ(DecimaleAEsadecimale(V(922'337'203'685'477), count), "346DC5D638865");
  EXPECT_EQ(calls, 13);
  calls = 0;
  EXPECT_EQ(DecimaleAUtf8(V(256), count), "|| SOH || NUL || ");
  EXPECT_EQ(calls, 2);
}

TEST(Writers, AYieldThatConvertsAgainDoesNotDisturbTheRunningConversion) {
  std::string inner;
  auto reenter = [&inner] { inner = DecimaleAEsadecimale(V(48'879)); };
  EXPECT_EQ(DecimaleAEsadecimale(V(4096), reenter), "1000");
  EXPECT_EQ(inner, "BEEF");
}

struct ReadCase {
  const char* text;
  std::int64_t value;
};

TEST(Readers, ReadLeadingZerosEmptyTextAndLowerCaseHex) {
  for (const auto& [text, value] : {ReadCase{"", 0}, ReadCase{"0101", 5}, ReadCase{"0", 0},
                                    ReadCase{"000000000000000000000000000000000000000000000000000"
                                             "0000000000000001",
                                             1}}) {
    EXPECT_EQ(BinarioADecimale(text)->Whole(), value) << text;
  }
  for (const auto& [text, value] :
       {ReadCase{"", 0}, ReadCase{"777", 511}, ReadCase{"0010", 8}, ReadCase{"17", 15}}) {
    EXPECT_EQ(OttaleADecimale(text)->Whole(), value) << text;
  }
  for (const auto& [text, value] :
       {ReadCase{"", 0}, ReadCase{"ff", 255}, ReadCase{"FF", 255}, ReadCase{"00FF", 255},
        ReadCase{"aBcDeF", 0xABCDEF}, ReadCase{"5AF3107A3FFF", 99'999'999'999'999}}) {
    EXPECT_EQ(EsadecimaleADecimale(text)->Whole(), value) << text;
  }
}

TEST(Readers, OverflowExactlyAtTheBoundary) {
  const std::string maxBinary = DecimaleABinario(V(Currency::kMaxWhole));
  const std::string maxOctal = DecimaleAOttale(V(Currency::kMaxWhole));
  EXPECT_EQ(BinarioADecimale(maxBinary)->Whole(), Currency::kMaxWhole);
  EXPECT_EQ(OttaleADecimale(maxOctal)->Whole(), Currency::kMaxWhole);
  EXPECT_EQ(EsadecimaleADecimale("346DC5D638865")->Whole(), Currency::kMaxWhole);

  // One more than the largest value.
  EXPECT_EQ(BinarioADecimale("11010001101101110001011101011000111000100001100110").error().kind,
            FailureKind::kOverflow);
  EXPECT_EQ(OttaleADecimale("32155613530704146").error().kind, FailureKind::kOverflow);
  EXPECT_EQ(EsadecimaleADecimale("346DC5D638866").error().kind, FailureKind::kOverflow);
  EXPECT_EQ(EsadecimaleADecimale("346dc5d638866").error().kind, FailureKind::kOverflow);
  EXPECT_EQ(Currency::FromDecimalText("922337203685478").error().kind, FailureKind::kOverflow);

  // Far beyond: no wrap-around back into range.
  EXPECT_EQ(EsadecimaleADecimale("FFFFFFFFFFFFFFFF").error().kind, FailureKind::kOverflow);
  EXPECT_EQ(EsadecimaleADecimale("10000000000000000").error().kind, FailureKind::kOverflow);
  EXPECT_EQ(EsadecimaleADecimale(std::string(200, 'F')).error().kind, FailureKind::kOverflow);
  EXPECT_EQ(BinarioADecimale(std::string(64, '1')).error().kind, FailureKind::kOverflow);
  EXPECT_EQ(BinarioADecimale("1" + std::string(64, '0')).error().kind, FailureKind::kOverflow);
  EXPECT_EQ(OttaleADecimale(std::string(30, '7')).error().kind, FailureKind::kOverflow);

  // Leading zeros never count against the range.
  EXPECT_EQ(EsadecimaleADecimale(std::string(500, '0') + "346DC5D638865")->Whole(),
            Currency::kMaxWhole);
}

TEST(Readers, CharactersOutsideTheDigitsAreMalformed) {
  for (const char* text : {"2", "102", " 1", "1 ", "-1", "+1", "0b1", "1\n", "\xC3\xA9"}) {
    EXPECT_EQ(BinarioADecimale(text).error().kind, FailureKind::kMalformed) << text;
  }
  for (const char* text : {"8", "9", "18", "7a", "07 "}) {
    EXPECT_EQ(OttaleADecimale(text).error().kind, FailureKind::kMalformed) << text;
  }
  for (const char* text : {"G", "g", "1G", " ", "0x1F", "F F", "\xEF\xBC\xA1"}) {
    EXPECT_EQ(EsadecimaleADecimale(text).error().kind, FailureKind::kMalformed) << text;
  }
  EXPECT_EQ(EsadecimaleADecimale(std::string("1\0", 2)).error().kind, FailureKind::kMalformed);
  // A stray character is malformed even where the digits would overflow.
  EXPECT_EQ(EsadecimaleADecimale(std::string(20, 'F') + "G").error().kind, FailureKind::kMalformed);
}

}  // namespace
}  // namespace tessaldo
