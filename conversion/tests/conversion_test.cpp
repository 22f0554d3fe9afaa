// Property tests over values and texts drawn with fixed seeds, each checked against a writing or
// reading made without the routines under test; then tables of what the draws cannot reach.
#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "tessaldo/conversion/code_page.h"
#include "tessaldo/conversion/conversioni.h"
#include "tessaldo/conversion/text6_display.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace tessaldo {
namespace {

using namespace Conversioni;
using enum FailureKind;
using Reader = Expected<Currency, Failure> (*)(std::string_view);
constexpr auto kMax = static_cast<std::uint64_t>(Currency::kMaxWhole);
constexpr int kDraws = 100'000;
__extension__ typedef unsigned __int128 Wide;

constexpr auto C = &Currency::FromWholeUnchecked;
const Unexpected<Failure> kMalformedFailure(Failure{kMalformed, 5, ""});
const Unexpected<Failure> kOverflowFailure(Failure{kOverflow, 6, ""});

// Digits in either case after zeros, some beyond 64 bits, some with a character of no base: read as
// std::from_chars reads them (a stray character first), written back as std::to_chars in capitals.
TEST(RoundTrip, ReadersAgreeWithFromCharsAndWritersWithToChars) {
  using Writer = std::string (*)(Currency);
  const std::tuple<int, Reader, Writer, std::string (*)(Currency, YieldRef)> bases[] = {
      {2, &BinarioADecimale, &DecimaleABinario, &DecimaleABinario},
      {8, &OttaleADecimale, &DecimaleAOttale, &DecimaleAOttale},
      {10, &Currency::FromDecimalText, [](Currency c) { return c.DecimalText(); }, nullptr},
      {16, &EsadecimaleADecimale, &DecimaleAEsadecimale, &DecimaleAEsadecimale}};
  std::mt19937_64 random(11);
  for (int i = 0; i < kDraws; ++i) {
    const auto& [base, read, write, yielding] = bases[i % 4];
    char buffer[64];
    const std::uint64_t drawn = i < 8 ? kMax + i / 4 : random() >> (i / 4 % 64);
    std::string text(random() % 4 ? 0 : random() % 60, '0');
    text.append(buffer, std::to_chars(buffer, buffer + 64, drawn, base).ptr);
    if (random() % 8 == 0) text += "0123456789abcdef"[random() % base];
    for (char& c : text) c = static_cast<char>(random() % 2 ? std::toupper(c) : c);
    if (random() % 8 == 0)
      text.insert(random() % (text.size() + 1), 1, ":/@`Gg289 -+.\0\xC3x"[i / 4 % 16]);
    std::uint64_t v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    const bool stray = end != text.data() + text.size();
    if (stray || error == std::errc::result_out_of_range || v > kMax) {
      ASSERT_EQ(read(text), stray ? kMalformedFailure : kOverflowFailure) << text;
      continue;
    }
    ASSERT_EQ(read(text), C(v)) << text;
    std::string digits(buffer, std::to_chars(buffer, buffer + 64, v, base).ptr);
    for (char& c : digits) c = static_cast<char>(std::toupper(c));
    if (v == 0 && base != 10) digits.clear();
    ASSERT_EQ(write(C(v)), digits);
    if (base == 10) continue;
    int yields = 0;
    auto count = [&yields] { ++yields; };
    ASSERT_EQ(yielding(C(v), count), digits);
    ASSERT_EQ(yields, static_cast<int>(digits.size()));
  }
}

// Base-256 digits of up to 72 bits, as tokens, mnemonics in lower case or literal characters, some
// after NUL digits: read as their value or an overflow, written back as the plain tokens.
TEST(RoundTrip, Base256NotationsReadBackAndWriteTheirTokens) {
  std::mt19937_64 random(13);
  for (int i = 0; i < kDraws; ++i) {
    const Wide high = random();
    const Wide v = i < 2 ? kMax + i : (high << 64 | random()) >> (56 + i % 72);
    std::string notation(kNotationOpening), plain(kNotationOpening);
    for (int n = random() % 4 ? 0 : random() % 4; n > 0; --n) notation += "NUL || ";
    int digits = 0;
    while (v >> (8 * digits) != 0) ++digits;
    for (int d = digits - 1; d >= 0; --d) {
      const auto code = static_cast<std::uint8_t>(v >> (8 * d));
      std::string token(CodePage::TokenOf(code));
      plain += token + " || ";
      const bool mnemonic = token.size() > 1 && std::isupper(static_cast<unsigned char>(token[0]));
      if (mnemonic && random() % 3 == 0) {
        for (char& c : token) c = static_cast<char>(std::tolower(c));
      } else if (mnemonic && random() % 2 == 0) {
        token = code == 255 ? "\u00FF" : std::string(1, static_cast<char>(code));
      }
      notation += token + " || ";
    }
    const auto got = Utf8ADecimale(notation);
    if (v > kMax) {
      ASSERT_EQ(got, kOverflowFailure) << notation;
      continue;
    }
    ASSERT_EQ(got, C(static_cast<std::uint64_t>(v))) << notation;
    int yields = 0;
    auto count = [&yields] { ++yields; };
    ASSERT_EQ(DecimaleAUtf8(*got), plain);
    ASSERT_EQ(DecimaleAUtf8(*got, count), plain);
    ASSERT_EQ(yields, digits);
  }
}

// The UTF-8 of a byte by the platform's own Windows-1252 table; empty where it has none.
std::string PlatformWindows1252(char in) {
  char out[4];
#ifdef _WIN32
  wchar_t wide = 0;
  if (MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, &in, 1, &wide, 1) != 1) return {};
  return std::string(out, WideCharToMultiByte(CP_UTF8, 0, &wide, 1, out, 4, nullptr, nullptr));
#else
  static const iconv_t table = iconv_open("UTF-8", "CP1252");
  char *from = &in, *to = out;
  std::size_t left = 1, room = 4;
  return iconv(table, &from, &left, &to, &room) == std::size_t(-1) ? "" : std::string(out, to);
#endif
}

