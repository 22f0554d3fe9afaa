// FormAutore as it is loaded and as its handlers run, on the offscreen platform.
#include "tessaldo/about_window/form_autore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <QWindow>
#include <memory>
#include <string>
#include <vector>

#include "about_test_support.h"
#include "tessaldo/platform/qt_window_services.h"
#include "tessaldo/resources.h"

namespace tessaldo::testing {
namespace {

using platform::kHwndNoTopMost;
using platform::kHwndTopMost;

constexpr unsigned kStayFlags = 11;  // no size change, no move, no redraw
const QColor kDarkBlue(0, 0, 150);
const QColor kGrey(192, 192, 192);

bool Near(QRgb pixel, const QColor& colour, int tolerance = 2) {
  return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
         std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
         std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// Whether any pixel of the image has the colour.
bool Shows(const QImage& image, const QColor& colour) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (Near(image.pixel(x, y), colour, 8)) return true;
    }
  }
  return false;
}

class FormAutoreTest : public ::testing::Test {
 protected:
  void SetUp() override { Load(); }
  void TearDown() override {
    form.reset();
    FlushDeletions();
  }

  void Load() {
    form.reset();
    form = std::make_unique<FormAutore>(services);
  }
  void ShowForm() {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  template <class T = QWidget>
  T& Control(const char* name) const {
    T* control = form->findChild<T*>(QLatin1String(name));
    if (control == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return *control;
  }
  QLabel& Label(const char* name) const { return Control<QLabel>(name); }
  QWidget& Panel() const { return Control("picture2"); }
  QTimer& Timer1() const { return Control<QTimer>("Timer1"); }
  int Top() const { return Panel().y(); }
  void SetTop(int top) { Panel().move(Panel().x(), top); }

  // The part of the window where `label` is, with the panel stopped where the label's top shows.
  QImage Seen(const QLabel& label) {
    QRect area(label.mapTo(form.get(), QPoint(0, 0)), label.size());
    if (label.parentWidget() == &Panel()) {
      Timer1().stop();
      SetTop(-label.y());
      area = QRect(label.mapTo(form.get(), QPoint(0, 0)), label.size());
      QWidget& frame = Control("Picture1");
      area &= QRect(frame.mapTo(form.get(), QPoint(1, 1)), frame.size() - QSize(2, 2));
    }
    return form->grab(area).toImage();
  }

  // From now on the panel's top after every tick of Timer1 lands in `ticks`.
  void RecordTicks() {
    QObject::connect(&Timer1(), &QTimer::timeout, form.get(), [this] { ticks.push_back(Top()); });
  }
  // The top after the next tick.
  int NextTick() {
    ticks.clear();
    EXPECT_TRUE(WaitUntil([this] { return !ticks.empty(); }));
    return ticks.empty() ? 0 : ticks.front();
  }

  RecordingWindowServices services;
  std::unique_ptr<FormAutore> form;
  std::vector<int> ticks;
};

TEST_F(FormAutoreTest, WindowIsAFixedDarkBlueDialogWithTheEmblem) {
  EXPECT_EQ(form->windowTitle(), "Autore");
  EXPECT_TRUE(form->isWindow());
  EXPECT_EQ(form->parentWidget(), nullptr);
  EXPECT_EQ(form->windowType(), Qt::Dialog);
  const Qt::WindowFlags flags = form->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  // 4410 by 1860 twips, and the frame cannot change it.
  EXPECT_EQ(form->size(), QSize(294, 124));
  EXPECT_EQ(form->minimumSize(), QSize(294, 124));
  EXPECT_EQ(form->maximumSize(), QSize(294, 124));
  EXPECT_EQ(form->palette().color(QPalette::Window), kDarkBlue);

  const QImage icon = form->windowIcon().pixmap(48, 48).toImage();
  const QImage emblem(QString::fromLatin1(kEmblemPath));
  ASSERT_EQ(emblem.size(), QSize(48, 48));
  EXPECT_EQ(icon.convertToFormat(QImage::Format_RGB32),
            emblem.convertToFormat(QImage::Format_RGB32));
  // Loaded, not shown: showing is up to the caller.
  EXPECT_FALSE(form->isVisible());
}

TEST_F(FormAutoreTest, ControlsSitWhereDesigned) {
  struct Place {
    const char* name;
    const char* container;
    QRect rect;  // pixels in the container's scale
  };
  QWidget& picture1 = Control("Picture1");
  QWidget& panel = Panel();
  const Place places[] = {
      {"Picture1", "FormAutore", {4, 0, 287, 89}},    // 60, 0, 4305, 1335 twips
      {"picture2", "Picture1", {16, 64, 254, 174}},   // 240, 960, 3810, 2610
      {"Image1", "picture2", {16, 88, 48, 48}},       // 240, 1320, 720, 720
      {"Label3", "picture2", {60, 108, 171, 27}},     // 900, 1620, 2565, 405
      {"Label2", "picture2", {59, 112, 180, 27}},     // 885, 1680, 2700, 405
      {"Picture3", "FormAutore", {230, 91, 32, 32}},  // 3450, 1365, 480, 480
      {"Label1", "FormAutore", {32, 93, 166, 25}},    // 480, 1395, 2490, 375
  };
  for (const Place& place : places) {
    SCOPED_TRACE(place.name);
    QWidget& control = Control(place.name);
    EXPECT_EQ(control.geometry(), place.rect);
    const QString container = QLatin1String(place.container);
    if (container == "FormAutore") {
      EXPECT_EQ(control.parentWidget(), form.get());
    } else if (container == "picture2") {
      EXPECT_EQ(control.parentWidget(), &panel);
    }
  }
  // Picture1's scale starts inside its one-pixel line, which the panel cannot paint over.
  ASSERT_TRUE(picture1.isAncestorOf(&panel));
  EXPECT_EQ(panel.parentWidget()->geometry(), QRect(1, 1, 285, 87));
  auto& frame = Control<QFrame>("Picture1");
  EXPECT_EQ(frame.frameShape(), QFrame::Box);
  EXPECT_EQ(frame.frameShadow(), QFrame::Plain);
  EXPECT_EQ(frame.lineWidth(), 1);

  // The author line wraps at the designed width and its height follows the text.
  for (const char* name : {"Label5", "Label4"}) {
    SCOPED_TRACE(name);
    QLabel& line = Label(name);
    EXPECT_TRUE(line.wordWrap());
    EXPECT_EQ(line.width(), 244);
    EXPECT_EQ(line.height(), line.heightForWidth(244));
    EXPECT_GT(line.height(), line.fontMetrics().height());  // more than one line
  }
  EXPECT_EQ(Label("Label5").pos(), QPoint(-4, 2));  // -60, 30 twips
  EXPECT_EQ(Label("Label4").pos(), QPoint(0, 5));   // 0, 75
}

TEST_F(FormAutoreTest, ShadowsLieBehindTheirTexts) {
  QWidget& panel = Panel();
  // Where two controls overlap, the upper one gets the point.
  EXPECT_EQ(panel.childAt(100, 20), &Label("Label5"));   // over Label4
  EXPECT_EQ(panel.childAt(62, 120), &Label("Image1"));   // over Label3
  EXPECT_EQ(panel.childAt(120, 125), &Label("Label3"));  // over Label2
  EXPECT_EQ(panel.childAt(120, 137), &Label("Label2"));  // below Label3's bottom
  EXPECT_EQ(form->childAt(100, 100), &Label("Label1"));
  EXPECT_EQ(form->childAt(240, 100), &Label("Picture3"));
  // Shadow and text: one text, the shadow offset by 60, 45 and -15, 60 twips.
  EXPECT_EQ(Label("Label4").text(), Label("Label5").text());
  EXPECT_EQ(Label("Label4").pos() - Label("Label5").pos(), QPoint(4, 3));
  EXPECT_EQ(Label("Label2").text(), Label("Label3").text());
  EXPECT_EQ(Label("Label2").pos() - Label("Label3").pos(), QPoint(-1, 4));
}

TEST_F(FormAutoreTest, FontsAndColoursAsDesigned) {
  struct Style {
    const char* name;
    double points;
    bool bold;
    bool italic;
    QColor text;
    Qt::Alignment horizontal;
  };
  const Style styles[] = {
      {"Label5", 14.25, false, false, kDarkBlue, Qt::AlignHCenter},
      {"Label4", 14.25, false, false, kGrey, Qt::AlignHCenter},
      {"Label3", 14.25, true, false, QColor(0, 0, 0), Qt::AlignLeft},
      {"Label2", 14.25, true, false, kGrey, Qt::AlignLeft},
      {"Label1", 15.75, false, true, QColor(255, 255, 255), Qt::AlignHCenter},
  };
  for (const Style& style : styles) {
    SCOPED_TRACE(style.name);
    QLabel& label = Label(style.name);
    EXPECT_EQ(label.font().family(), "Comic Sans MS");
    EXPECT_DOUBLE_EQ(label.font().pointSizeF(), style.points);
    EXPECT_EQ(label.font().weight(), style.bold ? QFont::Bold : QFont::Normal);
    EXPECT_EQ(label.font().italic(), style.italic);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), style.text);
    EXPECT_EQ(label.alignment() & Qt::AlignHorizontal_Mask, style.horizontal);
    EXPECT_EQ(label.alignment() & Qt::AlignVertical_Mask, Qt::AlignTop);
    // The text is drawn in its colour, on what lies below it.
    EXPECT_TRUE(Shows(Seen(label), style.text));
  }
  // Only the grey collection shadow and the panel paint their own background, in the system's
  // window background; the other labels let what lies below show through.
  EXPECT_TRUE(Label("Label2").autoFillBackground());
  EXPECT_EQ(Label("Label2").backgroundRole(), QPalette::Base);
  EXPECT_TRUE(Panel().autoFillBackground());
  EXPECT_EQ(Panel().backgroundRole(), QPalette::Base);
  for (const char* name : {"Label1", "Label3", "Label4", "Label5"}) {
    EXPECT_FALSE(Label(name).autoFillBackground()) << name;
  }

