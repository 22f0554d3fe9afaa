#include "tessaldo/about_window/autore_rules.h"

namespace tessaldo::autore {

Point CornerPlacement(const Rect& workArea, const Margins& frame, Size client, int dpi) {
  const int outerWidth = frame.left + client.width + frame.right;
  const int outerHeight = frame.top + client.height + frame.bottom;
  return Point{workArea.right - outerWidth - design::PxAt(kRightGapTwips, dpi),
               workArea.bottom - outerHeight - design::PxAt(kBottomGapTwips, dpi)};
}

std::chrono::microseconds TickDue(std::chrono::microseconds now,
                                  std::chrono::milliseconds interval) {
  using std::chrono::microseconds;
  const microseconds earliest = now + interval;
  const microseconds tick = (earliest + kSystemTick - microseconds(1)) / kSystemTick * kSystemTick;
  return tick - now;
}

}  // namespace tessaldo::autore
