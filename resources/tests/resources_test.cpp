// The project's pictures as Qt's own decoders read them (the resources linked into the programs,
// the arrows beside `bin`, the desktop icons), and the twips of the design.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <vector>

#include "tessaldo/resources.h"
#include "tessaldo/resources/design.h"

namespace tessaldo {
namespace {

const QString kDir = QStringLiteral(TESSALDO_RESOURCES_DIR);

// Runs first: the pictures come with the library, without InitResources. Alpha: none, 1 for a
// mask as an icon's (each pixel wholly seen or wholly see-through), 2 smooth.
TEST(Pictures, HaveTheirSizesAndSeeThroughCornersWhereTheyHaveAlpha) {
  std::vector<std::tuple<QString, int, int>> cases = {
      {kFormIconPath, 32, 2}, {kEmblemPath, 48, 1},         {kImage2ClosedPath, 24, 0},
      {kEnvelopePath, 24, 2}, {kDir + "/right.jpg", 24, 0}, {kDir + "/left.jpg", 24, 0}};
  for (int size : {16, 32, 48, 64, 128, 256})
    cases.emplace_back(kDir + QStringLiteral("/icons/hicolor/%1x%1/apps/tessaldo.png").arg(size),
                       size, 2);
  for (const auto& [path, size, alpha] : cases) {
    const QImage image(path);
    ASSERT_EQ(image.size(), QSize(size, size)) << path.toStdString();
    ASSERT_EQ(image.hasAlphaChannel(), alpha > 0) << path.toStdString();
    EXPECT_TRUE(alpha == 0 || image.pixelColor(0, 0).alpha() == 0) << path.toStdString();
    EXPECT_TRUE(alpha == 0 || image.pixelColor(size / 2, size * 3 / 8).alpha() == 255);
    for (int i = 0; alpha == 1 && i < size * size; ++i)
      ASSERT_EQ(image.pixelColor(i % size, i / size).alpha() % 255, 0) << i;
  }
}

// +1 when the arrow points right, -1 left: its head, the heavier half of its bright blue.
int ArrowDirection(const QImage& image) {
  int balance = 0;
  for (int i = 0; i < image.width() * image.height(); ++i) {
    const int x = i % image.width();
    const QColor c = image.pixelColor(x, i / image.width());
    if (c.blue() > 180 && c.blue() - c.red() > 150 && c.green() > 40)
      balance += x < image.width() / 2 ? -1 : 1;
  }
  return (balance > 4) - (balance < -4);
}

// Each arrow shows what a click does: the closed panel's (the start picture and left.jpg, which
// look alike) points right, where the panel opens; the open panel's (right.jpg) back left.
TEST(Pictures, ThePanelArrowsPointWhereAClickTakesThePanel) {
  const QImage closed(kImage2ClosedPath), left(kDir + "/left.jpg"), right(kDir + "/right.jpg");
  EXPECT_EQ(ArrowDirection(closed), 1);
  EXPECT_EQ(ArrowDirection(left), 1);
  EXPECT_EQ(ArrowDirection(right), -1);
  EXPECT_EQ(closed, left);
}

// To the nearest pixel, as the real quotient rounds (no quotient of whole twips is a half).
TEST(Design, TwipsRoundToTheNearestPixel) {
  for (int twips = -30000; twips <= 30000; ++twips)
    ASSERT_EQ(design::Px(twips), std::lround(twips / 15.0)) << twips;
}

}  // namespace
}  // namespace tessaldo
