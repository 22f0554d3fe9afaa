#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>
#include <functional>
#include <stdexcept>

#include "front_end_cases.h"
#include "tessaldo/converter_window/converter_program.h"
#include "tessaldo/converter_window/form1.h"
#include "tessaldo/resources/qt_design.h"
#include "tessaldo/testing/qt_testing.h"

namespace tessaldo::testing {
namespace {

using front_end_cases::RecordingBeeper;

// Opens the field's context menu and returns its entries' texts (mnemonics and shortcuts
// left out); triggers the entry named `trigger`, if any, and closes the menu.
QStringList Menu(QWidget& field, const char* trigger = nullptr) {
  QContextMenuEvent request(QContextMenuEvent::Mouse, {5, 5}, field.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&field, &request);
  QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (menu == nullptr) return {"no menu"};
  QStringList entries;
  for (QAction* action : menu->actions())
    if (!action->isSeparator()) entries << action->text().section('\t', 0, 0).remove('&');
  if (trigger != nullptr) menu->findChild<QAction*>(trigger)->trigger();
  menu->close();
  return entries;
}

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override { Open(); }
  void Open() {
    design::InstallFontSubstitutes();
    beeper.tones.clear();
    form = std::make_unique<Form1>(beeper);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  template <class T = QLineEdit>
  T& Control(const QString& name) const {
    if (T* control = form->findChild<T*>(name)) return *control;
    throw std::runtime_error(name.toStdString());
  }
  QLineEdit& Text(int n) const {
    return Control(n == 6 ? "Text6Raw" : "Text" + QString::number(n));
  }
  QStringList Texts() const {
    QStringList texts;
    for (int n = 1; n <= 6; ++n) texts << Text(n).text();
    return texts;
  }
  bool Drop(QLineEdit& field, const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPoint at(1, field.height() / 2);
    QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&field, &enter);
    QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&field, &drop);
    return drop.isAccepted();
  }
  void Pick(int code) {
    auto& list = Control<QTreeWidget>("ListView1");
    list.scrollToItem(list.topLevelItem(code));
    const QPoint at = list.visualItemRect(list.topLevelItem(code)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
  }

  RecordingBeeper beeper;
  std::unique_ptr<Form1> form;
};

// The gestures both windows share, played on the real widgets of a fresh window each.
TEST_F(Form1Test, FrontEndCases) {
  for (const front_end_cases::Case& c : front_end_cases::Cases()) {
    SCOPED_TRACE(std::string(c.name));
    Open();
    for (const front_end_cases::Step& step : c.steps) {
      QLineEdit& field = Text(static_cast<int>(step.field) + 1);
      const QString text = QString::fromStdU16String(std::u16string(step.text));
      auto& list = Control<QTreeWidget>("ListView1");
      using enum front_end_cases::Action;
      if (step.action == kType) QTest::keyClicks(&field, text);
      if (step.action == kBackspace) QTest::keyClick(&field, Qt::Key_Backspace);
      if (step.action == kDelete) QTest::keyClick(&field, Qt::Key_Home);
      if (step.action == kDelete) QTest::keyClick(&field, Qt::Key_Delete);
      if (step.action == kMenuPaste) QGuiApplication::clipboard()->setText(text);
      if (step.action == kMenuPaste) Menu(field, "edit-paste");
      if (step.action == kUndo) QTest::keyClick(&field, Qt::Key_Z, Qt::ControlModifier);
      if (step.action == kOutside)  // an assistive tool
        QAccessible::queryAccessibleInterface(&field)->setText(QAccessible::Value, text);
      if (step.action == kPick) Pick(step.code);
      if (step.action == kEnter) list.setCurrentItem(list.topLevelItem(step.code));
      if (step.action == kEnter) QTest::keyClick(&list, Qt::Key_Return);
      if (step.action == kCancella)
        QTest::mouseClick(&Control<QPushButton>("Command2"), Qt::LeftButton);
    }
    QStringList expected;
    for (const std::string_view f : c.fields) expected << QString::fromUtf8(f.data(), f.size());
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(beeper.tones, std::vector<unsigned>(c.beeps, 200200));
    EXPECT_EQ(Control<QLabel>("Label6").text().toStdString(), c.label6);
  }
}

// Tab walks the controls in the designed order, out of Text6 too, and wraps; the focused control,
// and only it, has the white ring around it, on the window's dark blue. Text6 shows each pair of
// bars as one red bar, the rest dark blue, its caret at its beginning.
TEST_F(Form1Test, TabOrderFocusRingAndTheBarsInRed) {
  EXPECT_EQ(Form1(beeper).grab().toImage().pixel(2, 2), qRgb(0, 0, 150));  // no focus, no ring
  form->SetOuterWidth(7185);  // the whole window in view
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  QTest::keyClicks(&Text(1), "124");
  const QStringList order{"Text1", "Text2",     "Text3",    "Text4", "Text5",
                          "Text6", "ListView1", "Command2", "Text1"};
  const auto ringAt = [](const QImage& image, const QWidget& control) {
    const QRect r = control.geometry().adjusted(-2, -2, 2, 2);  // on the ring's line
    const QRgb white = qRgb(255, 255, 255);
    return image.pixel(r.left(), r.center().y()) == white &&
           image.pixel(r.right(), r.center().y()) == white &&
           image.pixel(r.center().x(), r.bottom()) == white;
  };
  for (const QString& name : order) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->objectName(), name);
    const QImage shot = form->grab().toImage();
    for (const QString& other : order)
      EXPECT_EQ(ringAt(shot, Control<QWidget>(other)), other == name) << name.toStdString();
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  QString shown;  // each character, then R for red or B for dark blue
  const auto& text6 = Control<QTextEdit>("Text6");
  for (QTextBlock::iterator it = text6.document()->begin().begin(); !it.atEnd(); ++it) {
    const QRgb colour = it.fragment().charFormat().foreground().color().rgb();
    for (const QChar c : it.fragment().text())
      shown += QString(c) + (colour == qRgb(255, 0, 0)   ? 'R'
                             : colour == qRgb(0, 0, 150) ? 'B'
                                                         : '?');
  }
  EXPECT_EQ(shown, "|R B|B B|R B");
  EXPECT_EQ(text6.textCursor().position(), 0);
}

