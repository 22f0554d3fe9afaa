#pragma once

#include <cstdint>
#include <string>

namespace tessaldo::platform {

// A native window handle: HWND on Windows, the window system's id (Qt's WId) elsewhere.
using WindowHandle = std::uintptr_t;

// What the windows need of the window system and the shell.
class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // Puts `window` into the band of windows that stay on top of all others (onTop) or takes it
  // out of it, without moving, resizing or redrawing it. True when the window system made the
  // change.
  virtual bool StayOnTop(WindowHandle window, bool onTop) = 0;

  // Asks the system to open `address` (a web or mail address) with its registered handler,
  // owned by `owner`, minimised where the system lets the caller ask for it. Nothing is
  // reported; a failure leaves everything as it was.
  virtual void OpenAddress(WindowHandle owner, const std::string& address) = 0;
};

}  // namespace tessaldo::platform
