#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tessaldo/converter_window/converter_model.h"
#include "tessaldo/platform/beeper.h"

// Gestures both windows play through their real widgets, and what every field shows afterwards:
// a window hands each gesture to the model and shows its answer.
namespace tessaldo::front_end_cases {

// Records each tone instead of playing it; `during` runs while the tone would play.
struct RecordingBeeper final : platform::Beeper {
  void Beep(unsigned frequencyHz, unsigned durationMs) override {
    tones.push_back(frequencyHz * 1000 + durationMs);
    if (during) during();
  }
  std::vector<unsigned> tones;
  std::function<void()> during;
};

// kType types `text` key by key into `field`; kDelete is Delete at the field's beginning;
// kMenuPaste pastes `text` from the field's context menu; kUndo is Ctrl+Z; kOutside sets the
// field's text from outside the window (an assistive tool); kPick double-clicks the table's row
// `code`, kEnter selects it and presses Enter; kCancella clicks Command2.
// clang-format off
enum class Action { kType, kBackspace, kDelete, kMenuPaste, kUndo, kOutside, kPick, kEnter,
                    kCancella };
// clang-format on

struct Step {
  Action action;
  Field field = Field::kText1;
  std::u16string_view text = {};
  int code = 0;
};

struct Case {
  std::string_view name;
  std::vector<Step> steps;
  // Text1 to Text5 and Text6Raw afterwards (UTF-8).
  std::array<std::string_view, 6> fields;
  int beeps = 0;  // refusals heard
  std::string_view label6 = "Esadecimale";
};

inline std::vector<Case> Cases() {
  using enum Action;
  using enum Field;
  static const std::u16string longPaste(100000, u'1');
  // clang-format off
  constexpr std::string_view big = "Conversione impossibile (>3999)";
  return {
      {"a key converts into every field", {{kType, kText1, u"17"}},
       {"17", "10001", "21", "11", "XVII", "|| DC1 || "}},
      {"a refused binary digit beeps and changes nothing", {{kType, kText2, u"12"}},
       {"1", "1", "1", "1", "I", "|| SOH || "}, 1},
      {"lower-case hexadecimal is refused with the hint", {{kType, kText4, u"f"}},
       {"", "", "", "", "", ""}, 1, "Esadecimale (solo MAIUSCOLE)"},
      {"backspace on one character empties everything",
       {{kType, kText3, u"7"}, {kBackspace, kText3}}, {"", "", "", "", "", ""}},
      {"the context menu's paste goes through the filter",
       {{kType, kText1, u"4"}, {kMenuPaste, kText1, u" 096"}},
       {"4096", "1000000000000", "10000", "1000", big, "|| DLE || NUL || "}},
      {"undo replays the conversion", {{kType, kText1, u"123"}, {kUndo, kText1}},
       {"12", "1100", "14", "C", "XII", "|| FF || "}},
      {"picks build the base-256 field", {{kPick, kText1, {}, 65}, {kPick, kText1, {}, 66}},
       {"16706", "100000101000010", "40502", "4142", big, "|| A || B || "}},
      {"Cancella removes the last pick",
       {{kPick, kText1, {}, 124}, {kPick, kText1, {}, 0}, {kCancella}},
       {"124", "1111100", "174", "7C", "CXXIV", "|| | || "}},
      {"Delete at the beginning, then text set from outside",
       {{kType, kText3, u"17"}, {kDelete, kText3}, {kOutside, kText2, u"101"}},
       {"5", "101", "5", "5", "V", "|| ENQ || "}},
      {"text set from outside goes through the filter",
       {{kType, kText1, u"9"}, {kOutside, kText1, u"9x"}},
       {"9", "1001", "11", "9", "IX", "|| HT || "}, 1},
      {"Enter on the table picks the selected row", {{kEnter, kText1, {}, 2}},
       {"2", "10", "2", "2", "II", "|| STX || "}},
      {"pastes as an Italian writes numbers: thousands dots, lower-case hexadecimal (before 4D2)",
       {{kMenuPaste, kText1, u"1.234"}, {kMenuPaste, kText4, u"ff"}},
       {"1045714", "11111111010011010010", "3772322", "FF4D2", big, "|| SI || ô || Ò || "}},
      {"a paste of 100,000 characters is refused whole", {{kMenuPaste, kText1, longPaste}},
       {"", "", "", "", "", ""}, 1},
      {"a fifteenth digit is refused", {{kType, kText1, u"999999999999999"}},
       {"99999999999999", "10110101111001100010000011110100011111111111111", "2657142036437777",
        "5AF3107A3FFF", big, "|| Z || ó || DLE || z || ? || NBSP || "}, 1},
  };
  // clang-format on
}

}  // namespace tessaldo::front_end_cases
