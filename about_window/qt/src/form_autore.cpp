#include "tessaldo/about_window/form_autore.h"

#include <QCloseEvent>
#include <QColor>
#include <QCursor>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMargins>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QWindow>
#include <string>

#include "tessaldo/about_window/autore_design.h"
#include "tessaldo/about_window/tick_timer.h"
#include "tessaldo/resources.h"
#include "tessaldo/resources/qt_design.h"

namespace tessaldo {
namespace {

using design::TwipsRect;

using design::ToQColor;

// The frame the window system reports for the window, none before it has one.
QMargins FrameOf(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  return handle != nullptr ? handle->frameMargins() : QMargins();
}

QFont FontOf(const design::Font& font) {
  return design::DesignedFont(std::string(font.family).c_str(), font.points, font.bold,
                              font.italic);
}

QRect RectOf(const design::TwipsBox& box) {
  return TwipsRect(box.left, box.top, box.width, box.height);
}

// A label as designed; its text starts at the top, as the designer's labels do. A wrapping
// label's height follows its text at the designed width.
QLabel* MakeLabel(QWidget* parent, const autore::LabelDesign& designed) {
  auto* label = new QLabel(QString::fromUtf8(designed.text), parent);
  label->setObjectName(QLatin1String(designed.name));
  label->setFont(FontOf(designed.font));
  label->setAlignment(
      (designed.align == autore::Align::kCentre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  // Inside the panel the labels would take the panel's text role; theirs is the window text.
  label->setForegroundRole(QPalette::WindowText);
  design::SetTextColour(*label, designed.colour);
  const QRect box = RectOf(designed.box);
  if (designed.wraps) {
    label->setWordWrap(true);
    label->setGeometry(box.x(), box.y(), box.width(), label->heightForWidth(box.width()));
  } else {
    label->setGeometry(box);
  }
  if (designed.opaque) {
    label->setBackgroundRole(QPalette::Base);
    label->setAutoFillBackground(true);
  }
  if (designed.tip != nullptr) label->setToolTip(QString::fromUtf8(designed.tip));
  if (designed.pointer == autore::Pointer::kHand) label->setCursor(Qt::PointingHandCursor);
  return label;
}

}  // namespace

FormAutore::FormAutore(platform::WindowServices& services)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      services_(services) {
  BuildLayout();
  presenter_.Form_Load();
}

FormAutore::~FormAutore() = default;

void FormAutore::BuildLayout() {
  setObjectName(QStringLiteral("FormAutore"));
  setWindowTitle(QString::fromUtf8(autore::kCaption));
  setWindowIcon(QIcon(QString::fromLatin1(kEmblemPath)));
  setFixedSize(design::TwipsSize(autore::kClientWidthTwips, autore::kClientHeightTwips));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, ToQColor(autore::kBackground));
  setPalette(palette);
  setAutoFillBackground(true);

  // Siblings are created from the bottom of the stacking order up.
  Label1 = MakeLabel(this, autore::Label1);

  Picture3 = new QLabel(this);
  Picture3->setObjectName(QLatin1String(autore::Picture3.name));
  Picture3->setGeometry(RectOf(autore::Picture3.box));
  Picture3->setPixmap(QPixmap(QString::fromLatin1(kEnvelopePath)));
  Picture3->setScaledContents(true);
  Picture3->setToolTip(QString::fromUtf8(autore::Picture3.tip));
  Picture3->setCursor(Qt::PointingHandCursor);

  Timer1 = new TickTimer(autore::kTimerInterval, this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  connect(Timer1, &TickTimer::timeout, this, [this] { presenter_.Timer1_Timer(); });

  // The frame: white, a thin single line around it. Its scale starts inside the line, so the
  // panel is laid out on an inner client area, which also clips it.
  Picture1 = new QFrame(this);
  Picture1->setObjectName(QLatin1String(autore::Picture1.name));
  Picture1->setGeometry(RectOf(autore::Picture1.box));
  Picture1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Picture1->setLineWidth(autore::kFrameLinePx);
  QPalette white = Picture1->palette();
  white.setColor(QPalette::Window, ToQColor(autore::kFrameBackground));
  white.setColor(QPalette::WindowText, ToQColor(autore::kFrameLine));
  Picture1->setPalette(white);
  Picture1->setAutoFillBackground(true);
  auto* client = new QWidget(Picture1);
  client->setGeometry(Picture1->contentsRect());

  picture2 = new QWidget(client);
  picture2->setObjectName(QLatin1String(autore::picture2.name));
  const QRect panel = RectOf(autore::picture2.box);
  picture2->setGeometry(panel.x(), 0, panel.width(), panel.height());
  picture2->setBackgroundRole(QPalette::Base);
  picture2->setAutoFillBackground(true);
  picture2->installEventFilter(this);

  Label2 = MakeLabel(picture2, autore::Label2);
  Label3 = MakeLabel(picture2, autore::Label3);
  Label4 = MakeLabel(picture2, autore::Label4);
  Label5 = MakeLabel(picture2, autore::Label5);

  Image1 = new QLabel(picture2);
  Image1->setObjectName(QLatin1String(autore::Image1.name));
  Image1->setGeometry(RectOf(autore::Image1.box));
  Image1->setPixmap(QPixmap(QString::fromLatin1(kEmblemPath)));
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  Label1->installEventFilter(this);
  Picture3->installEventFilter(this);
}

bool FormAutore::FormPrimoPiano(WId hWnd, bool AlwaysOnTop) {
  return services_.StayOnTop(static_cast<platform::WindowHandle>(hWnd), AlwaysOnTop);
}

bool FormAutore::FormPrimoPiano(bool alwaysOnTop) {
  return FormPrimoPiano(winId(), alwaysOnTop);
}

// In logical pixels, at 96 dpi.
std::optional<autore::Surroundings> FormAutore::Where() {
  const QScreen* target = screen();
  if (target == nullptr) return std::nullopt;
  const QRect area = target->availableGeometry();
  const QMargins frame = FrameOf(*this);
  return autore::Surroundings{{area.x(), area.y(), area.width(), area.height()},
                              {frame.left(), frame.top(), frame.right(), frame.bottom()},
                              {width(), height()},
                              96};
}

// move() places the outer frame of a window.
void FormAutore::MoveFrame(autore::Point corner) {
  move(corner.x, corner.y);
}

void FormAutore::MovePanel(int top) {
  picture2->move(picture2->x(), top);
}

void FormAutore::StartTimer(std::chrono::milliseconds interval) {
  Timer1->start(interval);
}

void FormAutore::StopTimer() {
  Timer1->stop();
}

void FormAutore::OpenAddress(std::string_view address) {
  services_.OpenAddress(winId(), std::string(address));
}

void FormAutore::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted()) {
    presenter_.Form_Unload();
    emit Unloaded();
  }
}

bool FormAutore::event(QEvent* event) {
  // A window manager that draws frames tells their size only once it has framed the shown
  // window, with no event of the window's own: any event may be the first to find it.
  if (isVisible()) presenter_.Framed();
  return QWidget::event(event);
}

// Clicks: the left button goes down and comes up over the same control. Clicks on the panel's
// labels and emblem reach the panel.
bool FormAutore::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease) {
    return QWidget::eventFilter(watched, event);
  }
  const auto* mouse = static_cast<QMouseEvent*>(event);
  if (mouse->button() != Qt::LeftButton) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::MouseButtonPress) {
    pressed_ = watched;
    return true;
  }
  auto* control = qobject_cast<QWidget*>(watched);
  const bool clicked =
      pressed_ == watched && control != nullptr &&
      control->rect().contains(control->mapFromGlobal(mouse->globalPosition()).toPoint());
  pressed_ = nullptr;
  if (!clicked) return true;
  if (watched == picture2) {
    presenter_.picture2_Click();
  } else if (watched == Label1) {
    presenter_.Label1_Click();
  } else if (watched == Picture3) {
    presenter_.Picture3_Click();
  }
  return true;
}

}  // namespace tessaldo
