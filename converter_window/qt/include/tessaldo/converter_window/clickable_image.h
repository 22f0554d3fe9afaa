#pragma once

#include <QLabel>

class QMouseEvent;

namespace tessaldo {

// A picture that reports a click: the left button pressed and released over it, or the press
// action of assistive technology.
class ClickableImage final : public QLabel {
  Q_OBJECT

 public:
  explicit ClickableImage(QWidget* parent = nullptr);

 signals:
  void Click();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace tessaldo
