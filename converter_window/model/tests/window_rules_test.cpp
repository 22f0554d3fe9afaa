#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "front_end_cases.h"
#include "tessaldo/conversion/code_page.h"
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
    std::vector<std::string> reasons;
    JobQueue queue([&](const std::string& why) { reasons.push_back(why); });
    std::vector<int> arrived, started, finished;
    int next = 0, depth = 0, deepest = 0, throws = 0;
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
        finished.push_back(id);
      });
    };
    submit(0);
    EXPECT_EQ(started, arrived);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(int(reasons.size()), throws);
    EXPECT_EQ(int(finished.size() + reasons.size()), next);
    EXPECT_FALSE(queue.Running());
    EXPECT_EQ(queue.Waiting(), 0u);
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

TEST(Panel, WidthsAndPicturesAlternate) {
  int width = panel::kClosedWidth;
  for (int click = 1; click <= 6; ++click) {
    width = panel::Toggled(width);
    EXPECT_EQ(width, click % 2 ? 7185 : 4030);
    EXPECT_EQ(panel::PictureFor(width), click % 2 ? "right.jpg" : "left.jpg");
  }
  for (const int other : {4029, 4031, 7185, 100, 0}) {
    EXPECT_FALSE(panel::Closed(other));
    EXPECT_EQ(panel::Toggled(other), 4030);
  }
  EXPECT_EQ(panel::ClientTwips(7185), form1_layout::kClientWidth);
}

// Whole pixels: the width set reads back exactly at every DPI; any other client width never reads
// as the closed width.
TEST(Panel, OuterWidthReadsBackAsSetInWholePixels) {
  for (const int dpi : {72, 96, 120, 144, 168, 192, 240, 288}) {
    for (const int set : {panel::kClosedWidth, panel::kOpenWidth}) {
      panel::OuterWidth width(set);
      const int px = width.ClientPx(dpi);
      EXPECT_EQ(px, (long long)(set - 90) * dpi / 1440 + ((set - 90) * dpi % 1440 >= 720));
      EXPECT_EQ(width.Read(px, dpi), set) << dpi;
      for (const int off : {-2, -1, 1, 2}) {
        const int read = width.Read(px + off, dpi);
        EXPECT_NE(read, set) << dpi << " " << off;
        EXPECT_LE(std::abs(read - (px + off) * 1440 / dpi - 90), 1);
      }
    }
  }
  panel::OuterWidth tiny(10);
  EXPECT_EQ(tiny.Read(tiny.ClientPx(96), 96), 90);
}

TEST(CharacterTable, ColumnsFollowTheListWidth) {
  for (const int list : {3015, 1560, 5000}) {
    const auto columns = character_table::Columns(list);
    EXPECT_EQ(columns[0].caption, "Codice");
    EXPECT_EQ(columns[0].twips, 1200);
    EXPECT_EQ(columns[1].caption, "Carattere");
    EXPECT_EQ(list - columns[1].twips, 1560);
  }
}

