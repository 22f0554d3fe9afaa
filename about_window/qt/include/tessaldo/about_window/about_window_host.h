#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "tessaldo/about_window/form_autore.h"
#include "tessaldo/platform/window_services.h"

namespace tessaldo {

// The one about window of the program. Show() loads the window when it is not loaded (the first
// time, and again after it was closed: fresh placement, top-most band, panel at its first
// position) and shows it non-modal and without an owner; while it is shown, Show() only brings
// it to the front. Closing the window unloads it. The window counts as one of the program's
// windows: the application runs on until it is closed too.
class AboutWindowHost {
 public:
  // Uses the system's window services.
  AboutWindowHost();
  AboutWindowHost(const AboutWindowHost&) = delete;
  AboutWindowHost& operator=(const AboutWindowHost&) = delete;
  // Destroys the window, open or closed.
  ~AboutWindowHost();

  // The click on Form1's Image1.
  FormAutore& Show();

  // The loaded window, or nullptr when it is not loaded.
  FormAutore* Window() const;

 private:
  std::unique_ptr<platform::WindowServices> services_;
  QPointer<FormAutore> form_;
  // Closed windows waiting for their deferred deletion.
  std::vector<QPointer<FormAutore>> unloaded_;
};

}  // namespace tessaldo
