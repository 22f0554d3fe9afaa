#include "tessaldo/platform/win32_ui/gdi.h"

#include <cmath>
#include <string>

#include "tessaldo/platform/win32_ui/text.h"

namespace tessaldo::win32 {

UINT ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT WindowDpi(HWND window) {
  // Windows 10 1607 and later; looked up so that the programs start on older systems too.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) return dpi;
  }
  return ScreenDpi();
}

RECT TwipsRect(int left, int top, int width, int height, UINT dpi) {
  return RECT{Px(left, dpi), Px(top, dpi), Px(left + width, dpi), Px(top + height, dpi)};
}

RECT TwipsRect(const design::TwipsBox& box, UINT dpi) {
  return TwipsRect(box.left, box.top, box.width, box.height, dpi);
}

int FontHeight(double points, UINT dpi) {
  return -static_cast<int>(std::lround(points * dpi / 72.0));
}

Font MakeFont(const design::Font& wanted, UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = FontHeight(wanted.points, dpi);
  font.lfWeight = wanted.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = wanted.italic ? TRUE : FALSE;
  font.lfCharSet = ANSI_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = Widen(wanted.family).substr(0, LF_FACESIZE - 1);
  face.copy(font.lfFaceName, face.size());
  return Font(::CreateFontIndirectW(&font));
}

void FillClient(HWND window, HDC dc, HBRUSH brush) {
  RECT client{};
  ::GetClientRect(window, &client);
  ::FillRect(dc, &client, brush);
}

}  // namespace tessaldo::win32
