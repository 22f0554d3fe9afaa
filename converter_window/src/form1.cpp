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
#include "tessaldo/conversion/conversioni.h"
#include "tessaldo/conversion/expected.h"
#include "tessaldo/conversion/failure.h"
#include "tessaldo/converter_window/clickable_image.h"
#include "twips.h"

namespace tessaldo {

namespace {

using detail::TwipsRect;
using detail::TwipsSize;

constexpr QRgb kDarkBlue = qRgb(0, 0, 150);
constexpr QRgb kFieldBackground = qRgb(192, 192, 255);
constexpr QRgb kSeparatorRed = qRgb(255, 0, 0);
constexpr QRgb kLabelText = qRgb(255, 255, 255);

constexpr unsigned kBeepHz = 200;
constexpr unsigned kBeepMs = 200;

// Every number the window accepts has at most this many decimal digits.
constexpr qsizetype kMaxDigits = 14;
constexpr int kRomanMax = 3999;
constexpr std::size_t kHistoryDepth = 1000;

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

const QString kHexCaption = QStringLiteral("Esadecimale");
const QString kHexHint = QStringLiteral("Esadecimale (solo MAIUSCOLE)");
const QString kRomanTooLarge = QStringLiteral("Conversione impossibile (>3999)");
const QString kClosedPicture = QStringLiteral("left.jpg");
const QString kOpenPicture = QStringLiteral("right.jpg");

bool IsDecimalDigit(QChar c) {
  return c >= u'0' && c <= u'9';
}
bool IsBinaryDigit(QChar c) {
  return c == u'0' || c == u'1';
}
bool IsOctalDigit(QChar c) {
  return c >= u'0' && c <= u'7';
}
bool IsUpperHexDigit(QChar c) {
  return IsDecimalDigit(c) || (c >= u'A' && c <= u'F');
}
bool IsLowerHexLetter(QChar c) {
  return c >= u'a' && c <= u'f';
}

// How each numeric field reads and writes the number. The decimal field counts its own
// characters against the limit and keeps what the user typed; the others count the value's
// digits, so they take any number of leading zeros.
struct NumericRule {
  bool (*accepts)(QChar);
  Expected<Currency, Failure> (*read)(std::string_view);
  bool limitsOwnText;
  const char16_t* pastePrefix;  // the base's prefix that a paste may carry, or empty
  bool lowerCaseHint;
  std::array<FieldId, 5> writeOut;  // in the order the field writes them
};

using enum FieldId;
constexpr int kHexIndex = 3;

const std::array<NumericRule, 4> kRules{{
    {.accepts = IsDecimalDigit,
     .read = Currency::FromDecimalText,
     .limitsOwnText = true,
     .pastePrefix = u"",
     .lowerCaseHint = false,
     .writeOut = {kText2, kText3, kText4, kText6Raw, kText5}},
    {.accepts = IsBinaryDigit,
     .read = Conversioni::BinarioADecimale,
     .limitsOwnText = false,
     .pastePrefix = u"0b",
     .lowerCaseHint = false,
     .writeOut = {kText1, kText4, kText3, kText6Raw, kText5}},
    {.accepts = IsOctalDigit,
     .read = Conversioni::OttaleADecimale,
     .limitsOwnText = false,
     .pastePrefix = u"0o",
     .lowerCaseHint = false,
     .writeOut = {kText1, kText2, kText4, kText6Raw, kText5}},
    {.accepts = IsUpperHexDigit,
     .read = Conversioni::EsadecimaleADecimale,
     .limitsOwnText = false,
     .pastePrefix = u"0x",
     .lowerCaseHint = true,
     .writeOut = {kText1, kText2, kText3, kText6Raw, kText5}},
}};

// Called once per digit written: lets the window process its pending events, except user input,
// so what the user does meanwhile reaches the window after the running job. A pass over the
// event loop costs a hundred digits, so it runs at most once a millisecond: the window stays
// alive during a long conversion without a 14-digit one paying for eighty passes.
struct LetEventsIn {
  static constexpr std::chrono::microseconds kInterval{1000};

