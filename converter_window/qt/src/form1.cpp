#include "tessaldo/converter_window/form1.h"

#include "tessaldo/about_window/about_window_host.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "tessaldo/conversion/text6_display.h"
#include "tessaldo/converter_window/character_table.h"
#include "tessaldo/converter_window/clickable_image.h"
#include "tessaldo/converter_window/focus_ring.h"
#include "tessaldo/resources.h"
#include "tessaldo/resources/qt_design.h"

namespace tessaldo {

namespace {

using namespace design;
using form1_layout::Kind;

constexpr int kDpi = 96;  // Qt lays widgets out in logical pixels

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsModifierKey(int key) {
  switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
      return true;
    default:
      return false;
  }
}

// A key that QLineEdit would insert as text: printable, and not held with Ctrl alone.
bool IsTypedText(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.isEmpty() || text.front().category() == QChar::Other_Control) return false;
  const Qt::KeyboardModifiers held = event.modifiers();
  return held != Qt::ControlModifier && held != (Qt::ControlModifier | Qt::ShiftModifier);
}

bool IsEnterKey(const QKeyEvent& event) {
  const Qt::KeyboardModifiers held = event.modifiers() & ~Qt::KeypadModifier;
  return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) && held == Qt::NoModifier;
}

}  // namespace

Form1::Form1(platform::Beeper& beeper, QWidget* parent)
    : QWidget(parent),
      beeper_(beeper),
      model_(YieldRef(eventPump_)),
      // Whatever a job throws stops with it: the model took nothing of that edit, and the
      // fields are shown afresh from it.
      jobs_([this](const std::string& why) {
        qCritical("Form1: edit abandoned: %s", why.c_str());
        DisplayModel();
      }),
      probe_(std::make_unique<LineEditProbe>()) {
  BuildLayout();
  numeric_ = {Text1, Text2, Text3, Text4};
  connect(Text6Raw, &QLineEdit::textChanged, this, &Form1::Text6Raw_Change, Qt::DirectConnection);

  // A pick takes the row selected when it arrives; a pick arriving while a job runs waits for it.
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const int row = SelectedRow();
    jobs_.Run([this, row] { ListView1_DblClick(row); });
  });
  ListView1->installEventFilter(this);
  connect(Command2, &QPushButton::clicked, this,
          [this] { jobs_.Run([this] { Command2_Click(); }); });
  connect(Image1, &ClickableImage::Click, this, [this] { jobs_.Run([this] { Image1_Click(); }); });
  connect(Image2, &ClickableImage::Click, this, [this] { jobs_.Run([this] { Image2_Click(); }); });

  Form_Load();
}

// The ring goes first, while the control it is around still lives.
Form1::~Form1() {
  delete focusRing_;
}

// Every control from the designed layout, created in its order, so that each field lies above
// the label strip it covers.
void Form1::BuildLayout() {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(Q(form1_layout::kCaption));
  setWindowIcon(QIcon(QString::fromLatin1(kFormIconPath)));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(TwipsSize(form1_layout::kClientWidth, form1_layout::kClientHeight));

  std::map<int, QWidget*> tabOrder;
  for (const form1_layout::Control& control : form1_layout::Controls()) {
    QWidget* widget = CreateControl(control);
    if (control.tabIndex >= 0 && widget->focusPolicy() != Qt::NoFocus && control.visible) {
      tabOrder[control.tabIndex] = widget;
    }
  }
  QWidget* previous = nullptr;
  for (const auto& [index, widget] : tabOrder) {
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }

  const auto find = [this]<class T>(T*& slot, const char* name) {
    slot = findChild<T*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
  };
  find(Label1, "Label1"), find(Label2, "Label2"), find(Label3, "Label3");
  find(Label4, "Label4"), find(Label5, "Label5"), find(Label6, "Label6");
  find(Text1, "Text1"), find(Text2, "Text2"), find(Text3, "Text3"), find(Text4, "Text4");
  find(Text5, "Text5"), find(Text6Raw, "Text6Raw"), find(Text6, "Text6");
  find(Image1, "Image1"), find(Image2, "Image2");
  find(ListView1, "ListView1"), find(Command2, "Command2");
  Image1->setPixmap(QPixmap(QString::fromLatin1(kEmblemPath)));
  Image2->setPixmap(QPixmap(QString::fromLatin1(kImage2ClosedPath)));

  focusRing_ = new FocusRing(*this);
  Text1->setFocus(Qt::OtherFocusReason);
}

