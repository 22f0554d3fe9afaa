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

namespace tessaldo::platform {
namespace {

constexpr unsigned kStayFlags = kSwpNoSize | kSwpNoMove | kSwpNoRedraw;

class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls.push_back(url); }
};

class QtWindowServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.setWindowTitle("Autore");
    window.resize(294, 124);
    window.move(100, 120);
  }
  void Show() {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  WindowHandle Handle() { return static_cast<WindowHandle>(window.winId()); }
  bool OnTop() const {
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
           window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
  }

  std::unique_ptr<WindowServices> services = MakeQtWindowServices();
  QWidget window;
};

TEST_F(QtWindowServicesTest, TopMostBandKeepsAShownWindowAsItWas) {
  Show();
  const QRect geometry = window.geometry();
  const WindowHandle handle = Handle();

  EXPECT_TRUE(services->SetWindowPos(handle, kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  EXPECT_TRUE(OnTop());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.geometry(), geometry);
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));

  // The handle still names the window, in the band or out of it.
  EXPECT_TRUE(services->SetWindowPos(handle, kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  EXPECT_TRUE(OnTop());
  EXPECT_TRUE(services->SetWindowPos(handle, kHwndNoTopMost, 0, 0, 0, 0, kStayFlags));
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.geometry(), geometry);
}

TEST_F(QtWindowServicesTest, AHiddenWindowStaysHiddenAndInPlace) {
  const WindowHandle handle = Handle();
  EXPECT_TRUE(services->SetWindowPos(handle, kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  EXPECT_TRUE(OnTop());
  EXPECT_FALSE(window.isVisible());
  Show();
  EXPECT_EQ(window.pos(), QPoint(100, 120));
  EXPECT_EQ(window.size(), QSize(294, 124));
  EXPECT_TRUE(OnTop());
}

TEST_F(QtWindowServicesTest, MovesAndSizesTheOuterFrame) {
  Show();
  EXPECT_TRUE(services->SetWindowPos(Handle(), kHwndTopMost, 70, 80, 250, 120,
                                     kSwpNoZOrder | kSwpNoActivate));
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(window.frameGeometry(), QRect(70, 80, 250, 120));

  // Moved only: the size stays.
  EXPECT_TRUE(services->SetWindowPos(Handle(), kHwndTop, 5, 6, 0, 0, kSwpNoSize));
  EXPECT_EQ(window.frameGeometry(), QRect(5, 6, 250, 120));
}

TEST_F(QtWindowServicesTest, ShowsHidesAndGoesToTheBottom) {
  const WindowHandle handle = Handle();
  EXPECT_TRUE(services->SetWindowPos(handle, kHwndTop, 0, 0, 0, 0, kStayFlags | kSwpShowWindow));
  EXPECT_TRUE(window.isVisible());
  ASSERT_TRUE(services->SetWindowPos(handle, kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  // The bottom of the stacking order lies outside the top-most band.
  EXPECT_TRUE(services->SetWindowPos(handle, kHwndBottom, 0, 0, 0, 0, kStayFlags));
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(services->SetWindowPos(handle, kHwndTop, 0, 0, 0, 0, kStayFlags | kSwpHideWindow));
  EXPECT_FALSE(window.isVisible());
}

TEST_F(QtWindowServicesTest, WhatItCannotDoFails) {
  Show();
  const QRect geometry = window.frameGeometry();
  // No window has this handle.
  EXPECT_FALSE(services->SetWindowPos(Handle() + 1000, kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  EXPECT_FALSE(services->SetWindowPos(0, kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  // A native child is no top-level window.
  auto* child = new QWidget(&window);
  const auto childHandle = static_cast<WindowHandle>(child->winId());
  EXPECT_FALSE(services->SetWindowPos(childHandle, kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  // Stacking after another window is not Qt's to do; the call changes nothing.
  QWidget other;
  other.show();
  const auto otherHandle = static_cast<std::intptr_t>(other.winId());
  EXPECT_FALSE(services->SetWindowPos(Handle(), otherHandle, 1, 2, 3, 4, 0));
  EXPECT_EQ(window.frameGeometry(), geometry);
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(QtShellOpen, HandsAddressesToTheDesktop) {
  UrlRecorder recorder;
  for (const char* scheme : {"http", "mailto", "file"}) {
    QDesktopServices::setUrlHandler(scheme, &recorder, "Open");
  }
  // Here the system's services are Qt's.
  const auto services = MakeSystemWindowServices();
  services->ShellOpen(0, "http://tessaldo.example.org/prova?a=1", kSwShowMinimized);
  services->ShellOpen(0, "mailto:autori@tessaldo.example.org?subject=Tessaldo", kSwShowNormal);
  const QString file = QDir::temp().absoluteFilePath("tessaldo prova.txt");
  services->ShellOpen(0, file.toStdString(), kSwShowMinimized);
  services->ShellOpen(0, "", kSwShowMinimized);  // nothing to open

  ASSERT_EQ(recorder.urls.size(), 3u);
  EXPECT_EQ(recorder.urls[0], QUrl("http://tessaldo.example.org/prova?a=1"));
  EXPECT_EQ(recorder.urls[1], QUrl("mailto:autori@tessaldo.example.org?subject=Tessaldo"));
  EXPECT_EQ(recorder.urls[2], QUrl::fromLocalFile(file));
  for (const char* scheme : {"http", "mailto", "file"}) QDesktopServices::unsetUrlHandler(scheme);
}

}  // namespace
}  // namespace tessaldo::platform

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "qt_window_services_test.moc"
