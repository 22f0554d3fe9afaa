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

// Puts the caret at `start`, or selects `length` characters from it (backwards when negative).
void Place(QLineEdit& field, int start, int length) {
  if (length == 0) {
    field.setCursorPosition(start);
  } else {
    field.setSelection(start, length);
  }
}

TEST_F(Form1EditingTest, CandidateFollowsTheCaretAndTheSelection) {
  enum class Act { kType9, kType0, kType7, kBackspace, kDelete };
  const struct {
    int start, length;
    Act act;
    QString text;
    int caret;
    QString hex;
  } cases[] = {
      {2, 0, Act::kType9, "129345", 3, "1F941"},
      {1, 3, Act::kType0, "105", 2, "69"},
      {4, -3, Act::kType0, "105", 2, "69"},
      {2, 0, Act::kBackspace, "1345", 1, "541"},
      {0, 0, Act::kBackspace, "12345", 0, "3039"},
      {1, 2, Act::kBackspace, "145", 1, "91"},
      {2, 0, Act::kDelete, "1245", 2, "4DD"},
      {5, 0, Act::kDelete, "12345", 5, "3039"},
      {5, -2, Act::kDelete, "123", 3, "7B"},
      {0, 5, Act::kType7, "7", 1, "7"},
      {0, 5, Act::kDelete, "", 0, ""},
  };
  QLineEdit& decimal = Text(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    decimal.selectAll();
    Type(decimal, "12345");
    Place(decimal, c.start, c.length);
    switch (c.act) {
      case Act::kType9:
        Type(decimal, "9");
        break;
      case Act::kType0:
        Type(decimal, "0");
        break;
      case Act::kType7:
        Type(decimal, "7");
        break;
      case Act::kBackspace:
        Press(decimal, Qt::Key_Backspace);
        break;
      case Act::kDelete:
        Press(decimal, Qt::Key_Delete);
        break;
    }
    EXPECT_EQ(decimal.text(), c.text);
    EXPECT_EQ(decimal.cursorPosition(), c.caret);
    EXPECT_FALSE(decimal.hasSelectedText());
    EXPECT_EQ(Text(4).text(), c.hex);
  }
  EXPECT_EQ(Beeps(), 0u);

  // The binary field too: a key at the caret, a selection made with shift and arrows.
  Type(Text(2), "1111");
  Press(Text(2), Qt::Key_Home);
  Press(Text(2), Qt::Key_Right);
  Type(Text(2), "0");
  EXPECT_EQ(Text(2).text(), "10111");
  Press(Text(2), Qt::Key_Right, Qt::ShiftModifier);
  Press(Text(2), Qt::Key_Right, Qt::ShiftModifier);
  Type(Text(2), "0");
  EXPECT_EQ(Text(2).text(), "1001");
  EXPECT_EQ(Text(1).text(), "9");
}

TEST_F(Form1EditingTest, CutCopyAndSelectAll) {
  Type(Text(3), "1234");
  Text(3).setSelection(1, 2);
  Press(Text(3), QKeySequence::Copy);
  EXPECT_EQ(Clipboard().text(), "23");
  EXPECT_EQ(Text(3).text(), "1234");
  Press(Text(3), QKeySequence::Cut);
  EXPECT_EQ(Texts(), (Fields{"12", "1100", "14", "C", "XII", "|| FF || "}));
  Press(Text(3), QKeySequence::SelectAll);
  EXPECT_EQ(Text(3).selectedText(), "14");
  Press(Text(5), QKeySequence::SelectAll);
  Press(Text(5), QKeySequence::Copy);
  EXPECT_EQ(Clipboard().text(), "XII");
  Press(Text(3), QKeySequence::Cut);
  EXPECT_EQ(Clipboard().text(), "14");
  EXPECT_EQ(Texts(), Fields{});
  Press(Text(3), QKeySequence::Cut);  // nothing selected: nothing happens
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
      {1, "1_000", "1000", "1000"},
      {1, "1'234'567", "1234567", "1234567"},
      {1, " 12\t34\n", "1234", "1234"},
      {1, "0x10", "", ""},
      {1, "12a", "", ""},
      {1, "123456789012345", "", ""},
      {2, "0b1010", "1010", "10"},
      {2, "0B 1010", "1010", "10"},
      {2, "0x1", "", ""},
      {2, "102", "", ""},
      {2, QString(47, u'1'), "", ""},
      {3, "0o17", "17", "15"},
      {3, "0O_17", "17", "15"},
      {3, "18", "", ""},
      {4, "0x1F", "1F", "31"},
      {4, "0X_7F", "7F", "127"},
      {4, "0B12", "0B12", "2834"},
      {4, "ff", "", "", true},
      {4, "0xff", "", "", true},
      {4, "G", "", ""},
  };
  std::size_t refusals = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pasted.toStdString());
    Type(Text(c.field), "");
    Text(c.field).selectAll();
    Press(Text(c.field), Qt::Key_Delete);
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
}

