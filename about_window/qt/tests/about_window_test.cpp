// The Qt about window maps its view onto its widgets (offscreen, the system's window services).
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QPointer>
#include <QTest>

#include "tessaldo/about_window/about_window_host.h"
#include "tessaldo/about_window/autore_design.h"
#include "tessaldo/testing/qt_testing.h"

namespace tessaldo::testing {
namespace {

QWidget& Child(const QWidget& form, const char* name) {
  return *form.findChild<QWidget*>(QLatin1String(name));
}

// Top-most, climbing; a click (not a press that ends elsewhere) opens a link or restarts the panel;
// shown again it stays; closed, it is gone until loaded afresh; the emblem is see-through.
TEST(AboutWindow, ViewMapsOntoItsWidgets) {
  UrlRecorder recorder;
  for (const char* scheme : {"http", "mailto"})
    QDesktopServices::setUrlHandler(scheme, &recorder, "Open");
  AboutWindowHost host;
  QPointer<FormAutore> form = &host.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.data()));
  QWidget& panel = Child(*form, "picture2");
  EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  form->move(30, 40);
  ASSERT_TRUE(WaitUntil([&] { return panel.y() < 63; }));
  EXPECT_TRUE(&host.Show() == form && form->pos() == QPoint(30, 40));
  QTest::mouseClick(&Child(*form, "Label1"), Qt::LeftButton);
  QTest::mouseClick(&Child(*form, "Picture3"), Qt::LeftButton);
  QTest::mousePress(&Child(*form, "Label1"), Qt::LeftButton);
  QTest::mouseRelease(&Child(*form, "Label1"), Qt::LeftButton, {}, QPoint(-5, -5));
  for (const char* scheme : {"http", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
  EXPECT_EQ(recorder.urls,
            (std::vector<QUrl>{QUrl(autore::kSiteAddress), QUrl(autore::kMailAddress)}));
  QTest::mouseClick(&Child(*form, "Label5"), Qt::LeftButton);
  EXPECT_EQ(panel.y(), 93);
  const QImage emblem = panel.grab(Child(*form, "Image1").geometry()).toImage();
  EXPECT_EQ(emblem.pixel(0, 0), panel.palette().color(panel.backgroundRole()).rgb());
  form->close();
  EXPECT_TRUE(host.Window() == nullptr && Child(host.Show(), "picture2").y() == 64);
}

}  // namespace
}  // namespace tessaldo::testing
