#pragma once

#include <chrono>

#include "tessaldo/resources/design.h"

// What FormAutore decides beyond its controls: where it goes and how its credits move.
namespace tessaldo::autore {

struct Point {
  int x, y;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};
struct Size {
  int width, height;
};
// Edges in pixels; right and bottom are exclusive.
struct Rect {
  int left, top, right, bottom;
};
// The frame the window system draws around the client area, per side.
struct Margins {
  int left, top, right, bottom;
};

// Gaps of the outer frame to the work area's right and bottom edges.
inline constexpr int kRightGapTwips = 360;
inline constexpr int kBottomGapTwips = 600;

// The outer frame's top-left corner for a client area of `client` pixels framed by `frame` so
// that the frame lies kRightGapTwips from the right and kBottomGapTwips from the bottom edge of
// `workArea`, at `dpi`.
Point CornerPlacement(const Rect& workArea, const Margins& frame, Size client, int dpi);

// The panel picture2, in pixels of Picture1's scale.
inline constexpr int kScrollStep = 1;
inline constexpr int kLowerBound = -150;
inline constexpr int kRestartTop = 93;
inline constexpr int kFirstTopTwips = 960;

// The panel's top when the window is loaded.
constexpr int FirstTop(int dpi) {
  return design::PxAt(kFirstTopTwips, dpi);
}
// The panel's top after a tick of Timer1 from `top`: one step up, back to kRestartTop once it
// has reached kLowerBound.
constexpr int NextTop(int top) {
  top -= kScrollStep;
  return top <= kLowerBound ? kRestartTop : top;
}

// Timer1's interval. The system the window was designed for fires its timers on its own tick,
// 64 times a second.
inline constexpr std::chrono::milliseconds kTimerInterval{5};
inline constexpr std::chrono::microseconds kSystemTick{15625};

// From `now` to the tick a timer of `interval`, started or fired at `now`, fires on: the first
// tick at or after now + interval, ticks counted from the origin of `now`.
std::chrono::microseconds TickDue(std::chrono::microseconds now,
                                  std::chrono::milliseconds interval);

}  // namespace tessaldo::autore
