// Start-up, the character table and the guided entry of the base-256 field, driven by real
// double-clicks on the table's rows, Enter on its selected row and clicks on "Cancella".

#include <QHeaderView>
#include <QTest>
#include <QTreeWidgetItem>
#include <vector>

#include "harness.h"
#include "tessaldo/conversion/conversioni.h"

namespace tessaldo::testing {
namespace {

using Form1StartupTest = Form1Test;

// The panel is open, so that the rows and "Cancella" can be clicked.
class Form1GuidedEntryTest : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    ASSERT_NO_THROW(OpenPanel());
  }
};

const QString kTooLarge = QStringLiteral("Conversione impossibile (>3999)");

// The rows of 99,999,999,999,999, the largest number: "Z ó DLE z ? NBSP".
constexpr std::initializer_list<int> kLargestRows = {90, 243, 16, 122, 63, 255};
const Fields kLargest{
    "99999999999999",   "10110101111001100010000011110100011111111111111",
    "2657142036437777", "5AF3107A3FFF",
    kTooLarge,          QString::fromUtf8("|| Z || ó || DLE || z || ? || NBSP || ")};

// The notation of the picked characters, as Text6Raw holds it.
QString Joined(const QStringList& picked) {
  return picked.isEmpty() ? QString() : "|| " + picked.join(" || ") + " || ";
}

TEST_F(Form1StartupTest, WindowIsNarrowedAndTheTableFilledBeforeItIsFirstShown) {
  RecordingBeeper quiet;
  Form1 unshown(quiet);
  EXPECT_EQ(unshown.OuterWidth(), 4030);
  EXPECT_EQ(unshown.width(), 263);  // client 3940 twips
  EXPECT_EQ(unshown.findChild<QTreeWidget*>("ListView1")->topLevelItemCount(), 256);
  // Start-up writes no field and picks nothing.
  EXPECT_EQ(Texts(), Fields{});
  EXPECT_TRUE(form->CaratteriScelti.isEmpty());
  EXPECT_TRUE(ListView1().selectedItems().isEmpty());

  const QTreeWidget& list = ListView1();
  EXPECT_EQ(list.headerItem()->text(0), "Codice");
  EXPECT_EQ(list.headerItem()->text(1), "Carattere");
  EXPECT_EQ(list.columnWidth(0), 80);                             // 1200 twips
  EXPECT_EQ(list.columnWidth(1) * 15, list.width() * 15 - 1560);  // 1455 twips
  EXPECT_LT(list.columnWidth(0) + list.columnWidth(1), list.viewport()->width());
}

TEST_F(Form1StartupTest, TableHoldsTheTokenOfEveryCodeInOrder) {
  const QTreeWidget& list = ListView1();
  ASSERT_EQ(list.columnCount(), 2);
  ASSERT_EQ(list.topLevelItemCount(), 256);
  const char* const controls[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",
                                  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1",
                                  "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB",
                                  "ESC", "FS",  "GS",  "RS",  "US",  "SP"};
  for (int code = 0; code <= 32; ++code) {
    EXPECT_EQ(list.topLevelItem(code)->text(1), controls[code]) << code;
  }
  const std::pair<int, const char*> others[] = {{124, "|"},      {127, "DEL"},    {128, "\u20AC"},
                                                {160, "\u00A0"}, {254, "\u00FE"}, {255, "NBSP"}};
  for (const auto& [code, token] : others) {
    EXPECT_EQ(list.topLevelItem(code)->text(1), QString::fromUtf8(token)) << code;
  }
  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    const QTreeWidgetItem& row = *list.topLevelItem(code);
    EXPECT_EQ(row.text(0), QString::number(code));
    EXPECT_FALSE(row.flags() & Qt::ItemIsEditable);
    // The table and the notation agree: the row's token reads back as its code, and it is the
    // token the writer puts down for the code.
    const QString notation = "|| " + row.text(1) + " || ";
    const auto value = Conversioni::Utf8ADecimale(notation.toStdString());
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->Whole(), code);
    if (code > 0) {
      EXPECT_EQ(QString::fromStdString(Conversioni::DecimaleAUtf8(*value)), notation);
    }
  }
}