  // On screen: dark blue around the frame, its black line, white inside.
  ShowForm();
  const QImage shot = form->grab().toImage();
  EXPECT_TRUE(Near(shot.pixel(1, 60), kDarkBlue));
  EXPECT_TRUE(Near(shot.pixel(100, 122), kDarkBlue));
  EXPECT_TRUE(Near(shot.pixel(4, 40), QColor(0, 0, 0)));
  EXPECT_TRUE(Near(shot.pixel(150, 88), QColor(0, 0, 0)));
  EXPECT_TRUE(Near(shot.pixel(8, 10), QColor(255, 255, 255)));
}

TEST_F(FormAutoreTest, ThePanelIsClippedByTheFrame) {
  ShowForm();
  Timer1().stop();
  SetTop(-100);
  const QImage shot = form->grab().toImage();
  // The frame's top line stays whole, the panel ends inside the frame.
  for (int x = 4; x < 291; ++x) ASSERT_TRUE(Near(shot.pixel(x, 0), QColor(0, 0, 0))) << x;
  for (int x = 4; x < 291; ++x) ASSERT_TRUE(Near(shot.pixel(x, 88), QColor(0, 0, 0))) << x;
}

TEST_F(FormAutoreTest, PicturesTooltipsAndPointers) {
  const QImage emblem =
      QImage(QString::fromLatin1(kEmblemPath)).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(Label("Image1").pixmap().toImage().convertToFormat(QImage::Format_RGB32), emblem);
  EXPECT_FALSE(Label("Image1").hasScaledContents());

  // The 24-pixel envelope fills the 32-pixel control.
  QLabel& envelope = Label("Picture3");
  EXPECT_EQ(envelope.pixmap().size(), QSize(24, 24));
  EXPECT_TRUE(envelope.hasScaledContents());
  QImage expected(32, 32, QImage::Format_RGB32);
  expected.fill(kDarkBlue);
  {
    QPainter painter(&expected);
    painter.drawImage(0, 0,
                      QImage(QString::fromLatin1(kEnvelopePath))
                          .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }
  const QImage shown = envelope.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(32, 32));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      ASSERT_TRUE(Near(shown.pixel(x, y), QColor(expected.pixel(x, y)), 3)) << x << "," << y;
    }
  }

  EXPECT_EQ(envelope.toolTip(), "Invia e-Mail");
  const QString site = QString::fromLatin1(autore::kSiteAddress);
  ASSERT_TRUE(site.startsWith("http://"));
  EXPECT_EQ(Label("Label1").toolTip(), site.mid(7));
  EXPECT_EQ(Label("Label1").text(), QString::fromUtf8(autore::kSiteName));

  EXPECT_EQ(Label("Label1").cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(envelope.cursor().shape(), Qt::PointingHandCursor);
  for (const char* name : {"Picture1", "picture2", "Image1", "Label5", "Label3"}) {
    EXPECT_EQ(Control(name).cursor().shape(), Qt::ArrowCursor) << name;
  }
  EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(FormAutoreTest, LoadPutsTheWindowIntoTheTopMostBand) {
  ASSERT_EQ(services.placements.size(), 1u);
  const auto& call = services.placements.front();
  EXPECT_EQ(call.window, static_cast<platform::WindowHandle>(form->winId()));
  EXPECT_EQ(call.insertAfter, kHwndTopMost);
  EXPECT_EQ(call.x, 0);
  EXPECT_EQ(call.y, 0);
  EXPECT_EQ(call.cx, 0);
  EXPECT_EQ(call.cy, 0);
  EXPECT_EQ(call.flags, kStayFlags);
}

TEST_F(FormAutoreTest, FormPrimoPianoReportsTheWindowSystemsAnswer) {
  services.placements.clear();
  EXPECT_TRUE(form->FormPrimoPiano(4242, true));
  EXPECT_TRUE(form->FormPrimoPiano(4242, false));
  services.result = false;
  EXPECT_FALSE(form->FormPrimoPiano(77, true));
  EXPECT_FALSE(form->FormPrimoPiano(77, false));
  ASSERT_EQ(services.placements.size(), 4u);
  const std::intptr_t expected[] = {kHwndTopMost, kHwndNoTopMost, kHwndTopMost, kHwndNoTopMost};
  for (std::size_t i = 0; i < 4; ++i) {
    const auto& call = services.placements[i];
    EXPECT_EQ(call.window, i < 2 ? 4242u : 77u);
    EXPECT_EQ(call.insertAfter, expected[i]);
    EXPECT_EQ(call.x | call.y | call.cx | call.cy, 0);
    EXPECT_EQ(call.flags, kStayFlags);
  }
}

// The outer frame 360 twips from the right and 600 from the bottom edge of the screen.
void ExpectInCorner(const QWidget& window) {
  const QRect screen = window.screen()->geometry();
  const QRect outer = window.frameGeometry();
  EXPECT_EQ(outer.x(), screen.x() + screen.width() - outer.width() - 24);
  EXPECT_EQ(outer.y(), screen.y() + screen.height() - outer.height() - 40);
}

TEST_F(FormAutoreTest, LoadPlacesTheWindowInTheBottomRightCorner) {
  ShowForm();
  const QRect outer = form->frameGeometry();
  const QMargins frame = form->windowHandle()->frameMargins();
  EXPECT_EQ(outer.size(),
            QSize(294 + frame.left() + frame.right(), 124 + frame.top() + frame.bottom()));
  ExpectInCorner(*form);
}

TEST_F(FormAutoreTest, AFailingTopMostCallStillPlacesTheWindow) {
  for (const bool throws : {false, true}) {
    SCOPED_TRACE(throws ? "throws" : "refuses");
    services.result = false;
    services.fail = throws;
    services.placements.clear();
    Load();
    EXPECT_EQ(services.placements.size(), 1u);
    ShowForm();
    ExpectInCorner(*form);
    EXPECT_TRUE(Timer1().isActive());
  }
}

TEST_F(FormAutoreTest, ThePanelScrollsUpAndRestartsAt93) {
  EXPECT_EQ(Top(), 64);  // 960 twips
  EXPECT_EQ(Timer1().interval(), 5);
  EXPECT_EQ(Timer1().timerType(), Qt::PreciseTimer);
  EXPECT_TRUE(Timer1().isActive());
  RecordTicks();
  ShowForm();
  ASSERT_TRUE(WaitUntil([this] { return ticks.size() >= 64 + 150 + 2; }, 30000));
  // One pixel per tick from the first position, 93 once -150 is reached, then up again.
  std::vector<int> expected;
  for (int top = 63; top >= -149; --top) expected.push_back(top);
  expected.push_back(93);
  expected.push_back(92);
  expected.push_back(91);
  const std::vector<int> seen(ticks.begin(), ticks.begin() + expected.size());
  EXPECT_EQ(seen, expected);
}

TEST_F(FormAutoreTest, ThePanelRestartsAtOrBelowTheLowerBound) {
  RecordTicks();
  const std::pair<int, int> cases[] = {
      {-148, -149}, {-149, 93}, {-150, 93}, {-151, 93}, {-400, 93},
      {94, 93},     {93, 92},   {0, -1},    {500, 499},
  };
  for (const auto& [before, after] : cases) {
    SetTop(before);
    EXPECT_EQ(NextTick(), after) << "from " << before;
  }
  EXPECT_EQ(Panel().x(), 16);  // the panel only moves up and down
}

TEST_F(FormAutoreTest, AClickOnThePanelPutsItAt93WithTheTimerRunning) {
  ShowForm();
  RecordTicks();
  QWidget& panel = Panel();
  SetTop(-20);
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(250, 150));
  EXPECT_EQ(Top(), 93);
  EXPECT_TRUE(Timer1().isActive());
  EXPECT_EQ(NextTick(), 92);

  // A click on the panel's texts and emblem is a click on the panel.
  for (const char* name : {"Label5", "Label3", "Image1"}) {
    SetTop(-30);
    QTest::mouseClick(&Control(name), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Top(), 93) << name;
  }

  // A stopped timer runs again.
  Timer1().stop();
  SetTop(10);
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(250, 150));
  EXPECT_EQ(Top(), 93);
  EXPECT_TRUE(Timer1().isActive());
  EXPECT_EQ(NextTick(), 92);
}

