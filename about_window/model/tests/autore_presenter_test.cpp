// FormAutore's presenter against a recording view: placement, pace, band and links.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "tessaldo/about_window/autore_presenter.h"

namespace tessaldo::autore {
namespace {

using Calls = std::vector<std::string>;
using std::to_string;

// Records each call as a line; every call throws once `throws` is set.
struct RecordingView final : AutoreView {
  Calls calls;
  std::optional<Surroundings> where;
  bool throws = false;

  bool Record(const std::string& what) { return calls.push_back(what), throws ? throw what : true; }
  bool FormPrimoPiano(bool onTop) override { return Record(onTop ? "on top" : "off top"); }
  std::optional<Surroundings> Where() override { return Record("where"), where; }
  void MoveFrame(Point at) override { Record("frame " + to_string(at.x) + "," + to_string(at.y)); }
  void MovePanel(int top) override { Record("panel " + to_string(top)); }
  void StartTimer(std::chrono::milliseconds ms) override {
    Record("timer " + to_string(ms.count()));
  }
  void StopTimer() override { Record("timer off"); }
  void OpenAddress(std::string_view address) override { Record("open " + std::string(address)); }
};

// Top-most first; the outer frame 360 and 600 twips from the work area's right and bottom
// edges on any monitor and DPI (24 and 40 px at 96, 91 and 152 at 365); the panel at 960
// twips; Timer1 at 5 ms. On no screen and with every call failing, each step still comes.
TEST(AutorePresenter, LoadsIntoTheBandTheCornerAndThePanelsFirstPosition) {
  for (auto [where, frame, panel] :
       {std::tuple{Surroundings{{0, 0, 1024, 738}, {3, 26, 3, 3}, {294, 124}, 96}, "700,545", 64},
        {{{-1280, 0, 1280, 984}, {5, 30, 5, 5}, {368, 155}, 120}, "-408,744", 80},
        {{{0, 0, 1600, 900}, {0, 0, 0, 0}, {300, 200}, 121}, "1270,650", 81},
        {{{0, 0, 3000, 2000}, {1, 2, 3, 4}, {1000, 500}, 365}, "1905,1342", 243}}) {
    RecordingView view;
    view.where = where;
    AutorePresenter presenter(view);
    presenter.Form_Load();
    EXPECT_EQ(view.calls, (Calls{"on top", "where", std::string("frame ") + frame,
                                 "panel " + to_string(panel), "timer 5"}));
  }
  RecordingView view;
  view.throws = true;
  AutorePresenter(view).Form_Load();
  EXPECT_EQ(view.calls, (Calls{"on top", "where", "panel 64", "timer 5"}));
}

// Once shown, the first frame other than the one counted places the window again, and only
// that one; the same frame leaves a move made before the showing where it is.
TEST(AutorePresenter, PlacesAgainOnceForAFrameItDidNotCountWith) {
  RecordingView view;
  view.where = {{0, 0, 1024, 738}, {0, 0, 0, 0}, {294, 124}, 96};
  AutorePresenter presenter(view);
  presenter.Form_Load();
  view.calls.clear();
  for (Margins frame : {Margins{0, 0, 0, 0}, {4, 27, 4, 4}, {8, 30, 8, 8}}) {
    view.where->frame = frame;
    presenter.Framed();
  }
  EXPECT_EQ(view.calls, (Calls{"where", "where", "frame 698,543"}));
}

// The panel climbs a pixel a tick from its first position and, reaching -150, starts again at
// 93; a click puts it at 93 and starts Timer1 only when it is off. Timer1 fires on the first
// system tick once its interval has passed: 64 times a second for an interval below a tick.
TEST(AutorePresenter, PanelClimbsAPixelATickAndRestarts) {
  RecordingView view;
  AutorePresenter presenter(view);
  presenter.Form_Load();
  for (int tick = 1; tick <= 1000; ++tick) {
    presenter.Timer1_Timer();
    const int climbed = tick <= 64 + 149 ? 64 - tick : 93 - (tick - 214) % (93 + 150);
    ASSERT_EQ(view.calls.back(), "panel " + to_string(climbed)) << tick;
  }
  view.calls.clear();
  presenter.picture2_Click();
  presenter.Form_Unload();
  view.throws = true;
  presenter.picture2_Click();
  presenter.Timer1_Timer();
  presenter.picture2_Click();
  presenter.Label1_Click();
  presenter.Picture3_Click();
  EXPECT_EQ(view.calls, (Calls{"panel 93", "timer off", "panel 93", "timer 5", "panel 92",
                               "panel 93", "open http://tessaldo.example.org",
                               "open mailto:autori@tessaldo.example.org?subject=Tessaldo"}));
  std::mt19937_64 random(13);
  for (int i = 0; i < 100000; ++i) {
    const std::chrono::microseconds now(random() % 4'000'000'000'000);
    const std::chrono::milliseconds interval(random() % 50);
    const auto due = TickDue(now, interval);
    ASSERT_EQ((now + due) % kSystemTick, now - now) << now.count();
    ASSERT_TRUE(due >= interval && due < interval + kSystemTick) << now.count();
  }
}

}  // namespace
}  // namespace tessaldo::autore
