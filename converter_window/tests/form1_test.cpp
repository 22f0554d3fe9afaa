#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>
#include <functional>
#include <stdexcept>

#include "tessaldo/resources/qt_design.h"
#include "tessaldo/converter_window/form1.h"
#include "tessaldo/testing/qt_testing.h"

namespace tessaldo::testing {
namespace {

// Records each tone instead of playing it; `during` runs while the tone would play.
class RecordingBeeper final : public platform::Beeper {
 public:
  void Beep(unsigned frequencyHz, unsigned durationMs) override {
    tones.push_back(frequencyHz * 1000 + durationMs);
    if (during) during();
  }
  std::vector<unsigned> tones;
  std::function<void()> during;
};

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    design::InstallFontSubstitutes();
    form = std::make_unique<Form1>(beeper);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  template <class T = QLineEdit>
  T& Control(const QString& name) const {
    T* control = form->findChild<T*>(name);
    if (control == nullptr) throw std::runtime_error(name.toStdString());
    return *control;
  }
  QLineEdit& Text(int n) const {
    return Control(n == 6 ? "Text6Raw" : "Text" + QString::number(n));
  }
  QStringList Texts() const {
    QStringList texts;
    for (int n = 1; n <= 6; ++n) texts << Text(n).text();
    return texts;
  }
  static void Key(QWidget& to, int key, const QString& text, bool repeat = false, ulong at = 0) {
    auto* event = new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text, repeat);
    event->setTimestamp(at);
    QCoreApplication::postEvent(&to, event);
  }
  bool Drop(QLineEdit& field, const QString& text) {
    QMimeData data;
    data.setText(text);
    QDragEnterEvent enter(QPoint(1, field.height() / 2), Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&field, &enter);
    QDropEvent drop(QPointF(1, field.height() / 2), Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&field, &drop);
    return drop.isAccepted();
  }
  QImage Arrow() const { return Control<QLabel>("Image2").pixmap().toImage(); }

  RecordingBeeper beeper;
  std::unique_ptr<Form1> form;
};

// A key, a paste from the context menu, a drop and undo all reach every field; a refusal beeps
// 200 Hz for 200 ms and changes nothing; Text6 shows the bars.
TEST_F(Form1Test, EveryWayInKeepsTheFieldsInStep) {
  QTest::keyClicks(&Text(2), "1010");
  EXPECT_EQ(Texts(), (QStringList{"10", "1010", "12", "A", "X", "|| LF || "}));
  QTest::keyClicks(&Text(2), "2");
  EXPECT_EQ(beeper.tones, std::vector<unsigned>{200200});

  QGuiApplication::clipboard()->setText("0x_FF");
  Text(4).selectAll();
  QContextMenuEvent menuRequest(QContextMenuEvent::Mouse, {5, 5},
                                Text(4).mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&Text(4), &menuRequest);
  QWidget* menu = QApplication::activePopupWidget();
  ASSERT_NE(menu, nullptr);
  menu->findChild<QAction*>("edit-paste")->trigger();
  menu->close();
  EXPECT_EQ(Texts(), (QStringList{"255", "11111111", "377", "FF", "CCLV", "|| NBSP || "}));

  EXPECT_TRUE(Drop(Text(1), " 1 "));
  EXPECT_EQ(Text(4).text(), "4E7");
  EXPECT_FALSE(Drop(Text(1), "x"));
  QTest::keyClick(&Text(1), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(4).text(), "FF");
  EXPECT_EQ(beeper.tones.size(), 2u);

  // Text6 shows each pair of bars as one red bar, the rest dark blue.
  Text(1).selectAll();
  QTest::keyClicks(&Text(1), "124");
  QString shown;  // each character, then R for red or B for dark blue
  const QTextDocument& document = *Control<QTextEdit>("Text6").document();
  for (QTextBlock::iterator it = document.begin().begin(); !it.atEnd(); ++it) {
    const QRgb colour = it.fragment().charFormat().foreground().color().rgb();
    for (const QChar c : it.fragment().text())
      shown += QString(c) + (colour == qRgb(255, 0, 0)   ? 'R'
                             : colour == qRgb(0, 0, 150) ? 'B'
                                                         : '?');
  }
  EXPECT_EQ(shown, "|R B|B B|R B");
}

