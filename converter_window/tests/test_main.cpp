#include <gtest/gtest.h>

#include <QApplication>

#include "tessaldo/converter_window/fonts.h"

// The window needs an application object; the tests run it offscreen, whatever the caller's
// display.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  tessaldo::InstallFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
