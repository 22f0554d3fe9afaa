// The panel toggle of Image2: real clicks, the window's width in twips, and the arrow pictures
// read from a directory holding good, missing and damaged files.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "harness.h"

namespace tessaldo::testing {
namespace {

const QString kResources = QStringLiteral(TESSALDO_RESOURCES_DIR);

QImage Pixels(const QImage& image) {
  return image.convertToFormat(QImage::Format_RGB32);
}

class Form1PanelTest : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    ASSERT_TRUE(directory_.isValid());
    form->SetProgramDirectory(directory_.path());
    right_ = Pixels(QImage(kResources + "/right.jpg"));
    left_ = Pixels(QImage(kResources + "/left.jpg"));
    designed_ = Pixels(QImage(":/tessaldo/arrow_right.png"));
    // The three pictures tell themselves apart.
    ASSERT_FALSE(left_.isNull());
    ASSERT_TRUE(right_ != left_ && right_ != designed_ && left_ != designed_);
    for (const char* name : {"left.jpg", "right.jpg"}) {
      ASSERT_TRUE(QFile::copy(kResources + "/" + name, Path(name)));
    }
  }

  QString Path(const char* name) const { return directory_.filePath(QLatin1String(name)); }
  void Write(const char* name, const QByteArray& bytes) const {
    QFile::remove(Path(name));
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QImage Shown() const { return Pixels(Control<QLabel>("Image2").pixmap().toImage()); }

  // The panel's controls lie wholly inside the client area, or wholly outside it.
  void ExpectPanel(bool open) const {
    for (const char* name : {"ListView1", "Command2"}) {
      const QWidget& control = Control<QWidget>(name);
      EXPECT_EQ(form->rect().contains(control.geometry()), open) << name;
      EXPECT_EQ(control.visibleRegion().isEmpty(), !open) << name;
    }
  }

  QTemporaryDir directory_;
  QImage right_, left_, designed_;
};

TEST_F(Form1PanelTest, Image2OpensAndClosesThePanelAndSwapsTheArrow) {
  EXPECT_EQ(Shown(), designed_);
  ExpectPanel(false);

  // Every click changes the width, then shows the arrow of the new state; the first one after
  // start-up opens the panel.
  const struct {
    int width;
    int pixels;
    bool open;
    const QImage& picture;
  } clicks[] = {{7185, 473, true, right_},
                {4030, 263, false, left_},
                {7185, 473, true, right_},
                {4030, 263, false, left_}};
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.width);
    Click("Image2");
    EXPECT_EQ(form->OuterWidth(), click.width);
    EXPECT_EQ(form->size(), QSize(click.pixels, 370));
    ExpectPanel(click.open);
    EXPECT_EQ(Shown(), click.picture);
  }

  // A press taken off the picture before the release is no click, nor is the right button.
  const QLabel& image = Control<QLabel>("Image2");
  QWindow* window = form->windowHandle();
  QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, WindowPoint(image, QPoint(5, 5)));
  QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, WindowPoint(image, QPoint(-30, 5)));
  QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, WindowPoint(image, QPoint(5, 5)));
  EXPECT_EQ(form->OuterWidth(), 4030);
  Click("Image2");
  EXPECT_EQ(form->OuterWidth(), 7185);
}

TEST_F(Form1PanelTest, OnlyExactly4030CountsAsClosed) {
  // 4031 gives the same pixels as 4030, yet reads back as itself and counts as open.
  form->SetOuterWidth(4031);
  EXPECT_EQ(form->width(), 263);
  EXPECT_EQ(form->OuterWidth(), 4031);
  Click("Image2");
  EXPECT_EQ(form->OuterWidth(), 4030);
  EXPECT_EQ(Shown(), left_);
  // 4030 reads back exactly, though its pixels measure 4035 twips.
  EXPECT_NE(form->width() * 15 + 90, 4030);

  // A width the window did not set reads from the pixels, and counts as open.
  form->setFixedWidth(300);
  EXPECT_EQ(form->OuterWidth(), 300 * 15 + 90);
  Click("Image2");
  EXPECT_EQ(form->OuterWidth(), 4030);
  Click("Image2");
  EXPECT_EQ(form->OuterWidth(), 7185);
  EXPECT_EQ(Shown(), right_);
}

