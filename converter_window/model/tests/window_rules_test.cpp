#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "tessaldo/converter_window/character_table.h"
#include "tessaldo/converter_window/form1_layout.h"
#include "tessaldo/converter_window/held_keys.h"
#include "tessaldo/converter_window/job_queue.h"
#include "tessaldo/converter_window/panel.h"

namespace tessaldo {
namespace {

// Random trees of jobs, some arriving while others run and some throwing: they run one at a
// time, in the order they arrived, and each failure is reported once.
TEST(JobQueue, RunsJobsOneAtATimeInTheirOrderOfArrival) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    int reasons = 0, next = 0, depth = 0, deepest = 0, throws = 0, finished = 0;
    JobQueue queue([&](const std::string&) { ++reasons; });
    std::vector<int> arrived, started;
    std::function<void(int)> submit = [&](int level) {
      const int id = next++;
      arrived.push_back(id);
      const bool fails = random() % 5 == 0;
      throws += fails;
      const int children = level < 3 ? int(random() % 3) : 0;
      queue.Run([&, id, fails, children, level] {
        started.push_back(id);
        deepest = std::max(deepest, ++depth);
        for (int c = 0; c < children; ++c) submit(level + 1);  // arriving during a yield
        --depth;
        if (fails) throw std::runtime_error("job " + std::to_string(id));
        ++finished;
      });
    };
    submit(0);
    EXPECT_EQ(started, arrived);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(reasons, throws);
    EXPECT_EQ(finished + reasons, next);
    EXPECT_FALSE(queue.Running());
  }
  JobQueue queue([](const std::string& why) { EXPECT_EQ(why, "unknown failure"); });
  queue.Run([] { throw 3; });
}

TEST(HeldKeys, MergesOnlyRepeatsOfTheLastKeyWhileItRan) {
  const KeyStroke last{1, 0x31, u"1", false, 1000};
  const struct {
    KeyStroke stroke;
    bool merged;
  } cases[] = {
      {{1, 0x31, u"1", true, 1100}, true},    // pressed while the last run went on
      {{1, 0x31, u"1", true, 1200}, false},   // pressed once it had ended
      {{1, 0x31, u"1", false, 1100}, false},  // not a repeat
      {{2, 0x31, u"1", true, 1100}, false},   // another field
      {{1, 0x30, u"0", true, 1100}, false},   // another key
      {{1, 0x31, u"!", true, 1100}, false},   // another text
      {{1, 0x31, u"1", true, 0}, false},      // no time known
  };
  for (const auto& c : cases) {
    HeldKeys held;
    EXPECT_FALSE(held.Merged(c.stroke));
    held.Ran(last, 200);
    EXPECT_EQ(held.Merged(c.stroke), c.merged) << c.stroke.pressedAt;
  }
}

// Image2 toggles closed and open with their pictures; any width but the closed one toggles to
// closed. The width set reads back exactly in whole pixels at every DPI, and a client area of
// any other width reads as its own width, never as the one set.
TEST(Panel, WidthsPicturesAndReadBack) {
  EXPECT_EQ(panel::Toggled(4030), 7185);
  EXPECT_EQ(panel::PictureFor(7185), "right.jpg");
  for (const int other : {4029, 4031, 7185, 0}) EXPECT_EQ(panel::Toggled(other), 4030);
  EXPECT_EQ(panel::PictureFor(4030), "left.jpg");
  for (const int dpi : {72, 96, 120, 144, 168, 192, 240, 288}) {
    for (const int set : {panel::kClosedWidth, panel::kOpenWidth}) {
      panel::OuterWidth width(set);
      const int px = width.ClientPx(dpi);
      EXPECT_EQ(px, ((set - 90) * dpi + 720) / 1440);
      EXPECT_EQ(width.Read(px, dpi), set) << dpi;
      for (const int off : {-2, -1, 1, 2}) {
        const int read = width.Read(px + off, dpi);
        EXPECT_TRUE(read != set && read == (px + off) * 1440 / dpi + 90) << dpi << " " << off;
      }
    }
  }
  panel::OuterWidth tiny(10);
  EXPECT_EQ(tiny.Read(tiny.ClientPx(96), 96), 90);
}

