#include "tessaldo/resources.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QString>

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tessaldo {
namespace {

const QString kDir = QStringLiteral(TESSALDO_RESOURCES_DIR);

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::uint32_t Le(const QByteArray& b, qsizetype at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

// Colour type and bit depth from a PNG's header: 2 is RGB, 3 palette, 6 RGBA.
struct PngHeader {
  int colourType = -1;
  int bitDepth = -1;
};

PngHeader ReadPngHeader(const QString& path) {
  const QByteArray b = ReadAll(path);
  if (b.size() < 26 || !b.startsWith("\x89PNG\r\n\x1a\n") || b.mid(12, 4) != "IHDR") return {};
  return {static_cast<std::uint8_t>(b[25]), static_cast<std::uint8_t>(b[24])};
}

bool IsArrowBlue(const QColor& c) {
  return c.blue() > 180 && c.blue() - c.red() > 150 && c.green() > 40;
}

// +1 when the arrow points right, -1 left, 0 when undecided: the tip is the
// end where the outermost column of the arrow's bright blue is the shorter.
int ArrowDirection(const QImage& image) {
  std::vector<int> heights;
  for (int x = 0; x < image.width(); ++x) {
    int height = 0;
    for (int y = 0; y < image.height(); ++y) height += IsArrowBlue(image.pixelColor(x, y));
    if (height > 0) heights.push_back(height);
  }
  if (heights.size() < 2 || heights.front() == heights.back()) return 0;
  return heights.back() < heights.front() ? 1 : -1;
}

// Mean difference per colour channel, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y);
      const QColor q = b.pixelColor(x, y);
      sum += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
             std::abs(p.blue() - q.blue());
    }
  }
  return sum / (3.0 * a.width() * a.height());
}

// Runs first: the pictures come with the library, without InitResources.
TEST(QtResources, PicturesAreLinkedInWithoutRegistration) {
  for (const char* path : {kFormIconPath, kEmblemPath, kArrowRightPath, kEnvelopePath}) {
    EXPECT_TRUE(QFile::exists(QString::fromLatin1(path))) << path;
  }
}

