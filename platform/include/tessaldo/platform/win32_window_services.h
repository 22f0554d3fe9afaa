#pragma once

#include <windows.h>

#include <memory>

#include "tessaldo/platform/window_services.h"

namespace tessaldo::platform {

// user32 and shell32: StayOnTop is SetWindowPos(window, HWND_TOPMOST or HWND_NOTOPMOST, 0, 0,
// 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW); OpenAddress is ShellExecuteA(owner, default
// verb, address, no parameters, no directory, SW_SHOWMINIMIZED).
std::unique_ptr<WindowServices> MakeWin32WindowServices();

// The same with another function in ShellExecuteA's place (a recorder in tests).
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND owner, LPCSTR operation, LPCSTR file,
                                                LPCSTR parameters, LPCSTR directory, INT show);
std::unique_ptr<WindowServices> MakeWin32WindowServices(ShellExecuteFunction shellExecute);

}  // namespace tessaldo::platform
