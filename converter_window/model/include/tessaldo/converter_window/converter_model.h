#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tessaldo/support/yield.h"

namespace tessaldo {

// What the converter window shows and the model writes: the six fields in the order of their
// designer numbers (Text6Raw holds the base-256 notation), and the caption of Label6.
enum class Field { kText1, kText2, kText3, kText4, kText5, kText6Raw, kLabel6 };

inline constexpr int kNumericFields = 4;  // Text1 to Text4 take edits

// The most characters (UTF-16 units) a numeric field holds. A typed, pasted, dropped or replacing
// text longer than this, or an edit whose result would be, is refused whole before it is read;
// the front-ends bound their own reads (clipboard, messages) with it.
inline constexpr int kMaxFieldLength = 256;

// Where the caret stands in a numeric field and what is selected, in characters.
struct Selection {
  int caret = 0;
  int start = 0;
  int length = 0;  // 0: nothing selected
};

// One request of the window. The numeric edits name a field; the texts they carry are what the
// user typed, pasted or dropped (UTF-16, as the window system hands it over). A pasted or dropped
// text is cleaned first: blanks, "_" and "'" dropped, then the prefix of the field's base; in
// Text1 dots between thousands ("1.234.567"), in Text4 lower-case letters taken as capitals.
struct Request {
  enum class Kind {
    kType,       // typed text replacing the selection, or going in at the caret
    kBackspace,  // the selection, or the character before the caret
    kDelete,     // the selection, or the character after the caret
    kCut,        // the selection (cut, the menu's Delete); nothing without one
    kPaste,      // cleaned text replacing the selection (paste, input-method commit)
    kInsert,     // cleaned text going in at `position` (a drop, the middle button)
    kReplace,    // the field's whole new text, the caret at `position`
    kUndo,
    kRedo,
    kPick,      // a token of the character table appended to the picked ones
    kCancella,  // the last picked token removed
  };
  Kind kind = Kind::kType;
  Field field = Field::kText1;
  Selection selection;
  std::u16string text;
  int position = 0;
  std::string token;  // kPick, UTF-8

  static Request Of(Kind kind, std::u16string text = {}, int position = 0) {
    Request request;
    request.kind = kind;
    request.text = std::move(text);
    request.position = position;
    return request;
  }
  static Request Picking(std::string token) {
    Request request;
    request.kind = Kind::kPick;
    request.token = std::move(token);
    return request;
  }
};

enum class Outcome { kUnchanged, kRefused, kAccepted };

// The tone a refused request is answered with.
inline constexpr unsigned kRefusalToneHz = 200;
inline constexpr unsigned kRefusalToneMs = 200;

struct Write {
  Field field;
  std::string text;  // UTF-8
  friend bool operator==(const Write&, const Write&) = default;
};

// What a request did: the writes in the order they are made (the edited field's own text comes
// last), and where the edited field's caret goes. A refused request is answered with the beep.
struct Result {
  Outcome outcome = Outcome::kUnchanged;
  std::vector<Write> writes;
  int caret = -1;  // -1: the caret stays where it is
};

// The converter's rules, without a window: the fields' texts, the filters and the 14-digit limit,
// the conversions and the order of the writes, the hexadecimal hint, the picked tokens, undo and
// redo, and the cleaning of pasted and dropped text. A request either completes or leaves the
// model as it was, also when something it calls throws.
class ConverterModel {
 public:
  // `yield` is called once per digit written and must outlive the model.
  explicit ConverterModel(YieldRef yield);
  ConverterModel();

  Result Apply(const Request& request);

  const std::string& Text(Field field) const { return texts_[static_cast<std::size_t>(field)]; }
  // The tokens picked from the character table, oldest first.
  const std::vector<std::string>& CaratteriScelti() const { return picked_; }
  bool CanUndo(Field field) const;
  bool CanRedo(Field field) const;

 private:
  struct Entry {
    std::string text;
    int caret = 0;
  };
  struct History {
    std::vector<Entry> entries{Entry{}};
    std::size_t at = 0;
  };
  enum class Step { kRecord, kUndo, kRedo };

  Result Edit(const Request& request);
  Result Commit(Field field, const std::u16string& candidate, int caret, Step step, Result result);
  Result Pick(const std::string& token);
  Result Cancella();
  // Writes the notation of `picked` and, when it converts within the limit, its value.
  bool ConvertPicked(const std::vector<std::string>& picked, Result& result);
  std::string Render(Field target, const class Currency& value);
  void Apply(const Result& result, Field edited = Field::kLabel6);

  YieldRef yield_;
  std::array<std::string, 7> texts_;
  std::vector<std::string> picked_;
  std::array<History, kNumericFields> history_;
};

}  // namespace tessaldo
