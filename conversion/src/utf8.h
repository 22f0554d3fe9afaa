#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Small UTF-8 helpers for the notation: characters, not bytes, are counted.
namespace tessaldo::utf8 {

// Decodes the character at text[pos] and advances pos; nullopt for an
// invalid, overlong or truncated sequence or a surrogate.
std::optional<char32_t> Next(std::string_view text, std::size_t& pos) noexcept;

void Append(std::string& out, char32_t character);

}  // namespace tessaldo::utf8
