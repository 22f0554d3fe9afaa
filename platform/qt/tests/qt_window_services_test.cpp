// The window services on Qt's window system, with real widgets on the offscreen platform.
#include "tessaldo/platform/qt_window_services.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <memory>
#include <vector>

#include "tessaldo/testing/qt_testing.h"

namespace tessaldo::platform {
namespace {

constexpr unsigned kStay = kSwpNoSize | kSwpNoMove | kSwpNoRedraw;  // FormPrimoPiano's 11

// One window, hidden at first, through a sequence of calls; after each, whether it is in the
// top-most band (in the widget's and in the native window's flags), shown, and where its
// outer frame is: a change of the band must neither hide, move nor resize it.
TEST(QtWindowServices, SetWindowPosChangesOnlyWhatItIsAskedTo) {
  QWidget window;
  window.resize(294, 124);
  window.move(100, 120);
  const auto handle = static_cast<WindowHandle>(window.winId());
  const auto services = MakeQtWindowServices();
  struct Step {
    std::intptr_t after;
    unsigned flags;
    bool onTop;
    bool visible;
    QRect to{};  // none: the window stays where and as large as it was
  };
  for (const Step& s : {
           Step{kHwndTopMost, kStay, true, false},
           Step{kHwndTop, kStay | kSwpShowWindow, true, true},
           Step{kHwndNoTopMost, kStay, false, true},
           Step{kHwndTopMost, kStay, true, true},
           Step{kHwndTopMost, kStay, true, true},
           // kSwpNoZOrder leaves the band alone, whatever the insert-after says.
           Step{kHwndNoTopMost, kSwpNoZOrder | kSwpNoActivate, true, true, {70, 80, 250, 120}},
           // The bottom of the stacking order lies outside the top-most band.
           Step{kHwndBottom, kStay, false, true},
           Step{kHwndTop, kStay | kSwpHideWindow, false, false},
       }) {
    SCOPED_TRACE(::testing::Message() << "after " << s.after << ", flags " << s.flags);
    const QRect before(window.pos(), window.size());
    EXPECT_TRUE(services->SetWindowPos(handle, s.after, s.to.x(), s.to.y(), s.to.width(),
                                       s.to.height(), s.flags));
    EXPECT_EQ(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), s.onTop);
    EXPECT_EQ(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), s.onTop);
    EXPECT_EQ(window.isVisible(), s.visible);
    EXPECT_TRUE(!s.visible || QTest::qWaitForWindowExposed(&window));
    if (s.to.isNull()) {
      EXPECT_EQ(QRect(window.pos(), window.size()), before);
    } else {
      EXPECT_EQ(window.frameGeometry(), s.to);
    }
  }
}

TEST(QtWindowServices, SetWindowPosFailsAndChangesNothingForWhatItCannotDo) {
  QWidget window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QRect geometry = window.frameGeometry();
  const auto handle = static_cast<WindowHandle>(window.winId());
  const auto services = MakeQtWindowServices();
  // No window has the first handle; stacking after another window is not Qt's to do.
  for (const auto& [target, after] :
       {std::pair{handle + 1000, kHwndTopMost},
        std::pair{handle, static_cast<std::intptr_t>(handle + 1000)}}) {
    EXPECT_FALSE(services->SetWindowPos(target, after, 1, 2, 3, 4, kStay)) << target;
  }
  EXPECT_EQ(window.frameGeometry(), geometry);
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

using tessaldo::testing::UrlRecorder;

// Addresses reach the URL handlers as URLs, an absolute path as a local file; an empty
// address opens nothing.
TEST(QtWindowServices, ShellOpenHandsAddressesToTheDesktop) {
  UrlRecorder recorder;
  QDesktopServices::setUrlHandler("http", &recorder, "Open");
  QDesktopServices::setUrlHandler("file", &recorder, "Open");
  const QString file = QDir::temp().absoluteFilePath("tessaldo prova.txt");
  // Here the system's services are Qt's.
  for (const std::string& address :
       {std::string("http://tessaldo.example.org/prova?a=1"), file.toStdString(), std::string()}) {
    MakeSystemWindowServices()->ShellOpen(0, address, kSwShowMinimized);
  }
  EXPECT_EQ(recorder.urls, (std::vector<QUrl>{QUrl("http://tessaldo.example.org/prova?a=1"),
                                              QUrl::fromLocalFile(file)}));
  QDesktopServices::unsetUrlHandler("http");
  QDesktopServices::unsetUrlHandler("file");
}

}  // namespace
}  // namespace tessaldo::platform