// The code column keeps its width, the character column takes the rest; rows are codes 0 to
// 255 with the notation's tokens.
TEST(CharacterTable, ColumnsAndRows) {
  for (const int list : {1560, 3015, 5000}) {
    const auto columns = character_table::Columns(list);
    EXPECT_EQ(std::string(columns[0].caption) + std::string(columns[1].caption), "CodiceCarattere");
    EXPECT_EQ(columns[0].twips, 1200);
    EXPECT_EQ(columns[1].twips, list - 1560);
  }
  const std::pair<int, std::string> rows[] = {{0, "NUL"}, {32, "SP"}, {124, "|"},   {127, "DEL"},
                                              {128, "€"}, {254, "þ"}, {255, "NBSP"}};
  for (const auto& [code, token] : rows) {
    EXPECT_EQ(character_table::RowAt(code).code + " " + character_table::RowAt(code).token,
              std::to_string(code) + " " + token);
  }
}

// The designed window's relations: inside the client area, the panel's controls right of the
// cut and the rest left of it, overlaps only by the label strips under the fields, each field
// named by the label above it, the tab order.
TEST(Form1Layout, ControlsKeepTheDesignedRelations) {
  using form1_layout::Kind;
  const auto controls = form1_layout::Controls();
  std::vector<form1_layout::Control> ordered(controls.begin(), controls.end());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const auto& c = controls[i];
    EXPECT_EQ(form1_layout::Find(c.name)->twips.left, c.twips.left) << c.name;
    EXPECT_LE(c.twips.Bottom(), form1_layout::kClientHeight);
    if (c.kind == Kind::kListView || c.kind == Kind::kButton) {
      EXPECT_GE(c.twips.left, 3960) << c.name;
      EXPECT_LE(c.twips.Right(), form1_layout::kClientWidth) << c.name;
    } else {
      EXPECT_LE(c.twips.Right(), panel::ClientTwips(panel::kClosedWidth)) << c.name;
    }
    if (c.kind == Kind::kNumericEdit || c.kind == Kind::kLockedEdit || c.kind == Kind::kRichEdit) {
      const form1_layout::Control* label = nullptr;  // the nearest label above, flush left
      for (const auto& l : controls) {
        if (l.kind == Kind::kLabel && l.twips.left == c.twips.left && l.twips.top < c.twips.top &&
            (!label || l.twips.top > label->twips.top))
          label = &l;
      }
      EXPECT_EQ(label ? label->caption : std::string_view(), c.accessibleName) << c.name;
    }
    for (std::size_t j = 0; j < i; ++j) {
      const auto &a = c.twips, &b = controls[j].twips;
      if (c.visible && controls[j].visible && a.left < b.Right() && b.left < a.Right() &&
          a.top < b.Bottom() && b.top < a.Bottom()) {
        EXPECT_EQ(controls[j].kind, Kind::kLabel) << c.name;  // under the field made after it
        EXPECT_LE(b.Bottom() - a.top, 30) << c.name;
      }
    }
  }
  std::ranges::stable_sort(ordered, {}, &form1_layout::Control::tabIndex);
  std::vector<std::string_view> focus;
  for (const auto& c : ordered) {
    if (c.tabIndex >= 0 && c.kind != Kind::kLabel && c.kind != Kind::kHiddenEdit &&
        c.kind != Kind::kImage)
      focus.push_back(c.name);
  }
  EXPECT_EQ(focus, (std::vector<std::string_view>{"Text1", "Text2", "Text3", "Text4", "Text5",
                                                  "Text6", "ListView1", "Command2"}));
}

}  // namespace
}  // namespace tessaldo
