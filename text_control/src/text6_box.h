#pragma once

#include <windows.h>

namespace tessaldo::text_control {

// Registers kWindowClass, a superclass of Msftedit's RICHEDIT50W, as a class every module of
// the process can create. True when it is registered, by this call or an earlier one.
bool RegisterText6Class(HINSTANCE instance);

}  // namespace tessaldo::text_control