// The panel opens to the designed width and closes again; the closed panel shows one arrow at
// start and after any toggles, the open panel another. A double-click picks a row.
TEST_F(Form1Test, PanelArrowsAndPicks) {
  std::vector<std::pair<int, QImage>> seen{{form->OuterWidth(), Arrow()}};
  for (int click = 0; click < 3; ++click) {
    QTest::mouseClick(&Control<QLabel>("Image2"), Qt::LeftButton);
    seen.emplace_back(form->OuterWidth(), Arrow());
  }
  EXPECT_TRUE(seen[0] == seen[2] && seen[1] == seen[3] && seen[0].second != seen[1].second);
  EXPECT_EQ(seen[1].first, 7185);
  EXPECT_EQ(seen[2].first, 4030);

  auto& list = Control<QTreeWidget>("ListView1");
  for (const int code : {0, 65}) {
    QTreeWidgetItem* row = list.topLevelItem(code);
    list.scrollToItem(row);
    const QPoint at = list.visualItemRect(row).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
  }
  EXPECT_EQ(Texts(), (QStringList{"65", "1000001", "101", "41", "LXV", "|| NUL || A || "}));
  EXPECT_EQ(form->CaratteriScelti(), (QStringList{"NUL", "A"}));
}

// Auto-repeats that arrive while a refused key's tone plays are merged; repeats of an accepted
// key type one character each, up to the limit.
TEST_F(Form1Test, HeldKeysNeverPutTheWindowBehind) {
  beeper.during = [&] {
    if (beeper.tones.size() > 1) return;
    for (int i = 0; i < 60; ++i) Key(Text(2), Qt::Key_2, "2", true, 1001 + i * 3);
    QThread::msleep(200);
  };
  Key(Text(2), Qt::Key_2, "2", false, 1000);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_LE(beeper.tones.size(), 2u);
  QTest::keyClick(&Text(2), Qt::Key_1);
  EXPECT_EQ(Text(1).text(), "1");

  for (int i = 0; i < 14; ++i) Key(Text(1), Qt::Key_9, "9", i > 0, 5000 + i * 33);
  const auto tones = beeper.tones.size();
  QCoreApplication::processEvents();
  EXPECT_EQ(Text(1).text(), "1" + QString(13, '9'));
  EXPECT_EQ(beeper.tones.size(), tones + 1);
}

// Input methods, assistive technology and drops during a conversion go the users' own way.
TEST_F(Form1Test, InputMethodsAccessibilityAndBusyDrops) {
  for (const char* committed : {"12", "101"}) {
    QInputMethodEvent event;
    event.setCommitString(committed);
    QApplication::sendEvent(&Text(2), &event);
  }
  EXPECT_EQ(beeper.tones.size(), 1u);
  EXPECT_EQ(Text(1).text(), "5");

  QAccessibleInterface* hex = QAccessible::queryAccessibleInterface(&Text(4));
  hex->editableTextInterface()->insertText(0, "A");
  EXPECT_EQ(Texts(), (QStringList{"165", "10100101", "245", "A5", "CLXV", "|| \u00a5 || "}));
  hex->editableTextInterface()->insertText(1, "g");
  hex->setText(QAccessible::Value, "12345678901234567");
  EXPECT_EQ(beeper.tones.size(), 3u);
  EXPECT_EQ(Text(1).text(), "165");
  hex->setText(QAccessible::Value, "FF");
  EXPECT_EQ(Text(3).text(), "377");
  EXPECT_EQ(hex->text(QAccessible::Value), "FF");

  bool busyDrop = true;
  QTest::qWait(5);  // the conversion's first digit lets events in
  QTimer::singleShot(0, [&] { busyDrop = Drop(Text(3), "7"); });
  QTest::keyClicks(&Text(1), "9");
  EXPECT_FALSE(busyDrop);
  EXPECT_EQ(Text(1).text(), "2559");
  EXPECT_TRUE(Drop(Text(3), "7"));

  // What a handler throws stops at the window: the fields stay as they were.
  Text(4).selectAll();
  QTest::keyClicks(&Text(4), "A");
  beeper.during = [] { throw std::runtime_error("no sound"); };
  QTest::keyClicks(&Text(4), "g");
  EXPECT_EQ(Texts(), (QStringList{"10", "1010", "12", "A", "X", "|| LF || "}));
  beeper.during = nullptr;
  QTest::keyClicks(&Text(4), "1");
  EXPECT_EQ(Text(1).text(), "161");
}

}  // namespace
}  // namespace tessaldo::testing
