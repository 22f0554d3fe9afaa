#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaldo {

// The base-256 notation as the window shows it (Text6 of Text6Raw): each pair of bars drawn
// as one red bar.
// Scanning left to right, "||" becomes one red "|" and the scan goes on after the pair, so
// "|||" shows a red bar and then a dark-blue one. Every other character is dark blue.
struct Text6Display {
  std::u16string text;
  // Positions in `text` (UTF-16 units) of the red bars, ascending.
  std::vector<int> red;
};

Text6Display ShowText6(std::u16string_view raw);

}  // namespace tessaldo
