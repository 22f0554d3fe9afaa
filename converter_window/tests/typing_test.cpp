#include <QTest>
#include <vector>

#include "harness.h"

namespace tessaldo::testing {
namespace {

using Form1TypingTest = Form1Test;

const QString kTooLarge = QStringLiteral("Conversione impossibile (>3999)");

TEST_F(Form1TypingTest, TypedNumbersShowInEveryNotation) {
  const struct {
    int field;
    QString typed;
    Fields fields;
  } cases[] = {
      {2, "1010", {"10", "1010", "12", "A", "X", "|| LF || "}},
      {1, "07", {"07", "111", "7", "7", "VII", "|| BEL || "}},  // the decimal field keeps it
      {1, QString(14, u'0'), {QString(14, u'0'), "", "", "", "", "|| "}},
      {1, "3999", {"3999", "111110011111", "7637", "F9F", "MMMCMXCIX", "|| SI || \u0178 || "}},
      {4, "FA0", {"4000", "111110100000", "7640", "FA0", kTooLarge, "|| SI || \u00A0 || "}},
      {1,
       QString(14, u'9'),
       {"99999999999999", "10110101111001100010000011110100011111111111111", "2657142036437777",
        "5AF3107A3FFF", kTooLarge, QString::fromUtf8("|| Z || ó || DLE || z || ? || NBSP || ")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    Clear();
    Type(Text(c.field), c.typed);
    EXPECT_EQ(Texts(), c.fields);
  }
  EXPECT_EQ(ShownText(Text6()).text, QString::fromUtf8("| Z | ó | DLE | z | ? | NBSP | "));
  EXPECT_EQ(Beeps(), 0u);
}

// Keys outside the notation, control keys and keys beyond the limit: a beep, nothing changes.
TEST_F(Form1TypingTest, RefusedKeysBeepAndChangeNothing) {
  const QString binary46 = "000" + QString(46, u'1');  // leading zeros do not count
  const struct {
    int field;
    QString typed;
    char key;
  } cases[] = {
      {1, "12", 'a'},
      {1, "12", '-'},
      {1, "12", '\r'},
      {2, "1", '2'},
      {3, "7", '8'},
      {4, "A", 'G'},
      {4, "A", '\x1b'},
      {1, QString(14, u'0'), '1'},  // the decimal field counts its own characters
      {1, QString(14, u'9'), '9'},
      {2, binary46, '1'},
      {4, "346DC5D63886", '5'},  // 15 digits
      {4, "346DC5D63886", '6'},  // and beyond what the reading routine holds
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toStdString() + c.key);
    Clear();
    const std::size_t beeps = Beeps();
    Type(Text(c.field), c.typed);
    ASSERT_EQ(Text(c.field).text(), c.typed);
    ASSERT_EQ(Beeps(), beeps);
    const Fields before = Texts();
    QTest::keyClick(&Text(c.field), c.key);
    EXPECT_EQ(Texts(), before);
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_EQ(beeper.tones.back(), (std::pair<unsigned, unsigned>{200, 200}));
  }
  Press(Text(4), Qt::Key_Backspace);  // backspace is never refused
  EXPECT_EQ(Text(1).text(), "3602879701896");
}

TEST_F(Form1TypingTest, LowerCaseHexLetterShowsTheHintUntilTheNextKeyInTheField) {
  QLabel& label = Label6();
  const QRect designed = label.geometry();
  Type(Text(4), "f");
  EXPECT_EQ(Text(4).text(), "");
  EXPECT_EQ(label.text(), "Esadecimale (solo MAIUSCOLE)");
  // The label grows to the right on one line.
  EXPECT_EQ(label.geometry().topLeft(), designed.topLeft());
  EXPECT_EQ(label.height(), designed.height());
  EXPECT_GE(label.width(), label.fontMetrics().horizontalAdvance(label.text()));

  Type(Text(1), "1");  // a key elsewhere leaves the hint
  EXPECT_EQ(label.text(), "Esadecimale (solo MAIUSCOLE)");
  Type(Text(4), "A");
  EXPECT_EQ(label.text(), "Esadecimale");
  EXPECT_EQ(label.geometry(), designed);
  EXPECT_EQ(Text(1).text(), "26");
  EXPECT_EQ(Beeps(), 1u);
}

// An accepted key: the others in the field's order, then the field itself. Emptying: the others
// in number order, Text6Raw, then the field. Both discard the picked characters.
TEST_F(Form1TypingTest, EachFieldWritesTheOthersInItsOrderBeforeTakingTheKey) {
  const struct {
    int field;
    const char* before;
    char key;
    std::vector<int> order;
  } cases[] = {{1, "30", '0', {2, 3, 4, 6, 5, 1}},
               {2, "10010110", '0', {1, 4, 3, 6, 5, 2}},
               {3, "45", '4', {1, 2, 4, 6, 5, 3}},
               {4, "12", 'C', {1, 2, 3, 6, 5, 4}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    Type(Text(c.field), c.before);
    form->CaratteriScelti = {"Z"};
    EXPECT_EQ(WrittenDuring([&] { QTest::keyClick(&Text(c.field), c.key); }), c.order);
    EXPECT_EQ(Texts(), (Fields{"300", "100101100", "454", "12C", "CCC", "|| SOH || , || "}));
    EXPECT_TRUE(form->CaratteriScelti.isEmpty());

    form->CaratteriScelti = {"Z"};
    Text(c.field).selectAll();
    std::vector<int> emptying;
    for (int other = 1; other <= 6; ++other) {
      if (other != c.field) emptying.push_back(other);
    }
    emptying.push_back(c.field);
    EXPECT_EQ(WrittenDuring([&] { Press(Text(c.field), Qt::Key_Backspace); }), emptying);
    EXPECT_EQ(Texts(), Fields{});
    EXPECT_TRUE(Text6().toPlainText().isEmpty());
    EXPECT_TRUE(form->CaratteriScelti.isEmpty());
  }
  EXPECT_EQ(Beeps(), 0u);
}

}  // namespace
}  // namespace tessaldo::testing
