// FormAutore's placement and pace, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tessaldo/about_window/autore_rules.h"

namespace tessaldo::autore {
namespace {

// The outer frame, client plus the frame the system draws, ends 360 twips left of the work
// area's right edge and 600 twips above its bottom edge, on any monitor.
TEST(AboutPlacement, OuterFrameAtTheGapsFromTheWorkAreasCorner) {
  struct Case {
    Rect area;
    Margins frame;
    Size client;
    int dpi;
    Point expected;
  };
  const Case cases[] = {
      // 294 by 124 client in a frame of 3, 26, 3, 3 at 96 dpi: 300 by 153 outside, 24 and 40
      // pixels of gap.
      {{0, 0, 1024, 738}, {3, 26, 3, 3}, {294, 124}, 96, {700, 545}},
      // No frame at all (a bare X server).
      {{0, 0, 1024, 768}, {0, 0, 0, 0}, {294, 124}, 96, {706, 604}},
      // A second monitor to the right, its task bar on top.
      {{1920, 40, 3200, 1024}, {8, 31, 8, 8}, {294, 124}, 96, {2866, 821}},
      // 144 dpi: client 441 by 186, gaps 36 and 60.
      {{0, 0, 2560, 1400}, {4, 38, 4, 4}, {441, 186}, 144, {2075, 1112}},
      // 120 dpi: gaps 30 and 50.
      {{-1280, 0, 0, 984}, {5, 30, 5, 5}, {368, 155}, 120, {-408, 744}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CornerPlacement(c.area, c.frame, c.client, c.dpi), c.expected)
        << c.area.left << "," << c.area.top << " at " << c.dpi;
  }
}

// From any top, one tick moves the panel one pixel up, and from -150 or above it back to 93;
// from the first top the panel cycles for ever between 93 and -149.
TEST(AboutPace, PanelStepsUpAndRestartsAtItsBound) {
  for (auto [before, after] : {std::pair{64, 63}, {0, -1}, {1, 0}, {-148, -149}, {-149, 93},
                               {-150, 93}, {-400, 93}, {93, 92}}) {
    EXPECT_EQ(NextTop(before), after) << before;
  }
  for (auto [dpi, first] : {std::pair{96, 64}, {120, 80}, {144, 96}, {192, 128}, {72, 48}}) {
    EXPECT_EQ(FirstTop(dpi), first) << dpi;
  }
  int top = FirstTop(96), restarts = 0, lowest = top, highest = top;
  for (int tick = 1; tick <= 214 + 3 * 243; ++tick) {
    top = NextTop(top);
    if (top == kRestartTop) {
      ++restarts;
      EXPECT_EQ((tick - 214) % 243, 0) << "restart at tick " << tick;
    }
    lowest = std::min(lowest, top);
    highest = std::max(highest, tick > 214 ? top : kRestartTop);
  }
  EXPECT_EQ(restarts, 4);
  EXPECT_EQ(lowest, -149);
  EXPECT_EQ(highest, 93);
}

// Timer1 fires on the first system tick once its interval has passed: on every tick, 64 times
// a second, for an interval below a tick.
TEST(AboutPace, TimerFiresOnTheFirstTickAfterItsInterval) {
  std::mt19937_64 random(13);
  for (int i = 0; i < 100000; ++i) {
    const std::chrono::microseconds now(random() % 4'000'000'000'000);
    const std::chrono::milliseconds interval(random() % 50);
    const auto due = TickDue(now, interval);
    ASSERT_EQ((now + due) % kSystemTick, now - now) << now.count();
    ASSERT_TRUE(due >= interval && due < interval + kSystemTick) << now.count();
  }
  EXPECT_EQ(TickDue(std::chrono::microseconds(0), kTimerInterval), kSystemTick);
  EXPECT_EQ(TickDue(std::chrono::microseconds(15625 - 5000), kTimerInterval),
            std::chrono::microseconds(5000));
  EXPECT_EQ(TickDue(std::chrono::microseconds(15625 - 4999), kTimerInterval),
            std::chrono::microseconds(4999 + 15625));
}

}  // namespace
}  // namespace tessaldo::autore
