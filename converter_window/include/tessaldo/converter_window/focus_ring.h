#pragma once

#include <QPointer>
#include <QWidget>

namespace tessaldo {

// A ring drawn around whichever control of `window` has the keyboard focus, just outside the
// control, so that the focus shows on every control alike, whatever the style draws itself. It
// follows the focus and the control, and hides while the focus is in another window.
class FocusRing final : public QWidget {
 public:
  static constexpr int kGap = 1;    // pixels between the control and the ring
  static constexpr int kWidth = 2;  // the ring's line

  explicit FocusRing(QWidget& window);
  // The control the ring is around, or nullptr while it is hidden.
  QWidget* Target() const { return isVisible() ? target_.data() : nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Follow(QWidget* focused);
  void Place();

  QWidget& window_;
  QPointer<QWidget> target_;
};

}  // namespace tessaldo