TEST_F(FormAutoreTest, OnlyALeftClickOverThePanelCounts) {
  ShowForm();
  Timer1().stop();
  QWidget& panel = Panel();
  SetTop(-20);
  QTest::mouseClick(&panel, Qt::RightButton, {}, QPoint(250, 150));
  EXPECT_EQ(Top(), -20);
  // Pressed over the panel, released outside it.
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(250, 150));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(250, -300));
  EXPECT_EQ(Top(), -20);
  // Pressed elsewhere, released over the panel.
  QTest::mousePress(&Label("Label1"), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(250, 150));
  EXPECT_EQ(Top(), -20);
  EXPECT_TRUE(services.openings.empty());
}

TEST_F(FormAutoreTest, LinksOpenMinimisedThroughTheShell) {
  ShowForm();
  const auto self = static_cast<platform::WindowHandle>(form->winId());
  QTest::mouseClick(&Label("Label1"), Qt::LeftButton, {}, QPoint(20, 10));
  QTest::mouseClick(&Label("Picture3"), Qt::LeftButton, {}, QPoint(16, 16));
  QTest::mouseClick(&Label("Picture3"), Qt::RightButton, {}, QPoint(16, 16));
  ASSERT_EQ(services.openings.size(), 2u);
  EXPECT_EQ(services.openings[0].owner, self);
  EXPECT_EQ(services.openings[0].address, "http://tessaldo.example.org");
  EXPECT_EQ(services.openings[0].showCommand, 2);
  EXPECT_EQ(services.openings[1].owner, self);
  EXPECT_EQ(services.openings[1].address, "mailto:autori@tessaldo.example.org?subject=Tessaldo");
  EXPECT_EQ(services.openings[1].showCommand, 2);
}

