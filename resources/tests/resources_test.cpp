// The project's pictures as Qt's own decoders read them (the resources linked into the programs,
// the arrows beside `bin`, the desktop icons), and the twips of the design.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>
#include <cmath>
#include <vector>

#include "tessaldo/resources.h"
#include "tessaldo/resources/design.h"

namespace tessaldo {
namespace {

const QString kDir = QStringLiteral(TESSALDO_RESOURCES_DIR);

enum class Alpha { kNone, kMask, kSmooth };

// Runs first: the pictures come with the library, without InitResources.
TEST(Pictures, HaveTheirSizesAndSeeThroughCornersWhereTheyHaveAlpha) {
  struct Case {
    QString path;
    int size;
    Alpha alpha;
  };
  std::vector<Case> cases = {
      {kFormIconPath, 32, Alpha::kSmooth},     {kEmblemPath, 48, Alpha::kMask},
      {kImage2ClosedPath, 24, Alpha::kNone},   {kEnvelopePath, 24, Alpha::kSmooth},
      {kDir + "/right.jpg", 24, Alpha::kNone}, {kDir + "/left.jpg", 24, Alpha::kNone}};
  for (int size : {16, 32, 48, 64, 128, 256}) {
    cases.push_back({kDir + QStringLiteral("/icons/hicolor/%1x%1/apps/tessaldo.png").arg(size),
                     size, Alpha::kSmooth});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const QImage image(c.path);
    ASSERT_FALSE(image.isNull()) << "missing, or no decoder for it";
    EXPECT_EQ(image.size(), QSize(c.size, c.size));
    ASSERT_EQ(image.hasAlphaChannel(), c.alpha != Alpha::kNone);
    if (c.alpha == Alpha::kNone) continue;
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(c.size / 2, c.size * 3 / 8).alpha(), 255);
    // A mask as an icon's: each pixel wholly seen or wholly see-through.
    for (int i = 0; c.alpha == Alpha::kMask && i < c.size * c.size; ++i) {
      const int alpha = image.pixelColor(i % c.size, i / c.size).alpha();
      ASSERT_TRUE(alpha == 0 || alpha == 255) << i;
    }
  }
  EXPECT_EQ(QImage(kFormIconPath).format(), QImage::Format_Indexed8);
  EXPECT_EQ(QImageReader(kDir + "/right.jpg").format(), "jpeg");
  EXPECT_EQ(QImageReader(kDir + "/left.jpg").format(), "jpeg");
}

// +1 when the arrow points right, -1 left, 0 when undecided: the tip is the end where the
// outermost column of the arrow's bright blue is the shorter.
int ArrowDirection(const QImage& image) {
  std::vector<int> heights;
  for (int x = 0; x < image.width(); ++x) {
    int height = 0;
    for (int y = 0; y < image.height(); ++y) {
      const QColor c = image.pixelColor(x, y);
      height += c.blue() > 180 && c.blue() - c.red() > 150 && c.green() > 40;
    }
    if (height > 0) heights.push_back(height);
  }
  if (heights.size() < 2 || heights.front() == heights.back()) return 0;
  return heights.back() < heights.front() ? 1 : -1;
}

// The largest difference of one colour channel between two pictures of one size.
int Difference(const QImage& a, const QImage& b) {
  int most = 0;
  for (int i = 0; i < a.width() * a.height(); ++i) {
    const QColor p = a.pixelColor(i % a.width(), i / a.width());
    const QColor q = b.pixelColor(i % a.width(), i / a.width());
    most = std::max({most, std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                     std::abs(p.blue() - q.blue())});
  }
  return most;
}

// Each picture shows what a click does: the closed panel's (the start picture and left.jpg)
// points to the right, where the panel opens; the open panel's (right.jpg) back to the left.
TEST(Pictures, ThePanelArrowsPointWhereAClickTakesThePanel) {
  const QImage closed(kImage2ClosedPath), left(kDir + "/left.jpg"), right(kDir + "/right.jpg");
  EXPECT_EQ(ArrowDirection(closed), 1);
  EXPECT_EQ(ArrowDirection(left), 1);
  EXPECT_EQ(ArrowDirection(right), -1);
  EXPECT_LE(Difference(closed, left), 12) << "the start picture looks unlike left.jpg";
  EXPECT_GE(Difference(closed, right), 100);
}

// To the nearest pixel, as the real quotient rounds (no quotient of whole twips is a half).
TEST(Design, TwipsRoundToTheNearestPixel) {
  for (int twips = -30000; twips <= 30000; ++twips) {
    ASSERT_EQ(design::Px(twips), std::lround(twips / 15.0)) << twips;
  }
  EXPECT_EQ(design::TwipsRect(-60, 30, 3660, 1170), QRect(-4, 2, 244, 78));
  EXPECT_EQ(design::TwipsSize(4410, 1860), QSize(294, 124));
}

}  // namespace
}  // namespace tessaldo
