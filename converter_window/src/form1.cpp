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
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "tessaldo/conversion/code_page.h"
#include "tessaldo/converter_window/clickable_image.h"
#include "tessaldo/converter_window/text6_display.h"
#include "tessaldo/resources.h"
#include "tessaldo/resources/qt_design.h"

namespace tessaldo {

namespace {

using namespace design;

constexpr unsigned kBeepHz = 200;
constexpr unsigned kBeepMs = 200;

// Outer widths in twips: the panel with the table is closed at exactly kClosedWidth and open at
// any other width. The frame counted into them is the designed one, 45 twips on each side, not
// whatever the window system draws: the client area, which the window controls, then cuts the
// panel off at the same place everywhere (3940 twips, left of the table at 3960).
constexpr int kFrameTwips = 45;
constexpr int kClosedWidth = 4030;
constexpr int kOpenWidth = 7185;

// The character table's columns, in twips; the second is the list's width less kTokenMargin.
constexpr int kCodeColumnWidth = 1200;
constexpr int kTokenMargin = 1560;
constexpr int kCodes = 256;

const QString kClosedPicture = QStringLiteral("left.jpg");
const QString kOpenPicture = QStringLiteral("right.jpg");

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

QString TokenOf(int code) {
  const std::string_view token = CodePage::TokenOf(static_cast<std::uint8_t>(code));
  return QString::fromUtf8(token.data(), static_cast<qsizetype>(token.size()));
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
      probe_(std::make_unique<LineEditProbe>()) {
  BuildLayout();
  numeric_ = {Text1, Text2, Text3, Text4};
  connect(Text6Raw, &QLineEdit::textChanged, this, &Form1::Text6Raw_Change, Qt::DirectConnection);

  // A pick takes the row selected when it arrives; a pick arriving while a job runs waits for it.
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const int row = SelectedRow();
    RunExclusive([this, row] { ListView1_DblClick(row); });
  });
  ListView1->installEventFilter(this);
  connect(Command2, &QPushButton::clicked, this,
          [this] { RunExclusive([this] { Command2_Click(); }); });
  connect(Image1, &ClickableImage::Click, this,
          [this] { RunExclusive([this] { Image1_Click(); }); });
  connect(Image2, &ClickableImage::Click, this,
          [this] { RunExclusive([this] { Image2_Click(); }); });

