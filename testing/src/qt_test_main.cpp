#include <gtest/gtest.h>

#include <QApplication>

// The windows need an application object; the tests run them offscreen, whatever the caller's
// display.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
