#include "tessaldo/about_window/autore_presenter.h"

#include "tessaldo/about_window/autore_design.h"
#include "tessaldo/resources/design.h"

namespace tessaldo::autore {
namespace {

template <class Step>
void Quietly(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

void AutorePresenter::Form_Load() noexcept {
  Quietly([&] { view_.FormPrimoPiano(true); });
  int dpi = 96;
  Quietly([&] {
    if (const auto where = view_.Where()) {
      dpi = where->dpi;
      PlaceInCorner(*where);
    }
  });
  MovePanel(design::PxAt(kFirstTopTwips, dpi));
  timerOn_ = true;
  Quietly([&] { view_.StartTimer(kTimerInterval); });
}

void AutorePresenter::Framed() noexcept {
  if (settled_) return;
  Quietly([&] {
    const auto where = view_.Where();
    if (!where || where->frame == placedFrame_) return;
    settled_ = true;
    PlaceInCorner(*where);
  });
}

void AutorePresenter::Form_Unload() noexcept {
  timerOn_ = false;
  Quietly([&] { view_.StopTimer(); });
}

// The outer frame, client area and the frame around it, kRightGapTwips from the work area's
// right edge and kBottomGapTwips from its bottom edge.
void AutorePresenter::PlaceInCorner(const Surroundings& where) {
  placedFrame_ = where.frame;
  const PixelBox& area = where.workArea;
  const int outerWidth = where.frame.left + where.client.width + where.frame.right;
  const int outerHeight = where.frame.top + where.client.height + where.frame.bottom;
  view_.MoveFrame(
      {area.left + area.width - outerWidth - design::PxAt(kRightGapTwips, where.dpi),
       area.top + area.height - outerHeight - design::PxAt(kBottomGapTwips, where.dpi)});
}

void AutorePresenter::MovePanel(int top) noexcept {
  top_ = top;
  Quietly([&] { view_.MovePanel(top); });
}

void AutorePresenter::Timer1_Timer() noexcept {
  const int top = top_ - kScrollStep;
  MovePanel(top <= kLowerBound ? kRestartTop : top);
}

void AutorePresenter::picture2_Click() noexcept {
  MovePanel(kRestartTop);
  if (timerOn_) return;
  timerOn_ = true;
  Quietly([&] { view_.StartTimer(kTimerInterval); });
}

void AutorePresenter::Label1_Click() noexcept {
  Quietly([&] { view_.OpenAddress(kSiteAddress); });
}

void AutorePresenter::Picture3_Click() noexcept {
  Quietly([&] { view_.OpenAddress(kMailAddress); });
}

}  // namespace tessaldo::autore
