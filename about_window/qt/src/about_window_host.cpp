#include "tessaldo/about_window/about_window_host.h"

#include <QObject>
#include <algorithm>

#include "tessaldo/platform/qt_window_services.h"

namespace tessaldo {

AboutWindowHost::AboutWindowHost() : services_(platform::MakeSystemWindowServices()) {}

AboutWindowHost::~AboutWindowHost() {
  delete form_.data();
  for (const QPointer<FormAutore>& closed : unloaded_) delete closed.data();
}

FormAutore& AboutWindowHost::Show() {
  if (form_ == nullptr) {
    std::erase_if(unloaded_, [](const QPointer<FormAutore>& closed) { return closed.isNull(); });
    auto* form = new FormAutore(*services_);
    form_ = form;
    QObject::connect(form, &FormAutore::Unloaded, form, [this, form] {
      if (form_ == form) form_ = nullptr;
      unloaded_.emplace_back(form);
      form->deleteLater();
    });
  }
  form_->show();
  form_->raise();
  form_->activateWindow();
  return *form_;
}

FormAutore* AboutWindowHost::Window() const {
  return form_.data();
}

}  // namespace tessaldo
