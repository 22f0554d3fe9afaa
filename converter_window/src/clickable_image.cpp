#include "tessaldo/converter_window/clickable_image.h"

#include <QMouseEvent>

namespace tessaldo {

ClickableImage::ClickableImage(QWidget* parent) : QLabel(parent) {}

void ClickableImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLabel::mousePressEvent(event);
    return;
  }
  pressed_ = true;
  event->accept();
}

// A release away from the picture takes the press back, as a button does.
void ClickableImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLabel::mouseReleaseEvent(event);
    return;
  }
  const bool click = pressed_ && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) emit Click();
}

}  // namespace tessaldo
