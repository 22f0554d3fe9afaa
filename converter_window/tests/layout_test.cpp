#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "harness.h"

namespace tessaldo::testing {
namespace {

using Form1LayoutTest = Form1Test;

constexpr QRgb kDarkBlue = qRgb(0, 0, 150);

QRect Twips(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

TEST_F(Form1LayoutTest, WindowIsFixedAtItsDesignedClientSize) {
  EXPECT_EQ(form->windowTitle(), "Tessaldo");
  // Start-up has narrowed it to 4030 twips: client 3940 by 5550.
  EXPECT_EQ(form->size(), QSize(263, 5550 / 15));
  EXPECT_EQ(form->minimumSize(), form->size());
  EXPECT_EQ(form->maximumSize(), form->size());
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)));

  const QImage shot = form->grab().toImage();
  for (const QPoint spot : {QPoint(3, 3), QPoint(260, 200), QPoint(250, 360)}) {
    EXPECT_EQ(shot.pixel(spot), kDarkBlue) << spot.x() << "," << spot.y();
  }
}

TEST_F(Form1LayoutTest, ControlsSitWhereTheDesignPutsThem) {
  const struct {
    const char* name;
    const char* kind;
    QRect rect;
  } controls[] = {
      {"Text1", "QLineEdit", Twips(120, 600, 2655, 525)},
      {"Image1", "QLabel", Twips(2985, 420, 720, 720)},
      {"Text2", "QLineEdit", Twips(120, 1560, 3735, 405)},
      {"Text3", "QLineEdit", Twips(120, 2400, 3735, 405)},
      {"Text4", "QLineEdit", Twips(120, 3240, 3735, 405)},
      {"Text5", "QLineEdit", Twips(120, 4080, 3735, 405)},
      {"Text6Raw", "QLineEdit", Twips(2760, 4560, 735, 285)},
      {"Text6", "QTextEdit", Twips(120, 4920, 3135, 375)},
      {"Image2", "QLabel", Twips(3360, 4920, 360, 360)},
      {"ListView1", "QTreeWidget", Twips(3960, 120, 3015, 4695)},
      {"Command2", "QPushButton", Twips(6120, 4920, 855, 375)},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    const QWidget& control = Control<QWidget>(c.name);
    EXPECT_TRUE(control.inherits(c.kind));
    EXPECT_EQ(control.geometry(), c.rect);
    EXPECT_EQ(control.isVisible(), QLatin1String(c.name) != QLatin1String("Text6Raw"));
    EXPECT_TRUE(control.isEnabled());
  }
  for (int n = 1; n <= 6; ++n) EXPECT_TRUE(Text(n).text().isEmpty());
  EXPECT_TRUE(Text(5).isReadOnly());
  EXPECT_TRUE(Text6().toPlainText().isEmpty());
  EXPECT_FALSE(Control<QTreeWidget>("ListView1").rootIsDecorated());
  EXPECT_EQ(Control<QPushButton>("Command2").text(), "Cancella");
}

TEST_F(Form1LayoutTest, LabelsSizeThemselvesToTheirCaption) {
  const struct {
    const char* name;
    const char* caption;
    int left, top;
    const char* field;
  } labels[] = {
      {"Label1", "Decimale", 120, 240, "Text1"},
      {"Label4", "Binario", 120, 1320, "Text2"},
      {"Label5", "Ottale", 120, 2160, "Text3"},
      {"Label6", "Esadecimale", 120, 3000, "Text4"},
      {"Label2", "Romano", 120, 3840, "Text5"},
      {"Label3", "UTF-8   (Base 256)", 120, 4680, "Text6"},
  };
  for (const auto& l : labels) {
    SCOPED_TRACE(l.name);
    const auto& label = Control<QLabel>(l.name);
    EXPECT_EQ(label.text(), l.caption);
    EXPECT_EQ(label.pos(), Twips(l.left, l.top, 0, 0).topLeft());
    EXPECT_EQ(label.size(), label.sizeHint());
    EXPECT_FALSE(label.wordWrap());
    EXPECT_EQ(label.focusPolicy(), Qt::NoFocus);
    // Where a label reaches into the field below it, the field is on top.
    const QWidget& field = Control<QWidget>(l.field);
    if (label.geometry().bottom() >= field.y()) {
      const QWidget* hit = form->childAt(label.x() + 3, field.y() + 1);
      EXPECT_TRUE(hit == &field || field.isAncestorOf(hit));
    }
  }
}