QWidget* Form1::CreateControl(const form1_layout::Control& control) {
  QWidget* widget = nullptr;
  switch (control.kind) {
    case Kind::kLabel: {
      auto* label = new QLabel(Q(control.caption), this);
      label->setWordWrap(false);
      label->setAutoFillBackground(true);
      widget = label;
      break;
    }
    case Kind::kNumericEdit:
      widget = new NumericEdit(*this, this);
      break;
    case Kind::kLockedEdit:
    case Kind::kHiddenEdit: {
      auto* edit = new QLineEdit(this);
      edit->setReadOnly(control.kind == Kind::kLockedEdit);
      widget = edit;
      break;
    }
    case Kind::kRichEdit:
      widget = CreateText6();
      break;
    case Kind::kImage:
      widget = new ClickableImage(this);
      break;
    case Kind::kListView:
      widget = CreateListView1();
      break;
    case Kind::kButton:
      widget = new QPushButton(Q(control.caption), this);
      break;
  }
  widget->setObjectName(Q(control.name));
  const form1_layout::Rect& at = control.twips;
  widget->setGeometry(TwipsRect(at.left, at.top, at.width, at.height));
  if (!control.font.family.empty()) {
    widget->setFont(DesignedFont(std::string(control.font.family).c_str(), control.font.points,
                                 control.font.bold));
  }
  if (control.text && control.background) {
    const bool label = control.kind == Kind::kLabel;
    SetColours(*widget, label ? QPalette::WindowText : QPalette::Text, *control.text,
               label ? QPalette::Window : QPalette::Base, *control.background);
  }
  if (!control.tooltip.empty()) widget->setToolTip(Q(control.tooltip));
  if (control.hand) widget->setCursor(Qt::PointingHandCursor);
  if (!control.accessibleName.empty()) widget->setAccessibleName(Q(control.accessibleName));
  // Labels size themselves to their caption, left and top fixed.
  if (control.kind == Kind::kLabel) widget->adjustSize();
  if (!control.visible) widget->hide();
  return widget;
}

QTextEdit* Form1::CreateText6() {
  auto* text6 = new QTextEdit(this);
  text6->setReadOnly(true);
  text6->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text6->setUndoRedoEnabled(false);
  text6->setAcceptRichText(false);
  text6->setLineWrapMode(QTextEdit::NoWrap);
  text6->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text6->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text6->setTabChangesFocus(true);
  text6->document()->setDocumentMargin(1);
  return text6;
}

QTreeWidget* Form1::CreateListView1() {
  auto* list = new QTreeWidget(this);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setExpandsOnDoubleClick(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
  list->setColumnCount(0);
  return list;
}

void Form1::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(form1_layout::kBackground));
}

// Enter or Return on the table picks the selected row, as a double-click does.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListView1 && event->type() == QEvent::KeyPress &&
      IsEnterKey(*static_cast<QKeyEvent*>(event))) {
    const int row = SelectedRow();
    jobs_.Run([this, row] { ListView1_DblClick(row); });
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Start-up and the panel.

int Form1::OuterWidth() const {
  return width_.Read(width(), kDpi);
}

void Form1::SetOuterWidth(int twips) {
  width_.Set(twips);
  setFixedWidth(width_.ClientPx(kDpi));
}

QString Form1::ProgramDirectory() const {
  return programDirectory_.isEmpty() ? QCoreApplication::applicationDirPath() : programDirectory_;
}

void Form1::SetProgramDirectory(const QString& directory) {
  programDirectory_ = directory;
}

void Form1::Form_Load() {
  SetOuterWidth(panel::kClosedWidth);

  const auto columns = character_table::Columns(ListView1->width() * kTwipsPerPixel);
  QStringList captions;
  for (const character_table::Column& column : columns) captions << Q(column.caption);
  ListView1->setHeaderLabels(captions);
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    ListView1->setColumnWidth(i, Px(columns[static_cast<std::size_t>(i)].twips));
  }

  // Each row complete before it goes in; all of them in one insertion.
  QList<QTreeWidgetItem*> rows;
  rows.reserve(character_table::kRows);
  for (int index = 0; index < character_table::kRows; ++index) {
    const character_table::Row row = character_table::RowAt(index);
    rows.append(new QTreeWidgetItem(QStringList{Q(row.code), Q(row.token)}));
  }
  ListView1->addTopLevelItems(rows);
}

