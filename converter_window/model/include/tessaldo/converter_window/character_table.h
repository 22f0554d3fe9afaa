#pragma once

#include <array>
#include <string>
#include <string_view>

// The character table ListView1: its two columns and its 256 rows.
namespace tessaldo::character_table {

inline constexpr int kRows = 256;

struct Column {
  std::string_view caption;
  int twips;  // width
};

// "Codice" 1200 twips wide, then "Carattere", 1560 twips narrower than the list.
std::array<Column, 2> Columns(int listWidthTwips);

struct Row {
  std::string code;   // decimal, column "Codice"
  std::string token;  // UTF-8, column "Carattere": the notation's token of the code
};

// Row `index` (0 to 255) holds code `index`.
Row RowAt(int index);

}  // namespace tessaldo::character_table
