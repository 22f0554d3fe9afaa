#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "tessaldo/converter_window/converter_model.h"
#include "tessaldo/converter_window/held_keys.h"
#include "tessaldo/converter_window/job_queue.h"

namespace tessaldo {

// What the presenter asks of a converter window. The fields are named as the model names them;
// Text6Raw's text is shown by the window's Text6 as the base-256 display draws it.
class Form1View {
 public:
  virtual ~Form1View() = default;

  // Sets the text a field or Label6 shows (UTF-8), as the window's own write.
  virtual void Show(Field field, const std::string& text) = 0;
  // The text a field or Label6 shows now.
  virtual std::string Shown(Field field) const = 0;
  // Puts the caret of a field at `caret`, nothing selected, and scrolls it into view.
  virtual void PlaceCaret(Field field, int caret) = 0;
  // The caret and the selection of a numeric field.
  virtual Selection ShownSelection(Field field) const = 0;
  // Sizes a label to its caption, left and top fixed.
  virtual void SizeToCaption(Field label) = 0;
  virtual void Beep(unsigned frequencyHz, unsigned durationMs) = 0;

  // The clipboard's text, or the selection clipboard's; nothing when it holds no text.
  virtual std::optional<std::u16string> ClipboardText(bool selection) = 0;
  // Copies a numeric field's selection to the clipboard.
  virtual void CopySelection(Field field) = 0;

  // The outer width in twips, as panel::OuterWidth reads it.
  virtual int OuterWidth() const = 0;
  virtual void SetOuterWidth(int twips) = 0;
  // Shows in Image2 the picture of `file`, read from beside the program; a picture that cannot
  // be read leaves Image2 as it is.
  virtual void ShowArrow(std::string_view file) = 0;
  virtual void ShowAbout() = 0;

  // Lets the window's pending events through, except the user's input.
  virtual void PumpEvents() = 0;
};

// What a key, a menu entry or another command asks of a numeric field.
struct Gesture {
  enum class Kind {
    kNone,            // nothing (the widget's own handling of the key is all)
    kEdit,            // `request`
    kCut,             // copies the selection, then removes it
    kPaste,           // the clipboard's text replacing the selection
    kPasteSelection,  // the selection clipboard's text replacing the selection
    kInsertSelection  // the selection clipboard's text going in at the caret
  };
  Kind kind = Kind::kNone;
  Request request;

  static Gesture Edit(Request request) { return {Kind::kEdit, std::move(request)}; }
  static Gesture Edit(Request::Kind kind, std::u16string text = {}) {
    return Edit(Request::Of(kind, std::move(text)));
  }
  static Gesture Of(Kind kind) { return {kind, {}}; }
};

// Every decision of the converter window that is not a widget: what each event does, in which
// order the fields are written and where their carets go, when to beep, the merging of held keys,
// the yield's pace, one job at a time with a resync after an abandoned one, the busy drop, the
// panel and its arrow. The window turns its toolkit's events into these calls.
class Form1Presenter {
 public:
  // A clock in milliseconds; the window system's key times are compared against it.
  using Clock = std::function<std::uint64_t()>;
  static std::uint64_t SteadyMs();

  explicit Form1Presenter(Form1View& view, Clock clock = SteadyMs);
  Form1Presenter(const Form1Presenter&) = delete;
  Form1Presenter& operator=(const Form1Presenter&) = delete;

  // Start-up: the window narrowed, the panel closed.
  void Load();

  // A gesture on a numeric field, run as one job: now, or after the running one.
  void Do(Field field, Gesture gesture);
  // A key: `resolve` runs when the key's turn comes and says what it asks for. Auto-repeats of
  // the key that last ran, pressed while it still ran, are merged into that run.
  void Key(const KeyStroke& stroke, std::function<Gesture()> resolve);
  // Text dropped on a numeric field at `position`; true when it was taken. A drop that cannot
  // be applied at once is refused, so that the drag source keeps its text.
  bool Drop(Field field, std::u16string text, int position);
  // A numeric field's text set from outside the window's edits (an assistive tool): the field
  // shows the model's text again, and the new text is the user's edit.
  void SetFromOutside(Field field, std::u16string text, int caret);

  // A double-click or Enter on the character table's row `row` (-1: none selected).
  void Pick(int row);
  void Cancella();
  void Image1Click();
  void Image2Click();

  bool CanUndo(Field field) const { return model_.CanUndo(field); }
  bool CanRedo(Field field) const { return model_.CanRedo(field); }

 private:
  struct Yield {
    Form1Presenter* presenter;
    void operator()() const;
  };

  void Perform(Field field, const Gesture& gesture);
  Outcome Edit(Field field, Request request);
  void Display(const Result& result, std::optional<Field> edited = std::nullopt);
  void Resync();

  Form1View& view_;
  Clock clock_;
  Yield yield_{this};
  std::uint64_t lastYield_ = 0;
  ConverterModel model_;
  JobQueue jobs_;
  HeldKeys held_;
};

}  // namespace tessaldo