// The about window is created on the first click; later clicks load it again when it was closed,
// or bring it to the front.
void Form1::Image1_Click() {
  if (!about_) about_ = std::make_unique<AboutWindowHost>();
  about_->Show();
}

// Reads the width back after setting it, and only then the picture: a picture that cannot be
// read leaves Image2 as it was, with the width already changed.
void Form1::Image2_Click() {
  SetOuterWidth(panel::Toggled(OuterWidth()));
  QImage picture;
  if (picture.load(QDir(ProgramDirectory()).filePath(Q(panel::PictureFor(OuterWidth()))))) {
    Image2->setPixmap(QPixmap::fromImage(std::move(picture)));
  }
}

int Form1::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  if (selected.isEmpty()) return -1;
  return ListView1->indexOfTopLevelItem(selected.front());
}

// ---------------------------------------------------------------------------------------------
// Guided entry: the model holds the picked tokens.

QStringList Form1::CaratteriScelti() const {
  QStringList tokens;
  for (const std::string& token : model_.CaratteriScelti())
    tokens.append(QString::fromStdString(token));
  return tokens;
}

void Form1::ListView1_DblClick(int row) {
  if (row < 0 || row >= ListView1->topLevelItemCount()) return;
  Display(model_.Apply(Request::Picking(ListView1->topLevelItem(row)->text(1).toStdString())));
}

void Form1::Command2_Click() {
  Display(model_.Apply(Request::Of(Request::Kind::kCancella)));
}

// ---------------------------------------------------------------------------------------------
// The numeric fields' edits, each one job of the window: the digit writers let pending events
// in, and an edit that arrives meanwhile (a posted key, a timer's paste) waits for the running
// job, so no edit ever sees the fields half written.

