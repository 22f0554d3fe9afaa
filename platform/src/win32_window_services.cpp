#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "tessaldo/platform/win32_window_services.h"

namespace tessaldo::platform {
namespace {

HWND ToHwnd(WindowHandle value) {
  return reinterpret_cast<HWND>(value);
}

class Win32WindowServices final : public WindowServices {
 public:
  explicit Win32WindowServices(ShellExecuteFunction shellExecute) : shellExecute_(shellExecute) {}

  bool StayOnTop(WindowHandle window, bool onTop) override {
    static_assert((SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW) == 11);
    return ::SetWindowPos(ToHwnd(window), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                          SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW) != FALSE;
  }

  void OpenAddress(WindowHandle owner, const std::string& address) override {
    // The result tells whether the system found a handler; callers go on either way.
    shellExecute_(ToHwnd(owner), nullptr, address.c_str(), nullptr, nullptr, SW_SHOWMINIMIZED);
  }

 private:
  ShellExecuteFunction shellExecute_;
};

}  // namespace

std::unique_ptr<WindowServices> MakeWin32WindowServices() {
  return MakeWin32WindowServices(&::ShellExecuteA);
}

std::unique_ptr<WindowServices> MakeWin32WindowServices(ShellExecuteFunction shellExecute) {
  return std::make_unique<Win32WindowServices>(shellExecute != nullptr ? shellExecute
                                                                       : &::ShellExecuteA);
}

}  // namespace tessaldo::platform
