#pragma once

#include <string_view>

#include "tessaldo/resources/design.h"

// The guided-entry panel on the right of Form1: open and closed by the window's outer width.
namespace tessaldo::panel {

// Outer widths in twips: the client width plus the designed frame of 45 twips each side,
// whatever frame the window system draws. Closed at exactly kClosedWidth, open at any other.
inline constexpr int kFrameTwips = 45;
inline constexpr int kClosedWidth = 4030;
inline constexpr int kOpenWidth = 7185;

constexpr bool Closed(int outerTwips) {
  return outerTwips == kClosedWidth;
}
// The width a click on Image2 sets.
constexpr int Toggled(int outerTwips) {
  return Closed(outerTwips) ? kOpenWidth : kClosedWidth;
}
// The picture Image2 takes for a width, read from beside the program.
constexpr std::string_view PictureFor(int outerTwips) {
  return Closed(outerTwips) ? "left.jpg" : "right.jpg";
}
constexpr int ClientTwips(int outerTwips) {
  return outerTwips - 2 * kFrameTwips;
}

// The outer width as the window keeps it. Window systems keep whole pixels, so the width last
// set reads back as set as long as the client area still has the pixels that setting gave it;
// a client area resized otherwise reads as its own width in twips plus the frame.
class OuterWidth {
 public:
  explicit OuterWidth(int twips = kOpenWidth) : set_(Clamp(twips)) {}
  void Set(int twips) { set_ = Clamp(twips); }
  // The client width in pixels that the width set gives at `dpi`.
  int ClientPx(int dpi) const { return design::PxAt(ClientTwips(set_), dpi); }
  int Read(int clientPx, int dpi) const {
    if (clientPx == ClientPx(dpi)) return set_;
    return static_cast<int>(static_cast<long long>(clientPx) * design::kTwipsPerInch / dpi) +
           2 * kFrameTwips;
  }

 private:
  static int Clamp(int twips) { return twips < 2 * kFrameTwips ? 2 * kFrameTwips : twips; }
  int set_;
};

}  // namespace tessaldo::panel
