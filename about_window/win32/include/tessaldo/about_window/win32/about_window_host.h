#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "tessaldo/platform/window_services.h"

namespace tessaldo::win32 {

class FormAutore;

// The one about window of the program. Show() loads the window when it is not loaded (the first
// time, and again after it was closed: fresh placement, top-most band, panel at its first
// position) and shows it non-modal and without an owner; while it is shown, Show() only brings
// it to the front. Its close box destroys it; `destroyed` is called then.
class AboutWindowHost {
 public:
  AboutWindowHost(HINSTANCE instance, platform::WindowServices& services,
                  std::function<void()> destroyed);
  AboutWindowHost(const AboutWindowHost&) = delete;
  AboutWindowHost& operator=(const AboutWindowHost&) = delete;
  // Destroys the window when it is loaded.
  ~AboutWindowHost();

  // The click on Form1's Image1.
  void Show();

  // The loaded window, or nullptr when it is not loaded.
  HWND Window() const;

 private:
  HINSTANCE instance_;
  platform::WindowServices& services_;
  std::function<void()> destroyed_;
  std::unique_ptr<FormAutore> form_;
};

}  // namespace tessaldo::win32
