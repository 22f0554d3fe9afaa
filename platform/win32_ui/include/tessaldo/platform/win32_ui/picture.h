#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "tessaldo/platform/win32_ui/gdi.h"

namespace tessaldo::win32 {

// A picture decoded by WIC into a 32-bit top-down DIB section with premultiplied alpha
// (0xAARRGGBB per pixel, BGRA in memory), ready for GdiAlphaBlend. Empty when decoding failed.
class Picture {
 public:
  // A picture that claims more pixels a side is refused before it is decoded.
  static constexpr int kMaxSide = design::kLargestPicturePx;

  Picture() = default;

  int Width() const { return width_; }
  int Height() const { return height_; }
  HBITMAP Bitmap() const { return bitmap_.Get(); }
  explicit operator bool() const { return static_cast<bool>(bitmap_); }
  // The pixel at (x, y), premultiplied 0xAARRGGBB; 0 outside the picture.
  std::uint32_t PixelAt(int x, int y) const;

  // PNG, JPEG, BMP, GIF … from a file.
  static Picture FromFile(const std::wstring& path);
  // The same from a resource of `module` (RCDATA by default).
  static Picture FromResource(HINSTANCE module, const wchar_t* name,
                              const wchar_t* type = MAKEINTRESOURCEW(10));

 private:
  friend class PictureDecoder;
  int width_ = 0;
  int height_ = 0;
  std::uint32_t* bits_ = nullptr;
  win32::Bitmap bitmap_;
};

// Draws `picture` stretched to `target` with its transparency. False when nothing was drawn.
bool DrawPicture(HDC dc, const Picture& picture, const RECT& target);

// An icon of the picture at its own size.
Icon MakeIcon(const Picture& picture);

}  // namespace tessaldo::win32