TEST_F(Form1PanelTest, APictureThatCannotBeReadLeavesTheOneShown) {
  const int windows = static_cast<int>(QApplication::topLevelWidgets().size());
  QFile jpeg(kResources + "/right.jpg");
  ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
  QByteArray garbled = jpeg.readAll();
  for (qsizetype at = 200; at < garbled.size(); at += 7) garbled[at] = '\xFF';

  // right.jpg missing: the panel opens, the designed arrow stays.
  QFile::remove(Path("right.jpg"));
  Click("Image2");
  EXPECT_EQ(form->OuterWidth(), 7185);
  EXPECT_EQ(Shown(), designed_);
  Click("Image2");
  EXPECT_EQ(Shown(), left_);

  // An empty, a garbled right.jpg, a directory by that name, no directory at all: the width
  // changes, left.jpg stays.
  Write("right.jpg", {});
  Click("Image2");
  EXPECT_EQ(form->OuterWidth(), 7185);
  EXPECT_EQ(Shown(), left_);
  Click("Image2");
  Write("right.jpg", garbled);
  Click("Image2");
  EXPECT_EQ(Shown(), left_);
  Click("Image2");
  QFile::remove(Path("right.jpg"));
  ASSERT_TRUE(QDir(directory_.path()).mkdir("right.jpg"));
  Click("Image2");
  EXPECT_EQ(Shown(), left_);
  form->SetProgramDirectory(Path("nowhere"));
  Click("Image2");
  Click("Image2");
  EXPECT_EQ(form->OuterWidth(), 7185);
  EXPECT_EQ(Shown(), left_);

  // No beep and no window of any kind.
  EXPECT_EQ(Beeps(), 0u);
  EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), windows);
}

// The build puts the arrows beside bin and beside this test program; a window left to its
// default reads them from beside the running executable.
using Form1ProgramDirectoryTest = Form1Test;

TEST_F(Form1ProgramDirectoryTest, ArrowsComeFromBesideTheExecutable) {
  for (const char* name : {"right.jpg", "left.jpg"}) {
    QFile source(kResources + "/" + name);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    for (const QString& directory :
         {QStringLiteral(TESSALDO_PROGRAM_DIR), QCoreApplication::applicationDirPath()}) {
      QFile placed(directory + "/" + name);
      ASSERT_TRUE(placed.open(QIODevice::ReadOnly)) << placed.fileName().toStdString();
      EXPECT_EQ(placed.readAll(), bytes) << placed.fileName().toStdString();
    }
    Click("Image2");
    EXPECT_EQ(Pixels(Control<QLabel>("Image2").pixmap().toImage()),
              Pixels(QImage::fromData(bytes)));
  }
}

using Form1AuthorImageTest = Form1Test;

std::vector<QWidget*> AboutWindows() {
  std::vector<QWidget*> found;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String("FormAutore") && widget->isVisible()) {
      found.push_back(widget);
    }
  }
  return found;
}

TEST_F(Form1AuthorImageTest, Image1OpensOneAboutWindowAndReopensItAfterClose) {
  EXPECT_EQ(form->AboutWindow(), nullptr) << "nothing is created before the first click";
  Click("Image1");
  ASSERT_TRUE(WaitUntil([] { return AboutWindows().size() == 1; }));
  QWidget* first = AboutWindows().front();
  EXPECT_EQ(first->parentWidget(), nullptr) << "shown without an owner";
  auto* panel = first->findChild<QWidget*>(QStringLiteral("picture2"));
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return panel->y() < 60; })) << "the panel scrolls";
  const QPoint placed = first->pos();
  panel->move(panel->x(), -20);

  // A second click: the same window, neither moved nor restarted, the converter still usable.
  Click("Image1");
  ASSERT_EQ(AboutWindows().size(), 1u);
  EXPECT_EQ(AboutWindows().front(), first);
  EXPECT_EQ(first->pos(), placed);
  EXPECT_LE(panel->y(), -20);
  Type(Text(1), "7");
  EXPECT_EQ(Text(2).text(), QStringLiteral("111"));

  // Closed, then loaded afresh: the panel starts again at its first position.
  first->close();
  ASSERT_TRUE(WaitUntil([] { return AboutWindows().empty(); }));
  Click("Image1");
  ASSERT_TRUE(WaitUntil([] { return AboutWindows().size() == 1; }));
  auto* fresh = AboutWindows().front()->findChild<QWidget*>(QStringLiteral("picture2"));
  ASSERT_NE(fresh, nullptr);
  EXPECT_GT(fresh->y(), 50) << "a reloaded window starts its panel at 960 twips";
  EXPECT_EQ(AboutWindows().front()->pos(), placed);
}

}  // namespace
}  // namespace tessaldo::testing
