// The about window on the offscreen platform, with the system's window services and the
// desktop's addresses caught by a URL handler.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <random>

#include "tessaldo/about_window/about_window_host.h"
#include "tessaldo/about_window/tick_timer.h"
#include "tessaldo/testing/qt_testing.h"

namespace tessaldo::testing {
namespace {

QWidget& Child(const QWidget& form, const char* name) {
  return *form.findChild<QWidget*>(QLatin1String(name));
}
int Top(const QWidget& form) {
  return Child(form, "picture2").y();
}

// The outer frame 360 twips (24 px) from the right and 600 (40 px) from the bottom edge of
// the work area.
void ExpectInCorner(const QWidget& window) {
  const QRect area = window.screen()->availableGeometry(), outer = window.frameGeometry();
  EXPECT_EQ(area.right() - outer.right(), 24);
  EXPECT_EQ(area.bottom() - outer.bottom(), 40);
}

// Shown once: in the corner, top-most, the panel at its first place; a move by the user stays
// while the panel scrolls on; another opening neither moves it nor restarts the panel; closed,
// it is gone and the next opening loads it afresh.
TEST(AboutWindow, OneWindowPlacedOnceUntilClosed) {
  AboutWindowHost host;
  QPointer<FormAutore> first = &host.Show();
  EXPECT_EQ(Top(*first), 64);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(first.data()));
  EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(first->parentWidget(), nullptr);
  ExpectInCorner(*first);
  first->move(30, 40);
  QTRY_VERIFY(Top(*first) < 60);
  const int top = Top(*first);
  EXPECT_EQ(&host.Show(), first.data());
  EXPECT_EQ(first->pos(), QPoint(30, 40));
  EXPECT_LE(Top(*first), top);
  first->close();
  EXPECT_EQ(host.Window(), nullptr);
  QTRY_VERIFY(first.isNull());
  FormAutore& second = host.Show();
  EXPECT_EQ(Top(second), 64);
  ExpectInCorner(second);
}

// The top of the panel after a tick, from where it was; a click on the panel restarts it and
// the timer.
TEST(AboutWindow, PanelStepsUpAndRestartsAtTheLowerBound) {
  AboutWindowHost host;
  FormAutore& form = host.Show();
  auto& timer = *form.findChild<TickTimer*>("Timer1");
  std::vector<int> after;
  QObject::connect(&timer, &TickTimer::timeout, &form, [&] { after.push_back(Top(form)); });
  for (auto [before, expected] :
       {std::pair{64, 63}, {0, -1}, {-148, -149}, {-149, 93}, {-150, 93}, {-400, 93}}) {
    Child(form, "picture2").move(0, before);
    after.clear();
    QTRY_VERIFY(!after.empty());
    EXPECT_EQ(after.front(), expected) << before;
  }
  timer.stop();
  QWidget& panel = Child(form, "picture2");
  QTest::mouseClick(&Child(form, "Label5"), Qt::LeftButton);
  EXPECT_EQ(panel.y(), 93);
  EXPECT_TRUE(timer.isActive());
  // The emblem is see-through on the panel's light background.
  const QImage emblem = panel.grab(Child(form, "Image1").geometry()).toImage();
  EXPECT_EQ(emblem.pixel(0, 0), panel.palette().color(panel.backgroundRole()).rgb());
}

// The timer fires on the first system tick once its interval has passed: 64 times a second
// for an interval below a tick.
TEST(AboutWindow, TimerFiresOnTheFirstTickAfterItsInterval) {
  using std::chrono::microseconds, std::chrono::milliseconds;
  std::mt19937_64 random(13);
  for (int i = 0; i < 100000; ++i) {
    const microseconds now(random() % 4'000'000'000'000);
    const milliseconds interval(random() % 50);
    const microseconds due = TickTimer::Due(now, interval);
    ASSERT_EQ((now + due) % TickTimer::kTick, microseconds(0)) << now.count();
    ASSERT_GE(due, interval);
    ASSERT_LT(due, interval + TickTimer::kTick);
  }
}

// A click on a link opens its address; a press that ends elsewhere opens nothing. The top-most
// band goes and comes back without moving or hiding the window; an unknown window fails.
TEST(AboutWindow, LinksOpenTheirAddressesAndTheWindowLeavesTheTopMostBand) {
  UrlRecorder recorder;
  for (const char* scheme : {"http", "mailto"}) {
    QDesktopServices::setUrlHandler(scheme, &recorder, "Open");
  }
  AboutWindowHost host;
  FormAutore& form = host.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QTest::mouseClick(&Child(form, "Label1"), Qt::LeftButton);
  QTest::mouseClick(&Child(form, "Picture3"), Qt::LeftButton);
  QTest::mousePress(&Child(form, "Label1"), Qt::LeftButton);
  QTest::mouseRelease(&Child(form, "Label1"), Qt::LeftButton, {}, QPoint(-5, -5));
  for (const char* scheme : {"http", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
  ASSERT_EQ(recorder.urls.size(), 2u);
  EXPECT_EQ(recorder.urls[0], QUrl(autore::kSiteAddress));
  EXPECT_EQ(recorder.urls[1], QUrl(autore::kMailAddress));
  EXPECT_EQ(recorder.urls[1].query(), "subject=Tessaldo");
  const QPoint where = form.pos();
  for (bool onTop : {false, true}) {
    EXPECT_TRUE(form.FormPrimoPiano(form.winId(), onTop));
    EXPECT_EQ(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.pos(), where);
  }
  EXPECT_FALSE(form.FormPrimoPiano(form.winId() + 1000, true));
}

}  // namespace
}  // namespace tessaldo::testing
