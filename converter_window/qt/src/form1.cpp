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
#include <QImageReader>
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
#include <cstddef>
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
      presenter_(static_cast<Form1View&>(*this)),
      probe_(std::make_unique<LineEditProbe>()) {
  BuildLayout();
  numeric_ = {Text1, Text2, Text3, Text4};
  connect(Text6Raw, &QLineEdit::textChanged, this, &Form1::Text6Raw_Change, Qt::DirectConnection);
  // A pick takes the row selected when it arrives.
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (item != nullptr) presenter_.Pick(SelectedRow());
  });
  ListView1->installEventFilter(this);
  connect(Command2, &QPushButton::clicked, this, [this] { presenter_.Cancella(); });
  connect(Image1, &ClickableImage::Click, this, [this] { presenter_.Image1Click(); });
  connect(Image2, &ClickableImage::Click, this, [this] { presenter_.Image2Click(); });
  FillTable();
  presenter_.Load();
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
    presenter_.Pick(SelectedRow());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// The table and the panel.

int Form1::OuterWidth() const {
  return width_.Read(width(), kDpi);
}

void Form1::SetOuterWidth(int twips) {
  width_.Set(twips);
  setFixedWidth(width_.ClientPx(kDpi));
}

void Form1::FillTable() {
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

int Form1::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  if (selected.isEmpty()) return -1;
  return ListView1->indexOfTopLevelItem(selected.front());
}

// ---------------------------------------------------------------------------------------------
// The numeric fields' events.

Field Form1::FieldOf(const NumericEdit& field) const {
  return Field(std::find(numeric_.begin(), numeric_.end(), &field) - numeric_.begin());
}

void Form1::FieldKeyPress(NumericEdit& field, QKeyEvent& event) {
  if (IsModifierKey(event.key())) {
    field.DefaultKeyPress(&event);
    return;
  }
  event.accept();
  const int index = static_cast<int>(FieldOf(field));
  std::shared_ptr<QKeyEvent> copy(event.clone());
  presenter_.Key(
      {index, event.key(), event.text().toStdU16String(), event.isAutoRepeat(), event.timestamp()},
      [this, index, copy] { return Resolve(index, *copy); });
}

void Form1::FieldEdit(NumericEdit& field, Request::Kind kind, QClipboard::Mode mode) {
  using GestureKind = Gesture::Kind;
  const bool selection = mode == QClipboard::Selection;
  switch (kind) {
    case Request::Kind::kCut:
      presenter_.Do(FieldOf(field), Gesture::Of(GestureKind::kCut));
      break;
    case Request::Kind::kPaste:
      presenter_.Do(FieldOf(field),
                    Gesture::Of(selection ? GestureKind::kPasteSelection : GestureKind::kPaste));
      break;
    case Request::Kind::kInsert:
      presenter_.Do(FieldOf(field), Gesture::Of(GestureKind::kInsertSelection));
      break;
    default:
      presenter_.Do(FieldOf(field), Gesture::Edit(kind));
      break;
  }
}

void Form1::FieldCommitText(NumericEdit& field, const QString& text) {
  presenter_.Do(FieldOf(field), Gesture::Edit(Request::Kind::kPaste, text.toStdU16String()));
}

bool Form1::FieldDrop(NumericEdit& field, const QString& text, QPoint point) {
  return presenter_.Drop(FieldOf(field), text.toStdU16String(), field.cursorPositionAt(point));
}

void Form1::FieldTextSetElsewhere(NumericEdit& field) {
  presenter_.SetFromOutside(FieldOf(field), field.text().toStdU16String(), field.cursorPosition());
}

bool Form1::FieldCanUndo(const NumericEdit& field) const {
  return presenter_.CanUndo(FieldOf(field));
}

bool Form1::FieldCanRedo(const NumericEdit& field) const {
  return presenter_.CanRedo(FieldOf(field));
}

