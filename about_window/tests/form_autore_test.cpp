// FormAutore as it is loaded and as its handlers run, on the offscreen platform.
#include "tessaldo/about_window/form_autore.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QPainter>
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

const QColor kDarkBlue(0, 0, 150);
const QColor kGrey(192, 192, 192);
const QColor kBlack(0, 0, 0);

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

QImage Rgb(const QImage& image) {
  return image.convertToFormat(QImage::Format_RGB32);
}

// The outer frame 360 twips from the right and 600 from the bottom edge of the screen.
void ExpectInCorner(const QWidget& window) {
  const QRect screen = window.screen()->geometry();
  const QRect outer = window.frameGeometry();
  EXPECT_EQ(outer.x(), screen.x() + screen.width() - outer.width() - 24);
  EXPECT_EQ(outer.y(), screen.y() + screen.height() - outer.height() - 40);
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

TEST_F(FormAutoreTest, AFixedDialogLoadedButNotShown) {
  EXPECT_EQ(form->windowTitle(), "Autore");
  EXPECT_EQ(form->windowType(), Qt::Dialog);
  EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  // 4410 by 1860 twips, and the frame cannot change it.
  EXPECT_EQ(form->minimumSize(), QSize(294, 124));
  EXPECT_EQ(form->maximumSize(), QSize(294, 124));
  EXPECT_FALSE(form->isVisible());  // showing is up to the caller
}

// Each text is drawn in its colour over what lies below it, its shadow behind it; the author
// line wraps at the designed width.
TEST_F(FormAutoreTest, TextsAndShadowsAsDesigned) {
  const struct {
    const char* name;
    QColor text;
  } texts[] = {{"Label5", kDarkBlue},
               {"Label4", kGrey},
               {"Label3", kBlack},
               {"Label2", kGrey},
               {"Label1", QColor(255, 255, 255)}};
  for (const auto& t : texts) EXPECT_TRUE(Shows(Seen(Label(t.name)), t.text)) << t.name;

  QWidget& panel = Panel();
  // Where two controls overlap, the upper one gets the point.
  EXPECT_EQ(panel.childAt(100, 20), &Label("Label5"));   // over Label4
  EXPECT_EQ(panel.childAt(62, 120), &Label("Image1"));   // over Label3
  EXPECT_EQ(panel.childAt(120, 125), &Label("Label3"));  // over Label2
  EXPECT_EQ(panel.childAt(120, 137), &Label("Label2"));  // below Label3's bottom
  // Shadow and text: one text, the shadow offset by 60, 45 and -15, 60 twips.
  EXPECT_EQ(Label("Label4").text(), Label("Label5").text());
  EXPECT_EQ(Label("Label4").pos() - Label("Label5").pos(), QPoint(4, 3));
  EXPECT_EQ(Label("Label2").text(), Label("Label3").text());
  EXPECT_EQ(Label("Label2").pos() - Label("Label3").pos(), QPoint(-1, 4));
  for (const char* name : {"Label5", "Label4"}) {
    QLabel& line = Label(name);
    EXPECT_EQ(line.width(), 244) << name;
    EXPECT_EQ(line.height(), line.heightForWidth(244)) << name;
    EXPECT_GT(line.height(), line.fontMetrics().height()) << name;  // more than one line
  }
}

// On screen: dark blue around the frame, its black line, white inside; the panel, moved up,
// leaves the frame's lines whole.
TEST_F(FormAutoreTest, ThePanelScrollsInsideTheFrame) {
  ShowForm();
  Timer1().stop();
  SetTop(-100);
  const QImage shot = form->grab().toImage();
  EXPECT_TRUE(Near(shot.pixel(1, 60), kDarkBlue));
  EXPECT_TRUE(Near(shot.pixel(100, 122), kDarkBlue));
  EXPECT_TRUE(Near(shot.pixel(4, 40), kBlack));
  EXPECT_TRUE(Near(shot.pixel(8, 10), QColor(255, 255, 255)));
  for (int x = 4; x < 291; ++x) {
    ASSERT_TRUE(Near(shot.pixel(x, 0), kBlack) && Near(shot.pixel(x, 88), kBlack)) << x;
  }
}

TEST_F(FormAutoreTest, PicturesTooltipsAndPointers) {
  EXPECT_EQ(Rgb(Label("Image1").pixmap().toImage()), Rgb(QImage(kEmblemPath)));
  // The 24-pixel envelope fills the 32-pixel control.
  QLabel& envelope = Label("Picture3");
  EXPECT_EQ(envelope.pixmap().size(), QSize(24, 24));
  QImage expected(32, 32, QImage::Format_RGB32);
  expected.fill(kDarkBlue);
  QPainter(&expected).drawImage(
      0, 0, QImage(kEnvelopePath).scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  const QImage shown = Rgb(envelope.grab().toImage());
  ASSERT_EQ(shown.size(), QSize(32, 32));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      ASSERT_TRUE(Near(shown.pixel(x, y), QColor(expected.pixel(x, y)), 3)) << x << "," << y;
    }
  }

  EXPECT_EQ(envelope.toolTip(), "Invia e-Mail");
  EXPECT_EQ(Label("Label1").toolTip(), "tessaldo.example.org");
  EXPECT_EQ(Label("Label1").cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(envelope.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(Panel().cursor().shape(), Qt::ArrowCursor);
}

// The load handler's call, then FormPrimoPiano's, each reporting the window system's answer.
TEST_F(FormAutoreTest, FormPrimoPianoMovesTheWindowInAndOutOfTheTopMostBand) {
  EXPECT_TRUE(form->FormPrimoPiano(4242, false));
  services.result = false;
  EXPECT_FALSE(form->FormPrimoPiano(77, true));
  const struct {
    platform::WindowHandle window;
    std::intptr_t insertAfter;
  } calls[] = {{static_cast<platform::WindowHandle>(form->winId()), kHwndTopMost},
               {4242, kHwndNoTopMost},
               {77, kHwndTopMost}};
  ASSERT_EQ(services.placements.size(), std::size(calls));
  for (std::size_t i = 0; i < std::size(calls); ++i) {
    const auto& call = services.placements[i];
    EXPECT_EQ(call.window, calls[i].window);
    EXPECT_EQ(call.insertAfter, calls[i].insertAfter);
    EXPECT_EQ(call.x | call.y | call.cx | call.cy, 0);
    EXPECT_EQ(call.flags, 11u);  // no size change, no move, no redraw
  }
}

TEST_F(FormAutoreTest, LoadPlacesTheWindowInTheCornerWhateverTheTopMostCallDoes) {
  for (const bool works : {true, false}) {
    for (const bool throws : {false, true}) {
      SCOPED_TRACE(std::string(works ? "works" : "refuses") + (throws ? ", throws" : ""));
      services.result = works;
      services.fail = throws;
      Load();
      ShowForm();
      ExpectInCorner(*form);
      EXPECT_TRUE(Timer1().isActive());
    }
  }
}

TEST_F(FormAutoreTest, ThePanelScrollsUpAndRestartsAt93) {
  EXPECT_EQ(Top(), 64);  // 960 twips
  EXPECT_EQ(Timer1().interval(), 5);
  RecordTicks();
  ShowForm();
  ASSERT_TRUE(WaitUntil([this] { return ticks.size() >= 64 + 150 + 2; }, 30000));
  // One pixel per tick from the first position, 93 once -150 is reached, then up again.
  std::vector<int> expected;
  for (int top = 63; top >= -149; --top) expected.push_back(top);
  expected.insert(expected.end(), {93, 92, 91});
  EXPECT_EQ(std::vector<int>(ticks.begin(), ticks.begin() + expected.size()), expected);
}

TEST_F(FormAutoreTest, ThePanelRestartsAtOrBelowTheLowerBound) {
  RecordTicks();
  const std::pair<int, int> cases[] = {
      {-148, -149}, {-149, 93}, {-150, 93}, {-151, 93}, {-400, 93}, {94, 93}, {500, 499},
  };
  for (const auto& [before, after] : cases) {
    SetTop(before);
    EXPECT_EQ(NextTick(), after) << "from " << before;
  }
  EXPECT_EQ(Panel().x(), 16);  // the panel only moves up and down
}

TEST_F(FormAutoreTest, ALeftClickOnThePanelPutsItAt93WithTheTimerRunning) {
  ShowForm();
  RecordTicks();
  // On the panel, on its texts and emblem; the last one with the timer stopped.
  for (const char* name : {"picture2", "Label5", "Label3", "Image1"}) {
    SCOPED_TRACE(name);
    if (QLatin1String(name) == QLatin1String("Image1")) Timer1().stop();
    SetTop(-30);
    QTest::mouseClick(&Control(name), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Top(), 93);
    EXPECT_EQ(NextTick(), 92);
  }

  // The right button, a press released elsewhere, a release pressed elsewhere: no click.
  Timer1().stop();
  QWidget& panel = Panel();
  SetTop(-20);
  QTest::mouseClick(&panel, Qt::RightButton, {}, QPoint(250, 150));
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(250, 150));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(250, -300));
  QTest::mousePress(&Label("Label1"), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(250, 150));
  EXPECT_EQ(Top(), -20);
  EXPECT_TRUE(services.openings.empty());
}