// UTF-8 of one code point below 0x800.
std::string Utf8(char32_t c) {
  if (c < 0x80) return std::string(1, char(c));
  return {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
}

TEST(CharacterTable, EveryCodeOnceWithItsToken) {
  const char* const mnemonics[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",
                                   "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1",
                                   "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB",
                                   "ESC", "FS",  "GS",  "RS",  "US",  "SP"};
  const std::map<int, std::string> windows1252 = {
      {128, "€"}, {129, Utf8(0x81)}, {138, "Š"}, {141, Utf8(0x8D)}, {150, "–"}, {159, "Ÿ"}};
  for (int code = 0; code < character_table::kRows; ++code) {
    const character_table::Row row = character_table::RowAt(code);
    EXPECT_EQ(row.code, std::to_string(code));
    std::string expected;
    if (code <= 32) expected = mnemonics[code];
    else if (code == 127) expected = "DEL";
    else if (code == 255) expected = "NBSP";
    else if (code < 127 || code >= 160) expected = Utf8(char32_t(code));
    else if (windows1252.contains(code)) expected = windows1252.at(code);
    else continue;
    EXPECT_EQ(row.token, expected) << code;
  }
}

using form1_layout::Kind;

bool Overlap(const form1_layout::Rect& a, const form1_layout::Rect& b) {
  return a.left < b.Right() && b.left < a.Right() && a.top < b.Bottom() && b.top < a.Bottom();
}
bool TakesFocus(const form1_layout::Control& c) {
  return c.tabIndex >= 0 && c.kind != Kind::kLabel && c.kind != Kind::kHiddenEdit &&
         c.kind != Kind::kImage;
}

// The designed window's invariants: the panel cut, the label strips under the fields, the tab
// order, and each field named by the label above it.
TEST(Form1Layout, ControlsKeepTheDesignedRelations) {
  const auto controls = form1_layout::Controls();
  ASSERT_EQ(controls.size(), 17u);
  std::vector<std::string_view> focus;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const auto& c = controls[i];
    EXPECT_EQ(form1_layout::Find(c.name)->twips.left, c.twips.left) << c.name;
    EXPECT_LE(c.twips.Right(), form1_layout::kClientWidth);
    EXPECT_LE(c.twips.Bottom(), form1_layout::kClientHeight);
    const bool inPanel = c.kind == Kind::kListView || c.kind == Kind::kButton;
    if (inPanel) {
      EXPECT_GE(c.twips.left, 3960) << c.name;
    } else {
      EXPECT_LE(c.twips.Right(), panel::ClientTwips(panel::kClosedWidth)) << c.name;
    }
    EXPECT_EQ(c.visible, c.kind != Kind::kHiddenEdit);
    EXPECT_EQ(c.hand, c.kind == Kind::kImage || c.kind == Kind::kButton) << c.name;
    for (std::size_t j = 0; j < i; ++j) {
      const auto& d = controls[j];
      if (!c.visible || !d.visible || !Overlap(c.twips, d.twips)) continue;
      // Only a label under the field created after it, by 30 twips at most.
      EXPECT_EQ(d.kind, Kind::kLabel) << c.name << " " << d.name;
      EXPECT_LE(d.twips.Bottom() - c.twips.top, 30) << c.name;
    }
    if (c.kind == Kind::kImage) {
      EXPECT_EQ(c.accessibleName, c.tooltip);
    }
    if (c.kind == Kind::kNumericEdit || c.kind == Kind::kLockedEdit || c.kind == Kind::kRichEdit) {
      const form1_layout::Control* label = nullptr;
      for (const auto& l : controls) {
        if (l.kind == Kind::kLabel && l.twips.left == c.twips.left && l.twips.top < c.twips.top &&
            (!label || l.twips.top > label->twips.top))
          label = &l;
      }
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(c.accessibleName, label->caption) << c.name;
      EXPECT_EQ(c.background, design::kFieldBackground);
    }
  }
  std::vector<form1_layout::Control> ordered(controls.begin(), controls.end());
  std::ranges::stable_sort(ordered, {}, &form1_layout::Control::tabIndex);
  for (const auto& c : ordered)
    if (TakesFocus(c)) focus.push_back(c.name);
  EXPECT_EQ(focus, (std::vector<std::string_view>{"Text1", "Text2", "Text3", "Text4", "Text5",
                                                  "Text6", "ListView1", "Command2"}));
  EXPECT_FALSE(form1_layout::Find("Text7"));
}

// The front-end table, played on the model the way a window hands it the gestures: keys at the
// end of the field, the paste at the caret.
TEST(FrontEndCases, HoldWhatTheModelDoes) {
  using front_end_cases::Action;
  for (const auto& c : front_end_cases::Cases()) {
    ConverterModel model;
    int beeps = 0;
    auto apply = [&](Request request, Field field) {
      request.field = field;
      const int end = int(model.Text(field).size());
      request.selection = {end, end, 0};
      if (request.kind == Request::Kind::kPaste) request.position = end;
      beeps += model.Apply(request).outcome == Outcome::kRefused;
    };
    for (const auto& step : c.steps) {
      switch (step.action) {
        case Action::kType:
          for (const char16_t key : step.text)
            apply(Request::Of(Request::Kind::kType, std::u16string(1, key)), step.field);
          break;
        case Action::kBackspace: apply(Request::Of(Request::Kind::kBackspace), step.field); break;
        case Action::kMenuPaste:
          apply(Request::Of(Request::Kind::kPaste, std::u16string(step.text)), step.field);
          break;
        case Action::kUndo: apply(Request::Of(Request::Kind::kUndo), step.field); break;
        case Action::kPick:
          beeps += model.Apply(Request::Picking(std::string(CodePage::TokenOf(std::uint8_t(step.code)))))
                       .outcome == Outcome::kRefused;
          break;
        case Action::kCancella: model.Apply(Request::Of(Request::Kind::kCancella)); break;
      }
    }
    for (int f = 0; f < 6; ++f) EXPECT_EQ(model.Text(Field(f)), c.fields[f]) << c.name << f;
    EXPECT_EQ(model.Text(Field::kLabel6), c.label6) << c.name;
    EXPECT_EQ(beeps, c.beeps) << c.name;
  }
}

}  // namespace
}  // namespace tessaldo
