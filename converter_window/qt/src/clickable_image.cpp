#include "tessaldo/converter_window/clickable_image.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace tessaldo {

namespace {

// A picture as assistive technology sees it: named by its accessible name (its tooltip), and
// pressed as a click is.
class AccessibleImage final : public QAccessibleWidget {
 public:
  explicit AccessibleImage(ClickableImage* image)
      : QAccessibleWidget(image, QAccessible::Graphic) {}
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& action) override {
    if (action == pressAction()) emit static_cast<ClickableImage*>(widget())->Click();
  }
};

QAccessibleInterface* AccessibleImageFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(ClickableImage::staticMetaObject.className()) &&
      object->isWidgetType()) {
    return new AccessibleImage(static_cast<ClickableImage*>(object));
  }
  return nullptr;
}

}  // namespace

ClickableImage::ClickableImage(QWidget* parent) : QLabel(parent) {
  static const bool installed = (QAccessible::installFactory(AccessibleImageFactory), true);
  (void)installed;
}

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
