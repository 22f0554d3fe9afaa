// The about window on the offscreen platform with the system's window services.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include "tessaldo/about_window/about_window_host.h"
#include "tessaldo/about_window/tick_timer.h"
#include "tessaldo/testing/qt_testing.h"

namespace tessaldo::testing {
namespace {

QWidget& Child(const QWidget& form, const char* name) {
  return *form.findChild<QWidget*>(QLatin1String(name));
}
// The outer frame's gaps to the work area's right and bottom edges: 360 and 600 twips.
void ExpectInCorner(const QWidget& window) {
  const QRect area = window.screen()->availableGeometry(), outer = window.frameGeometry();
  EXPECT_EQ(area.bottomRight() - outer.bottomRight(), QPoint(24, 40));
}

// One window, top-most, in the corner; moved by the user, it stays while the panel scrolls on,
// and another opening leaves both. Links open their addresses on a click, not on a press that
// ends elsewhere. It leaves the top-most band and comes back without moving or hiding; an
// unknown window fails. Closed, it is gone; the next opening loads it afresh.
TEST(AboutWindow, OneWindowPlacedOnceWithItsLinksUntilClosed) {
  UrlRecorder recorder;
  for (const char* scheme : {"http", "mailto"})
    QDesktopServices::setUrlHandler(scheme, &recorder, "Open");
  AboutWindowHost host;
  QPointer<FormAutore> form = &host.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.data()));
  EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  ExpectInCorner(*form);
  form->move(30, 40);
  ASSERT_TRUE(WaitUntil([&] { return Child(*form, "picture2").y() < 60; }));
  const int top = Child(*form, "picture2").y();
  EXPECT_TRUE(&host.Show() == form && form->pos() == QPoint(30, 40));
  EXPECT_LE(Child(*form, "picture2").y(), top);
  QTest::mouseClick(&Child(*form, "Label1"), Qt::LeftButton);
  QTest::mouseClick(&Child(*form, "Picture3"), Qt::LeftButton);
  QTest::mousePress(&Child(*form, "Label1"), Qt::LeftButton);
  QTest::mouseRelease(&Child(*form, "Label1"), Qt::LeftButton, {}, QPoint(-5, -5));
  for (const char* scheme : {"http", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
  EXPECT_EQ(recorder.urls,
            (std::vector<QUrl>{QUrl(autore::kSiteAddress), QUrl(autore::kMailAddress)}));
  for (bool onTop : {false, true}) {
    EXPECT_TRUE(form->FormPrimoPiano(form->winId(), onTop));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop &&
                form->isVisible() && form->pos() == QPoint(30, 40));
  }
  EXPECT_FALSE(form->FormPrimoPiano(form->winId() + 1000, true));
  form->close();
  EXPECT_EQ(host.Window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return form.isNull(); }));
  EXPECT_EQ(Child(host.Show(), "picture2").y(), 64);
  ExpectInCorner(*host.Window());
}

// The panel's top after a tick, from where it was; a click on the panel restarts it and the
// stopped timer. The emblem is see-through on the panel's light background.
TEST(AboutWindow, PanelStepsUpRestartsAndShowsTheEmblemOnItsBackground) {
  AboutWindowHost host;
  FormAutore& form = host.Show();
  QWidget& panel = Child(form, "picture2");
  auto& timer = *form.findChild<TickTimer*>("Timer1");
  std::vector<int> after;
  QObject::connect(&timer, &TickTimer::timeout, &form, [&] { after.push_back(panel.y()); });
  for (auto [before, expected] :
       {std::pair{64, 63}, {0, -1}, {-148, -149}, {-149, 93}, {-150, 93}, {-400, 93}}) {
    panel.move(0, before);
    after.clear();
    ASSERT_TRUE(WaitUntil([&] { return !after.empty(); }));
    EXPECT_EQ(after.front(), expected) << before;
  }
  timer.stop();
  QTest::mouseClick(&Child(form, "Label5"), Qt::LeftButton);
  EXPECT_TRUE(panel.y() == 93 && timer.isActive());
  const QImage emblem = panel.grab(Child(form, "Image1").geometry()).toImage();
  EXPECT_EQ(emblem.pixel(0, 0), panel.palette().color(panel.backgroundRole()).rgb());
}

}  // namespace
}  // namespace tessaldo::testing
