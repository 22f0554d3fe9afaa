#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <vector>

#include "tessaldo/resources.h"
#include "tessaldo/resources/qt_design.h"

namespace tessaldo {
namespace {

// The pictures as Qt reads them, before InitResources. Alpha: 1 a mask (each pixel wholly seen
// or not), 2 smooth. Arrow: where a click takes the panel, by the heavier half of its bright blue.
TEST(Pictures, HaveTheirSizesSeeThroughCornersAndArrows) {
  const QString dir = QStringLiteral(TESSALDO_RESOURCES_DIR);
  std::vector<std::tuple<QString, int, int, int>> rows = {
      {kFormIconPath, 32, 2, 0}, {kEmblemPath, 48, 1, 0},         {kImage2ClosedPath, 24, 0, 1},
      {kEnvelopePath, 24, 2, 0}, {dir + "/right.jpg", 24, 0, -1}, {dir + "/left.jpg", 24, 0, 1}};
  for (int n : {16, 32, 48, 64, 128, 256})
    rows.emplace_back(dir + QString("/icons/hicolor/%1x%1/apps/tessaldo.png").arg(n), n, 2, 0);
  for (const auto& [path, size, alpha, arrow] : rows) {
    const QImage image(path);
    SCOPED_TRACE(path.toStdString());
    ASSERT_EQ(std::pair(image.size(), image.hasAlphaChannel()),
              std::pair(QSize(size, size), alpha > 0));
    EXPECT_TRUE(alpha == 0 || (image.pixelColor(0, 0).alpha() == 0 &&
                               image.pixelColor(size / 2, size * 3 / 8).alpha() == 255));
    int tilt = 0;
    for (int i = 0; i < size * size; ++i) {
      const QColor c = image.pixelColor(i % size, i / size);
      ASSERT_TRUE(alpha != 1 || c.alpha() % 255 == 0) << i;
      if (c.blue() > 180 && c.blue() - c.red() > 150 && c.green() > 40)
        tilt += i % size < size / 2 ? -1 : 1;
    }
    EXPECT_EQ((tilt > 4) - (tilt < -4), arrow);
  }
  EXPECT_EQ(QImage(kImage2ClosedPath), QImage(dir + "/left.jpg"));
}

// Halves round away from zero, as std::lround does; doubles hold every quotient here exactly
// enough to round alike.
TEST(Design, TwipsRoundToTheNearestPixelAtEveryDpi) {
  for (int dpi : {96, 120, 144, 168, 192, 288})
    for (int t = -30000; t <= 30000; ++t)
      ASSERT_EQ(design::PxAt(t, dpi), std::lround(t * dpi / 1440.0)) << t << " at " << dpi;
  EXPECT_EQ(design::Px(7095), 473);
}

}  // namespace
}  // namespace tessaldo
