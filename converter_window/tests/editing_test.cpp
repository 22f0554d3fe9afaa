#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <vector>

#include "harness.h"

namespace tessaldo::testing {
namespace {

using Form1EditingTest = Form1Test;

QClipboard& Clipboard() {
  return *QGuiApplication::clipboard();
}

// Copying and selecting change no number, and the Roman field takes no edit, silently.
TEST_F(Form1EditingTest, CopyAndSelectAllWorkEverywhereWithoutABeep) {
  Type(Text(3), "1234");
  Text(3).setSelection(1, 2);
  Press(Text(3), QKeySequence::Copy);
  EXPECT_EQ(Clipboard().text(), "23");
  const Fields before = Texts();
  Type(Text(5), "X");
  Press(Text(5), Qt::Key_Backspace);
  Press(Text(5), QKeySequence::Paste);
  Press(Text(5), QKeySequence::SelectAll);
  Press(Text(5), QKeySequence::Copy);
  EXPECT_EQ(Clipboard().text(), "DCLXVIII");
  EXPECT_EQ(Texts(), before);
  EXPECT_EQ(Beeps(), 0u);
}

TEST_F(Form1EditingTest, PasteIsTakenWholeOrRefusedWhole) {
  const struct {
    int field;
    QString pasted;
    QString taken;  // empty: refused
    QString decimal;
    bool hint = false;
  } cases[] = {
      {1, " 1_2'3\t4\n", "1234", "1234"}, {1, "0x10", "", ""},  // another base's prefix
      {1, "123456789012345", "", ""},     {2, "0B 1010", "1010", "10"},
      {2, QString(47, u'1'), "", ""},     {3, "0x17", "", ""},
      {4, "0X_7F", "7F", "127"},          {4, "0B12", "0B12", "2834"},
      {4, "0xff", "", "", true},
  };
  std::size_t refusals = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pasted.toStdString());
    Clear();
    Clipboard().setText(c.pasted);
    Press(Text(c.field), QKeySequence::Paste);
    if (c.taken.isEmpty()) {
      ++refusals;
      EXPECT_EQ(Texts(), Fields{});
    } else {
      EXPECT_EQ(Text(c.field).text(), c.taken);
      EXPECT_EQ(Text(1).text(), c.decimal);
    }
    EXPECT_EQ(Beeps(), refusals);
    EXPECT_EQ(Label6().text(), c.hint ? "Esadecimale (solo MAIUSCOLE)" : "Esadecimale");
  }

  // Shift+Insert pastes the same way: up to the limit, and no further.
  Clear();
  Type(Text(1), "9");
  Clipboard().setText("1234567890123");
  Press(Text(1), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Text(1).text(), "91234567890123");
  Press(Text(1), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Text(1).text(), "91234567890123");
  EXPECT_EQ(Beeps(), refusals + 1);
}

TEST_F(Form1EditingTest, ContextMenuEditsGoThroughTheSameChecks) {
  Clipboard().setText("0x2A");
  ASSERT_TRUE(TriggerContextMenu(Text(4), "edit-paste"));
  EXPECT_EQ(Texts(), (Fields{"42", "101010", "52", "2A", "XLII", "|| * || "}));

  Clipboard().setText("2b");
  ASSERT_TRUE(TriggerContextMenu(Text(4), "edit-paste"));
  EXPECT_EQ(Text(4).text(), "2A");
  EXPECT_EQ(Beeps(), 1u);
  EXPECT_EQ(Label6().text(), "Esadecimale (solo MAIUSCOLE)");

  EXPECT_FALSE(TriggerContextMenu(Text(4), "edit-cut"));  // nothing selected
  Text(4).setSelection(0, 1);
  ASSERT_TRUE(TriggerContextMenu(Text(4), "edit-cut"));
  EXPECT_EQ(Clipboard().text(), "2");
  EXPECT_EQ(Text(1).text(), "10");
  EXPECT_EQ(Label6().text(), "Esadecimale");

  ASSERT_TRUE(TriggerContextMenu(Text(4), "edit-undo"));
  EXPECT_EQ(Text(4).text(), "2A");
  EXPECT_EQ(Text(1).text(), "42");
  ASSERT_TRUE(TriggerContextMenu(Text(4), "edit-redo"));
  EXPECT_EQ(Text(4).text(), "A");

  Text(4).selectAll();
  ASSERT_TRUE(TriggerContextMenu(Text(4), "edit-delete"));
  EXPECT_EQ(Texts(), Fields{});

  Type(Text(1), "77");
  ASSERT_TRUE(TriggerContextMenu(Text(1), "select-all"));
  ASSERT_TRUE(TriggerContextMenu(Text(1), "edit-copy"));
  EXPECT_EQ(Clipboard().text(), "77");
  EXPECT_EQ(Beeps(), 1u);
}