  Form_Load();
}

Form1::~Form1() = default;

void Form1::BuildLayout() {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tessaldo"));
  setWindowIcon(QIcon(QString::fromLatin1(kFormIconPath)));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(TwipsSize(7095, 5550));
  outerWidth_ = kOpenWidth;

  auto label = [this](const char* name, const char* caption, int left, int top, qreal points) {
    auto* l = new QLabel(QString::fromUtf8(caption), this);
    l->setObjectName(QLatin1String(name));
    l->setFont(DesignedFont("Comic Sans MS", points));
    l->setWordWrap(false);
    l->setAutoFillBackground(true);
    SetColours(*l, QPalette::WindowText, kWhite, QPalette::Window, kDarkBlue);
    l->move(TwipsRect(left, top, 0, 0).topLeft());
    l->adjustSize();
    return l;
  };
  auto numeric = [this](const char* name, QRect rect, QFont font, const char* accessible) {
    auto* field = new NumericEdit(*this, this);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(rect);
    field->setFont(font);
    SetColours(*field, QPalette::Text, kDarkBlue, QPalette::Base, kFieldBackground);
    field->setAccessibleName(QString::fromUtf8(accessible));
    return field;
  };
  auto picture = [this](const char* name, QRect rect, const char* resource, const char* tip) {
    auto* image = new ClickableImage(this);
    image->setObjectName(QLatin1String(name));
    image->setGeometry(rect);
    image->setPixmap(QPixmap(QString::fromLatin1(resource)));
    image->setToolTip(QString::fromUtf8(tip));
    image->setCursor(Qt::PointingHandCursor);
    return image;
  };

  // Created in the designed order, so that each field lies above the label strip it covers.
  Label1 = label("Label1", "Decimale", 120, 240, 12);
  Text1 = numeric("Text1", TwipsRect(120, 600, 2655, 525),
                  DesignedFont("Comic Sans MS", 14.25, true), "Decimale");
  Image1 = picture("Image1", TwipsRect(2985, 420, 720, 720), kEmblemPath, "Autore");
  Label4 = label("Label4", "Binario", 120, 1320, 9.75);
  Text2 = numeric("Text2", TwipsRect(120, 1560, 3735, 405), DesignedFont("Comic Sans MS", 12),
                  "Binario");
  Label5 = label("Label5", "Ottale", 120, 2160, 9.75);
  Text3 = numeric("Text3", TwipsRect(120, 2400, 3735, 405), DesignedFont("Comic Sans MS", 12),
                  "Ottale");
  Label6 = label("Label6", "Esadecimale", 120, 3000, 9.75);
  Text4 = numeric("Text4", TwipsRect(120, 3240, 3735, 405), DesignedFont("Comic Sans MS", 12),
                  "Esadecimale");
  Label2 = label("Label2", "Romano", 120, 3840, 9.75);

  Text5 = new QLineEdit(this);
  Text5->setObjectName(QStringLiteral("Text5"));
  Text5->setGeometry(TwipsRect(120, 4080, 3735, 405));
  Text5->setFont(DesignedFont("Comic Sans MS", 12));
  SetColours(*Text5, QPalette::Text, kDarkBlue, QPalette::Base, kFieldBackground);
  Text5->setReadOnly(true);
  Text5->setAccessibleName(QStringLiteral("Romano"));

  Label3 = label("Label3", "UTF-8   (Base 256)", 120, 4680, 9.75);
  Label3->setToolTip(QStringLiteral(
      "Conversione dei numeri in base 256 con rappresentazione tramite i simboli del set di "
      "caratteri UTF-8"));

  Text6Raw = new QLineEdit(this);
  Text6Raw->setObjectName(QStringLiteral("Text6Raw"));
  Text6Raw->setGeometry(TwipsRect(2760, 4560, 735, 285));
  Text6Raw->hide();

  Text6 = new QTextEdit(this);
  Text6->setObjectName(QStringLiteral("Text6"));
  Text6->setGeometry(TwipsRect(120, 4920, 3135, 375));
  Text6->setFont(DesignedFont("Arial", 12, true));
  SetColours(*Text6, QPalette::Text, kDarkBlue, QPalette::Base, kFieldBackground);
  Text6->setReadOnly(true);
  Text6->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Text6->setUndoRedoEnabled(false);
  Text6->setAcceptRichText(false);
  Text6->setLineWrapMode(QTextEdit::NoWrap);
  Text6->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text6->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text6->setTabChangesFocus(true);
  Text6->document()->setDocumentMargin(1);
  Text6->setToolTip(QStringLiteral("Le barre rosse separano i vari caratteri"));
  Text6->setAccessibleName(QStringLiteral("UTF-8   (Base 256)"));

  Image2 = picture("Image2", TwipsRect(3360, 4920, 360, 360), kImage2ClosedPath,
                   "Visualizza/Nascondi la scrittura guidata del campo UTF-8");

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setGeometry(TwipsRect(3960, 120, 3015, 4695));
  ListView1->setFont(DesignedFont("Comic Sans MS", 9));
  ListView1->setRootIsDecorated(false);
  ListView1->setItemsExpandable(false);
  ListView1->setExpandsOnDoubleClick(false);
  ListView1->setUniformRowHeights(true);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setAllColumnsShowFocus(true);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->header()->setStretchLastSection(false);
  ListView1->header()->setSectionsMovable(false);
  ListView1->setColumnCount(0);

  Command2 = new QPushButton(QStringLiteral("Cancella"), this);
  Command2->setObjectName(QStringLiteral("Command2"));
  Command2->setGeometry(TwipsRect(6120, 4920, 855, 375));
  Command2->setToolTip(QStringLiteral("Cancella l'ultimo carattere inserito"));
  Command2->setCursor(Qt::PointingHandCursor);

  for (QWidget* field : std::initializer_list<QWidget*>{Text1, Text2, Text3, Text4, Text5, Text6}) {
    field->raise();
  }

  QWidget::setTabOrder(Text1, Text2);
  QWidget::setTabOrder(Text2, Text3);
  QWidget::setTabOrder(Text3, Text4);
  QWidget::setTabOrder(Text4, Text5);
  QWidget::setTabOrder(Text5, Text6);
  QWidget::setTabOrder(Text6, ListView1);
  QWidget::setTabOrder(ListView1, Command2);
  Text1->setFocus(Qt::OtherFocusReason);
}

void Form1::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(kDarkBlue));
}

