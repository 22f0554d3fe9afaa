#include "tessaldo/converter_window/form1_presenter.h"

#include <chrono>
#include <utility>

#include "tessaldo/converter_window/character_table.h"
#include "tessaldo/converter_window/panel.h"

namespace tessaldo {

namespace {

constexpr Field kShownFields[] = {Field::kText1, Field::kText2,    Field::kText3, Field::kText4,
                                  Field::kText5, Field::kText6Raw, Field::kLabel6};

bool IsNumeric(Field field) {
  return static_cast<int>(field) >= 0 && static_cast<int>(field) < kNumericFields;
}

}  // namespace

std::uint64_t Form1Presenter::SteadyMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

Form1Presenter::Form1Presenter(Form1View& view, Clock clock)
    : view_(view),
      clock_(std::move(clock)),
      model_(YieldRef(yield_)),
      // The model took nothing of an abandoned edit: every field shows it afresh.
      jobs_([this](const std::string&) {
        try {
          Resync();
        } catch (...) {  // the next job resyncs again
        }
      }) {}

// Called once per digit written. A pass over the window's events costs as much as a hundred
// digits, so it runs at most once a millisecond.
void Form1Presenter::Yield::operator()() const {
  const std::uint64_t now = presenter->clock_();
  if (now == presenter->lastYield_) return;
  presenter->lastYield_ = now;
  presenter->view_.PumpEvents();
}

void Form1Presenter::Load() {
  view_.SetOuterWidth(panel::kClosedWidth);
}

void Form1Presenter::Do(Field field, Gesture gesture) {
  jobs_.Run([this, field, gesture = std::move(gesture)] { Perform(field, gesture); });
}

void Form1Presenter::Key(const KeyStroke& stroke, std::function<Gesture()> resolve) {
  jobs_.Run([this, stroke, resolve = std::move(resolve)] {
    if (held_.Merged(stroke)) return;
    const std::uint64_t started = clock_();
    Perform(Field(stroke.field), resolve());
    held_.Ran(stroke, clock_() - started);
  });
}

bool Form1Presenter::Drop(Field field, std::u16string text, int position) {
  if (jobs_.Running() || !IsNumeric(field)) return false;
  bool taken = false;
  jobs_.Run([this, field, &taken, text = std::move(text), position] {
    taken = Edit(field, Request::Of(Request::Kind::kInsert, text, position)) == Outcome::kAccepted;
  });
  return taken;
}

void Form1Presenter::SetFromOutside(Field field, std::u16string text, int caret) {
  if (!IsNumeric(field)) return;
  if (view_.Shown(field) != model_.Text(field)) view_.Show(field, model_.Text(field));
  Do(field, Gesture::Edit(Request::Of(Request::Kind::kReplace, std::move(text), caret)));
}

void Form1Presenter::Pick(int row) {
  jobs_.Run([this, row] {
    if (row < 0 || row >= character_table::kRows) return;
    Display(model_.Apply(Request::Picking(character_table::RowAt(row).token)));
  });
}

void Form1Presenter::Cancella() {
  jobs_.Run([this] { Display(model_.Apply(Request::Of(Request::Kind::kCancella))); });
}

void Form1Presenter::Image1Click() {
  jobs_.Run([this] { view_.ShowAbout(); });
}

// The width first, read back, and only then the picture for it.
void Form1Presenter::Image2Click() {
  jobs_.Run([this] {
    view_.SetOuterWidth(panel::Toggled(view_.OuterWidth()));
    view_.ShowArrow(panel::PictureFor(view_.OuterWidth()));
  });
}

// A cut copies the selection first; pastes take the clipboard's text as it is when they run.
void Form1Presenter::Perform(Field field, const Gesture& gesture) {
  using Kind = Gesture::Kind;
  if (!IsNumeric(field)) return;
  switch (gesture.kind) {
    case Kind::kNone:
      return;
    case Kind::kEdit:
      Edit(field, gesture.request);
      return;
    case Kind::kCut:
      if (view_.ShownSelection(field).length > 0) view_.CopySelection(field);
      Edit(field, Request::Of(Request::Kind::kCut));
      return;
    case Kind::kPaste:
    case Kind::kPasteSelection:
    case Kind::kInsertSelection: {
      std::optional<std::u16string> text = view_.ClipboardText(gesture.kind != Kind::kPaste);
      if (!text) return;
      Request request = Request::Of(
          gesture.kind == Kind::kInsertSelection ? Request::Kind::kInsert : Request::Kind::kPaste,
          std::move(*text), view_.ShownSelection(field).caret);
      Edit(field, std::move(request));
      return;
    }
  }
}

// Hands an edit, with the field's caret and selection, to the model and shows its answer.
Outcome Form1Presenter::Edit(Field field, Request request) {
  request.field = field;
  request.selection = view_.ShownSelection(field);
  const Result result = model_.Apply(request);
  Display(result, field);
  return result.outcome;
}

// The writes in their order. A field written by a conversion shows its beginning, as an edit box
// does once its text is set: a long number scrolled to its end would read as another. The edited
// field's caret goes where the model puts it; a refusal beeps.
void Form1Presenter::Display(const Result& result, std::optional<Field> edited) {
  const Write* caption = nullptr;  // Label6 takes only the last caption of an answer
  for (const Write& write : result.writes)
    if (write.field == Field::kLabel6) caption = &write;
  for (const Write& write : result.writes) {
    if (write.field == Field::kLabel6) {
      if (&write != caption || view_.Shown(Field::kLabel6) == write.text) continue;
      view_.Show(Field::kLabel6, write.text);
      view_.SizeToCaption(Field::kLabel6);
      continue;
    }
    view_.Show(write.field, write.text);
    if (write.field != edited) view_.PlaceCaret(write.field, 0);
  }
  if (edited && result.caret >= 0) view_.PlaceCaret(*edited, result.caret);
  if (result.outcome == Outcome::kRefused) view_.Beep(kRefusalToneHz, kRefusalToneMs);
}

// Every field that does not show what the model holds shows it again; the others keep their
// caret.
void Form1Presenter::Resync() {
  Result differing;
  for (const Field field : kShownFields) {
    if (view_.Shown(field) != model_.Text(field)) {
      differing.writes.push_back({field, model_.Text(field)});
    }
  }
  Display(differing);
}

}  // namespace tessaldo
