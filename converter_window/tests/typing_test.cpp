#include <QSignalSpy>
#include <QTest>
#include <vector>

#include "harness.h"
#include "tessaldo/conversion/conversioni.h"

namespace tessaldo::testing {
namespace {

using Form1TypingTest = Form1Test;

const QString kTooLarge = QStringLiteral("Conversione impossibile (>3999)");

TEST_F(Form1TypingTest, BinaryDigitsConvertKeyByKey) {
  const struct {
    char key;
    Fields fields;
  } steps[] = {
      {'1', {"1", "1", "1", "1", "I", "|| SOH || "}},
      {'0', {"2", "10", "2", "2", "II", "|| STX || "}},
      {'1', {"5", "101", "5", "5", "V", "|| ENQ || "}},
      {'0', {"10", "1010", "12", "A", "X", "|| LF || "}},
  };
  for (const auto& step : steps) {
    Type(Text(2), QString(QChar(step.key)));
    EXPECT_EQ(Texts(), step.fields) << "after " << step.key;
  }
  EXPECT_EQ(ShownText(Text6()).text, "| LF | ");
  EXPECT_EQ(Beeps(), 0u);
}

TEST_F(Form1TypingTest, KeysOutsideTheNotationBeepAndChangeNothing) {
  Type(Text(1), "12");
  const Fields before = Texts();
  const struct {
    int field;
    char key;
  } refused[] = {{2, '2'}, {2, 'a'}, {3, '8'}, {3, '9'}, {4, 'g'}, {4, 'G'}, {4, ' '},
                 {4, '+'}, {1, 'a'}, {1, '-'}, {1, ' '}, {1, '.'}, {2, ' '}, {3, 'A'}};
  for (const auto& key : refused) {
    Type(Text(key.field), QString(QChar(key.key)));
    EXPECT_EQ(Texts(), before) << "Text" << key.field << " '" << key.key << "'";
  }
  // Keys that reach a field as control characters are refused the same way.
  Press(Text(1), Qt::Key_Return);
  Press(Text(3), Qt::Key_Escape);
  EXPECT_EQ(Texts(), before);
  const std::vector<std::pair<unsigned, unsigned>> tone(1, {200u, 200u});
  EXPECT_EQ(beeper.tones.size(), std::size(refused) + 2);
  for (const auto& played : beeper.tones) EXPECT_EQ(played, tone.front());
}

TEST_F(Form1TypingTest, LowerCaseHexLetterShowsTheHintUntilTheNextKeyInTheField) {
  QLabel& label = Label6();
  const QRect designed = label.geometry();
  ASSERT_EQ(label.text(), "Esadecimale");

  Type(Text(4), "f");
  EXPECT_EQ(Beeps(), 1u);
  EXPECT_EQ(Text(4).text(), "");
  EXPECT_EQ(label.text(), "Esadecimale (solo MAIUSCOLE)");
  // The label grows to the right on one line.
  EXPECT_EQ(label.geometry().topLeft(), designed.topLeft());
  EXPECT_EQ(label.height(), designed.height());
  EXPECT_GE(label.width(), label.fontMetrics().horizontalAdvance(label.text()));
  EXPECT_GT(label.width(), designed.width());

  Type(Text(4), "A");  // accepted: the hint goes, the key converts
  EXPECT_EQ(label.text(), "Esadecimale");
  EXPECT_EQ(label.geometry(), designed);
  EXPECT_EQ(Text(1).text(), "10");

  Type(Text(4), "b");
  Type(Text(1), "1");  // a key elsewhere leaves the hint
  EXPECT_EQ(label.text(), "Esadecimale (solo MAIUSCOLE)");
  Type(Text(4), "g");  // refused, but not a lower-case hex letter: plain caption
  EXPECT_EQ(label.text(), "Esadecimale");
  Type(Text(4), "c");
  Press(Text(4), Qt::Key_Left);  // any key in the field takes the hint back
  EXPECT_EQ(label.text(), "Esadecimale");
  EXPECT_EQ(Text(4).text(), "65");  // written by the key in Text1
  EXPECT_EQ(Beeps(), 4u);
}

TEST_F(Form1TypingTest, BackspaceOnTheOnlyCharacterEmptiesEveryFieldInOrder) {
  const char* digit[] = {"7", "1", "7", "B"};
  for (int field = 1; field <= 4; ++field) {
    SCOPED_TRACE(field);
    Type(Text(field), digit[field - 1]);
    form->CaratteriScelti = {"A", "B"};
    std::vector<int> written;
    std::vector<QMetaObject::Connection> watches;
    for (int other = 1; other <= 6; ++other) {
      watches.push_back(QObject::connect(&Text(other), &QLineEdit::textChanged,
                                         [&written, other] { written.push_back(other); }));
    }
    Press(Text(field), Qt::Key_Backspace);
    for (const auto& watch : watches) QObject::disconnect(watch);

    EXPECT_EQ(Texts(), Fields{});
    EXPECT_EQ(Text6().toPlainText(), "");
    EXPECT_TRUE(form->CaratteriScelti.isEmpty());
    std::vector<int> expected;
    for (int other = 1; other <= 5; ++other) {
      if (other != field) expected.push_back(other);
    }
    expected.push_back(6);
    expected.push_back(field);  // the field deletes its own character last
    EXPECT_EQ(written, expected);
  }
  EXPECT_EQ(Beeps(), 0u);
}

TEST_F(Form1TypingTest, EachFieldWritesTheOthersInItsOrderBeforeTakingTheKey) {
  const struct {
    int field;
    const char* before;
    char key;
    std::vector<int> order;
  } cases[] = {{1, "30", '0', {2, 3, 4, 6, 5}},
               {2, "10010110", '0', {1, 4, 3, 6, 5}},
               {3, "45", '4', {1, 2, 4, 6, 5}},
               {4, "12", 'C', {1, 2, 3, 6, 5}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    Type(Text(c.field), c.before);
    std::vector<int> written;
    std::vector<QString> ownTextMeanwhile;
    std::vector<QMetaObject::Connection> watches;
    for (int other = 1; other <= 6; ++other) {
      if (other == c.field) continue;
      watches.push_back(QObject::connect(&Text(other), &QLineEdit::textChanged, [&, other] {
        written.push_back(other);
        ownTextMeanwhile.push_back(Text(c.field).text());
      }));
    }
    form->CaratteriScelti = {"Z"};
    Type(Text(c.field), QString(QChar(c.key)));
    for (const auto& watch : watches) QObject::disconnect(watch);

    EXPECT_EQ(written, c.order);
    for (const QString& own : ownTextMeanwhile) EXPECT_EQ(own, c.before);
    EXPECT_EQ(Text(1).text(), "300");
    EXPECT_EQ(Text(5).text(), "CCC");
    EXPECT_EQ(Text(6).text(), "|| SOH || , || ");
    EXPECT_TRUE(form->CaratteriScelti.isEmpty());
    Text(c.field).selectAll();
    Press(Text(c.field), Qt::Key_Delete);
  }
  EXPECT_EQ(Beeps(), 0u);
}

TEST_F(Form1TypingTest, DecimalFieldKeepsWhatWasTypedAndCountsItsOwnCharacters) {
  Type(Text(1), "07");
  EXPECT_EQ(Texts(), (Fields{"07", "111", "7", "7", "VII", "|| BEL || "}));
  Text(1).selectAll();
  Press(Text(1), Qt::Key_Backspace);
  Type(Text(2), "111");
  EXPECT_EQ(Text(1).text(), "7");

  Text(2).selectAll();
  Press(Text(2), Qt::Key_Backspace);
  Type(Text(1), QString(14, u'0'));
  EXPECT_EQ(Texts(), (Fields{QString(14, u'0'), "", "", "", "", "|| "}));
  EXPECT_EQ(Beeps(), 0u);
  Type(Text(1), "1");
  EXPECT_EQ(Beeps(), 1u);
  EXPECT_EQ(Text(1).text(), QString(14, u'0'));
  Press(Text(1), Qt::Key_Backspace);  // backspace is never refused
  EXPECT_EQ(Text(1).text(), QString(13, u'0'));
  EXPECT_EQ(Beeps(), 1u);
}

TEST_F(Form1TypingTest, FourteenNinesAreTheLargestNumber) {
  Type(Text(1), QString(14, u'9'));
  const Fields largest{
      "99999999999999",   "10110101111001100010000011110100011111111111111",
      "2657142036437777", "5AF3107A3FFF",
      kTooLarge,          QString::fromUtf8("|| Z || ó || DLE || z || ? || NBSP || ")};
  EXPECT_EQ(Texts(), largest);
  EXPECT_EQ(Beeps(), 0u);
  Type(Text(1), "9");
  Type(Text(1), "0");
  EXPECT_EQ(Texts(), largest);
  EXPECT_EQ(Beeps(), 2u);
}

TEST_F(Form1TypingTest, BinaryFieldRefusesAFifteenDigitValueButTakesLeadingZeros) {
  const QString ones(46, u'1');
  Type(Text(2), "000" + ones);
  const Fields full = Texts();
  EXPECT_EQ(full[0], "70368744177663");
  EXPECT_EQ(full[1], "000" + ones);
  EXPECT_EQ(full[3], "3FFFFFFFFFFF");
  EXPECT_EQ(Beeps(), 0u);
  Type(Text(2), "1");
  Type(Text(2), "0");
  EXPECT_EQ(Texts(), full);
  EXPECT_EQ(Beeps(), 2u);
  Press(Text(2), Qt::Key_Home);
  Type(Text(2), "0");  // one more leading zero changes no value
  EXPECT_EQ(Text(2).text(), "0000" + ones);
  EXPECT_EQ(Text(1).text(), "70368744177663");
}

TEST_F(Form1TypingTest, HexDigitBeyondTheLimitIsRefusedAlsoWhenTheValueOverflows) {
  // The reading routine takes 16v + 5 (the largest currency value) and overflows on 16v + 6.
  ASSERT_EQ(Conversioni::EsadecimaleADecimale("346DC5D638865").value().Whole(), 922337203685477);
  ASSERT_EQ(Conversioni::EsadecimaleADecimale("346DC5D638866").error().kind,
            FailureKind::kOverflow);

  Type(Text(4), "346DC5D63886");
  const Fields at = Texts();
  EXPECT_EQ(at[0], "57646075230342");
  for (const char key : {'5', '6', 'F', '0'}) {
    Type(Text(4), QString(QChar(key)));
    EXPECT_EQ(Texts(), at) << key;
  }
  EXPECT_EQ(Beeps(), 4u);
  Press(Text(4), Qt::Key_Backspace);
  EXPECT_EQ(Text(1).text(), "3602879701896");
}

TEST_F(Form1TypingTest, RomanFieldShowsNumeralsUpTo3999) {
  const struct {
    const char* decimal;
    QString roman;
  } cases[] = {{"0", ""},
               {"4", "IV"},
               {"14", "XIV"},
               {"1994", "MCMXCIV"},
               {"3888", "MMMDCCCLXXXVIII"},
               {"3999", "MMMCMXCIX"},
               {"4000", kTooLarge}};
  for (const auto& c : cases) {
    Text(1).selectAll();
    Type(Text(1), c.decimal);
    EXPECT_EQ(Text(5).text(), c.roman) << c.decimal;
  }
  EXPECT_EQ(Beeps(), 0u);
}

}  // namespace
}  // namespace tessaldo::testing
