#pragma once

#include <QWidget>

#include "tessaldo/about_window/autore_presenter.h"
#include "tessaldo/platform/window_services.h"

class QCloseEvent;
class QEvent;
class QFrame;
class QLabel;

namespace tessaldo {

class TickTimer;

// The about window with Qt Widgets, a view over autore::AutorePresenter: the credits scroll up
// in a white frame; below it, a label opens the web site and an envelope a new mail message.
class FormAutore final : public QWidget, private autore::AutoreView {
  Q_OBJECT

 public:
  // Creates the window with its controls and runs its load handler; not shown yet, no owner.
  explicit FormAutore(platform::WindowServices& services);
  ~FormAutore() override;

  // Puts window hWnd into the top-most band (AlwaysOnTop) or takes it out of it, without
  // moving, resizing or redrawing it; true when the window system made the change.
  bool FormPrimoPiano(WId hWnd, bool AlwaysOnTop);

 signals:
  // The window was closed: it is unloaded and no longer shown.
  void Unloaded();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();

  bool FormPrimoPiano(bool alwaysOnTop) override;
  std::optional<autore::Surroundings> Where() override;
  void MoveFrame(autore::Point corner) override;
  void MovePanel(int top) override;
  void StartTimer(std::chrono::milliseconds interval) override;
  void StopTimer() override;
  void OpenAddress(std::string_view address) override;

  platform::WindowServices& services_;
  autore::AutorePresenter presenter_{*this};

  QFrame* Picture1 = nullptr;
  QWidget* picture2 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Picture3 = nullptr;
  TickTimer* Timer1 = nullptr;

  // The control a left button went down on; a click is its release over the same control.
  QObject* pressed_ = nullptr;
};

}  // namespace tessaldo
