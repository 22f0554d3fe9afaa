#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tessaldo/conversion/conversioni.h"

namespace tessaldo {
namespace {

using Conversioni::DecimaleARomano;

TEST(Roman, KnownNumerals) {
  const std::pair<std::int16_t, const char*> cases[] = {{0, ""},
                                                        {1, "I"},
                                                        {4, "IV"},
                                                        {9, "IX"},
                                                        {14, "XIV"},
                                                        {40, "XL"},
                                                        {90, "XC"},
                                                        {400, "CD"},
                                                        {900, "CM"},
                                                        {1994, "MCMXCIV"},
                                                        {3888, "MMMDCCCLXXXVIII"},
                                                        {3999, "MMMCMXCIX"},
                                                        {2024, "MMXXIV"},
                                                        {444, "CDXLIV"},
                                                        {10, "X"},
                                                        {1000, "M"}};
  for (const auto& [number, numeral] : cases) {
    EXPECT_EQ(*DecimaleARomano(number), numeral) << number;
  }
}

// An independent reader of subtractive numerals.
int ValueOf(const std::string& numeral) {
  const auto symbol = [](char c) {
    switch (c) {
      case 'I':
        return 1;
      case 'V':
        return 5;
      case 'X':
        return 10;
      case 'L':
        return 50;
      case 'C':
        return 100;
      case 'D':
        return 500;
      case 'M':
        return 1000;
      default:
        return -100000;
    }
  };
  int total = 0;
  for (std::size_t i = 0; i < numeral.size(); ++i) {
    const int here = symbol(numeral[i]);
    const bool subtract = i + 1 < numeral.size() && here < symbol(numeral[i + 1]);
    total += subtract ? -here : here;
  }
  return total;
}

TEST(Roman, EveryNumberReadsBackAndIsCanonical) {
  std::size_t longest = 0;
  for (int n = 0; n <= 3999; ++n) {
    const std::string numeral = *DecimaleARomano(static_cast<std::int16_t>(n));
    ASSERT_EQ(ValueOf(numeral), n) << numeral;
    // No symbol four times in a row, and only the canonical subtractive pairs.
    for (const char* bad :
         {"IIII", "XXXX", "CCCC", "MMMM", "VV", "LL", "DD",  "IL",  "IC",  "ID",
          "IM",   "XD",   "XM",   "VX",   "LC", "DM", "IIV", "IIX", "XXL", "CCD"}) {
      ASSERT_EQ(numeral.find(bad), std::string::npos) << n << " " << numeral;
    }
    longest = std::max(longest, numeral.size());
  }
  EXPECT_EQ(longest, 15u);
}

TEST(Roman, OutsideZeroToThreeThousandNineHundredNinetyNineIsAFailure) {
  for (const std::int16_t n : {-1, -3999, 4000, 32767, -32768}) {
    EXPECT_EQ(DecimaleARomano(n).error().kind, FailureKind::kOutOfDomain) << n;
  }
}

}  // namespace
}  // namespace tessaldo
