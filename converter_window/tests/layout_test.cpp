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

// The font a control shows: "" for the application's, nullptr where the design gives none.
void ExpectFont(const QWidget& control, const char* family, qreal points, bool bold) {
  if (family == nullptr) return;
  const QFont font = control.font();
  if (*family == '\0') {
    EXPECT_EQ(font, QApplication::font(&control));
    return;
  }
  EXPECT_EQ(QFontInfo(font).family(), family);
  EXPECT_EQ(font.pointSizeF(), points);
  EXPECT_EQ(font.bold(), bold);
}

TEST_F(Form1LayoutTest, WindowIsFixedDarkBlueWithLightFields) {
  // Start-up has narrowed it to 4030 twips: client 3940 by 5550.
  EXPECT_EQ(form->size(), QSize(263, 5550 / 15));
  EXPECT_EQ(form->minimumSize(), form->size());
  EXPECT_EQ(form->maximumSize(), form->size());
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);

  const QImage shot = form->grab().toImage();
  for (const QPoint spot : {QPoint(3, 3), QPoint(260, 200), QPoint(250, 360)}) {
    EXPECT_EQ(shot.pixel(spot), kDarkBlue) << spot.x() << "," << spot.y();
  }
  for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"}) {
    const QWidget& field = Control<QWidget>(name);
    EXPECT_EQ(shot.pixel(field.geometry().topLeft() + QPoint(4, 4)), qRgb(192, 192, 255)) << name;
    EXPECT_EQ(field.palette().color(QPalette::Text).rgb(), kDarkBlue) << name;
  }
}

TEST_F(Form1LayoutTest, ControlsFollowTheDesign) {
  const struct {
    const char* name;
    const char* kind;
    QRect rect;
    const char* family;
    qreal points;
    bool bold;
    const char* accessible;
    const char* tip = "";
    bool hand = false;
  } controls[] = {
      {"Text1", "QLineEdit", Twips(120, 600, 2655, 525), "Comic Neue", 14.25, true, "Decimale"},
      {"Text2", "QLineEdit", Twips(120, 1560, 3735, 405), "Comic Neue", 12, false, "Binario"},
      {"Text3", "QLineEdit", Twips(120, 2400, 3735, 405), "Comic Neue", 12, false, "Ottale"},
      {"Text4", "QLineEdit", Twips(120, 3240, 3735, 405), "Comic Neue", 12, false, "Esadecimale"},
      {"Text5", "QLineEdit", Twips(120, 4080, 3735, 405), "Comic Neue", 12, false, "Romano"},
      {"Text6Raw", "QLineEdit", Twips(2760, 4560, 735, 285), "", 0, false, ""},
      {"Text6", "QTextEdit", Twips(120, 4920, 3135, 375), "Liberation Sans", 12, true,
       "UTF-8   (Base 256)", "Le barre rosse separano i vari caratteri"},
      {"Image1", "QLabel", Twips(2985, 420, 720, 720), nullptr, 0, false, "", "Autore", true},
      {"Image2", "QLabel", Twips(3360, 4920, 360, 360), nullptr, 0, false, "",
       "Visualizza/Nascondi la scrittura guidata del campo UTF-8", true},
      {"ListView1", "QTreeWidget", Twips(3960, 120, 3015, 4695), "Comic Neue", 9, false, ""},
      {"Command2", "QPushButton", Twips(6120, 4920, 855, 375), "", 0, false, "",
       "Cancella l'ultimo carattere inserito", true},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    const QWidget& control = Control<QWidget>(c.name);
    EXPECT_TRUE(control.inherits(c.kind));
    EXPECT_EQ(control.geometry(), c.rect);
    EXPECT_EQ(control.isVisible(), QLatin1String(c.name) != QLatin1String("Text6Raw"));
    ExpectFont(control, c.family, c.points, c.bold);
    EXPECT_EQ(control.accessibleName(), c.accessible);
    EXPECT_EQ(control.toolTip(), QString::fromUtf8(c.tip));
    EXPECT_EQ(control.cursor().shape() == Qt::PointingHandCursor, c.hand);
  }
  EXPECT_TRUE(Text(5).isReadOnly());
  EXPECT_EQ(Control<QPushButton>("Command2").text(), "Cancella");
  EXPECT_EQ(Control<QLabel>("Image1").pixmap().size(), QSize(48, 48));
  EXPECT_EQ(Control<QLabel>("Image2").pixmap().size(), QSize(24, 24));
}

TEST_F(Form1LayoutTest, LabelsSizeThemselvesToTheirCaption) {
  const struct {
    const char* name;
    const char* caption;
    int top;
    qreal points;
    const char* field;
  } labels[] = {
      {"Label1", "Decimale", 240, 12, "Text1"},
      {"Label4", "Binario", 1320, 9.75, "Text2"},
      {"Label5", "Ottale", 2160, 9.75, "Text3"},
      {"Label6", "Esadecimale", 3000, 9.75, "Text4"},
      {"Label2", "Romano", 3840, 9.75, "Text5"},
      {"Label3", "UTF-8   (Base 256)", 4680, 9.75, "Text6"},
  };
  for (const auto& l : labels) {
    SCOPED_TRACE(l.name);
    const auto& label = Control<QLabel>(l.name);
    EXPECT_EQ(label.text(), l.caption);
    EXPECT_EQ(label.pos(), QPoint(120 / 15, l.top / 15));
    EXPECT_EQ(label.size(), label.sizeHint());
    ExpectFont(label, "Comic Neue", l.points, false);
    EXPECT_EQ(label.palette().color(QPalette::WindowText).rgb(), qRgb(255, 255, 255));
    // Where a label reaches into the field below it, the field is on top.
    const QWidget& field = Control<QWidget>(l.field);
    if (label.geometry().bottom() >= field.y()) {
      const QWidget* hit = form->childAt(label.x() + 3, field.y() + 1);
      EXPECT_TRUE(hit == &field || field.isAncestorOf(hit));
    }
  }
  EXPECT_EQ(Control<QLabel>("Label3").toolTip(),
            "Conversione dei numeri in base 256 con rappresentazione tramite i simboli del set di "
            "caratteri UTF-8");
}

TEST_F(Form1LayoutTest, FocusStartsInTheDecimalFieldAndTabFollowsTheDesign) {
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  ASSERT_TRUE(WaitUntil([] { return QApplication::focusWidget() != nullptr; }));
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "Text1");
  for (const char* next :
       {"Text2", "Text3", "Text4", "Text5", "Text6", "ListView1", "Command2", "Text1"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "Command2");
}

}  // namespace
}  // namespace tessaldo::testing
