#pragma once

#include <cstdint>
#include <string_view>

// The units and colours both windows are designed in, for every front-end.
namespace tessaldo::design {

// Positions and sizes are designed in twips (1/1440 inch); fifteen of them make one pixel on a
// 96-dpi screen.
inline constexpr int kTwipsPerInch = 1440;
// The windows' pictures are small: a file claiming more pixels a side is not decoded.
inline constexpr int kLargestPicturePx = 1024;
inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels at `dpi`, to the nearest pixel; halves round away from zero.
constexpr int PxAt(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                      : -((-scaled + half) / kTwipsPerInch));
}

// Twips to logical pixels (96 dpi).
constexpr int Px(int twips) {
  return PxAt(twips, 96);
}

// A control's place as designed, in twips: its left and top edges, its width and height.
struct TwipsBox {
  int left, top, width, height;
  constexpr int Right() const { return left + width; }
  constexpr int Bottom() const { return top + height; }
};

// A font as designed: its family (empty: the window system's default), size in points, weight
// and slant.
struct Font {
  std::string_view family;
  double points = 0;
  bool bold = false;
  bool italic = false;
};

// A colour as the designer writes it: red, green, blue.
struct Rgb {
  std::uint8_t red, green, blue;
  // 0x00BBGGRR, the Windows COLORREF.
  constexpr std::uint32_t ColorRef() const {
    return red | (std::uint32_t{green} << 8) | (std::uint32_t{blue} << 16);
  }
  // 0xFFRRGGBB, Qt's QRgb.
  constexpr std::uint32_t Argb() const {
    return 0xFF000000u | (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
  }
  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// The windows' background and the field text.
inline constexpr Rgb kDarkBlue{0, 0, 150};
// The numeric fields' background.
inline constexpr Rgb kFieldBackground{192, 192, 255};
inline constexpr Rgb kWhite{255, 255, 255};
// The shadows of the about window's texts.
inline constexpr Rgb kGrey{192, 192, 192};
inline constexpr Rgb kBlack{0, 0, 0};
// The bars between the base-256 digits.
inline constexpr Rgb kSeparatorRed{255, 0, 0};

}  // namespace tessaldo::design
