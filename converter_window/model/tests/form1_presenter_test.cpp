#include "tessaldo/converter_window/form1_presenter.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "front_end_cases.h"
#include "tessaldo/converter_window/panel.h"

namespace tessaldo {
namespace {

using enum Field;
using Kind = Request::Kind;

// A window as the presenter sees it: each field's text and selection, the tones, the panel.
// Setting a text puts the caret at its end, as a line edit does.
struct RecordingView final : Form1View {
  void Show(Field field, const std::string& text) override {
    if (onShow) onShow(field, text);
    texts[std::size_t(field)] = text;
    if (field < kText6Raw) selections[std::size_t(field)] = {int(text.size()), 0, 0};
  }
  std::string Shown(Field field) const override { return texts[std::size_t(field)]; }
  void PlaceCaret(Field field, int caret) override {
    selections[std::size_t(field)] = {caret, caret, 0};
  }
  Selection ShownSelection(Field field) const override {
    EXPECT_LT(field, kText5) << "only the numeric fields are edited";
    return selections[std::size_t(field)];
  }
  void SizeToCaption(Field label) override { sized.push_back(texts[std::size_t(label)]); }
  void Beep(unsigned hz, unsigned ms) override {
    tones.push_back(hz * 1000 + ms);
    if (onBeep) onBeep();
  }
  std::optional<std::u16string> ClipboardText(bool selection) override {
    return selection ? selectionClipboard : clipboard;
  }
  void CopySelection(Field field) override {
    const Selection s = selections[std::size_t(field)];
    clipboard = std::u16string(texts[std::size_t(field)].begin() + s.start,
                               texts[std::size_t(field)].begin() + s.start + s.length);
  }
  int OuterWidth() const override { return outer; }
  void SetOuterWidth(int twips) override { outer = twips; }
  void ShowArrow(std::string_view file) override { arrows.emplace_back(file); }
  void ShowAbout() override { ++abouts; }
  void PumpEvents() override {
    if (onPump) onPump();
  }

  std::array<std::string, 7> texts{"", "", "", "", "", "", "Esadecimale"};
  std::array<Selection, 6> selections{};
  std::vector<std::string> sized, arrows;
  std::vector<unsigned> tones;
  std::optional<std::u16string> clipboard, selectionClipboard;
  int outer = 7185, abouts = 0;
  std::function<void()> onPump, onBeep;
  std::function<void(Field, const std::string&)> onShow;
};

// A presenter over a recording view. Each call of the clock is a millisecond later; a tone
// lasts 200.
class PresenterTest : public ::testing::Test {
 public:
  PresenterTest() : presenter(view, [this] { return ++now; }) {
    presenter.Load();
    view.onBeep = [this] { now += 200; };
  }
  void Type(Field field, std::u16string_view keys, bool repeat = false) {
    for (const char16_t key : keys) {
      const std::u16string text(1, key);
      presenter.Key({int(field), key, text, repeat, now},
                    [text] { return Gesture::Edit(Kind::kType, text); });
    }
  }
  std::vector<std::string> Fields() const { return {view.texts.begin(), view.texts.end() - 1}; }
  void Select(Field field, int start, int length) {
    view.selections[std::size_t(field)] = {start + length, start, length};
  }
  void Play(const front_end_cases::Step& step) {
    using enum front_end_cases::Action;
    const std::u16string text(step.text);
    if (step.action == kType) Type(step.field, text);
    if (step.action == kDelete) view.PlaceCaret(step.field, 0);
    if (step.action == kMenuPaste) view.clipboard = text;
    if (step.action == kOutside) presenter.SetFromOutside(step.field, text, int(text.size()));
    if (step.action == kPick || step.action == kEnter) presenter.Pick(step.code);
    if (step.action == kCancella) presenter.Cancella();
    const Gesture gesture = step.action == kBackspace   ? Gesture::Edit(Kind::kBackspace)
                            : step.action == kDelete    ? Gesture::Edit(Kind::kDelete)
                            : step.action == kUndo      ? Gesture::Edit(Kind::kUndo)
                            : step.action == kMenuPaste ? Gesture::Of(Gesture::Kind::kPaste)
                                                        : Gesture{};
    presenter.Do(step.field, gesture);
  }

