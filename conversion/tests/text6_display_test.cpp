#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tessaldo/conversion/text6_display.h"

namespace tessaldo {
namespace {

// The rule as the design tells it: find "||" from the scan position, replace it with one red
// bar, go on right after that bar.
Text6Display ByReplacing(std::u16string text) {
  Text6Display shown;
  for (std::size_t from = 0;;) {
    const std::size_t found = text.find(u"||", from);
    if (found == std::u16string::npos) break;
    text.erase(found, 1);
    shown.red.push_back(static_cast<int>(found));
    from = found + 1;
  }
  shown.text = text;
  return shown;
}

TEST(Text6Display, PairsOfBarsBecomeOneRedBar) {
  const struct {
    std::u16string raw, text;
    std::vector<int> red;
  } cases[] = {
      {u"", u"", {}},
      {u"|| A || ", u"| A | ", {0, 4}},
      {u"|||", u"||", {0}},
      {u"||||", u"||", {0, 1}},
      {u"|| | || ", u"| | | ", {0, 4}},
      {u"|| DC1 || ", u"| DC1 | ", {0, 6}},
  };
  for (const auto& c : cases) {
    const Text6Display shown = ShowText6(c.raw);
    EXPECT_EQ(shown.text, c.text);
    EXPECT_EQ(shown.red, c.red);
  }
}

TEST(Text6Display, AgreesWithReplacingOnRandomTexts) {
  std::mt19937 random(20261207);
  const std::u16string alphabet = u"|| aé";
  for (int round = 0; round < 20000; ++round) {
    std::u16string raw(random() % 12, u' ');
    for (char16_t& c : raw) c = alphabet[random() % alphabet.size()];
    const Text6Display expected = ByReplacing(raw);
    const Text6Display shown = ShowText6(raw);
    ASSERT_EQ(shown.text, expected.text);
    ASSERT_EQ(shown.red, expected.red);
  }
}

}  // namespace
}  // namespace tessaldo