TEST_F(Form1EditingTest, PasteReplacesTheSelectionAndFitsTheLimit) {
  Type(Text(2), "1111");
  Text(2).setSelection(1, 2);
  Clipboard().setText("00");
  Press(Text(2), QKeySequence::Paste);
  EXPECT_EQ(Text(2).text(), "1001");
  EXPECT_EQ(Text(2).cursorPosition(), 3);

  Text(1).selectAll();
  Type(Text(1), "9");
  Clipboard().setText("1234567890123");
  Press(Text(1), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Text(1).text(), "91234567890123");
  Press(Text(1), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Text(1).text(), "91234567890123");
  EXPECT_EQ(Beeps(), 1u);
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

TEST_F(Form1EditingTest, UndoAndRedoReplayAcceptedTextsOfTheField) {
  Type(Text(2), "101");
  form->CaratteriScelti = {"A"};
  Press(Text(2), QKeySequence::Undo);
  EXPECT_EQ(Texts(), (Fields{"2", "10", "2", "2", "II", "|| STX || "}));
  EXPECT_TRUE(form->CaratteriScelti.isEmpty());
  Press(Text(2), QKeySequence::Undo);
  Press(Text(2), QKeySequence::Undo);
  EXPECT_EQ(Texts(), Fields{});
  Press(Text(2), QKeySequence::Undo);  // nothing left to undo
  EXPECT_EQ(Texts(), Fields{});
  for (int i = 0; i < 4; ++i) Press(Text(2), QKeySequence::Redo);
  EXPECT_EQ(Texts(), (Fields{"5", "101", "5", "5", "V", "|| ENQ || "}));

  // Undo after a new edit drops the redo branch.
  Press(Text(2), QKeySequence::Undo);
  Type(Text(2), "1");
  Press(Text(2), QKeySequence::Redo);
  EXPECT_EQ(Text(2).text(), "101");
  EXPECT_EQ(Text(1).text(), "5");

  // A field the window rewrote has no history of its own.
  Type(Text(1), "0");
  EXPECT_EQ(Text(2).text(), "110010");
  Press(Text(2), QKeySequence::Undo);
  EXPECT_EQ(Text(2).text(), "110010");
  Press(Text(1), QKeySequence::Undo);
  EXPECT_EQ(Text(1).text(), "5");
  EXPECT_EQ(Text(2).text(), "101");
  EXPECT_EQ(Beeps(), 0u);
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

TEST_F(Form1EditingTest, RomanFieldIsReadOnlyButSelectable) {
  Type(Text(1), "9");
  const Fields before = Texts();
  Type(Text(5), "X");
  Press(Text(5), Qt::Key_Backspace);
  Clipboard().setText("V");
  Press(Text(5), QKeySequence::Paste);
  EXPECT_EQ(Texts(), before);
  EXPECT_EQ(Beeps(), 0u);
  Text(5).selectAll();
  EXPECT_EQ(Text(5).selectedText(), "IX");
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