// Enter or Return on the table picks the selected row, as a double-click does.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListView1 && event->type() == QEvent::KeyPress &&
      IsEnterKey(*static_cast<QKeyEvent*>(event))) {
    const int row = SelectedRow();
    RunExclusive([this, row] { ListView1_DblClick(row); });
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Start-up and the panel.

int Form1::OuterWidth() const {
  if (width() == Px(outerWidth_ - 2 * kFrameTwips)) return outerWidth_;
  return width() * kTwipsPerPixel + 2 * kFrameTwips;
}

void Form1::SetOuterWidth(int twips) {
  outerWidth_ = std::max(twips, 2 * kFrameTwips);
  setFixedWidth(Px(outerWidth_ - 2 * kFrameTwips));
}

QString Form1::ProgramDirectory() const {
  return programDirectory_.isEmpty() ? QCoreApplication::applicationDirPath() : programDirectory_;
}

void Form1::SetProgramDirectory(const QString& directory) {
  programDirectory_ = directory;
}

void Form1::Form_Load() {
  SetOuterWidth(kClosedWidth);

  ListView1->setHeaderLabels({QStringLiteral("Codice"), QStringLiteral("Carattere")});
  ListView1->setColumnWidth(0, Px(kCodeColumnWidth));
  const int listWidth = ListView1->width() * kTwipsPerPixel;
  ListView1->setColumnWidth(1, Px(listWidth - kTokenMargin));

  // Each row complete before it goes in; all 256 in one insertion.
  QList<QTreeWidgetItem*> rows;
  rows.reserve(kCodes);
  for (int code = 0; code < kCodes; ++code) {
    rows.append(new QTreeWidgetItem(QStringList{QString::number(code), TokenOf(code)}));
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
  SetOuterWidth(OuterWidth() == kClosedWidth ? kOpenWidth : kClosedWidth);
  const QString name = OuterWidth() == kClosedWidth ? kClosedPicture : kOpenPicture;
  QImage picture;
  if (picture.load(QDir(ProgramDirectory()).filePath(name))) {
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
// One job at a time. The digit writers let pending events in; an edit that arrives meanwhile
// (a posted key, a timer's paste) waits in `pending_` and runs when the running job has ended,
// so no edit ever sees the fields half written. Whatever a job throws stops here: the model took
// nothing of that edit, and the fields are shown afresh from it.

void Form1::RunExclusive(std::function<void()> job) {
  pending_.push_back(std::move(job));
  if (running_) return;
  running_ = true;
  while (!pending_.empty()) {
    std::function<void()> next = std::move(pending_.front());
    pending_.pop_front();
    try {
      next();
    } catch (const std::exception& error) {
      qCritical("Form1: edit abandoned: %s", error.what());
      DisplayModel();
    } catch (...) {
      qCritical("Form1: edit abandoned");
      DisplayModel();
    }
  }
  running_ = false;
}

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
  if (running_) {
    std::shared_ptr<QKeyEvent> copy(event.clone());
    pending_.push_back([this, index, copy] { ProcessKey(index, *copy); });
    event.accept();
    return;
  }
  RunExclusive([this, index, &event] { ProcessKey(index, event); });
}

void Form1::FieldEdit(NumericEdit& field, Request::Kind kind, QClipboard::Mode mode) {
  const int index = IndexOf(field);
  RunExclusive([this, index, kind, mode] { EditWithClipboard(index, kind, mode); });
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
  RunExclusive([this, index, text] {
    Edit(index, Request::Of(Request::Kind::kPaste, text.toStdU16String()));
  });
}

// A drop that cannot be applied at once is refused to the drag source, which keeps its text.
bool Form1::FieldDrop(NumericEdit& field, const QString& text, QPoint point) {
  if (running_) return false;
  const int index = IndexOf(field);
  bool taken = false;
  RunExclusive([this, index, &text, point, &taken] {
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
  RunExclusive([this, index, text, caret] {
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
// tone) are merged into that run, as Windows merges the repeats it could not deliver: a held key
// never puts the window behind the keyboard.

void Form1::ProcessKey(int index, QKeyEvent& event) {
  NumericEdit& field = *numeric_[index];
  if (IsModifierKey(event.key())) {
    field.DefaultKeyPress(&event);
    return;
  }
  event.accept();
  if (event.isAutoRepeat() && event.timestamp() != 0 && held_.index == index &&
      held_.key == event.key() && held_.text == event.text() && event.timestamp() < held_.until) {
    return;
  }
  const auto started = std::chrono::steady_clock::now();
  ProcessKeyNow(index, event);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  held_ = {index, event.key(), event.text(), event.timestamp() + quint64(took.count())};
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
    if (write.field == Field::kLabel6) {
      SetLabel6Caption(text);
    } else if (static_cast<int>(write.field) < kNumericFields) {
      numeric_[static_cast<int>(write.field)]->SetText(text);
    } else {
      (write.field == Field::kText5 ? Text5 : Text6Raw)->setText(text);
    }
  }
  if (edited >= 0 && result.caret >= 0) numeric_[edited]->setCursorPosition(result.caret);
  if (result.outcome == Outcome::kRefused) beeper_.Beep(kBeepHz, kBeepMs);
}

// Every field as the model holds it.
void Form1::DisplayModel() {
  Result all;
  for (const Field field : {Field::kText1, Field::kText2, Field::kText3, Field::kText4,
                            Field::kText5, Field::kText6Raw, Field::kLabel6}) {
    all.writes.push_back({field, model_.Text(field)});
  }
  Display(all);
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
