#pragma once

#include <QMargins>
#include <QWidget>

#include "tessaldo/about_window/autore_design.h"
#include "tessaldo/about_window/autore_rules.h"
#include "tessaldo/platform/window_services.h"

class QCloseEvent;
class QEvent;
class QFrame;
class QLabel;

namespace tessaldo {

class TickTimer;

// The about window: the credits scroll up without end in a white frame; below it, a label opens
// the web site and an envelope a new mail message. It stays above the other windows in the
// bottom-right corner of the work area.
class FormAutore final : public QWidget {
  Q_OBJECT

 public:
  // The scrolling of picture2, in pixels of Picture1's scale (autore_rules.h).
  static constexpr int kScrollStep = autore::kScrollStep;
  static constexpr int kLowerBound = autore::kLowerBound;
  static constexpr int kRestartTop = autore::kRestartTop;
  static constexpr int kFirstTopTwips = autore::kFirstTopTwips;
  // Timer1's interval; it fires on the system's timer tick (TickTimer).
  static constexpr int kTimerIntervalMs = static_cast<int>(autore::kTimerInterval.count());
  // Distance of the window's outer frame from the work area's right and bottom edges.
  static constexpr int kRightGapTwips = autore::kRightGapTwips;
  static constexpr int kBottomGapTwips = autore::kBottomGapTwips;

  // Loads the window: creates it with its controls, then runs its load handler, which puts it
  // into the top-most band and into the bottom-right corner of its screen's work area and
  // starts the scrolling. The window has no owner and is not shown yet. Where the window system
  // tells the frame only once the window is on screen, the window is placed again, once, when
  // the frame is known.
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
  void PlaceInCorner();

  // Event handlers, named after their designer controls.
  void Form_Load();
  void Timer1_Timer();
  void picture2_Click();
  void Label1_Click();
  void Picture3_Click();

  platform::WindowServices& services_;

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
  // The frame the corner placement counted with, and whether the placement is final.
  QMargins placedFrame_;
  bool placementSettled_ = false;
};

}  // namespace tessaldo
