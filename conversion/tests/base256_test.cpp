#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tessaldo/conversion/code_page.h"
#include "tessaldo/conversion/conversioni.h"
#include "tessaldo/conversion/publics.h"

namespace tessaldo {
namespace {

using namespace Conversioni;

Currency V(std::int64_t n) {
  return *Currency::FromWhole(n);
}
std::int64_t Read(const std::string& text) {
  const auto value = Utf8ADecimale(text);
  return value ? value->Whole() : -1;
}

TEST(Base256Writer, KnownNotations) {
  const std::pair<std::int64_t, std::string> cases[] = {
      {0, "|| "},
      {65, "|| A || "},
      {256, "|| SOH || NUL || "},
      {321, "|| SOH || A || "},
      {32, "|| SP || "},
      {127, "|| DEL || "},
      {124, "|| | || "},
      {128, "|| \u20AC || "},
      {255, "|| NBSP || "},
      {160, "|| \u00A0 || "},
      {17, "|| DC1 || "},
      {99'999'999'999'999, "|| Z || \u00F3 || DLE || z || ? || NBSP || "},
  };
  for (const auto& [value, notation] : cases) {
    EXPECT_EQ(DecimaleAUtf8(V(value)), notation) << value;
  }
  EXPECT_EQ(DecimaleAUtf8(V(Currency::kMaxWhole)),
            "|| ETX || F || \u00DC || ] || c || \u02C6 || e || ")
      << "seven tokens for the largest value";
}

TEST(Base256Reader, KnownNotations) {
  const std::pair<std::string, std::int64_t> cases[] = {
      {"|| tab || ", 9},         {"|| Nl || ", 10},
      {"|| sp || ", 32},         {"|| \u00FF || ", 255},
      {"|| NBSP || ", 255},      {"|| nbsp || ", 255},
      {"|| a || ", 97},          {"|| A || ", 65},
      {"|| | || | || ", 31'868}, {"|| SOH || NUL || ", 256},
      {"|| NUL || A || ", 65},   {"|| \u20AC || ", 128},
      {"|| \u00A0 || ", 160},    {"|| \u0081 || ", 129},
      {"|| \u009D || ", 157},    {"|| ", 0},
      {"|| \t || ", 9},          {"||  || ", -1},
  };
  for (const auto& [notation, value] : cases) {
    EXPECT_EQ(Read(notation), value) << notation;
  }
  // Leading NUL tokens add nothing, however many there are.
  std::string manyNuls = "|| ";
  for (int i = 0; i < 40; ++i) manyNuls += "NUL || ";
  EXPECT_EQ(Read(manyNuls + "A || "), 65);
}

TEST(Base256Reader, Failures) {
  const auto failure = [](const std::string& text) { return Utf8ADecimale(text).error(); };

  const Failure yy = failure("|| XX || YY || ");
  EXPECT_EQ(yy.kind, FailureKind::kUnrecognised);
  EXPECT_EQ(yy.number, -123);
  EXPECT_EQ(yy.message, "Carattere YY non riconosciuto") << "least significant piece first";
  EXPECT_EQ(failure("|| abc || ").message, "Carattere ABC non riconosciuto");
  EXPECT_EQ(failure("|| \u00E9t\u00E9 || ").message, "Carattere \u00C9T\u00C9 non riconosciuto");
  EXPECT_EQ(failure("|| \u00FFx || ").message, "Carattere \u0178X non riconosciuto");
  // A single character without a code in the code page.
  const Failure noCode = failure("|| \u4E2D || ");
  EXPECT_EQ(noCode.kind, FailureKind::kUnrecognised);
  EXPECT_EQ(noCode.message, "Carattere \u4E2D non riconosciuto");
  EXPECT_EQ(failure("|| \U0001F600 || ").kind, FailureKind::kUnrecognised);

  for (const std::string malformed :
       {"|| A", "|| A ||  || ", "", "|", "||", "|| A || B", "A || ", "||A || ", "xy A || ",
        "|| A ||", "|| \xFF || ", "|| \xC3 || ", "|| \xED\xA0\x80 || ", "|| \xC0\xAF || "}) {
    EXPECT_EQ(failure(malformed).kind, FailureKind::kMalformed) << malformed;
  }

  std::string sevenNbsp = "|| ";
  for (int i = 0; i < 7; ++i) sevenNbsp += "NBSP || ";
  EXPECT_EQ(failure(sevenNbsp).kind, FailureKind::kOverflow);
  EXPECT_EQ(failure("|| A || NUL || NUL || NUL || NUL || NUL || NUL || NUL || ").kind,
            FailureKind::kOverflow);
}

TEST(Base256Reader, OverflowExactlyAtTheBoundary) {
  const std::string largest = DecimaleAUtf8(V(Currency::kMaxWhole));
  EXPECT_EQ(Read(largest), Currency::kMaxWhole);
  // The same notation with its last token one code higher ("e" -> "f").
  std::string beyond = largest;
  beyond[beyond.size() - 5] = 'f';
  EXPECT_EQ(Utf8ADecimale(beyond).error().kind, FailureKind::kOverflow);
}

TEST(Base256, EveryMnemonicAndAliasBothWays) {
  const char* const mnemonics[33] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",
                                     "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1",
                                     "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB",
                                     "ESC", "FS",  "GS",  "RS",  "US",  "SP"};
  std::vector<std::pair<std::string, int>> all;
  for (int code = 0; code < 33; ++code) all.emplace_back(mnemonics[code], code);
  all.emplace_back("DEL", 127);
  all.emplace_back("NBSP", 255);
  for (const auto& [name, code] : all) {
    // Zero has no digits: NUL is written only behind a higher digit.
    EXPECT_EQ(DecimaleAUtf8(V(code == 0 ? 256 : code)),
              code == 0 ? "|| SOH || NUL || " : "|| " + name + " || ");
    EXPECT_EQ(Read("|| " + name + " || "), code) << name;
    std::string lower = name, mixed = name;
    for (std::size_t i = 0; i < name.size(); ++i) {
      lower[i] = static_cast<char>(std::tolower(name[i]));
      if (i % 2 == 1) mixed[i] = lower[i];
    }
    EXPECT_EQ(Read("|| " + lower + " || "), code) << lower;
    EXPECT_EQ(Read("|| " + mixed + " || "), code) << mixed;
  }
  for (const auto& [alias, code] : {std::pair{"TAB", 9}, {"tab", 9}, {"NL", 10}, {"nL", 10}}) {
    EXPECT_EQ(Read(std::string("|| ") + alias + " || "), code) << alias;
  }
}

TEST(Base256, EveryCodeAsOneTokenBothWays) {
  for (int code = 0; code < 256; ++code) {
    const auto c = static_cast<std::uint8_t>(code);
    const std::string notation = DecimaleAUtf8(V(code));
    EXPECT_EQ(notation, code == 0 ? "|| " : "|| " + std::string(CodePage::TokenOf(c)) + " || ");
    EXPECT_EQ(Read(notation), code) << notation;
    // The literal character of every code reads too, mnemonic codes included.
    std::string literal = "|| ";
    const char32_t ch = CodePage::CharacterOf(c);
    ASSERT_EQ(CodePage::CodeOf(ch), c);
    if (ch < 0x80) {
      literal += static_cast<char>(ch);
    } else if (ch < 0x800) {
      literal += static_cast<char>(0xC0 | (ch >> 6));
      literal += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
      literal += static_cast<char>(0xE0 | (ch >> 12));
      literal += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
      literal += static_cast<char>(0x80 | (ch & 0x3F));
    }
    EXPECT_EQ(Read(literal + " || "), code) << code;
  }
}

TEST(CodePage, IsWindows1252WithTheFiveGapsFilled) {
  EXPECT_EQ(CodePage::CharacterOf(128), U'\u20AC');
  EXPECT_EQ(CodePage::CharacterOf(150), U'\u2013');
  EXPECT_EQ(CodePage::CharacterOf(159), U'\u0178');
  for (const int gap : {129, 141, 143, 144, 157}) {
    EXPECT_EQ(CodePage::CharacterOf(static_cast<std::uint8_t>(gap)), static_cast<char32_t>(gap));
  }
  EXPECT_EQ(CodePage::CharacterOf(233), U'\u00E9');
  EXPECT_EQ(CodePage::TokenOf(233), "\u00E9") << "one character, two bytes";
  // Characters that lie in 0x80-0x9F only as C1 controls have no code.
  for (const char32_t c1 : {0x80, 0x82, 0x9F})
    EXPECT_FALSE(CodePage::CodeOf(c1)) << static_cast<std::uint32_t>(c1);
  EXPECT_FALSE(CodePage::CodeOf(0x100));
  // Each character has exactly one code.
  for (int code = 0; code < 256; ++code) {
    for (int other = code + 1; other < 256; ++other) {
      ASSERT_NE(CodePage::CharacterOf(static_cast<std::uint8_t>(code)),
                CodePage::CharacterOf(static_cast<std::uint8_t>(other)));
    }
  }
}

TEST(Publics, InvertiArrayReversesIntoANewArray) {
  const std::vector<std::string> input = {"a", "b", "c"};
  const auto reversed = Publics::InvertiArray<std::string>(input);
  EXPECT_EQ(reversed, (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_EQ(input, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Publics::InvertiArray<std::string>(std::vector<std::string>{"x"}),
            std::vector<std::string>{"x"});
  EXPECT_TRUE(Publics::InvertiArray<std::string>(std::vector<std::string>{}).empty());
}

}  // namespace
}  // namespace tessaldo
