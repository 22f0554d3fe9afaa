#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tessaldo::platform {

// A native window handle: HWND on Windows, the window system's id (Qt's WId) elsewhere.
using WindowHandle = std::uintptr_t;

// SetWindowPos: where the window goes in the stacking order (insert-after values).
inline constexpr std::intptr_t kHwndTop = 0;
inline constexpr std::intptr_t kHwndBottom = 1;
inline constexpr std::intptr_t kHwndTopMost = -1;
inline constexpr std::intptr_t kHwndNoTopMost = -2;

// SetWindowPos: flags.
inline constexpr unsigned kSwpNoSize = 0x0001;
inline constexpr unsigned kSwpNoMove = 0x0002;
inline constexpr unsigned kSwpNoZOrder = 0x0004;
inline constexpr unsigned kSwpNoRedraw = 0x0008;
inline constexpr unsigned kSwpNoActivate = 0x0010;
inline constexpr unsigned kSwpShowWindow = 0x0040;
inline constexpr unsigned kSwpHideWindow = 0x0080;

// ShellExecute: show commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMinimized = 2;

// The window system's stacking band and the shell's opening of documents.
class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // user32 SetWindowPos: puts `window` after `insertAfter` in the stacking order (kHwndTopMost
  // and kHwndNoTopMost move it into and out of the top-most band), moves its outer frame to
  // (x, y) and sizes it to cx by cy, each part unless the flags leave it out. True when the
  // window system made the change.
  virtual bool SetWindowPos(WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx,
                            int cy, unsigned flags) = 0;

  // shell32 ShellExecuteA with the default verb, no parameters and no directory: asks the
  // system to open `address` (a URL or a file) with its registered handler, owned by `owner`
  // and shown with `showCommand`. Nothing is reported; a failure leaves everything as it was.
  virtual void ShellOpen(WindowHandle owner, const std::string& address, int showCommand) = 0;
};

// user32 and shell32 on Windows (tessaldo_platform); the Qt window system and its desktop
// services elsewhere (tessaldo_platform_qt).
std::unique_ptr<WindowServices> MakeSystemWindowServices();

}  // namespace tessaldo::platform