TEST_F(Form1EditingTest, DropsAreTakenWholeOrRefused) {
  Type(Text(1), "12");
  const QPoint left(2, Text(1).height() / 2);
  const QPoint right(Text(1).width() - 3, Text(1).height() / 2);
  EXPECT_TRUE(Drop(Text(1), "3", left));
  EXPECT_EQ(Text(1).text(), "312");
  EXPECT_EQ(Text(4).text(), "138");
  EXPECT_TRUE(Drop(Text(1), " 4_5", right));
  EXPECT_EQ(Text(1).text(), "31245");

  EXPECT_FALSE(Drop(Text(1), "6x", right));
  EXPECT_EQ(Text(1).text(), "31245");
  EXPECT_EQ(Beeps(), 1u);

  EXPECT_TRUE(Drop(Text(4), "0x1F", right));
  EXPECT_EQ(Text(4).text(), "7A0D1F");
  EXPECT_EQ(Text(1).text(), "7998751");

  const Fields before = Texts();
  EXPECT_FALSE(Drop(Text(5), "X", right));  // the Roman field takes no drop
  EXPECT_EQ(Texts(), before);
  EXPECT_EQ(Beeps(), 1u);
}

TEST_F(Form1EditingTest, KeysThatDeleteWordsGoThroughThePipeline) {
  Type(Text(1), "123");
  Press(Text(1), QKeySequence::DeleteStartOfWord);
  EXPECT_EQ(Texts(), Fields{});
  Type(Text(2), "101");
  Press(Text(2), Qt::Key_Home);
  Press(Text(2), QKeySequence::DeleteEndOfWord);
  EXPECT_EQ(Texts(), Fields{});
  EXPECT_EQ(Beeps(), 0u);
}

// The digit writers let pending events run; an edit arriving then waits for the running one.
TEST_F(Form1EditingTest, AnEditArrivingDuringAConversionRunsAfterIt) {
  QLineEdit& binary = Text(2);
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(0);

  std::vector<QString> binaryAtEachConversion;
  bool nested = false;
  QString binaryRightAfterNestedKey;
  bool droppedMeanwhile = false;
  bool pastedMeanwhile = false;
  QObject::connect(&Text(6), &QLineEdit::textChanged, [&] {
    binaryAtEachConversion.push_back(binary.text());
    if (!nested) {
      nested = true;
      QTest::keyClick(&binary, '0');
      droppedMeanwhile = Drop(binary, "1", QPoint(binary.width() - 3, binary.height() / 2));
      Clipboard().setText("7");
      pastedMeanwhile = TriggerContextMenu(Text(3), "edit-paste");
      binaryRightAfterNestedKey = binary.text();
    }
  });
  // A key posted now is delivered while the first key's digits are written.
  QCoreApplication::postEvent(&binary,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, "1"));
  Type(binary, "1");

  EXPECT_GT(ticks, 0);
  EXPECT_EQ(binaryRightAfterNestedKey, "");
  // The posted key came in first, then the nested key, the drop and the paste into the octal
  // field; each waited for the edits before it.
  EXPECT_TRUE(droppedMeanwhile);
  EXPECT_TRUE(pastedMeanwhile);
  EXPECT_EQ(Text(3).text(), "157");
  EXPECT_EQ(binary.text(), "1101111");
  EXPECT_EQ(Text(1).text(), "111");
  EXPECT_EQ(binaryAtEachConversion, (std::vector<QString>{"", "1", "11", "110", "1101111"}));
  EXPECT_EQ(Beeps(), 0u);
}

}  // namespace
}  // namespace tessaldo::testing
