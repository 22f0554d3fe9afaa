#include "tessaldo/about_window/win32/about_window_host.h"

#include <utility>

#include "tessaldo/about_window/win32/form_autore.h"

namespace tessaldo::win32 {

AboutWindowHost::AboutWindowHost(HINSTANCE instance, platform::WindowServices& services,
                                 std::function<void()> destroyed)
    : instance_(instance), services_(services), destroyed_(std::move(destroyed)) {}

AboutWindowHost::~AboutWindowHost() = default;

void AboutWindowHost::Show() {
  if (!form_) {
    form_ = std::make_unique<FormAutore>(instance_, services_, [this] {
      form_.reset();
      if (destroyed_) destroyed_();
    });
    if (form_->Handle() == nullptr) {
      form_.reset();
      return;
    }
  }
  HWND window = form_->Handle();
  ::ShowWindow(window, SW_SHOW);
  ::BringWindowToTop(window);
  ::SetForegroundWindow(window);
}

HWND AboutWindowHost::Window() const {
  return form_ ? form_->Handle() : nullptr;
}

}  // namespace tessaldo::win32
