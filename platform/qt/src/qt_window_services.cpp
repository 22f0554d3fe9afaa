#include "tessaldo/platform/qt_window_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QMargins>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace tessaldo::platform {
namespace {

// The widget's frame as the window system reports it, zero before it has one.
QMargins FrameMargins(const QWidget& widget) {
  const QWindow* window = widget.windowHandle();
  return window != nullptr ? window->frameMargins() : QMargins();
}

// Sets or clears the stay-on-top hint; true when the window then has the state asked for.
// Changing a window's flags makes Qt hide the window and set up its native window again; the
// window comes back where it was, as it was.
bool SetStaysOnTop(QWidget& widget, bool onTop) {
  if (widget.windowFlags().testFlag(Qt::WindowStaysOnTopHint) != onTop) {
    const bool visible = widget.isVisible();
    const bool created = widget.testAttribute(Qt::WA_WState_Created);
    const QSize size = widget.size();
    const QPoint framePosition = widget.pos();
    const bool moved = widget.testAttribute(Qt::WA_Moved);
    widget.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (created) widget.winId();
    widget.resize(size);
    if (moved || visible) widget.move(framePosition);
    if (visible) widget.show();
  }
  return widget.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop;
}

// Puts the window at `insertAfter` in the stacking order; false for places it cannot take.
bool Restack(QWidget& widget, std::intptr_t insertAfter) {
  switch (insertAfter) {
    case kHwndTopMost:
      return SetStaysOnTop(widget, true);
    case kHwndNoTopMost:
      return SetStaysOnTop(widget, false);
    case kHwndTop:
      widget.raise();
      return true;
    case kHwndBottom:
      // The bottom of the stacking order lies outside the top-most band.
      if (!SetStaysOnTop(widget, false)) return false;
      widget.lower();
      return true;
    default:
      return false;
  }
}

class QtWindowServices final : public WindowServices {
 public:
  bool SetWindowPos(WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                    unsigned flags) override {
    QWidget* widget = QWidget::find(static_cast<WId>(window));
    if (widget == nullptr || !widget->isWindow()) return false;
    if ((flags & kSwpNoZOrder) == 0 && !Restack(*widget, insertAfter)) return false;
    if ((flags & kSwpNoSize) == 0) {
      const QMargins frame = FrameMargins(*widget);
      widget->resize(std::max(0, cx - frame.left() - frame.right()),
                     std::max(0, cy - frame.top() - frame.bottom()));
    }
    if ((flags & kSwpNoMove) == 0) widget->move(x, y);
    if ((flags & kSwpHideWindow) != 0) {
      widget->hide();
    } else if ((flags & kSwpShowWindow) != 0) {
      widget->show();
    }
    // Without kSwpNoActivate a shown window is also activated.
    if ((flags & kSwpNoActivate) == 0 && widget->isVisible()) {
      if ((flags & kSwpNoZOrder) == 0) widget->raise();
      widget->activateWindow();
    }
    return true;
  }

  void ShellOpen(WindowHandle, const std::string& address, int) override {
    const QString text = QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size()));
    if (text.isEmpty()) return;
    const QUrl url = QDir::isAbsolutePath(text) ? QUrl::fromLocalFile(text) : QUrl(text);
    if (!url.isValid()) return;
    QDesktopServices::openUrl(url);
  }
};

}  // namespace

std::unique_ptr<WindowServices> MakeQtWindowServices() {
  return std::make_unique<QtWindowServices>();
}

#ifndef _WIN32
std::unique_ptr<WindowServices> MakeSystemWindowServices() {
  return MakeQtWindowServices();
}
#endif

}  // namespace tessaldo::platform
