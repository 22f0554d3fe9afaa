#pragma once

#include <QtGui/qrgb.h>
#include <QRect>
#include <QSize>

// The units and colours both windows are designed in.
namespace tessaldo::design {

// Positions and sizes are designed in twips; fifteen of them make one logical pixel.
inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel; halves round away from zero.
constexpr int Px(int twips) {
  return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                    : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

constexpr QSize TwipsSize(int width, int height) {
  return QSize(Px(width), Px(height));
}

// The windows' background and the field text.
inline constexpr QRgb kDarkBlue = qRgb(0, 0, 150);
// The numeric fields' background.
inline constexpr QRgb kFieldBackground = qRgb(192, 192, 255);
inline constexpr QRgb kWhite = qRgb(255, 255, 255);
// The shadows of the about window's texts.
inline constexpr QRgb kGrey = qRgb(192, 192, 192);
inline constexpr QRgb kBlack = qRgb(0, 0, 0);
// The bars between the base-256 digits.
inline constexpr QRgb kSeparatorRed = qRgb(255, 0, 0);

}  // namespace tessaldo::design
