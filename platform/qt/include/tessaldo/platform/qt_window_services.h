#pragma once

#include <memory>

#include "tessaldo/platform/window_services.h"

namespace tessaldo::platform {

// The window services on Qt's window system, for the widgets' top-level windows:
// - SetWindowPos looks the window up by its WId; the top-most band is the stay-on-top hint
//   (Qt::WindowStaysOnTopHint), kHwndTop and kHwndBottom raise and lower the window, and a
//   change of the hint keeps the window's visibility, position and size. Another window as
//   insert-after, or a handle that names no top-level widget, fails.
// - ShellOpen hands the address to QDesktopServices::openUrl (files by their absolute path);
//   the desktop decides how the opened document is shown, so the show command is not used.
std::unique_ptr<WindowServices> MakeQtWindowServices();

}  // namespace tessaldo::platform
