#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tessaldo/conversion/conversioni.h"

namespace tessaldo {
namespace {

using namespace Conversioni;

constexpr auto kMax = static_cast<std::uint64_t>(Currency::kMaxWhole);
constexpr std::size_t kRandomValues = 10'000'000;

struct Base {
  const char* name;
  int radix;  // 256 for the character notation
  std::string (*write)(Currency);
  Expected<Currency, Failure> (*read)(std::string_view);
};

const Base kBases[] = {
    {"Binario", 2, &DecimaleABinario, &BinarioADecimale},
    {"Ottale", 8, &DecimaleAOttale, &OttaleADecimale},
    {"Esadecimale", 16, &DecimaleAEsadecimale, &EsadecimaleADecimale},
    {"Utf8", 256, &DecimaleAUtf8, &Utf8ADecimale},
};

// What the text of a value must be, computed without the routines under test.
std::string ExpectedText(const Base& base, std::uint64_t value) {
  if (base.radix == 256) return {};  // checked by the reader and the known cases
  if (value == 0) return "";
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, base.radix).ptr;
  std::string text(buffer, end);
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// Powers of the base and their neighbours, the extremes, and a seeded draw
// half uniform over the whole range and half uniform over the digit count.
std::vector<std::uint64_t> Values(int radix) {
  std::vector<std::uint64_t> values = {
      0, 1, 2, kMax - 1, kMax, 99'999'999'999'999, 100'000'000'000'000};
  for (std::uint64_t power = 1; power <= kMax; power *= static_cast<std::uint64_t>(radix)) {
    for (const std::uint64_t v : {power - 1, power, power + 1}) {
      if (v <= kMax) values.push_back(v);
    }
    if (power > kMax / static_cast<std::uint64_t>(radix)) break;
  }
  std::mt19937_64 random(0x7E55A1D0u + static_cast<unsigned>(radix));
  std::uniform_int_distribution<std::uint64_t> whole(0, kMax);
  std::uniform_int_distribution<int> bits(1, 50);
  for (std::size_t i = 0; i < kRandomValues; ++i) {
    values.push_back(i % 2 == 0 ? whole(random) : std::min(kMax, random() >> (64 - bits(random))));
  }
  return values;
}

class RoundTrip : public testing::TestWithParam<Base> {};

TEST_P(RoundTrip, EveryWrittenTextReadsBack) {
  const Base& base = GetParam();
  std::size_t checked = 0;
  for (const std::uint64_t v : Values(base.radix)) {
    const Currency value = Currency::FromWholeUnchecked(v);
    const std::string text = base.write(value);
    if (base.radix != 256) {
      ASSERT_EQ(text, ExpectedText(base, v)) << v;
    }
    const auto back = base.read(text);
    ASSERT_TRUE(back.has_value()) << v << " " << text << " " << back.error().message;
    ASSERT_EQ(back->Whole(), static_cast<std::int64_t>(v)) << text;
    ++checked;
  }
  EXPECT_GT(checked, kRandomValues);
}

INSTANTIATE_TEST_SUITE_P(AllBases, RoundTrip, testing::ValuesIn(kBases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RoundTrip, DecimalTextReadsBack) {
  for (const std::uint64_t v : Values(10)) {
    const Currency value = Currency::FromWholeUnchecked(v);
    const std::string text = value.DecimalText();
    ASSERT_EQ(text, std::to_string(v));
    ASSERT_EQ(Currency::FromDecimalText(text)->Whole(), static_cast<std::int64_t>(v));
  }
}

}  // namespace
}  // namespace tessaldo