TEST_F(FormAutoreTest, AFailingShellChangesNothing) {
  ShowForm();
  Timer1().stop();
  const QRect before = form->frameGeometry();
  const int top = Top();
  services.fail = true;
  QTest::mouseClick(&Label("Label1"), Qt::LeftButton, {}, QPoint(20, 10));
  QTest::mouseClick(&Label("Picture3"), Qt::LeftButton, {}, QPoint(16, 16));
  EXPECT_EQ(services.openings.size(), 2u);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->frameGeometry(), before);
  EXPECT_EQ(Top(), top);
}

// The links through Qt's desktop services, which hand them to the URL handlers.
TEST(FormAutoreDesktopTest, LinksReachTheDesktopsUrlHandlers) {
  UrlRecorder recorder;
  QDesktopServices::setUrlHandler("http", &recorder, "Open");
  QDesktopServices::setUrlHandler("mailto", &recorder, "Open");
  {
    const auto services = platform::MakeQtWindowServices();
    FormAutore form(*services);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.findChild<QLabel*>("Label1"), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseClick(form.findChild<QLabel*>("Picture3"), Qt::LeftButton, {}, QPoint(16, 16));
    ASSERT_EQ(recorder.urls.size(), 2u);
    EXPECT_EQ(recorder.urls[0], QUrl("http://tessaldo.example.org"));
    EXPECT_EQ(recorder.urls[1].scheme(), "mailto");
    EXPECT_EQ(recorder.urls[1].path(), "autori@tessaldo.example.org");
    EXPECT_EQ(QUrlQuery(recorder.urls[1]).queryItemValue("subject"), "Tessaldo");
    // The real services also put the window into the top-most band, where it stays put.
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form.isVisible());
    ExpectInCorner(form);
  }
  QDesktopServices::unsetUrlHandler("http");
  QDesktopServices::unsetUrlHandler("mailto");
}

}  // namespace
}  // namespace tessaldo::testing
