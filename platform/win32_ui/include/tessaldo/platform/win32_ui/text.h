#pragma once

#include <string>
#include <string_view>

namespace tessaldo::win32 {

// UTF-8 to UTF-16 and back; malformed input becomes U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace tessaldo::win32
