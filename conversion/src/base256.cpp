#include <cstdint>
#include <string>
#include <vector>

#include "digits.h"
#include "tessaldo/conversion/code_page.h"
#include "tessaldo/conversion/conversioni.h"
#include "tessaldo/conversion/publics.h"
#include "utf8.h"

namespace tessaldo::Conversioni {
namespace {

template <class Yield>
std::string WriteNotation(Currency value, Yield&& yield) {
  std::array<std::uint8_t, 8> codes{};
  std::size_t count = 0;
  auto rest = static_cast<std::uint64_t>(value.Whole());
  while (rest != 0) {
    codes[count++] = static_cast<std::uint8_t>(rest % 256);
    rest /= 256;
    yield();
  }
  std::string notation(kNotationOpening);
  while (count-- > 0) {
    notation += CodePage::TokenOf(codes[count]);
    notation += kNotationSeparator;
  }
  return notation;
}

// The text of an unrecognised piece in upper case: ASCII and the Latin letters
// of the code page; other characters stay as they are.
std::string UpperCase(std::string_view piece) {
  std::string upper;
  std::size_t pos = 0;
  while (pos < piece.size()) {
    char32_t cp = *utf8::Next(piece, pos);  // the caller validated the piece
    if ((cp >= U'a' && cp <= U'z') || (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)) {
      cp -= 0x20;
    } else if (cp == 0xFF) {
      cp = 0x178;
    } else if (cp == 0x161 || cp == 0x153 || cp == 0x17E) {
      cp -= 1;  // Š, Œ and Ž sit one below their small letters
    }
    utf8::Append(upper, cp);
  }
  return upper;
}

// The code of one piece of the notation.
Expected<std::uint8_t, Failure> CodeOfPiece(std::string_view piece) {
  if (piece.empty()) return Unexpected(Failure::Malformed());
  std::size_t characters = 0;
  char32_t first = 0;
  for (std::size_t pos = 0; pos < piece.size(); ++characters) {
    const auto cp = utf8::Next(piece, pos);
    if (!cp) return Unexpected(Failure::Malformed());
    if (characters == 0) first = *cp;
  }
  if (characters == 1) {
    if (const auto code = CodePage::CodeOf(first)) return *code;
    return Unexpected(Failure::Unrecognised(piece));
  }
  const std::string upper = UpperCase(piece);
  if (const auto code = CodePage::CodeOfMnemonic(upper)) return *code;
  return Unexpected(Failure::Unrecognised(upper));
}

}  // namespace

std::string DecimaleAUtf8(Currency value) {
  return WriteNotation(value, NoYield{});
}
std::string DecimaleAUtf8(Currency value, YieldRef yield) {
  return WriteNotation(value, yield);
}

Expected<Currency, Failure> Utf8ADecimale(std::string_view notation) {
  if (!notation.starts_with(kNotationOpening)) return Unexpected(Failure::Malformed());
  std::string_view rest = notation.substr(kNotationOpening.size());
  if (rest.empty()) return Currency{};  // the notation of 0

  std::vector<std::string_view> pieces;
  for (std::size_t cut; (cut = rest.find(kNotationSeparator)) != std::string_view::npos;) {
    pieces.push_back(rest.substr(0, cut));
    rest.remove_prefix(cut + kNotationSeparator.size());
  }
  pieces.push_back(rest);
  // A notation ends with its separator: the last piece must be empty.
  if (pieces.size() < 2 || !pieces.back().empty()) return Unexpected(Failure::Malformed());
  pieces.pop_back();

  const auto reversed = Publics::InvertiArray<std::string_view>(pieces);
  constexpr auto kMax = static_cast<std::uint64_t>(Currency::kMaxWhole);
  std::uint64_t value = 0;
  std::uint64_t power = 1;  // 256^i while it stays within range
  bool powerInRange = true;
  for (const std::string_view piece : reversed) {
    const auto code = CodeOfPiece(piece);
    if (!code) return Unexpected(code.error());
    if (*code != 0) {
      if (!powerInRange || *code > (kMax - value) / power) {
        return Unexpected(Failure::Overflow());
      }
      value += *code * power;
    }
    if (powerInRange && power > kMax / 256) {
      powerInRange = false;
    } else if (powerInRange) {
      power *= 256;
    }
  }
  return Currency::FromWholeUnchecked(value);
}

}  // namespace tessaldo::Conversioni
