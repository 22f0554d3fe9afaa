#include "tessaldo/converter_window/character_table.h"

#include <cstdint>

#include "tessaldo/conversion/code_page.h"

namespace tessaldo::character_table {

namespace {
constexpr int kCodeColumnTwips = 1200;
constexpr int kTokenMarginTwips = 1560;
}  // namespace

std::array<Column, 2> Columns(int listWidthTwips) {
  return {Column{"Codice", kCodeColumnTwips},
          Column{"Carattere", listWidthTwips - kTokenMarginTwips}};
}

Row RowAt(int index) {
  const auto code = static_cast<std::uint8_t>(index);
  return {std::to_string(code), std::string(CodePage::TokenOf(code))};
}

}  // namespace tessaldo::character_table
