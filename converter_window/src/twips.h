#pragma once

#include <QRect>
#include <QSize>

namespace tessaldo::detail {

// The window is designed in twips; at 96 dpi fifteen of them make one logical pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

constexpr QSize TwipsSize(int width, int height) {
  return QSize(Px(width), Px(height));
}

}  // namespace tessaldo::detail