TEST(QtResources, PicturesHaveTheirSizesAndColourDepths) {
  InitResources();
  InitResources();

  const QImage icon(kFormIconPath);
  EXPECT_EQ(icon.size(), QSize(32, 32));
  EXPECT_EQ(ReadPngHeader(kFormIconPath).colourType, 3);  // palette of at most 256 colours
  EXPECT_TRUE(icon.hasAlphaChannel());

  const QImage emblem(kEmblemPath);
  EXPECT_EQ(emblem.size(), QSize(48, 48));
  const PngHeader emblemHeader = ReadPngHeader(kEmblemPath);
  EXPECT_EQ(emblemHeader.colourType, 2);  // 24-bit RGB, no palette
  EXPECT_EQ(emblemHeader.bitDepth, 8);

  const QImage envelope(kEnvelopePath);
  EXPECT_EQ(envelope.size(), QSize(24, 24));
  EXPECT_TRUE(envelope.hasAlphaChannel());
  // Its corners are see-through, its middle is not.
  EXPECT_EQ(envelope.pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(envelope.pixelColor(12, 9).alpha(), 255);
}

TEST(Pictures, ArrowsAreBlueAndPointTheirWay) {
  const QImage designed(kArrowRightPath);
  const QImage right(kDir + "/right.jpg");
  const QImage left(kDir + "/left.jpg");
  ASSERT_FALSE(right.isNull()) << "JPEG support missing or right.jpg unreadable";
  ASSERT_FALSE(left.isNull());
  for (const QImage* image : {&designed, &right, &left}) {
    EXPECT_EQ(image->size(), QSize(24, 24));
  }
  EXPECT_EQ(QImageReader(kDir + "/right.jpg").format(), "jpeg");
  EXPECT_EQ(QImageReader(kDir + "/left.jpg").format(), "jpeg");

  EXPECT_EQ(ArrowDirection(designed), 1);
  EXPECT_EQ(ArrowDirection(right), 1);
  EXPECT_EQ(ArrowDirection(left), -1);

  // The file pictures are the designed arrow and its mirror image.
  const QImage mirrored = designed.mirrored(true, false);
  EXPECT_LT(MeanDifference(right, designed), 4.0);
  EXPECT_LT(MeanDifference(left, mirrored), 4.0);
  EXPECT_GT(MeanDifference(left, designed), 10.0);
}

struct IcoEntry {
  int size;
  int bitsPerPixel;
};

std::vector<IcoEntry> ReadIcoDirectory(const QByteArray& b) {
  std::vector<IcoEntry> entries;
  if (b.size() < 6 || Le(b, 0, 2) != 0 || Le(b, 2, 2) != 1) return entries;
  const int count = static_cast<int>(Le(b, 4, 2));
  for (int i = 0; i < count && 6 + 16 * (i + 1) <= b.size(); ++i) {
    const qsizetype at = 6 + 16 * i;
    const int width = static_cast<std::uint8_t>(b[at]);
    entries.push_back({width == 0 ? 256 : width, static_cast<int>(Le(b, at + 6, 2))});
  }
  return entries;
}

TEST(WindowsIcons, HoldSixteenThirtyTwoAndFortyEightPixelsInTheirColourDepth) {
  struct Case {
    const char* file;
    int maxBitsPerPixel;
  };
  for (const Case& c : {Case{"bin.ico", 4}, Case{"tessaldo.ico", 8}}) {
    SCOPED_TRACE(c.file);
    const QString path = kDir + "/" + c.file;
    std::set<int> sizes;
    for (const IcoEntry& e : ReadIcoDirectory(ReadAll(path))) {
      sizes.insert(e.size);
      EXPECT_LE(e.bitsPerPixel, c.maxBitsPerPixel) << e.size << " px";
    }
    EXPECT_THAT(sizes, ::testing::ElementsAre(16, 32, 48));

    QImageReader reader(path);
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    ASSERT_EQ(reader.imageCount(), 3);
    std::set<int> decoded;
    for (int i = 0; i < reader.imageCount(); ++i) {
      ASSERT_TRUE(reader.jumpToImage(i));
      const QImage image = reader.read();
      ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
      EXPECT_EQ(image.width(), image.height());
      decoded.insert(image.width());
      // The dark blue tile fills the middle.
      EXPECT_EQ(
          image.pixelColor(image.width() / 2, image.height() - 4 * image.height() / 16).alpha(),
          255);
    }
    EXPECT_THAT(decoded, ::testing::ElementsAre(16, 32, 48));
  }
}

TEST(DesktopIcons, ComeInEverySizeWithTransparentCorners) {
  for (int size : {16, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    const QImage image(kDir + QStringLiteral("/icons/hicolor/%1x%1/apps/tessaldo.png").arg(size));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(size, size));
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(size / 2, size / 2).alpha(), 255);
  }
}

TEST(WindowsResourceScripts, NameTheirIconAndTheProjectVersion) {
  const QString version = QStringLiteral(TESSALDO_VERSION);
  const QString commas = QString(version).replace('.', ", ") + ", 0";
  struct Case {
    const char* script;
    const char* icon;
    const char* program;
  };
  for (const Case& c : {Case{"bin.rc", "bin.ico", "bin.exe"},
                        Case{"tessaldo.rc", "tessaldo.ico", "Tessaldo.exe"}}) {
    SCOPED_TRACE(c.script);
    const QString text = QString::fromUtf8(ReadAll(kDir + "/" + c.script));
    ASSERT_FALSE(text.isEmpty());
    const auto icon =
        QRegularExpression(R"re(^1 ICON "([^"]+)")re", QRegularExpression::MultilineOption)
            .match(text);
    ASSERT_TRUE(icon.hasMatch());
    EXPECT_EQ(icon.captured(1), c.icon);
    EXPECT_TRUE(QFile::exists(kDir + "/" + icon.captured(1)));
    EXPECT_TRUE(text.contains("FILEVERSION " + commas));
    EXPECT_TRUE(text.contains("PRODUCTVERSION " + commas));
    EXPECT_TRUE(text.contains(QStringLiteral("\"ProductVersion\", \"%1\"").arg(version)));
    EXPECT_TRUE(text.contains(QStringLiteral("\"FileVersion\", \"%1.0\"").arg(version)));
    EXPECT_TRUE(text.contains(QStringLiteral("\"OriginalFilename\", \"%1\"").arg(c.program)));
    EXPECT_TRUE(text.contains("\"CompanyName\", \"Tessaldo\""));
    EXPECT_TRUE(text.contains("\"ProductName\", \"Tessaldo\""));
  }
  EXPECT_TRUE(
      ReadAll(kDir + "/bin.rc").contains("\"FileDescription\", \"Convertitore di numeri\""));
}

}  // namespace
}  // namespace tessaldo