// Each step: a pick of a row (-1: "Cancella"), then the six fields and the order they were
// written in.
TEST_F(Form1GuidedEntryTest, PicksAppendAndCancellaTakesThemBack) {
  const Fields a{"65", "1000001", "101", "41", "LXV", "|| A || "};
  const Fields nul{"0", "", "", "", "", "|| NUL || "};  // zero: the empty notations
  const std::vector<int> pickOrder{6, 1, 2, 3, 4, 5};
  const struct {
    int row;
    Fields fields;
    std::vector<int> order;
  } steps[] = {
      {65, a, pickOrder},
      {66, {"16706", "100000101000010", "40502", "4142", kTooLarge, "|| A || B || "}, pickOrder},
      {-1, a, pickOrder},
      {-1, {}, {1, 2, 3, 4, 5, 6}},  // the last one empties all six, in number order
      {-1, {}, {}},                  // nothing left: nothing happens
      {0, nul, {6, 1}},              // a leading "NUL" stays in the field and adds nothing
      {65, {"65", "1000001", "101", "41", "LXV", "|| NUL || A || "}, pickOrder},
      {-1, nul, pickOrder},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.fields[5].toStdString());
    EXPECT_EQ(WrittenDuring([&] { step.row < 0 ? Click("Command2") : DoubleClickRow(step.row); }),
              step.order);
    EXPECT_EQ(Texts(), step.fields);
    EXPECT_EQ(Joined(form->CaratteriScelti), step.fields[5]);
  }
  EXPECT_EQ(Beeps(), 0u);
}

TEST_F(Form1GuidedEntryTest, PicksBeyondFourteenDigitsAreRefusedAndChangeNothing) {
  // Six picks reach the largest number; a seventh is refused.
  PickRows(kLargestRows);
  ASSERT_EQ(Texts(), kLargest);
  const Shown shown = ShownText(Text6());
  for (const int seventh : {0, 255}) {
    SCOPED_TRACE(seventh);
    const std::size_t beeps = Beeps();
    // Only the base-256 field may move, and it comes back.
    for (const int field : WrittenDuring([&] { DoubleClickRow(seventh); })) EXPECT_EQ(field, 6);
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_EQ(beeper.tones.back(), (std::pair<unsigned, unsigned>{200, 200}));
    EXPECT_EQ(Texts(), kLargest);
    EXPECT_EQ(ShownText(Text6()).colours, shown.colours);
    EXPECT_EQ(form->CaratteriScelti.size(), 6);
  }

  // One above the largest number is refused at the sixth pick.
  Click("Command2");
  Click("Command2");
  DoubleClickRow(64);
  const Fields five = Texts();
  DoubleClickRow(0);  // 100,000,000,000,000
  EXPECT_EQ(Texts(), five);
  EXPECT_EQ(form->CaratteriScelti, QString::fromUtf8("Z ó DLE z @").split(' '));

  // Seven picks whose first is "NUL" hold the largest number; an eighth is refused.
  for (int i = 0; i < 5; ++i) Click("Command2");
  ASSERT_TRUE(form->CaratteriScelti.isEmpty());
  DoubleClickRow(0);
  PickRows(kLargestRows);
  Fields withNul = kLargest;
  withNul[5] = "|| NUL || " + kLargest[5].mid(3);
  EXPECT_EQ(Texts(), withNul);
  DoubleClickRow(1);
  EXPECT_EQ(Texts(), withNul);

  // A seventh pick behind any other first character is refused: "SOH" then six "NUL" would be
  // 256 to the power 6, fifteen digits.
  for (int i = 0; i < 7; ++i) Click("Command2");
  PickRows({1, 0, 0, 0, 0, 0});
  EXPECT_EQ(Text(1).text(), "1099511627776");
  DoubleClickRow(0);
  EXPECT_EQ(Text(1).text(), "1099511627776");
  EXPECT_EQ(form->CaratteriScelti.size(), 6);
  EXPECT_EQ(Beeps(), 5u);
}

