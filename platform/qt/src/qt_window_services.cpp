#include "tessaldo/platform/qt_window_services.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <QWidget>

#ifdef _WIN32
#include "tessaldo/platform/win32_window_services.h"
#endif

namespace tessaldo::platform {
namespace {

class QtWindowServices final : public WindowServices {
 public:
  // Changing a window's flags makes Qt hide the window and set up its native window again; the
  // window comes back where it was, as it was.
  bool StayOnTop(WindowHandle window, bool onTop) override {
    QWidget* widget = QWidget::find(static_cast<WId>(window));
    if (widget == nullptr || !widget->isWindow()) return false;
    if (widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != onTop) {
      const bool visible = widget->isVisible();
      const bool created = widget->testAttribute(Qt::WA_WState_Created);
      const bool moved = widget->testAttribute(Qt::WA_Moved);
      const QRect frame(widget->pos(), widget->size());
      widget->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
      if (created) widget->winId();
      widget->resize(frame.size());
      if (moved || visible) widget->move(frame.topLeft());
      if (visible) widget->show();
    }
    return widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop;
  }

  void OpenAddress(WindowHandle, const std::string& address) override {
    const QUrl url(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size())));
    if (url.isValid() && !url.isEmpty()) QDesktopServices::openUrl(url);
  }
};

}  // namespace

std::unique_ptr<WindowServices> MakeQtWindowServices() {
  return std::make_unique<QtWindowServices>();
}

std::unique_ptr<WindowServices> MakeSystemWindowServices() {
#ifdef _WIN32
  return MakeWin32WindowServices();
#else
  return MakeQtWindowServices();
#endif
}

}  // namespace tessaldo::platform
