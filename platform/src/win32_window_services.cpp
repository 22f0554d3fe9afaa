#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "tessaldo/platform/window_services.h"

namespace tessaldo::platform {
namespace {

HWND ToHwnd(std::uintptr_t value) {
  return reinterpret_cast<HWND>(value);
}

class Win32WindowServices final : public WindowServices {
 public:
  bool SetWindowPos(WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                    unsigned flags) override {
    return ::SetWindowPos(ToHwnd(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy,
                          flags) != FALSE;
  }

  void ShellOpen(WindowHandle owner, const std::string& address, int showCommand) override {
    // The result tells whether the system found a handler; callers go on either way.
    ::ShellExecuteA(ToHwnd(owner), nullptr, address.c_str(), nullptr, nullptr, showCommand);
  }
};

}  // namespace

std::unique_ptr<WindowServices> MakeSystemWindowServices() {
  return std::make_unique<Win32WindowServices>();
}

}  // namespace tessaldo::platform