TEST_F(Form1GuidedEntryTest, TypingAndPickingShareThePickedList) {
  // A typed number is not taken apart by "Cancella".
  Type(Text(1), "1234");
  EXPECT_TRUE(WrittenDuring([&] { Click("Command2"); }).empty());

  // A pick after typing starts a new number.
  DoubleClickRow(65);
  EXPECT_EQ(Texts(), (Fields{"65", "1000001", "101", "41", "LXV", "|| A || "}));
  EXPECT_EQ(form->CaratteriScelti, QStringList{"A"});

  // A key accepted in a numeric field discards the picks: "Cancella" then does nothing.
  Type(Text(4), "0");
  EXPECT_EQ(Texts(), (Fields{"1040", "10000010000", "2020", "410", "MXL", "|| EOT || DLE || "}));
  EXPECT_TRUE(form->CaratteriScelti.isEmpty());
  Click("Command2");
  EXPECT_EQ(Text(1).text(), "1040");

  // A refused key leaves them.
  DoubleClickRow(66);
  Type(Text(2), "7");
  EXPECT_EQ(form->CaratteriScelti, QStringList{"B"});
  // Picks write the numeric fields without starting a conversion of their own: undo in a field
  // finds nothing to take back.
  Press(Text(1), QKeySequence::Undo);
  EXPECT_EQ(Text(1).text(), "66");
  EXPECT_EQ(Beeps(), 1u);
}

TEST_F(Form1GuidedEntryTest, EnterOnTheSelectedRowPicksIt) {
  EnterOnRow(65);
  EnterOnRow(124, Qt::Key_Enter);
  EXPECT_EQ(Text(1).text(), QString::number(65 * 256 + 124));

  // From the keyboard alone: the arrow moves the selection, Enter picks the row.
  QTreeWidget& list = ListView1();
  QTest::keyClick(&list, Qt::Key_Down);
  ASSERT_EQ(list.selectedItems().size(), 1);
  QTest::keyClick(&list, Qt::Key_Return);
  EXPECT_EQ(Text(6).text(), "|| A || | || } || ");

  // With no row selected Enter picks nothing; with a modifier it is no pick either.
  list.clearSelection();
  QTest::keyClick(&list, Qt::Key_Return);
  EnterOnRow(66);
  QTest::keyClick(&list, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(form->CaratteriScelti, (QStringList{"A", "|", "}", "B"}));
  EXPECT_EQ(Beeps(), 0u);
}

TEST_F(Form1GuidedEntryTest, ADoubleClickOffTheRowsPicksNothing) {
  QTreeWidget& list = ListView1();
  DoubleClickRow(65);
  ASSERT_EQ(list.selectedItems().size(), 1);
  // On the header, and on the part of a row right of the two columns.
  const QHeaderView& header = *list.header();
  QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                     WindowPoint(*header.viewport(), QPoint(20, header.height() / 2)));
  const QRect row = list.visualItemRect(list.topLevelItem(65));
  const int right = list.columnWidth(0) + list.columnWidth(1) + 2;
  ASSERT_LT(right, list.viewport()->width());
  QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                     WindowPoint(*list.viewport(), QPoint(right, row.center().y())));
  EXPECT_EQ(form->CaratteriScelti, QStringList{"A"});
  EXPECT_EQ(Text(1).text(), "65");
}

// The digit writers let pending events run; picks and clicks arriving then wait their turn.
TEST_F(Form1GuidedEntryTest, PicksArrivingDuringAConversionRunAfterIt) {
  std::vector<Fields> atEachChange;
  bool nested = false;
  QObject::connect(&Text(2), &QLineEdit::textChanged, [&] {
    atEachChange.push_back(Texts());
    if (nested) return;
    nested = true;
    DoubleClickRow(66);
    EnterOnRow(67);
    Click("Command2");
    DoubleClickRow(68);
    // Nothing of them has run yet.
    EXPECT_TRUE(form->CaratteriScelti.isEmpty());
    EXPECT_EQ(Text(6).text(), "");
  });
  Type(Text(1), "9");
  // The key's conversion, then "B", "B C", "B", "B D".
  EXPECT_EQ(Texts(),
            (Fields{"16964", "100001001000100", "41104", "4244", kTooLarge, "|| B || D || "}));
  EXPECT_EQ(form->CaratteriScelti, (QStringList{"B", "D"}));
  ASSERT_GE(atEachChange.size(), 2u);
  // While the key was converted, the other fields held what the key had written so far.
  EXPECT_EQ(atEachChange[0][0], "");
  EXPECT_EQ(atEachChange[1][0], "66");
}

}  // namespace
}  // namespace tessaldo::testing
