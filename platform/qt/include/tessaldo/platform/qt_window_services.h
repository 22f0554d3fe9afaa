#pragma once

#include <memory>

#include "tessaldo/platform/window_services.h"

namespace tessaldo::platform {

// The window services on Qt's window system, for the widgets' top-level windows:
// - StayOnTop looks the window up by its WId and sets or clears its stay-on-top hint
//   (Qt::WindowStaysOnTopHint), keeping its visibility, position and size; a handle that names
//   no top-level widget fails.
// - OpenAddress hands the address to QDesktopServices::openUrl; the desktop decides how the
//   opened document is shown.
std::unique_ptr<WindowServices> MakeQtWindowServices();

// The system's own: the Win32 services on Windows, the Qt ones elsewhere.
std::unique_ptr<WindowServices> MakeSystemWindowServices();

}  // namespace tessaldo::platform
