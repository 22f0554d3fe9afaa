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
#include <chrono>

#include "tessaldo/about_window/tick_timer.h"
#include "tessaldo/resources.h"
#include "tessaldo/resources/qt_design.h"

namespace tessaldo {
namespace {

using design::Px;
using design::TwipsRect;

using design::ToQColor;
const QColor kDarkBlue = ToQColor(design::kDarkBlue);
const QColor kWhite = ToQColor(design::kWhite);
const QColor kBlack = ToQColor(design::kBlack);

// The frame the window system reports for the window, none before it has one.
QMargins FrameOf(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  return handle != nullptr ? handle->frameMargins() : QMargins();
}

QFont ComicSans(double points, bool bold = false, bool italic = false) {
  return design::DesignedFont("Comic Sans MS", points, bold, italic);
}

// A label on the designed place; its text starts at the top, as the designer's labels do.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                  design::Rgb colour, Qt::Alignment horizontal) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setFont(font);
  label->setAlignment(horizontal | Qt::AlignTop);
  // Inside the panel the labels would take the panel's text role; theirs is the window text.
  label->setForegroundRole(QPalette::WindowText);
  design::SetTextColour(*label, colour);
  return label;
}

// A word-wrapped label whose height follows its text at the designed width.
void FitHeight(QLabel& label, const QRect& designed) {
  label.setWordWrap(true);
  label.setGeometry(designed.x(), designed.y(), designed.width(),
                    label.heightForWidth(designed.width()));
}

// Runs a handler's body; nothing it throws leaves the handler.
template <class Body>
void Quietly(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace

FormAutore::FormAutore(platform::WindowServices& services)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      services_(services) {
  BuildLayout();
  Form_Load();
}

FormAutore::~FormAutore() = default;

void FormAutore::BuildLayout() {
  setObjectName(QStringLiteral("FormAutore"));
  setWindowTitle(QString::fromUtf8(autore::kCaption));
  setWindowIcon(QIcon(QString::fromLatin1(kEmblemPath)));
  setFixedSize(design::TwipsSize(4410, 1860));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kDarkBlue);
  setPalette(palette);
  setAutoFillBackground(true);

  // Siblings are created from the bottom of the stacking order up.
  Label1 = MakeLabel(this, "Label1", QString::fromUtf8(autore::kSiteName),
                     ComicSans(15.75, false, true), design::kWhite, Qt::AlignHCenter);
  Label1->setGeometry(TwipsRect(480, 1395, 2490, 375));
  Label1->setToolTip(QString::fromUtf8(autore::kSiteHost));
  Label1->setCursor(Qt::PointingHandCursor);

  Picture3 = new QLabel(this);
  Picture3->setObjectName(QStringLiteral("Picture3"));
  Picture3->setGeometry(TwipsRect(3450, 1365, 480, 480));
  Picture3->setPixmap(QPixmap(QString::fromLatin1(kEnvelopePath)));
  Picture3->setScaledContents(true);
  Picture3->setToolTip(QString::fromUtf8(autore::kMailTip));
  Picture3->setCursor(Qt::PointingHandCursor);

  Timer1 = new TickTimer(std::chrono::milliseconds(kTimerIntervalMs), this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  connect(Timer1, &TickTimer::timeout, this, &FormAutore::Timer1_Timer);

  // The frame: white, a thin single line around it. Its scale starts inside the line, so the
  // panel is laid out on an inner client area, which also clips it.
  Picture1 = new QFrame(this);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->setGeometry(TwipsRect(60, 0, 4305, 1335));
  Picture1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Picture1->setLineWidth(1);
  QPalette white = Picture1->palette();
  white.setColor(QPalette::Window, kWhite);
  white.setColor(QPalette::WindowText, kBlack);
  Picture1->setPalette(white);
  Picture1->setAutoFillBackground(true);
  auto* client = new QWidget(Picture1);
  client->setGeometry(Picture1->contentsRect());

  picture2 = new QWidget(client);
  picture2->setObjectName(QStringLiteral("picture2"));
  picture2->setGeometry(TwipsRect(240, kFirstTopTwips, 3810, 2610));
  picture2->setBackgroundRole(QPalette::Base);
  picture2->setAutoFillBackground(true);
  picture2->installEventFilter(this);

  const QString collection = QString::fromUtf8(autore::kCollection);
  Label2 = MakeLabel(picture2, "Label2", collection, ComicSans(14.25, true), design::kGrey,
                     Qt::AlignLeft);
  Label2->setGeometry(TwipsRect(885, 1680, 2700, 405));
  Label2->setBackgroundRole(QPalette::Base);
  Label2->setAutoFillBackground(true);

  Label3 = MakeLabel(picture2, "Label3", collection, ComicSans(14.25, true), design::kBlack,
                     Qt::AlignLeft);
  Label3->setGeometry(TwipsRect(900, 1620, 2565, 405));

  const QString authorLine = QString::fromUtf8(autore::kAuthorLine);
  Label4 =
      MakeLabel(picture2, "Label4", authorLine, ComicSans(14.25), design::kGrey, Qt::AlignHCenter);
  FitHeight(*Label4, TwipsRect(0, 75, 3660, 1170));

  Label5 = MakeLabel(picture2, "Label5", authorLine, ComicSans(14.25), design::kDarkBlue,
                     Qt::AlignHCenter);
  FitHeight(*Label5, TwipsRect(-60, 30, 3660, 1170));

  Image1 = new QLabel(picture2);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(TwipsRect(240, 1320, 720, 720));
  Image1->setPixmap(QPixmap(QString::fromLatin1(kEmblemPath)));
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  Label1->installEventFilter(this);
  Picture3->installEventFilter(this);
}

bool FormAutore::FormPrimoPiano(WId hWnd, bool AlwaysOnTop) {
  return services_.StayOnTop(static_cast<platform::WindowHandle>(hWnd), AlwaysOnTop);
}

void FormAutore::Form_Load() {
  Quietly([&] { FormPrimoPiano(winId(), true); });
  PlaceInCorner();
  Timer1->start();
}

// The outer frame goes kRightGapTwips from the right and kBottomGapTwips from the bottom edge
// of the screen's work area. move() places the outer frame of a window.
void FormAutore::PlaceInCorner() {
  const QScreen* target = screen();
  if (target == nullptr) return;
  const QRect area = target->availableGeometry();
  placedFrame_ = FrameOf(*this);
  const QSize outer = size().grownBy(placedFrame_);
  move(area.x() + area.width() - outer.width() - Px(kRightGapTwips),
       area.y() + area.height() - outer.height() - Px(kBottomGapTwips));
}

void FormAutore::Timer1_Timer() {
  picture2->move(picture2->x(), picture2->y() - kScrollStep);
  if (picture2->y() <= kLowerBound) picture2->move(picture2->x(), kRestartTop);
}

void FormAutore::picture2_Click() {
  picture2->move(picture2->x(), kRestartTop);
  if (!Timer1->isActive()) Timer1->start();
}

void FormAutore::Label1_Click() {
  Quietly([&] { services_.OpenAddress(winId(), autore::kSiteAddress); });
}

void FormAutore::Picture3_Click() {
  Quietly([&] { services_.OpenAddress(winId(), autore::kMailAddress); });
}

void FormAutore::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted()) {
    Timer1->stop();
    emit Unloaded();
  }
}

bool FormAutore::event(QEvent* event) {
  // A window manager that draws frames tells their size only once it has framed the shown
  // window, with no event of the window's own; the window looks at each event it gets, the
  // repaints of the scrolling included, until then. The corner placement is then redone once,
  // so the user's moves are never undone.
  if (!placementSettled_ && isVisible() && FrameOf(*this) != placedFrame_) {
    placementSettled_ = true;
    PlaceInCorner();
  }
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
    picture2_Click();
  } else if (watched == Label1) {
    Label1_Click();
  } else if (watched == Picture3) {
    Picture3_Click();
  }
  return true;
}

}  // namespace tessaldo
