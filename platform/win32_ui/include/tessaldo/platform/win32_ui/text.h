#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tessaldo::win32 {

// UTF-8 to UTF-16 and back; malformed input becomes U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// What the window shows as its text (WM_GETTEXT).
std::wstring WindowText(HWND window);

}  // namespace tessaldo::win32
