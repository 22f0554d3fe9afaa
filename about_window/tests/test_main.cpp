#include <gtest/gtest.h>

#include <QApplication>

#include "tessaldo/resources.h"

// The windows run offscreen, whatever the caller's display.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  tessaldo::InitResources();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
