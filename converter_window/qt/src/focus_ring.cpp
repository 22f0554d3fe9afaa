#include "tessaldo/converter_window/focus_ring.h"

#include <QApplication>
#include <QPainter>

#include "tessaldo/resources/qt_design.h"

namespace tessaldo {

FocusRing::FocusRing(QWidget& window) : QFocusFrame(&window), window_(window) {
  setObjectName(QStringLiteral("FocusRing"));
  hide();  // until a control of the window has the focus
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget* /*old*/, QWidget* now) { Follow(now); });
}

// The focus may be on a part of a control (a list's viewport); the ring goes around the whole
// control, the window's own child.
void FocusRing::Follow(QWidget* focused) {
  QWidget* control = focused;
  while (control != nullptr && control->parentWidget() != &window_) {
    control = control->parentWidget();
  }
  setWidget(control);
}

// The frame is masked to the style's focus margin around the control: filling it draws the ring.
void FocusRing::paintEvent(QPaintEvent* /*event*/) {
  QPainter(this).fillRect(rect(), design::ToQColor(design::kWhite));
}

}  // namespace tessaldo