  void operator()() const {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point last;  // the user-interface thread's last pass
    const Clock::time_point now = Clock::now();
    if (now - last < kInterval) return;
    last = now;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
};

// A field's text as it would be after an edit, with the caret's place.
struct Candidate {
  QString text;
  int caret = 0;
};

// `inserted` replaces the selection, or goes in at the caret: a typed key or a paste.
Candidate ReplaceSelection(const QLineEdit& field, const QString& inserted) {
  QString text = field.text();
  int at = field.cursorPosition();
  if (field.hasSelectedText()) {
    at = field.selectionStart();
    text.remove(at, field.selectionLength());
  }
  text.insert(at, inserted);
  return {text, at + static_cast<int>(inserted.size())};
}

Candidate InsertAt(QString text, int position, const QString& inserted) {
  const int at = std::clamp(position, 0, static_cast<int>(text.size()));
  text.insert(at, inserted);
  return {text, at + static_cast<int>(inserted.size())};
}

Candidate RemoveSelection(const QLineEdit& field) {
  QString text = field.text();
  const int at = field.selectionStart();
  text.remove(at, field.selectionLength());
  return {text, at};
}

// Backspace: the selection, or the character before the caret.
Candidate BackspaceCandidate(const QLineEdit& field) {
  if (field.hasSelectedText()) return RemoveSelection(field);
  QString text = field.text();
  const int at = field.cursorPosition();
  if (at == 0) return {text, 0};
  text.remove(at - 1, 1);
  return {text, at - 1};
}

// Delete: the selection, or the character after the caret.
Candidate DeleteCandidate(const QLineEdit& field) {
  if (field.hasSelectedText()) return RemoveSelection(field);
  QString text = field.text();
  const int at = field.cursorPosition();
  if (at < text.size()) text.remove(at, 1);
  return {text, at};
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

bool CarriesControlCharacter(const QKeyEvent& event) {
  const QString text = event.text();
  return !text.isEmpty() && text.front().category() == QChar::Other_Control;
}

QFont DesignedFont(const char* family, qreal points, bool bold = false) {
  QFont font(QString::fromLatin1(family));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

void Colour(QWidget& widget, QPalette::ColorRole textRole, QRgb text, QPalette::ColorRole backRole,
            QRgb back) {
  QPalette palette = widget.palette();
  palette.setColor(textRole, QColor(text));
  palette.setColor(backRole, QColor(back));
  widget.setPalette(palette);
}

// The base-256 notation of the picked tokens: "|| ", each token followed by " || ".
QString PickedText(const QStringList& tokens) {
  QString text = QStringLiteral("|| ");
  for (const QString& token : tokens) text += token + QStringLiteral(" || ");
  return text;
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

void Form1::History::Reset(const QString& text) {
  entries.assign(1, Entry{text, static_cast<int>(text.size())});
  at = 0;
}

void Form1::History::Record(const QString& text, int caret) {
  entries.resize(at + 1);
  entries.push_back(Entry{text, caret});
  if (entries.size() > kHistoryDepth) entries.erase(entries.begin());
  at = entries.size() - 1;
}

Form1::Form1(platform::Beeper& beeper, QWidget* parent)
    : QWidget(parent), beeper_(beeper), probe_(std::make_unique<LineEditProbe>()) {
  BuildLayout();
  numeric_ = {Text1, Text2, Text3, Text4};
  connect(Text6Raw, &QLineEdit::textChanged, this, &Form1::Text6RawChange, Qt::DirectConnection);

  // A pick takes the row selected when it arrives; a pick arriving while a job runs waits for it.
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const int row = SelectedRow();
    RunExclusive([this, row] { ListView1DblClick(row); });
  });
  ListView1->installEventFilter(this);
  connect(Command2, &QPushButton::clicked, this,
          [this] { RunExclusive([this] { Command2Click(); }); });
  connect(Image1, &ClickableImage::Click, this,
          [this] { RunExclusive([this] { Image1Click(); }); });
  connect(Image2, &ClickableImage::Click, this,
          [this] { RunExclusive([this] { Image2Click(); }); });

  FormLoad();
}

Form1::~Form1() = default;

void Form1::BuildLayout() {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tessaldo"));
  setWindowIcon(QIcon(QStringLiteral(":/tessaldo/form_icon.png")));
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
    Colour(*l, QPalette::WindowText, kLabelText, QPalette::Window, kDarkBlue);
    l->move(TwipsRect(left, top, 0, 0).topLeft());
    l->adjustSize();
    return l;
  };
  auto numeric = [this](const char* name, QRect rect, QFont font, const char* accessible) {
    auto* field = new NumericEdit(*this, this);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(rect);
    field->setFont(font);
    Colour(*field, QPalette::Text, kDarkBlue, QPalette::Base, kFieldBackground);
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
  Image1 = picture("Image1", TwipsRect(2985, 420, 720, 720), ":/tessaldo/emblem.png", "Autore");
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
  Colour(*Text5, QPalette::Text, kDarkBlue, QPalette::Base, kFieldBackground);
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
  Colour(*Text6, QPalette::Text, kDarkBlue, QPalette::Base, kFieldBackground);
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

  Image2 = picture("Image2", TwipsRect(3360, 4920, 360, 360), ":/tessaldo/image2_closed.png",
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
  painter.fillRect(rect(), QColor(kDarkBlue));
}

// Enter or Return on the table picks the selected row, as a double-click does.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListView1 && event->type() == QEvent::KeyPress &&
      IsEnterKey(*static_cast<QKeyEvent*>(event))) {
    const int row = SelectedRow();
    RunExclusive([this, row] { ListView1DblClick(row); });
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Start-up and the panel.

int Form1::OuterWidth() const {
  if (width() == detail::Px(outerWidth_ - 2 * kFrameTwips)) return outerWidth_;
  return width() * detail::kTwipsPerPixel + 2 * kFrameTwips;
}

void Form1::SetOuterWidth(int twips) {
  outerWidth_ = std::max(twips, 2 * kFrameTwips);
  setFixedWidth(detail::Px(outerWidth_ - 2 * kFrameTwips));
}

QString Form1::ProgramDirectory() const {
  return programDirectory_.isEmpty() ? QCoreApplication::applicationDirPath() : programDirectory_;
}

void Form1::SetProgramDirectory(const QString& directory) {
  programDirectory_ = directory;
}

void Form1::FormLoad() {
  SetOuterWidth(kClosedWidth);

  ListView1->setHeaderLabels({QStringLiteral("Codice"), QStringLiteral("Carattere")});
  ListView1->setColumnWidth(0, detail::Px(kCodeColumnWidth));
  const int listWidth = ListView1->width() * detail::kTwipsPerPixel;
  ListView1->setColumnWidth(1, detail::Px(listWidth - kTokenMargin));

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
void Form1::Image1Click() {
  if (!about_) about_ = std::make_unique<AboutWindowHost>();
  about_->Show();
}

// Reads the width back after setting it, and only then the picture: a picture that cannot be
// read leaves Image2 as it was, with the width already changed.
void Form1::Image2Click() {
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
// Guided entry. While CaratteriScelti holds tokens, Text6Raw holds exactly their notation and
// the other fields its value. A pick that the value cannot take (over 14 digits, beyond the
// currency range, or unreadable for any other reason) is refused with the beep and leaves the
// list and every field as they were.

void Form1::ListView1DblClick(int row) {
  if (row < 0 || row >= ListView1->topLevelItemCount()) return;
  CaratteriScelti.append(ListView1->topLevelItem(row)->text(1));
  if (!ConvertPicked()) CaratteriScelti.removeLast();
}

void Form1::Command2Click() {
  if (CaratteriScelti.isEmpty()) return;
  const QString removed = CaratteriScelti.takeLast();
  if (CaratteriScelti.isEmpty()) {
    for (const FieldId target : {kText1, kText2, kText3, kText4, kText5, kText6Raw}) {
      Write(target, QString());
    }
    return;
  }
  // A list the window built always converts once shortened; one set from outside may not.
  if (!ConvertPicked()) CaratteriScelti.append(removed);
}

bool Form1::ConvertPicked() {
  const QString before = Text6Raw->text();
  Write(kText6Raw, PickedText(CaratteriScelti));
  const Expected<Currency, Failure> value =
      Conversioni::Utf8ADecimale(Text6Raw->text().toStdString());
  if (!value.has_value() || static_cast<qsizetype>(value->DecimalText().size()) > kMaxDigits) {
    Refuse();
    Write(kText6Raw, before);
    return false;
  }
  for (const FieldId target : {kText1, kText2, kText3, kText4, kText5}) {
    Write(target, Render(target, *value));
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// One job at a time. The digit writers let pending events in; an edit that arrives meanwhile
// (a posted key, a timer's paste) waits in `pending_` and runs when the running job has ended,
// so no edit ever sees the fields half written.

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
    }
  }
  running_ = false;
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

void Form1::FieldPaste(NumericEdit& field, QClipboard::Mode mode, bool replaceSelection) {
  const int index = IndexOf(field);
  RunExclusive([this, index, mode, replaceSelection] {
    BeginEdit(index);
    PasteClipboard(index, mode, replaceSelection);
  });
}

void Form1::FieldCut(NumericEdit& field) {
  const int index = IndexOf(field);
  RunExclusive([this, index] {
    BeginEdit(index);
    Cut(index);
  });
}

void Form1::FieldDeleteSelection(NumericEdit& field) {
  const int index = IndexOf(field);
  RunExclusive([this, index] {
    BeginEdit(index);
    DeleteSelection(index);
  });
}

void Form1::FieldUndo(NumericEdit& field) {
  const int index = IndexOf(field);
  RunExclusive([this, index] {
    BeginEdit(index);
    Undo(index);
  });
}

void Form1::FieldRedo(NumericEdit& field) {
  const int index = IndexOf(field);
  RunExclusive([this, index] {
    BeginEdit(index);
    Redo(index);
  });
}

bool Form1::FieldDrop(NumericEdit& field, const QString& text, QPoint point) {
  const int index = IndexOf(field);
  if (running_) {
    // Taken now; refused with the beep when its turn comes, if it must be.
    pending_.push_back([this, index, text, point] {
      BeginEdit(index);
      Drop(index, text, point);
    });
    return true;
  }
  bool taken = false;
  RunExclusive([this, index, &text, point, &taken] {
    BeginEdit(index);
    taken = Drop(index, text, point) == Outcome::kAccepted;
  });
  return taken;
}

bool Form1::FieldCanUndo(const NumericEdit& field) const {
  return history_[IndexOf(field)].at > 0;
}

bool Form1::FieldCanRedo(const NumericEdit& field) const {
  const History& history = history_[IndexOf(field)];
  return history.at + 1 < history.entries.size();
}

// ---------------------------------------------------------------------------------------------
// The edits.

void Form1::ProcessKey(int index, QKeyEvent& event) {
  NumericEdit& field = *numeric_[index];
  if (IsModifierKey(event.key())) {
    field.DefaultKeyPress(&event);
    return;
  }
  BeginEdit(index);
  event.accept();

  if (event.matches(QKeySequence::Undo)) {
    Undo(index);
  } else if (event.matches(QKeySequence::Redo)) {
    Redo(index);
  } else if (event.matches(QKeySequence::Cut)) {
    Cut(index);
  } else if (event.matches(QKeySequence::Paste)) {
    // Ctrl+Shift+Insert pastes the selection clipboard where the system has one.
    const bool selection = event.key() == Qt::Key_Insert &&
                           event.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) &&
                           QGuiApplication::clipboard()->supportsSelection();
    PasteClipboard(index, selection ? QClipboard::Selection : QClipboard::Clipboard, true);
  } else if (event.matches(QKeySequence::Copy) || event.matches(QKeySequence::SelectAll)) {
    field.DefaultKeyPress(&event);
  } else if (event.matches(QKeySequence::Delete)) {
    DeleteForward(index);
  } else if (event.key() == Qt::Key_Backspace &&
             !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
    const Candidate candidate = BackspaceCandidate(field);
    Commit(index, candidate.text, candidate.caret, HistoryStep::kRecord);
  } else if (IsTypedText(event)) {
    const Candidate candidate = ReplaceSelection(field, event.text());
    Commit(index, candidate.text, candidate.caret, HistoryStep::kRecord);
  } else {
    ProcessOtherKey(index, event);
  }
}

// Any other key: whatever QLineEdit would do to the text with it (deleting a word, a line)
// goes through Commit; a key that reaches the field as a control character is refused; the
// rest (caret moves, selections) is QLineEdit's own.
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
    event.accept();
    Commit(index, probe_->text(), probe_->cursorPosition(), HistoryStep::kRecord);
  } else if (CarriesControlCharacter(event)) {
    event.accept();
    Refuse();
  } else {
    field.DefaultKeyPress(&event);
  }
}

// Paste rules: blanks, "_" and "'" are dropped, then the prefix of the field's own base; what
// is left is taken whole or refused whole.
QString Form1::CleanPasted(int index, const QString& pasted) const {
  QString cleaned;
  cleaned.reserve(pasted.size());
  for (const QChar c : pasted) {
    if (c.isSpace() || c == u'_' || c == u'\'') continue;
    cleaned.append(c);
  }
  const QString prefix = QString::fromUtf16(kRules[index].pastePrefix);
  if (!prefix.isEmpty() && cleaned.startsWith(prefix, Qt::CaseInsensitive)) {
    cleaned.remove(0, prefix.size());
  }
  return cleaned;
}

// Like QLineEdit: an empty clipboard still deletes the selection it would replace.
void Form1::PasteClipboard(int index, QClipboard::Mode mode, bool replaceSelection) {
  NumericEdit& field = *numeric_[index];
  const QString pasted = QGuiApplication::clipboard()->text(mode);
  if (pasted.isEmpty() && !(replaceSelection && field.hasSelectedText())) return;
  const QString cleaned = CleanPasted(index, pasted);
  Candidate candidate;
  if (replaceSelection) {
    candidate = ReplaceSelection(field, cleaned);
  } else {
    candidate = InsertAt(field.text(), field.cursorPosition(), cleaned);
  }
  Commit(index, candidate.text, candidate.caret, HistoryStep::kRecord);
}

// The drop point is read against the field's text when the drop runs.
Form1::Outcome Form1::Drop(int index, const QString& dropped, QPoint point) {
  NumericEdit& field = *numeric_[index];
  const Candidate candidate =
      InsertAt(field.text(), field.cursorPositionAt(point), CleanPasted(index, dropped));
  return Commit(index, candidate.text, candidate.caret, HistoryStep::kRecord);
}

void Form1::Cut(int index) {
  NumericEdit& field = *numeric_[index];
  if (!field.hasSelectedText()) return;
  field.copy();
  const Candidate candidate = RemoveSelection(field);
  Commit(index, candidate.text, candidate.caret, HistoryStep::kRecord);
}

void Form1::DeleteForward(int index) {
  const Candidate candidate = DeleteCandidate(*numeric_[index]);
  Commit(index, candidate.text, candidate.caret, HistoryStep::kRecord);
}

void Form1::DeleteSelection(int index) {
  NumericEdit& field = *numeric_[index];
  if (!field.hasSelectedText()) return;
  const Candidate candidate = RemoveSelection(field);
  Commit(index, candidate.text, candidate.caret, HistoryStep::kRecord);
}

// Undo and redo replay an accepted text of the field through Commit, like any other edit.
void Form1::Undo(int index) {
  const History& history = history_[index];
  if (history.at == 0) return;
  const History::Entry entry = history.entries[history.at - 1];
  Commit(index, entry.text, entry.caret, HistoryStep::kUndo);
}

void Form1::Redo(int index) {
  const History& history = history_[index];
  if (history.at + 1 >= history.entries.size()) return;
  const History::Entry entry = history.entries[history.at + 1];
  Commit(index, entry.text, entry.caret, HistoryStep::kRedo);
}

// ---------------------------------------------------------------------------------------------
// The one pipeline.

Form1::Outcome Form1::Commit(int index, const QString& candidate, int caret, HistoryStep step) {
  NumericEdit& field = *numeric_[index];
  const NumericRule& rule = kRules[index];
  History& history = history_[index];
  auto advance = [&] {
    if (step == HistoryStep::kUndo) --history.at;
    if (step == HistoryStep::kRedo) ++history.at;
  };

  if (candidate == field.text()) {
    // Nothing to convert; the caret still goes where the edit leaves it.
    field.setCursorPosition(caret);
    advance();
    return Outcome::kUnchanged;
  }
  // Filter: every character must be one the field takes by key.
  if (!std::all_of(candidate.begin(), candidate.end(), rule.accepts)) {
    Refuse();
    if (rule.lowerCaseHint && std::any_of(candidate.begin(), candidate.end(), IsLowerHexLetter)) {
      SetLabel6Caption(kHexHint);
    }
    return Outcome::kRefused;
  }

  if (candidate.isEmpty()) {
    // Emptying: the other fields in the order of their numbers, then the base-256 text.
    for (const FieldId target : {kText1, kText2, kText3, kText4, kText5}) {
      if (static_cast<int>(target) != index) Write(target, QString());
    }
    Write(kText6Raw, QString());
  } else {
    if (rule.limitsOwnText && candidate.size() > kMaxDigits) {
      Refuse();
      return Outcome::kRefused;
    }
    // An overflow of the reading routine lies beyond the limit too.
    const Expected<Currency, Failure> value = rule.read(candidate.toStdString());
    if (!value.has_value() || static_cast<qsizetype>(value->DecimalText().size()) > kMaxDigits) {
      Refuse();
      return Outcome::kRefused;
    }
    for (const FieldId target : rule.writeOut) Write(target, Render(target, *value));
  }

  CaratteriScelti = QStringList();
  field.setText(candidate);
  field.setCursorPosition(caret);
  if (step == HistoryStep::kRecord) {
    history.Record(candidate, caret);
  } else {
    advance();
  }
  return Outcome::kAccepted;
}

QString Form1::Render(FieldId target, Currency value) const {
  LetEventsIn letEventsIn;
  switch (target) {
    case FieldId::kText1:
      return QString::fromStdString(value.DecimalText());
    case FieldId::kText2:
      return QString::fromStdString(Conversioni::DecimaleABinario(value, letEventsIn));
    case FieldId::kText3:
      return QString::fromStdString(Conversioni::DecimaleAOttale(value, letEventsIn));
    case FieldId::kText4:
      return QString::fromStdString(Conversioni::DecimaleAEsadecimale(value, letEventsIn));
    case FieldId::kText6Raw:
      return QString::fromStdString(Conversioni::DecimaleAUtf8(value, letEventsIn));
    case FieldId::kText5:
      if (value.Whole() > kRomanMax) return kRomanTooLarge;
      return QString::fromStdString(
          Conversioni::DecimaleARomano(static_cast<std::int16_t>(value.Whole())).value_or(""));
  }
  return {};
}

// The window's own writes start no conversion, and start the field's history afresh.
void Form1::Write(FieldId target, const QString& text) {
  Widget(target).setText(text);
  if (target <= kText4) history_[static_cast<int>(target)].Reset(text);
}

QLineEdit& Form1::Widget(FieldId target) const {
  switch (target) {
    case FieldId::kText1:
      return *Text1;
    case FieldId::kText2:
      return *Text2;
    case FieldId::kText3:
      return *Text3;
    case FieldId::kText4:
      return *Text4;
    case FieldId::kText5:
      return *Text5;
    case FieldId::kText6Raw:
      break;
  }
  return *Text6Raw;
}

// Every edit of the hexadecimal field first takes back the upper-case hint.
void Form1::BeginEdit(int index) {
  if (index == kHexIndex) SetLabel6Caption(kHexCaption);
}

void Form1::Refuse() {
  beeper_.Beep(kBeepHz, kBeepMs);
}

// Labels size themselves to their caption; a longer one grows to the right.
void Form1::SetLabel6Caption(const QString& caption) {
  if (Label6->text() == caption) return;
  Label6->setText(caption);
  Label6->adjustSize();
}

// ---------------------------------------------------------------------------------------------
// Base-256 display: the raw text in dark blue; scanning left to right, each "||" becomes one
// red "|" and the scan goes on right after it, so "|||" shows a red bar then a blue one.

void Form1::Text6RawChange() {
  const QString raw = Text6Raw->text();
  if (raw.isEmpty()) {
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
  blue.setForeground(QColor(kDarkBlue));
  cursor.insertText(raw, blue);

  const QString bars = QStringLiteral("||");
  qsizetype from = 0;
  for (;;) {
    const qsizetype found = document.toRawText().indexOf(bars, from);
    if (found < 0) break;
    cursor.setPosition(static_cast<int>(found));
    cursor.setPosition(static_cast<int>(found + bars.size()), QTextCursor::KeepAnchor);
    QTextCharFormat red = cursor.charFormat();
    red.setForeground(QColor(kSeparatorRed));
    cursor.insertText(QStringLiteral("|"), red);
    from = found + 1;
  }
  cursor.endEditBlock();
  cursor.setPosition(0);
  Text6->setTextCursor(cursor);
}

}  // namespace tessaldo
