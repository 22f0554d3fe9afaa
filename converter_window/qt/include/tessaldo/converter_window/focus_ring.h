#pragma once

#include <QFocusFrame>

namespace tessaldo {

// A white ring just outside whichever control of `window` has the keyboard focus, so that the
// focus shows on every control alike, whatever the style draws inside the control. It follows the
// focus, and hides while the focus is in another window. Like any focus frame it is no control
// of its own for assistive technology.
class FocusRing final : public QFocusFrame {
 public:
  explicit FocusRing(QWidget& window);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Follow(QWidget* focused);

  QWidget& window_;
};

}  // namespace tessaldo
