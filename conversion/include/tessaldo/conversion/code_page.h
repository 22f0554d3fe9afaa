#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The single-byte code page of the base-256 notation: Windows-1252, with the
// five codes it leaves unassigned standing for the C1 controls of the same
// number. One fixed table, the same on every machine and locale.
namespace tessaldo::CodePage {

// The character of a code.
char32_t CharacterOf(std::uint8_t code) noexcept;

// The code of a character, if the code page has one.
std::optional<std::uint8_t> CodeOf(char32_t character) noexcept;

// The token that writes a code in the notation (UTF-8): a mnemonic for 0 to
// 32, 127 and 255, the code's character otherwise.
std::string_view TokenOf(std::uint8_t code) noexcept;

// The code of a mnemonic or alias ("TAB", "NL"), given in upper case.
std::optional<std::uint8_t> CodeOfMnemonic(std::string_view upper) noexcept;

}  // namespace tessaldo::CodePage