void Form1::EventPump::operator()() {
  const Clock::time_point now = Clock::now();
  if (now - last < std::chrono::milliseconds(1)) return;
  last = now;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int Form1::IndexOf(const NumericEdit& field) const {
  return static_cast<int>(std::find(numeric_.begin(), numeric_.end(), &field) - numeric_.begin());
}

void Form1::FieldKeyPress(NumericEdit& field, QKeyEvent& event) {
  const int index = IndexOf(field);
  if (jobs_.Running()) {
    std::shared_ptr<QKeyEvent> copy(event.clone());
    event.accept();
    jobs_.Run([this, index, copy] { ProcessKey(index, *copy); });
    return;
  }
  jobs_.Run([this, index, &event] { ProcessKey(index, event); });
}

void Form1::FieldEdit(NumericEdit& field, Request::Kind kind, QClipboard::Mode mode) {
  const int index = IndexOf(field);
  jobs_.Run([this, index, kind, mode] { EditWithClipboard(index, kind, mode); });
}

// A cut copies the selection first; a paste or an insert takes the clipboard's text as it is
// when the edit runs.
void Form1::EditWithClipboard(int index, Request::Kind kind, QClipboard::Mode mode) {
  NumericEdit& field = *numeric_[index];
  Request request = Request::Of(kind);
  if (kind == Request::Kind::kCut && field.hasSelectedText()) field.copy();
  if (kind == Request::Kind::kPaste || kind == Request::Kind::kInsert) {
    request.text = QGuiApplication::clipboard()->text(mode).toStdU16String();
    request.position = field.cursorPosition();
  }
  Edit(index, std::move(request));
}

void Form1::FieldCommitText(NumericEdit& field, const QString& text) {
  const int index = IndexOf(field);
  jobs_.Run([this, index, text] {
    Edit(index, Request::Of(Request::Kind::kPaste, text.toStdU16String()));
  });
}

// A drop that cannot be applied at once is refused to the drag source, which keeps its text.
bool Form1::FieldDrop(NumericEdit& field, const QString& text, QPoint point) {
  if (jobs_.Running()) return false;
  const int index = IndexOf(field);
  bool taken = false;
  jobs_.Run([this, index, &text, point, &taken] {
    taken =
        Edit(index, Request::Of(Request::Kind::kInsert, text.toStdU16String(),
                                numeric_[index]->cursorPositionAt(point))) == Outcome::kAccepted;
  });
  return taken;
}

// Text set from outside the window's edits (an accessibility client sets a field's text
// directly): the field shows the model's text again, and the new text is the user's edit.
void Form1::FieldTextSetElsewhere(NumericEdit& field) {
  const int index = IndexOf(field);
  const QString text = field.text();
  const int caret = field.cursorPosition();
  field.SetText(QString::fromStdString(model_.Text(Field(index))));
  jobs_.Run([this, index, text, caret] {
    Edit(index, Request::Of(Request::Kind::kReplace, text.toStdU16String(), caret));
  });
}

bool Form1::FieldCanUndo(const NumericEdit& field) const {
  return model_.CanUndo(Field(IndexOf(field)));
}

bool Form1::FieldCanRedo(const NumericEdit& field) const {
  return model_.CanRedo(Field(IndexOf(field)));
}

// ---------------------------------------------------------------------------------------------
// Keys. Auto-repeats of a key that arrive while its last run was still going (a refused key's
// tone) are merged into that run: a held key never puts the window behind the keyboard.

void Form1::ProcessKey(int index, QKeyEvent& event) {
  NumericEdit& field = *numeric_[index];
  if (IsModifierKey(event.key())) {
    field.DefaultKeyPress(&event);
    return;
  }
  event.accept();
  const KeyStroke stroke{index, event.key(), event.text().toStdU16String(), event.isAutoRepeat(),
                         event.timestamp()};
  if (held_.Merged(stroke)) return;
  const auto started = std::chrono::steady_clock::now();
  ProcessKeyNow(index, event);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  held_.Ran(stroke, static_cast<std::uint64_t>(took.count()));
}

void Form1::ProcessKeyNow(int index, QKeyEvent& event) {
  using Kind = Request::Kind;
  NumericEdit& field = *numeric_[index];
  if (event.matches(QKeySequence::Undo)) {
    Edit(index, Request::Of(Kind::kUndo));
  } else if (event.matches(QKeySequence::Redo)) {
    Edit(index, Request::Of(Kind::kRedo));
  } else if (event.matches(QKeySequence::Cut)) {
    EditWithClipboard(index, Kind::kCut, QClipboard::Clipboard);
  } else if (event.matches(QKeySequence::Paste)) {
    // Ctrl+Shift+Insert pastes the selection clipboard where the system has one.
    const bool selection = event.key() == Qt::Key_Insert &&
                           event.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) &&
                           QGuiApplication::clipboard()->supportsSelection();
    EditWithClipboard(index, Kind::kPaste,
                      selection ? QClipboard::Selection : QClipboard::Clipboard);
  } else if (event.matches(QKeySequence::Copy) || event.matches(QKeySequence::SelectAll)) {
    field.DefaultKeyPress(&event);
  } else if (event.matches(QKeySequence::Delete)) {
    Edit(index, Request::Of(Kind::kDelete));
  } else if (event.key() == Qt::Key_Backspace &&
             !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
    Edit(index, Request::Of(Kind::kBackspace));
  } else if (IsTypedText(event)) {
    Edit(index, Request::Of(Kind::kType, event.text().toStdU16String()));
  } else {
    ProcessOtherKey(index, event);
  }
}

