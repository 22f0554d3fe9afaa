// The one about window over repeated openings, and the program's life with it.
#include "tessaldo/about_window/about_window_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "about_test_support.h"

namespace tessaldo::testing {
namespace {

std::vector<FormAutore*> LoadedWindows() {
  std::vector<FormAutore*> windows;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* form = qobject_cast<FormAutore*>(widget)) windows.push_back(form);
  }
  return windows;
}

int PanelTop(const FormAutore& form) {
  return form.findChild<QWidget*>("picture2")->y();
}

QPoint CornerFor(const QWidget& window) {
  const QRect screen = window.screen()->geometry();
  const QSize outer = window.frameGeometry().size();
  return {screen.x() + screen.width() - outer.width() - 24,
          screen.y() + screen.height() - outer.height() - 40};
}

class AboutWindowHostTest : public ::testing::Test {
 protected:
  void TearDown() override { FlushDeletions(); }
  RecordingWindowServices services;
};

TEST_F(AboutWindowHostTest, OneWindowWhereItIsUntilClosedThenLoadedAfresh) {
  AboutWindowHost host(services);
  EXPECT_EQ(host.Window(), nullptr);
  QPointer<FormAutore> first = &host.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(first.data()));
  EXPECT_EQ(first->parentWidget(), nullptr);
  EXPECT_FALSE(first->isModal());
  EXPECT_EQ(first->frameGeometry().topLeft(), CornerFor(*first));

  // Moved by the user, scrolled on: a second opening brings it forward as it is.
  first->move(30, 40);
  ASSERT_TRUE(WaitUntil([&] { return PanelTop(*first) < 40; }));
  const int top = PanelTop(*first);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(&host.Show(), first.data());
    EXPECT_EQ(first->pos(), QPoint(30, 40));
    EXPECT_EQ(PanelTop(*first), top);
  }
  EXPECT_EQ(LoadedWindows().size(), 1u);
  EXPECT_EQ(services.placements.size(), 1u);  // loaded once

  ASSERT_TRUE(first->close());
  EXPECT_EQ(host.Window(), nullptr);
  EXPECT_FALSE(first->findChild<QTimer*>("Timer1")->isActive());
  ASSERT_TRUE(WaitUntil([&] { return first.isNull(); }));  // destroyed with its controls

  FormAutore& second = host.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
  EXPECT_EQ(host.Window(), &second);
  EXPECT_EQ(PanelTop(second), 64);
  EXPECT_TRUE(second.findChild<QTimer*>("Timer1")->isActive());
  EXPECT_EQ(second.frameGeometry().topLeft(), CornerFor(second));
  ASSERT_EQ(services.placements.size(), 2u);  // the load handler ran again
  EXPECT_EQ(services.placements[1].window, static_cast<platform::WindowHandle>(second.winId()));
  EXPECT_EQ(LoadedWindows().size(), 1u);
}

// Closed and shown again before the closed window's deletion has run; the host takes both
// windows along when it ends.
TEST_F(AboutWindowHostTest, CloseAndShowWithoutTheEventLoopInBetween) {
  QPointer<FormAutore> first;
  QPointer<FormAutore> second;
  {
    AboutWindowHost host(services);
    first = &host.Show();
    first->close();
    second = &host.Show();
    EXPECT_NE(first.data(), second.data());
    EXPECT_TRUE(second->isVisible());
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(host.Window(), second.data());
  }
  EXPECT_TRUE(first.isNull());
  EXPECT_TRUE(second.isNull());
}

// The program ends when its last window closes: closing the converter window first leaves it
// running until the about window is closed too.
TEST_F(AboutWindowHostTest, TheProgramRunsUntilItsLastWindowCloses) {
  ASSERT_TRUE(QApplication::quitOnLastWindowClosed());
  QWidget converter;
  converter.setWindowTitle("Tessaldo");
  converter.show();
  AboutWindowHost host(services);
  host.Show();

  std::vector<std::string> steps;
  QObject scope;  // ends the timers with the test
  const auto quitting = QObject::connect(qApp, &QCoreApplication::aboutToQuit,
                                         [&] { steps.push_back("about to quit"); });
  QTimer::singleShot(0, &scope, [&] {
    converter.close();
    steps.push_back("converter closed");
    // Time enough for a quit to arrive, if one were on its way.
    QTimer::singleShot(200, &scope, [&] {
      FormAutore* about = host.Window();
      steps.push_back(about != nullptr && about->isVisible() ? "about shown" : "about gone");
      if (about != nullptr) about->close();
      steps.push_back("about closed");
    });
  });
  // A program that never ends fails the test instead of hanging it.
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, &scope, [&] {
    steps.push_back("still running");
    QCoreApplication::exit(7);
  });
  watchdog.start(20000);

  const int status = QApplication::exec();
  QObject::disconnect(quitting);
  EXPECT_EQ(status, 0);
  const std::vector<std::string> expected = {"converter closed", "about shown", "about closed",
                                             "about to quit"};
  EXPECT_EQ(steps, expected);
}

}  // namespace
}  // namespace tessaldo::testing