TEST_F(Form1LayoutTest, FontsAndColoursFollowTheDesign) {
  const struct {
    const char* name;
    const char* family;
    qreal points;
    bool bold;
  } fonts[] = {
      {"Text1", "Comic Neue", 14.25, true},  {"Text2", "Comic Neue", 12, false},
      {"Text3", "Comic Neue", 12, false},    {"Text4", "Comic Neue", 12, false},
      {"Text5", "Comic Neue", 12, false},    {"Text6", "Liberation Sans", 12, true},
      {"Label1", "Comic Neue", 12, false},   {"Label2", "Comic Neue", 9.75, false},
      {"Label3", "Comic Neue", 9.75, false}, {"Label4", "Comic Neue", 9.75, false},
      {"Label5", "Comic Neue", 9.75, false}, {"Label6", "Comic Neue", 9.75, false},
      {"ListView1", "Comic Neue", 9, false},
  };
  for (const auto& f : fonts) {
    SCOPED_TRACE(f.name);
    const QFont font = Control<QWidget>(f.name).font();
    EXPECT_EQ(QFontInfo(font).family(), f.family);
    EXPECT_EQ(font.pointSizeF(), f.points);
    EXPECT_EQ(font.bold(), f.bold);
  }
  for (const char* name : {"Command2", "Text6Raw"}) {
    const QWidget& control = Control<QWidget>(name);
    EXPECT_EQ(control.font(), QApplication::font(&control)) << name;
  }
  for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"}) {
    const QPalette palette = Control<QWidget>(name).palette();
    EXPECT_EQ(palette.color(QPalette::Text).rgb(), kDarkBlue) << name;
    EXPECT_EQ(palette.color(QPalette::Base).rgb(), qRgb(192, 192, 255)) << name;
  }
  for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"}) {
    const auto& label = Control<QLabel>(name);
    EXPECT_EQ(label.palette().color(QPalette::WindowText).rgb(), qRgb(255, 255, 255)) << name;
    EXPECT_EQ(label.palette().color(QPalette::Window).rgb(), kDarkBlue) << name;
    EXPECT_TRUE(label.autoFillBackground()) << name;
  }
}

TEST_F(Form1LayoutTest, TooltipsPointersAndAccessibleNames) {
  const struct {
    const char* name;
    const char* tip;
    bool hand;
  } controls[] = {
      {"Label3",
       "Conversione dei numeri in base 256 con rappresentazione tramite i simboli del set di "
       "caratteri UTF-8",
       false},
      {"Text6", "Le barre rosse separano i vari caratteri", false},
      {"Image2", "Visualizza/Nascondi la scrittura guidata del campo UTF-8", true},
      {"Command2", "Cancella l'ultimo carattere inserito", true},
      {"Image1", "Autore", true},
      {"Text1", "", false},
  };
  for (const auto& c : controls) {
    const QWidget& control = Control<QWidget>(c.name);
    EXPECT_EQ(control.toolTip(), QString::fromUtf8(c.tip)) << c.name;
    EXPECT_EQ(control.cursor().shape() == Qt::PointingHandCursor, c.hand) << c.name;
  }
  const struct {
    const char* name;
    const char* accessible;
  } fields[] = {{"Text1", "Decimale"},    {"Text2", "Binario"}, {"Text3", "Ottale"},
                {"Text4", "Esadecimale"}, {"Text5", "Romano"},  {"Text6", "UTF-8   (Base 256)"}};
  for (const auto& f : fields) {
    EXPECT_EQ(Control<QWidget>(f.name).accessibleName(), f.accessible) << f.name;
  }
}

TEST_F(Form1LayoutTest, PicturesComeFromTheResources) {
  EXPECT_EQ(Control<QLabel>("Image1").pixmap().size(), QSize(48, 48));
  EXPECT_EQ(Control<QLabel>("Image2").pixmap().size(), QSize(24, 24));
}

TEST_F(Form1LayoutTest, FocusStartsInTheDecimalFieldAndTabFollowsTheDesign) {
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  ASSERT_TRUE(WaitUntil([] { return QApplication::focusWidget() != nullptr; }));
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "Text1");
  for (const char* next :
       {"Text2", "Text3", "Text4", "Text5", "Text6", "ListView1", "Command2", "Text1", "Text2"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "Text1");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "Command2");
}

}  // namespace
}  // namespace tessaldo::testing