Gesture Form1::Resolve(int index, QKeyEvent& event) {
  using Kind = Request::Kind;
  if (event.matches(QKeySequence::Undo)) return Gesture::Edit(Kind::kUndo);
  if (event.matches(QKeySequence::Redo)) return Gesture::Edit(Kind::kRedo);
  if (event.matches(QKeySequence::Cut)) return Gesture::Of(Gesture::Kind::kCut);
  if (event.matches(QKeySequence::Paste)) {
    // Ctrl+Shift+Insert pastes the selection clipboard where the system has one.
    const bool selection = event.key() == Qt::Key_Insert &&
                           event.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) &&
                           QGuiApplication::clipboard()->supportsSelection();
    return Gesture::Of(selection ? Gesture::Kind::kPasteSelection : Gesture::Kind::kPaste);
  }
  if (event.matches(QKeySequence::Copy) || event.matches(QKeySequence::SelectAll)) {
    numeric_[index]->DefaultKeyPress(&event);
    return {};
  }
  if (event.matches(QKeySequence::Delete)) return Gesture::Edit(Kind::kDelete);
  if (event.key() == Qt::Key_Backspace &&
      !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
    return Gesture::Edit(Kind::kBackspace);
  }
  if (IsTypedText(event)) return Gesture::Edit(Kind::kType, event.text().toStdU16String());
  return ResolveOtherKey(index, event);
}

// Any other key: whatever QLineEdit would do to the text with it (deleting a word, a line) is the
// field's new text; a key that reaches the field as a control character goes to the filter; the
// rest (caret moves, selections) is QLineEdit's own.
Gesture Form1::ResolveOtherKey(int index, QKeyEvent& event) {
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
    return Gesture::Edit(Request::Of(Request::Kind::kReplace, probe_->text().toStdU16String(),
                                     probe_->cursorPosition()));
  }
  if (!event.text().isEmpty() && event.text().front().category() == QChar::Other_Control) {
    return Gesture::Edit(Request::Kind::kType, event.text().toStdU16String());
  }
  field.DefaultKeyPress(&event);
  return {};
}

// ---------------------------------------------------------------------------------------------
// The presenter's calls.

QLineEdit* Form1::LineEdit(Field field) const {
  if (field == Field::kText5) return Text5;
  if (field == Field::kText6Raw) return Text6Raw;
  return numeric_[static_cast<std::size_t>(field)];
}

void Form1::Show(Field field, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (field == Field::kLabel6) {
    Label6->setText(shown);
  } else if (static_cast<int>(field) < kNumericFields) {
    numeric_[static_cast<std::size_t>(field)]->SetText(shown);
  } else {
    LineEdit(field)->setText(shown);
  }
}

std::string Form1::Shown(Field field) const {
  return (field == Field::kLabel6 ? Label6->text() : LineEdit(field)->text()).toStdString();
}

void Form1::PlaceCaret(Field field, int caret) {
  LineEdit(field)->setCursorPosition(caret);
}

Selection Form1::ShownSelection(Field field) const {
  const QLineEdit& edit = *LineEdit(field);
  const int caret = edit.cursorPosition();
  return edit.hasSelectedText() ? Selection{caret, edit.selectionStart(), edit.selectionLength()}
                                : Selection{caret, caret, 0};
}

void Form1::SizeToCaption(Field /*label*/) {
  Label6->adjustSize();
}

void Form1::Beep(unsigned frequencyHz, unsigned durationMs) {
  beeper_.Beep(frequencyHz, durationMs);
}

std::optional<std::u16string> Form1::ClipboardText(bool selection) {
  return QGuiApplication::clipboard()
      ->text(selection ? QClipboard::Selection : QClipboard::Clipboard)
      .toStdU16String();
}

void Form1::CopySelection(Field field) {
  LineEdit(field)->copy();
}

// A picture that claims more pixels than an arrow has is not decoded.
void Form1::ShowArrow(std::string_view file) {
  QImageReader reader(QDir(QCoreApplication::applicationDirPath()).filePath(Q(file)));
  const QSize size = reader.size();
  if (!size.isValid() || size.width() > kLargestPicturePx || size.height() > kLargestPicturePx) {
    return;
  }
  const QImage picture = reader.read();
  if (!picture.isNull()) Image2->setPixmap(QPixmap::fromImage(picture));
}

// The about window is created on the first click; later clicks load it again when it was closed,
// or bring it to the front.
void Form1::ShowAbout() {
  if (!about_) about_ = std::make_unique<AboutWindowHost>();
  about_->Show();
}

void Form1::PumpEvents() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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
