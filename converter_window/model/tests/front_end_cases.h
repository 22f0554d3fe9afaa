#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "tessaldo/converter_window/converter_model.h"

// Cases both windows run through their real widgets: what the user does, and what every field
// shows afterwards. The rules behind them are tested in the model; these check that a window
// hands each gesture to the model and shows its answer.
namespace tessaldo::front_end_cases {

enum class Action {
  kType,       // `text` typed key by key into `field`
  kBackspace,  // the Backspace key in `field`
  kMenuPaste,  // `text` put on the clipboard, then the field's context menu's paste
  kUndo,       // the field's undo key (Ctrl+Z)
  kPick,       // a double-click on the table's row `code`
  kCancella,   // a click on Command2
};

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
  return {
      {"a key converts into every field", {{kType, kText1, u"17"}},
       {"17", "10001", "21", "11", "XVII", "|| DC1 || "}},
      {"binary digits typed one by one", {{kType, kText2, u"1010"}},
       {"10", "1010", "12", "A", "X", "|| LF || "}},
      {"a refused key beeps and changes nothing", {{kType, kText2, u"12"}},
       {"1", "1", "1", "1", "I", "|| SOH || "}, 1},
      {"lower-case hexadecimal is refused with the hint", {{kType, kText4, u"f"}},
       {"", "", "", "", "", ""}, 1, "Esadecimale (solo MAIUSCOLE)"},
      {"backspace on one character empties everything",
       {{kType, kText3, u"7"}, {kBackspace, kText3}}, {"", "", "", "", "", ""}},
      {"the context menu's paste goes through the filter",
       {{kType, kText1, u"4"}, {kMenuPaste, kText1, u" 096"}},
       {"4096", "1000000000000", "10000", "1000", "Conversione impossibile (>3999)",
        "|| DLE || NUL || "}},
      {"undo replays the conversion", {{kType, kText1, u"123"}, {kUndo, kText1}},
       {"12", "1100", "14", "C", "XII", "|| FF || "}},
      {"picks build the base-256 field", {{kPick, kText1, {}, 65}, {kPick, kText1, {}, 66}},
       {"16706", "100000101000010", "40502", "4142", "Conversione impossibile (>3999)",
        "|| A || B || "}},
      {"Cancella removes the last pick", {{kPick, kText1, {}, 124}, {kPick, kText1, {}, 0}, {kCancella}},
       {"124", "1111100", "174", "7C", "CXXIV", "|| | || "}},
      {"a fifteenth digit is refused", {{kType, kText1, u"999999999999999"}},
       {"99999999999999", "10110101111001100010000011110100011111111111111", "2657142036437777",
        "5AF3107A3FFF", "Conversione impossibile (>3999)",
        "|| Z || ó || DLE || z || ? || NBSP || "},
       1},
  };
}

}  // namespace tessaldo::front_end_cases
