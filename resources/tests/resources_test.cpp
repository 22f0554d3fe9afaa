// The project's pictures as Qt's own decoders read them: the resources linked
// into the programs, the arrows beside `bin` and the desktop icons.
#include "tessaldo/resources.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>

#include <vector>

namespace tessaldo {
namespace {

const QString kDir = QStringLiteral(TESSALDO_RESOURCES_DIR);

// Runs first: the pictures come with the library, without InitResources.
TEST(Pictures, HaveTheirSizesAndSeeThroughCornersWhereTheyHaveAlpha) {
  struct Case {
    QString path;
    int size;
    bool alpha;
  };
  std::vector<Case> cases = {{kFormIconPath, 32, true},        {kEmblemPath, 48, false},
                             {kArrowRightPath, 24, false},     {kEnvelopePath, 24, true},
                             {kDir + "/right.jpg", 24, false}, {kDir + "/left.jpg", 24, false}};
  for (int size : {16, 32, 48, 64, 128, 256}) {
    cases.push_back(
        {kDir + QStringLiteral("/icons/hicolor/%1x%1/apps/tessaldo.png").arg(size), size, true});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const QImage image(c.path);
    ASSERT_FALSE(image.isNull()) << "missing, or no decoder for it";
    EXPECT_EQ(image.size(), QSize(c.size, c.size));
    EXPECT_EQ(image.hasAlphaChannel(), c.alpha);
    if (c.alpha) {
      EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
      EXPECT_EQ(image.pixelColor(c.size / 2, c.size * 3 / 8).alpha(), 255);
    }
  }
  // The window icon has 256 colours at most; the emblem is true colour.
  EXPECT_EQ(QImage(kFormIconPath).format(), QImage::Format_Indexed8);
  EXPECT_EQ(QImage(kEmblemPath).format(), QImage::Format_RGB32);
}

// +1 when the arrow points right, -1 left, 0 when undecided: the tip is the
// end where the outermost column of the arrow's bright blue is the shorter.
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

TEST(Pictures, ArrowsPointTheirWay) {
  EXPECT_EQ(QImageReader(kDir + "/right.jpg").format(), "jpeg");
  EXPECT_EQ(QImageReader(kDir + "/left.jpg").format(), "jpeg");
  EXPECT_EQ(ArrowDirection(QImage(kArrowRightPath)), 1);
  EXPECT_EQ(ArrowDirection(QImage(kDir + "/right.jpg")), 1);
  EXPECT_EQ(ArrowDirection(QImage(kDir + "/left.jpg")), -1);
}

}  // namespace
}  // namespace tessaldo
