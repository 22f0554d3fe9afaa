#include "tessaldo/conversion/code_page.h"

#include <algorithm>
#include <array>
#include <string>

#include "utf8.h"

namespace tessaldo::CodePage {
namespace {

// Windows-1252 from 0x80 to 0x9F; the unassigned 0x81, 0x8D, 0x8F, 0x90 and
// 0x9D stand for the C1 controls of the same number.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<std::string_view, 33> kLowMnemonics = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",  "SP",
};
constexpr std::string_view kDelete = "DEL";
constexpr std::string_view kNoBreakSpace = "NBSP";

struct Alias {
  std::string_view name;
  std::uint8_t code;
};
constexpr std::array<Alias, 2> kAliases = {{{"TAB", 9}, {"NL", 10}}};

// Every token as UTF-8, built once.
const std::array<std::string, 256>& Tokens() {
  static const std::array<std::string, 256> tokens = [] {
    std::array<std::string, 256> t;
    for (int code = 0; code < 256; ++code) {
      const auto c = static_cast<std::uint8_t>(code);
      if (code < static_cast<int>(kLowMnemonics.size())) {
        t[c] = kLowMnemonics[c];
      } else if (code == 127) {
        t[c] = kDelete;
      } else if (code == 255) {
        t[c] = kNoBreakSpace;
      } else {
        utf8::Append(t[c], CharacterOf(c));
      }
    }
    return t;
  }();
  return tokens;
}

}  // namespace

char32_t CharacterOf(std::uint8_t code) noexcept {
  return code >= 0x80 && code < 0xA0 ? kHighControls[code - 0x80] : char32_t{code};
}

std::optional<std::uint8_t> CodeOf(char32_t character) noexcept {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
    return static_cast<std::uint8_t>(character);
  }
  const auto* found = std::find(kHighControls.begin(), kHighControls.end(), character);
  if (found == kHighControls.end()) return std::nullopt;
  return static_cast<std::uint8_t>(0x80 + (found - kHighControls.begin()));
}

std::string_view TokenOf(std::uint8_t code) noexcept {
  return Tokens()[code];
}

std::optional<std::uint8_t> CodeOfMnemonic(std::string_view upper) noexcept {
  for (std::size_t code = 0; code < kLowMnemonics.size(); ++code) {
    if (kLowMnemonics[code] == upper) return static_cast<std::uint8_t>(code);
  }
  if (upper == kDelete) return std::uint8_t{127};
  if (upper == kNoBreakSpace) return std::uint8_t{255};
  for (const Alias& alias : kAliases) {
    if (alias.name == upper) return alias.code;
  }
  return std::nullopt;
}

}  // namespace tessaldo::CodePage