// Any other key: whatever QLineEdit would do to the text with it (deleting a word, a line) is the
// field's new text; a key that reaches the field as a control character is refused by the
// filter; the rest (caret moves, selections) is QLineEdit's own.
void Form1::ProcessOtherKey(int index, QKeyEvent& event) {
  NumericEdit& field = *numeric_[index];
  probe_->setText(field.text());
  if (field.hasSelectedText()) {
    const int start = field.selectionStart();
    const int length = field.selectionLength();
    if (field.cursorPosition() == start) {
      probe_->setSelection(start + length, -length);
    } else {
      probe_->setSelection(start, length);
    }
  } else {
    probe_->setCursorPosition(field.cursorPosition());
  }
  probe_->Feed(&event);
  if (probe_->text() != field.text()) {
    Edit(index, Request::Of(Request::Kind::kReplace, probe_->text().toStdU16String(),
                            probe_->cursorPosition()));
  } else if (!event.text().isEmpty() && event.text().front().category() == QChar::Other_Control) {
    Edit(index, Request::Of(Request::Kind::kType, event.text().toStdU16String()));
  } else {
    field.DefaultKeyPress(&event);
  }
}

// ---------------------------------------------------------------------------------------------
// The model's answers.

Outcome Form1::Edit(int index, Request request) {
  const NumericEdit& field = *numeric_[index];
  request.field = Field(index);
  const int caret = field.cursorPosition();
  request.selection = field.hasSelectedText()
                          ? Selection{caret, field.selectionStart(), field.selectionLength()}
                          : Selection{caret, caret, 0};
  const Result result = model_.Apply(request);
  Display(result, index);
  return result.outcome;
}

void Form1::Display(const Result& result, int edited) {
  for (const Write& write : result.writes) {
    const QString text = QString::fromStdString(write.text);
    const int index = static_cast<int>(write.field);
    if (write.field == Field::kLabel6) {
      SetLabel6Caption(text);
    } else if (write.field == Field::kText6Raw) {
      Text6Raw->setText(text);
    } else {
      QLineEdit* shown = Text5;
      if (index < kNumericFields) {
        numeric_[index]->SetText(text);
        shown = numeric_[index];
      } else {
        Text5->setText(text);
      }
      // A field written by a conversion shows its beginning, as an edit box does once its text
      // is set; a long number scrolled to its end would read as another.
      if (index != edited) shown->setCursorPosition(0);
    }
  }
  if (edited >= 0 && result.caret >= 0) numeric_[edited]->setCursorPosition(result.caret);
  if (result.outcome == Outcome::kRefused) beeper_.Beep(kRefusalToneHz, kRefusalToneMs);
}

// Every field as the model holds it; a field that shows it already keeps its caret.
void Form1::DisplayModel() {
  Result differing;
  for (const Field field : {Field::kText1, Field::kText2, Field::kText3, Field::kText4,
                            Field::kText5, Field::kText6Raw, Field::kLabel6}) {
    const int index = static_cast<int>(field);
    const QString shown = field == Field::kLabel6     ? Label6->text()
                          : field == Field::kText5    ? Text5->text()
                          : field == Field::kText6Raw ? Text6Raw->text()
                                                      : numeric_[index]->text();
    if (shown.toStdString() != model_.Text(field))
      differing.writes.push_back({field, model_.Text(field)});
  }
  Display(differing);
}

// Labels size themselves to their caption; a longer one grows to the right.
void Form1::SetLabel6Caption(const QString& caption) {
  if (Label6->text() == caption) return;
  Label6->setText(caption);
  Label6->adjustSize();
}

// ---------------------------------------------------------------------------------------------
// Base-256 display: the shown text in dark blue, the red bars where the rule puts them.

void Form1::Text6Raw_Change() {
  const Text6Display shown = ShowText6(Text6Raw->text().toStdU16String());
  if (shown.text.empty()) {
    Text6->clear();
    return;
  }
  QTextDocument& document = *Text6->document();
  QTextCursor cursor(&document);
  // One edit block: the document is laid out once, when the redraw is complete. The whole text
  // goes in dark blue, keeping the field's font.
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  QTextCharFormat blue;
  blue.setForeground(ToQColor(kDarkBlue));
  cursor.insertText(QString::fromStdU16String(shown.text), blue);
  for (const int bar : shown.red) {
    cursor.setPosition(bar);
    cursor.setPosition(bar + 1, QTextCursor::KeepAnchor);
    QTextCharFormat red = cursor.charFormat();
    red.setForeground(ToQColor(kSeparatorRed));
    cursor.setCharFormat(red);
  }
  cursor.endEditBlock();
  cursor.setPosition(0);
  Text6->setTextCursor(cursor);
}

}  // namespace tessaldo
