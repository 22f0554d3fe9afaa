#include "tessaldo/converter_window/focus_ring.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPen>

#include "tessaldo/resources/qt_design.h"

namespace tessaldo {

FocusRing::FocusRing(QWidget& window) : QWidget(&window), window_(window) {
  setObjectName(QStringLiteral("FocusRing"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  hide();
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget* /*old*/, QWidget* now) { Follow(now); });
}

// The focus may be on a part of a control (a list's viewport); the ring goes around the whole
// control, the window's own child.
void FocusRing::Follow(QWidget* focused) {
  QWidget* control = focused;
  while (control != nullptr && control->parentWidget() != &window_)
    control = control->parentWidget();
  if (control == this) return;
  if (target_ != nullptr && target_ != control) target_->removeEventFilter(this);
  if (control == nullptr) {
    target_ = nullptr;
    hide();
    return;
  }
  if (target_ != control) control->installEventFilter(this);
  target_ = control;
  Place();
}

void FocusRing::Place() {
  if (target_ == nullptr || !target_->isVisible()) {
    hide();
    return;
  }
  const int margin = kGap + kWidth;
  setGeometry(target_->geometry().adjusted(-margin, -margin, margin, margin));
  show();
  raise();
  update();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
  if (watched == target_) {
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide:
        Place();
        break;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// White on the window's dark blue, a pixel clear of the control's own frame.
void FocusRing::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QPen pen(design::ToQColor(design::kWhite));
  pen.setWidth(kWidth);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  const qreal half = kWidth / 2.0;
  painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}

}  // namespace tessaldo