  std::uint64_t now = 1000;
  RecordingView view;
  Form1Presenter presenter;
};

// The cases both windows play, through the presenter.
TEST(PresenterCases, FrontEndCases) {
  for (const front_end_cases::Case& c : front_end_cases::Cases()) {
    SCOPED_TRACE(std::string(c.name));
    struct Rig : PresenterTest {
      void TestBody() override {}
    } rig;
    for (const front_end_cases::Step& step : c.steps) rig.Play(step);
    EXPECT_EQ(rig.Fields(), std::vector<std::string>(c.fields.begin(), c.fields.end()));
    EXPECT_EQ(rig.view.tones, std::vector<unsigned>(c.beeps, 200200));
    EXPECT_EQ(rig.view.texts[6], c.label6);
  }
}

// A written field shows its beginning; the edited field takes the model's caret, and keeps its
// selection when refused. A pick writes every field, each shown from its beginning.
TEST_F(PresenterTest, CaretsOfWrittenAndEditedFields) {
  Type(kText1, u"123");
  for (const Field f : {kText2, kText3, kText4, kText5})
    EXPECT_EQ(view.selections[int(f)].caret, 0);
  Select(kText1, 1, 1);
  Type(kText1, u"9");
  EXPECT_EQ(view.texts[0], "193");
  EXPECT_EQ(view.selections[0].caret, 2);
  Select(kText1, 0, 2);
  Type(kText1, u"x");
  EXPECT_EQ(view.selections[0].length, 2);
  view.PlaceCaret(kText1, 1);
  presenter.Do(kText1, Gesture::Edit(Kind::kBackspace));
  EXPECT_EQ(view.selections[0].caret, 0);
  for (const int field : {-1, 4, 6})
    presenter.Key({field, u'1', u"1"}, [] { return Gesture::Edit(Kind::kType, u"1"); });
  presenter.Pick(65);
  for (const Field f : {kText1, kText2, kText3, kText4, kText5})
    EXPECT_EQ(view.selections[int(f)].caret, 0);
  for (const int row : {-1, 256}) presenter.Pick(row);
  EXPECT_EQ(view.texts[5], "|| A || ");
  EXPECT_EQ(view.tones.size(), 1u);
}

// The hint widens Label6 once; it goes back with the next edit of the hexadecimal field.
TEST_F(PresenterTest, Label6SizedWhenItsCaptionChanges) {
  Type(kText4, u"ff");
  EXPECT_EQ(view.sized, std::vector<std::string>{"Esadecimale (solo MAIUSCOLE)"});
  Type(kText4, u"F");
  EXPECT_EQ(view.sized.back(), "Esadecimale");
  EXPECT_EQ(view.texts[0], "15");
}

// Cut copies the selection; the menu's Delete does not; pastes read the clipboard when they run,
// the selection clipboard going in at the caret; no clipboard text, no edit.
TEST_F(PresenterTest, ClipboardGestures) {
  Type(kText1, u"1234");
  Select(kText1, 1, 2);
  presenter.Do(kText1, Gesture::Of(Gesture::Kind::kCut));
  presenter.Do(kText1, Gesture::Of(Gesture::Kind::kCut));  // nothing selected: nothing copied
  EXPECT_EQ(view.clipboard, u"23");
  EXPECT_EQ(view.texts[0], "14");
  view.clipboard.reset();
  Select(kText1, 0, 1);
  presenter.Do(kText1, Gesture::Edit(Kind::kCut));
  presenter.Do(kText1, Gesture::Of(Gesture::Kind::kPaste));
  EXPECT_EQ(view.texts[0], "4");
  view.selectionClipboard.emplace(u"5");
  Select(kText1, 0, 1);
  presenter.Do(kText1, Gesture::Of(Gesture::Kind::kInsertSelection));  // at the caret
  Select(kText1, 0, 1);
  presenter.Do(kText1, Gesture::Of(Gesture::Kind::kPasteSelection));  // over the selection
  presenter.Do(kText5, Gesture::Of(Gesture::Kind::kPasteSelection));
  EXPECT_EQ(view.texts[0], "55");
  EXPECT_EQ(view.texts[1], "110111");
}

// Repeats of a refused key pressed while its tone played are merged into it; repeats of an
// accepted key pressed after its run each type; input arriving during a job waits for it.
TEST_F(PresenterTest, HeldKeysAndQueuedInput) {
  view.onBeep = [this] {
    const std::uint64_t pressed = now;
    now += 200;
    if (view.tones.size() == 1)
      for (int i = 1; i <= 60; ++i)
        presenter.Key({1, u'2', u"2", true, pressed + i * 3},
                      [] { return Gesture::Edit(Kind::kType, u"2"); });
  };
  Type(kText2, u"2");
  EXPECT_EQ(view.tones.size(), 1u);
  Type(kText2, u"2", true);  // pressed after the run ended
  EXPECT_EQ(view.tones.size(), 2u);

  std::vector<std::string> seen;
  view.onPump = [&] {
    if (!seen.empty()) return;
    Type(kText1, u"5");
    seen.push_back(view.texts[0]);
  };
  Type(kText1, u"9");
  EXPECT_EQ(seen, std::vector<std::string>{""});  // the key waited for the conversion
  EXPECT_EQ(view.texts[0], "95");
  EXPECT_EQ(view.texts[1], "1011111");
}

// A drop while a job runs is refused and queues nothing; a job that throws half-way through its
// writes leaves every field shown as the model holds it.
TEST_F(PresenterTest, BusyDropAndResyncAfterAnAbandonedJob) {
  Type(kText1, u"2");
  bool dropped = true;
  view.onPump = [&] {
    view.onPump = nullptr;
    dropped = presenter.Drop(kText3, u"7", 0);
  };
  Type(kText1, u"5");
  EXPECT_FALSE(dropped);
  EXPECT_EQ(view.texts[2], "31");
  EXPECT_TRUE(presenter.Drop(kText3, u"7", 0));
  EXPECT_EQ(view.texts[0], "473");  // 731 in octal

  view.onShow = [this](Field field, const std::string&) {
    if (field == kText3) {
      view.onShow = nullptr;
      throw std::runtime_error("lost");
    }
  };
  Type(kText1, u"1");  // at the caret, the beginning
  EXPECT_EQ(Fields(), (std::vector<std::string>{"1473", "10111000001", "2701", "5C1", "MCDLXXIII",
                                                "|| ENQ || \u00c1 || "}));
  view.onBeep = [] { throw std::runtime_error("no sound"); };
  EXPECT_FALSE(presenter.Drop(kText1, u"x", 0));
  Type(kText1, u"x");
  view.onBeep = nullptr;
  Type(kText1, u"0");  // the resync showed Text1 from its beginning
  EXPECT_EQ(view.texts[0], "01473");
}

// Start-up narrows the window; Image2 toggles the width and then shows the picture for the width
// it reads back; Image1 opens the about window.
TEST_F(PresenterTest, PanelAndPictures) {
  EXPECT_EQ(view.outer, 4030);
  presenter.Image2Click();
  presenter.Image2Click();
  view.outer = 5000;  // a width the window system chose
  presenter.Image2Click();
  EXPECT_EQ(view.arrows, (std::vector<std::string>{"right.jpg", "left.jpg", "left.jpg"}));
  presenter.Image1Click();
  EXPECT_EQ(view.abouts, 1);
}

// At the edges of a run: a repeat pressed while it went on merges; one pressed as it ended, or
// with no time known, does not. (The presenter's suite holds the other conditions.)
TEST(HeldKeys, MergesOnlyRepeatsPressedWhileTheRunWentOn) {
  HeldKeys held;
  held.Ran({1, 0x31, u"1", false, 1000}, 200);
  for (const auto& [pressedAt, merged] : {std::pair{1199, true}, {1200, false}, {0, false}})
    EXPECT_EQ(held.Merged({1, 0x31, u"1", true, std::uint64_t(pressedAt)}), merged) << pressedAt;
}

// Image2 toggles closed and open with their pictures; any width but the closed one toggles to
// closed. The width set reads back exactly in whole pixels at every DPI, and a client area of
// any other width reads as its own width, never as the one set.
TEST(Panel, WidthsPicturesAndReadBack) {
  for (const int other : {4029, 4031, 7185, 0}) EXPECT_EQ(panel::Toggled(other), 4030);
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

}  // namespace
}  // namespace tessaldo
