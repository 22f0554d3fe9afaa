// FormAutore's placement and pace, without a window.
#include <gtest/gtest.h>

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
      // 294 by 124 client in a frame of 3, 26, 3, 3 at 96 dpi: 300 by 153 outside, gaps 24, 40.
      {{0, 0, 1024, 738}, {3, 26, 3, 3}, {294, 124}, 96, {700, 545}},
      // A second monitor to the right, its task bar on top.
      {{1920, 40, 3200, 1024}, {8, 31, 8, 8}, {294, 124}, 96, {2866, 821}},
      // A monitor to the left at 120 dpi: gaps 30 and 50.
      {{-1280, 0, 0, 984}, {5, 30, 5, 5}, {368, 155}, 120, {-408, 744}},
      // Where one twip more would round to another pixel: gaps 30, 50 at 121 dpi, 91, 152 at 365.
      {{0, 0, 1600, 900}, {0, 0, 0, 0}, {300, 200}, 121, {1270, 650}},
      {{0, 0, 3000, 2000}, {1, 2, 3, 4}, {1000, 500}, 365, {1905, 1342}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CornerPlacement(c.area, c.frame, c.client, c.dpi), c.expected)
        << c.area.left << "," << c.area.top << " at " << c.dpi;
  }
}

// From any top, one tick moves the panel one pixel up, and from -150 or above it back to 93;
// the first top is 960 twips.
TEST(AboutPace, PanelStepsUpAndRestartsAtItsBound) {
  for (auto [before, after] :
       {std::pair{64, 63}, {0, -1}, {-148, -149}, {-149, 93}, {-150, 93}, {-400, 93}, {93, 92}}) {
    EXPECT_EQ(NextTop(before), after) << before;
  }
  for (auto [dpi, first] : {std::pair{96, 64}, {144, 96}, {72, 48}, {242, 161}}) {
    EXPECT_EQ(FirstTop(dpi), first) << dpi;
  }
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
  EXPECT_EQ(TickDue(std::chrono::microseconds(15625 - 5000), kTimerInterval),
            std::chrono::microseconds(5000));
  EXPECT_EQ(TickDue(std::chrono::microseconds(15625 - 4999), kTimerInterval),
            std::chrono::microseconds(4999 + 15625));
}

}  // namespace
}  // namespace tessaldo::autore
