#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "tessaldo/about_window/autore_rules.h"

namespace tessaldo::autore {

// Where the window is, as its window system tells it, in the window's pixels.
struct Surroundings {
  PixelBox workArea;  // of the screen the window is on
  Margins frame;      // none until the window system has framed the window
  Size client;
  int dpi;
};

// What the presenter asks of FormAutore's window.
class AutoreView {
 public:
  // FormPrimoPiano with the window's own handle.
  virtual bool FormPrimoPiano(bool alwaysOnTop) = 0;
  // None while the window is on no screen.
  virtual std::optional<Surroundings> Where() = 0;
  // Puts the outer frame's top-left corner at `corner`, keeping the size.
  virtual void MoveFrame(Point corner) = 0;
  // picture2's top, in pixels of Picture1's scale.
  virtual void MovePanel(int top) = 0;
  virtual void StartTimer(std::chrono::milliseconds interval) = 0;
  virtual void StopTimer() = 0;
  // Through the shell, minimised, owned by the window.
  virtual void OpenAddress(std::string_view address) = 0;

 protected:
  ~AutoreView() = default;
};

// Every decision of FormAutore that is not a widget. Nothing the view throws leaves a handler:
// the handler goes on with its next step.
class AutorePresenter {
 public:
  explicit AutorePresenter(AutoreView& view) : view_(view) {}

  // Into the top-most band, into the corner of the work area, the panel at its first position,
  // Timer1 running.
  void Form_Load() noexcept;
  // The window system may have framed the shown window: the first frame other than the one the
  // corner placement counted places the window again, once, so that no move of the user's is
  // ever undone.
  void Framed() noexcept;
  // The window is closed.
  void Form_Unload() noexcept;

  void Timer1_Timer() noexcept;
  void picture2_Click() noexcept;
  void Label1_Click() noexcept;
  void Picture3_Click() noexcept;

  int PanelTop() const { return top_; }

 private:
  void PlaceInCorner(const Surroundings& where);
  void MovePanel(int top) noexcept;

  AutoreView& view_;
  int top_ = 0;
  bool timerOn_ = false;
  std::optional<Margins> placedFrame_;
  bool settled_ = false;
};

}  // namespace tessaldo::autore
