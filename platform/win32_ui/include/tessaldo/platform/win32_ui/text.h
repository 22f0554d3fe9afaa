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

// The UTF-16 text of a global memory block (the clipboard's CF_UNICODETEXT), up to its first null
// or the block's end, whichever comes first: a block without its null is read within its size.
std::wstring BlockText(HGLOBAL block);

}  // namespace tessaldo::win32