// A mnemonic is capitals and digits; other tokens are the character, or the C1 control in a gap.
TEST(CodePage, TokensAreThePlatformsWindows1252WithC1ControlsInItsGaps) {
  for (int code = 0; code < 256; ++code) {
    const auto c = static_cast<std::uint8_t>(code);
    const std::string_view token = CodePage::TokenOf(c);
    if (code <= 32 || code == 127 || code == 255) {
      EXPECT_TRUE(token.size() > 1 &&
                  token.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") == token.npos);
    } else {
      const std::string platform = PlatformWindows1252(static_cast<char>(code));
      EXPECT_EQ(token, platform.empty() ? std::string("\xC2").append(1, c) : platform);
    }
  }
}

// What the draws cannot reach: the aliases and mixed cases, malformed and unrecognised pieces.
TEST(Failures, TheBase256Reader) {
  const std::pair<std::string_view, std::uint64_t> read[] = {{"|| tab || ", 9}, {"|| Nl || ", 10}};
  for (const auto& [notation, value] : read) EXPECT_EQ(Utf8ADecimale(notation), C(value));
  // Openings other than "|| ", an empty piece, a last piece that is not empty, invalid UTF-8
  // (a stray byte, truncated, a bad follower, a surrogate, overlong, beyond U+10FFFF).
  for (const std::string_view text :
       {"", "||", "A || ", "||A || ", "|| A", "|| A ||", "|| A || B", "|| A ||  || ", "|| \x80 || ",
        "|| \xE2\x82 || ", "|| \xE2\x82Z || ", "|| \xC0\xAF || ", "|| \xED\xA0\x80 || ",
        "|| \xED\xBF\xBF || ", "|| \xF4\x90\x80\x80 || "})
    EXPECT_EQ(Utf8ADecimale(text), kMalformedFailure) << text;
  // Named in capitals where the code page has them, last piece first; one character as given.
  const std::pair<std::string_view, std::string_view> unrecognised[] = {
      {"|| XX || abcz\u00E0\u00FE\u00F7 || ", "ABCZ\u00C0\u00DE\u00F7"},
      {"|| \u0080\u00E9\u00FF\u0161\u0153\u017E || ", "\u0080\u00C9\u0178\u0160\u0152\u017D"},
      {"|| \u0800\U00010000\U0001F600\U0010FFFF || ", "\u0800\U00010000\U0001F600\U0010FFFF"},
      {"|| \u0080 || ", "\u0080"}};
  for (const auto& [text, named] : unrecognised) {
    const std::string message = "Carattere " + std::string(named) + " non riconosciuto";
    EXPECT_EQ(Utf8ADecimale(text), Unexpected(Failure{kUnrecognised, -123, message})) << text;
  }
}

// Resto with its division by zero; Roman numerals outside 0 to 3999.
TEST(Failures, OutsideTheDomains) {
  const std::uint64_t rows[][3] = {{17, 16, 1}, {256, 256, 0}, {255, 256, 255}, {kMax, 256, 0x65}};
  for (const auto& [a, b, rest] : rows) EXPECT_EQ(Resto(C(a), C(b)), C(rest));
  EXPECT_EQ(Resto(C(5), C(0)), Unexpected(Failure{kDivisionByZero, 11, ""}));
  for (const std::int16_t n : {-1, 4000, -32768})
    EXPECT_EQ(DecimaleARomano(n), Unexpected(Failure{kOutOfDomain, 5, ""}));
}

// Every number against the greedy writing with the subtractive pairs, an algorithm apart.
TEST(Roman, EveryNumberIsTheCanonicalNumeral) {
  const int values[] = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
  const char* symbols[] = {"M", "CM", "D", "CD", "C", "XC", "L", "XL", "X", "IX", "V", "IV", "I"};
  for (int n = 0; n <= 3999; ++n) {
    std::string expected;
    for (int k = 0, rest = n; k < 13; ++k)
      for (; rest >= values[k]; rest -= values[k]) expected += symbols[k];
    ASSERT_EQ(DecimaleARomano(static_cast<std::int16_t>(n)), expected);
  }
}

// Each "||" scanned from the left is one red bar: against replacing the pairs one by one.
TEST(Text6Display, AgreesWithReplacingOnRandomTexts) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 20000; ++round) {
    std::u16string raw(random() % 12, u' ');
    for (char16_t& c : raw) c = u"|| a\u00e9"[random() % 5];
    const Text6Display shown = ShowText6(raw);
    std::vector<int> red;
    for (std::size_t from = 0, found; (found = raw.find(u"||", from)) != raw.npos;
         from = found + 1) {
      raw.erase(found, 1);
      red.push_back(static_cast<int>(found));
    }
    ASSERT_TRUE(shown.text == raw && shown.red == red);
  }
}

}  // namespace
}  // namespace tessaldo
