#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tessaldo/converter_window/held_keys.h"
#include "tessaldo/converter_window/panel.h"

namespace tessaldo {
namespace {

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
