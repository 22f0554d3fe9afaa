#pragma once

#include <chrono>

// What FormAutore decides beyond its controls: where it goes and how its credits move.
namespace tessaldo::autore {

// Pixels of the window system.
struct Point {
  int x, y;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};
struct Size {
  int width, height;
};
// Left and top edges, width and height.
struct PixelBox {
  int left, top, width, height;
};
// The frame the window system draws around the client area, per side.
struct Margins {
  int left, top, right, bottom;
  friend constexpr bool operator==(const Margins&, const Margins&) = default;
};

// Gaps of the outer frame to the work area's right and bottom edges.
inline constexpr int kRightGapTwips = 360;
inline constexpr int kBottomGapTwips = 600;

// The panel picture2, in pixels of Picture1's scale: one step up per tick of Timer1, back to
// the restart position once its top has reached the lower bound; its top when loaded.
inline constexpr int kScrollStep = 1;
inline constexpr int kLowerBound = -150;
inline constexpr int kRestartTop = 93;
inline constexpr int kFirstTopTwips = 960;

// Timer1's interval. The system the window was designed for fires its timers on its own tick,
// 64 times a second.
inline constexpr std::chrono::milliseconds kTimerInterval{5};
inline constexpr std::chrono::microseconds kSystemTick{15625};

// From `now` to the tick a timer of `interval`, started or fired at `now`, fires on: the first
// tick at or after now + interval, ticks counted from the origin of `now`.
std::chrono::microseconds TickDue(std::chrono::microseconds now,
                                  std::chrono::milliseconds interval);

}  // namespace tessaldo::autore