// Qt's own texts are Italian: the numeric fields' menu and the Roman field's.
TEST(ConverterProgramTest, MenusSpeakItalian) {
  ConverterProgram program;
  program.Show();
  auto& text1 = *program.Window().findChild<QLineEdit*>("Text1");
  QTest::keyClicks(&text1, "12");
  text1.selectAll();
  QApplication::clipboard()->setText("1");
  EXPECT_EQ(Menu(text1), (QStringList{"Annulla", "Rifai", "Taglia", "Copia", "Incolla", "Elimina",
                                      "Seleziona tutto"}));
  EXPECT_EQ(Menu(*program.Window().findChild<QLineEdit*>("Text5")),
            (QStringList{"Copia", "Seleziona tutto"}));
}

// Input methods, assistive technology and drops reach the presenter as the users' own edits; the
// arrow's press action opens the panel to the designed width.
TEST_F(Form1Test, InputMethodsAccessibilityAndDrops) {
  for (const char* committed : {"12", "101"}) {
    QInputMethodEvent event;
    event.setCommitString(committed);
    QApplication::sendEvent(&Text(2), &event);
  }
  EXPECT_EQ(beeper.tones.size(), 1u);
  EXPECT_EQ(Text(1).text(), "5");

  QAccessibleInterface* hex = QAccessible::queryAccessibleInterface(&Text(4));
  EXPECT_EQ(hex->text(QAccessible::Name), "Esadecimale");
  hex->editableTextInterface()->insertText(0, "A");
  EXPECT_EQ(Texts(), (QStringList{"165", "10100101", "245", "A5", "CLXV", "|| \u00a5 || "}));
  EXPECT_TRUE(Drop(Text(1), " 1 "));
  EXPECT_EQ(Text(1).text(), "1165");
  EXPECT_FALSE(Drop(Text(1), "x"));
  EXPECT_EQ(beeper.tones.size(), 2u);

  EXPECT_EQ(form->width(), 263);  // 3940 twips
  QAccessible::queryAccessibleInterface(&Control<QLabel>("Image2"))
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(form->width(), 473);  // 7095 twips
}

}  // namespace
}  // namespace tessaldo::testing