// The links open minimised through the shell; when the shell fails, nothing changes.
TEST_F(FormAutoreTest, LinksOpenMinimisedThroughTheShell) {
  ShowForm();
  Timer1().stop();
  const auto self = static_cast<platform::WindowHandle>(form->winId());
  const QRect placed = form->frameGeometry();
  for (const bool fail : {false, true}) {
    SCOPED_TRACE(fail);
    services.fail = fail;
    services.openings.clear();
    QTest::mouseClick(&Label("Label1"), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseClick(&Label("Picture3"), Qt::LeftButton, {}, QPoint(16, 16));
    QTest::mouseClick(&Label("Picture3"), Qt::RightButton, {}, QPoint(16, 16));
    ASSERT_EQ(services.openings.size(), 2u);
    EXPECT_EQ(services.openings[0].address, "http://tessaldo.example.org");
    EXPECT_EQ(services.openings[1].address, "mailto:autori@tessaldo.example.org?subject=Tessaldo");
    for (const auto& opening : services.openings) {
      EXPECT_EQ(opening.owner, self);
      EXPECT_EQ(opening.showCommand, 2);
    }
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->frameGeometry(), placed);
  }
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
    // The real services put the window into the top-most band, where it stays put.
    EXPECT_TRUE(form.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form.isVisible());
    ExpectInCorner(form);
  }
  QDesktopServices::unsetUrlHandler("http");
  QDesktopServices::unsetUrlHandler("mailto");
}

}  // namespace
}  // namespace tessaldo::testing
