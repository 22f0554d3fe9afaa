#pragma once

#include <windows.h>

#include <string_view>
#include <utility>

#include "tessaldo/resources/design.h"

namespace tessaldo::win32 {

// Owns one GDI object (HFONT, HBRUSH, HBITMAP …) and deletes it.
template <class Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~GdiObject() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) ::DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

// Owns an icon made with CreateIconIndirect.
class Icon {
 public:
  Icon() = default;
  explicit Icon(HICON icon) : icon_(icon) {}
  Icon(Icon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
  Icon& operator=(Icon&& other) noexcept {
    if (this != &other) {
      if (icon_ != nullptr) ::DestroyIcon(icon_);
      icon_ = std::exchange(other.icon_, nullptr);
    }
    return *this;
  }
  ~Icon() {
    if (icon_ != nullptr) ::DestroyIcon(icon_);
  }
  HICON Get() const { return icon_; }

 private:
  HICON icon_ = nullptr;
};

// Selects an object into a device context for a scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;
  ~Selected() { ::SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The screen's DPI (the system DPI).
UINT ScreenDpi();
// The DPI of `window`: GetDpiForWindow where the system has it, else the screen's.
UINT WindowDpi(HWND window);

// Twips to pixels at `dpi` (design::PxAt).
inline int Px(int twips, UINT dpi) {
  return design::PxAt(twips, static_cast<int>(dpi));
}
// A rectangle designed in twips, in pixels at `dpi`: each edge rounded on its own, so that
// neighbouring controls meet.
RECT TwipsRect(int left, int top, int width, int height, UINT dpi);
RECT TwipsRect(const design::TwipsBox& box, UINT dpi);

// The character height of a font of `points` (fractions allowed) at `dpi`: -MulDiv(points, dpi,
// 72), to the nearest pixel.
int FontHeight(double points, UINT dpi);

// A font as designed, for `dpi`.
Font MakeFont(const design::Font& wanted, UINT dpi);

inline Brush SolidBrush(design::Rgb colour) {
  return Brush(::CreateSolidBrush(colour.ColorRef()));
}

// Paints the window's whole client area with `brush`: a window's background erase.
void FillClient(HWND window, HDC dc, HBRUSH brush);

}  // namespace tessaldo::win32
