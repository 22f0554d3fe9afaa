// Start-up, the character table and the guided entry of the base-256 field, driven by real
// double-clicks on the table's rows, Enter on its selected row and clicks on "Cancella".

#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
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

// Watches which of Text1 to Text5 and Text6Raw (6) change, in order.
class WriteOrder {
 public:
  explicit WriteOrder(const std::array<QLineEdit*, 6>& fields) {
    for (int n = 1; n <= 6; ++n) {
      connections_.push_back(QObject::connect(fields[n - 1], &QLineEdit::textChanged,
                                              [this, n] { written.push_back(n); }));
    }
  }
  ~WriteOrder() {
    for (const auto& connection : connections_) QObject::disconnect(connection);
  }
  std::vector<int> written;

 private:
  std::vector<QMetaObject::Connection> connections_;
};

TEST_F(Form1StartupTest, WindowIsNarrowedBeforeItIsFirstShown) {
  RecordingBeeper quiet;
  Form1 unshown(quiet);
  EXPECT_EQ(unshown.OuterWidth(), 4030);
  EXPECT_EQ(unshown.width(), 263);  // client 3940 twips
  EXPECT_EQ(unshown.findChild<QTreeWidget*>("ListView1")->topLevelItemCount(), 256);

  // The shown window reads back exactly 4030, and its client area ends left of the panel.
  EXPECT_EQ(form->OuterWidth(), 4030);
  EXPECT_EQ(form->size(), QSize(263, 370));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  for (const char* panel : {"ListView1", "Command2"}) {
    EXPECT_GE(Control<QWidget>(panel).x(), form->width()) << panel;
    EXPECT_TRUE(Control<QWidget>(panel).visibleRegion().isEmpty()) << panel;
  }
  for (QWidget* child : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QString name = child->objectName();
    if (name == "ListView1" || name == "Command2") continue;
    EXPECT_LE(child->geometry().right(), form->width() - 1) << name.toStdString();
  }
  // Start-up writes no field and picks nothing.
  EXPECT_EQ(Texts(), Fields{});
  EXPECT_TRUE(Text6().toPlainText().isEmpty());
  EXPECT_TRUE(form->CaratteriScelti.isEmpty());
  EXPECT_TRUE(ListView1().selectedItems().isEmpty());
}

TEST_F(Form1StartupTest, TableHoldsTheTokenOfEveryCodeInOrder) {
  const QTreeWidget& list = ListView1();
  ASSERT_EQ(list.columnCount(), 2);
  EXPECT_EQ(list.headerItem()->text(0), "Codice");
  EXPECT_EQ(list.headerItem()->text(1), "Carattere");
  EXPECT_FALSE(list.isHeaderHidden());
  ASSERT_EQ(list.topLevelItemCount(), 256);

  const char* const controls[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",
                                  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1",
                                  "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB",
                                  "ESC", "FS",  "GS",  "RS",  "US",  "SP"};
  for (int code = 0; code <= 32; ++code) {
    EXPECT_EQ(list.topLevelItem(code)->text(1), controls[code]) << code;
  }
  const struct {
    int code;
    const char* token;
  } others[] = {{33, "!"},       {65, "A"},       {97, "a"},       {124, "|"},      {126, "~"},
                {127, "DEL"},    {128, "\u20AC"}, {129, "\u0081"}, {150, "\u2013"}, {157, "\u009D"},
                {160, "\u00A0"}, {233, "\u00E9"}, {254, "\u00FE"}, {255, "NBSP"}};
  for (const auto& o : others) {
    EXPECT_EQ(list.topLevelItem(o.code)->text(1), QString::fromUtf8(o.token)) << o.code;
  }

  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    const QTreeWidgetItem& row = *list.topLevelItem(code);
    EXPECT_EQ(row.text(0), QString::number(code));
    EXPECT_EQ(row.columnCount(), 2);
    EXPECT_TRUE(row.icon(0).isNull());
    EXPECT_EQ(row.childCount(), 0);
    EXPECT_TRUE(row.flags() & Qt::ItemIsSelectable);
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

TEST_F(Form1StartupTest, ColumnsFollowTheListsWidth) {
  const QTreeWidget& list = ListView1();
  const int listTwips = list.width() * 15;
  EXPECT_EQ(listTwips, 3015);
  EXPECT_EQ(list.columnWidth(0), 80);                     // 1200 twips
  EXPECT_EQ(list.columnWidth(1) * 15, listTwips - 1560);  // 1455 twips
  // Both columns fit side by side within the list.
  EXPECT_LT(list.columnWidth(0) + list.columnWidth(1), list.viewport()->width());
  EXPECT_FALSE(list.header()->stretchLastSection());
}

TEST_F(Form1GuidedEntryTest, PicksAppendAndCancellaTakesThemBack) {
  WriteOrder order({&Text(1), &Text(2), &Text(3), &Text(4), &Text(5), &Text(6)});
  DoubleClickRow(65);
  const Fields a{"65", "1000001", "101", "41", "LXV", "|| A || "};
  EXPECT_EQ(Texts(), a);
  EXPECT_EQ(order.written, (std::vector<int>{6, 1, 2, 3, 4, 5}));
  EXPECT_EQ(form->CaratteriScelti, QStringList{"A"});
  EXPECT_EQ(ShownText(Text6()).text, "| A | ");
  EXPECT_EQ(ShownText(Text6()).colours, "RBBBRB");

  order.written.clear();
  DoubleClickRow(66);
  EXPECT_EQ(Texts(),
            (Fields{"16706", "100000101000010", "40502", "4142", kTooLarge, "|| A || B || "}));
  EXPECT_EQ(order.written, (std::vector<int>{6, 1, 2, 3, 4, 5}));
  EXPECT_EQ(form->CaratteriScelti, (QStringList{"A", "B"}));

  order.written.clear();
  Click("Command2");
  EXPECT_EQ(Texts(), a);
  EXPECT_EQ(order.written, (std::vector<int>{6, 1, 2, 3, 4, 5}));
  EXPECT_EQ(form->CaratteriScelti, QStringList{"A"});

  // The last one empties all six fields, in the order of their numbers.
  order.written.clear();
  Click("Command2");
  EXPECT_EQ(Texts(), Fields{});
  EXPECT_EQ(order.written, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(Text6().toPlainText().isEmpty());
  EXPECT_TRUE(form->CaratteriScelti.isEmpty());

  order.written.clear();
  Click("Command2");
  EXPECT_TRUE(order.written.empty());
  EXPECT_EQ(Beeps(), 0u);
}

TEST_F(Form1GuidedEntryTest, LeadingNulStaysInTheFieldAndAddsNothing) {
  DoubleClickRow(0);
  // Zero: its decimal digit, and the empty texts of the other notations.
  EXPECT_EQ(Texts(), (Fields{"0", "", "", "", "", "|| NUL || "}));
  DoubleClickRow(65);
  EXPECT_EQ(Texts(), (Fields{"65", "1000001", "101", "41", "LXV", "|| NUL || A || "}));
  EXPECT_EQ(form->CaratteriScelti, (QStringList{"NUL", "A"}));
  Click("Command2");
  EXPECT_EQ(Texts(), (Fields{"0", "", "", "", "", "|| NUL || "}));
  EXPECT_EQ(Beeps(), 0u);
}

TEST_F(Form1GuidedEntryTest, PicksBeyondFourteenDigitsAreRefusedAndChangeNothing) {
  const std::pair<unsigned, unsigned> tone{200u, 200u};

  // Six picks reach the largest number; a seventh is refused, whether its value still fits the
  // currency range or not.
  PickRows(kLargestRows);
  ASSERT_EQ(Texts(), kLargest);
  const Shown shown = ShownText(Text6());
  for (const int seventh : {0, 65, 255}) {
    SCOPED_TRACE(seventh);
    WriteOrder order({&Text(1), &Text(2), &Text(3), &Text(4), &Text(5), &Text(6)});
    const std::size_t beeps = Beeps();
    DoubleClickRow(seventh);
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_EQ(beeper.tones.back(), tone);
    EXPECT_EQ(Texts(), kLargest);
    EXPECT_EQ(ShownText(Text6()).text, shown.text);
    EXPECT_EQ(ShownText(Text6()).colours, shown.colours);
    EXPECT_EQ(form->CaratteriScelti.size(), 6);
    // Only the base-256 field moved, and it came back.
    for (const int field : order.written) EXPECT_EQ(field, 6);
  }

  // One above the largest number is refused at the sixth pick.
  Click("Command2");
  Click("Command2");
  ASSERT_EQ(Text(1).text(), "1525878906");  // "Z ó DLE z"
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
  EXPECT_EQ(form->CaratteriScelti.size(), 7);
  const std::size_t beeps = Beeps();
  DoubleClickRow(1);
  EXPECT_EQ(Beeps(), beeps + 1);
  EXPECT_EQ(Texts(), withNul);

  // A seventh pick behind any other first character is refused: "SOH" then six "NUL" would be
  // 256 to the power 6, fifteen digits.
  for (int i = 0; i < 7; ++i) Click("Command2");
  PickRows({1, 0, 0, 0, 0, 0});
  EXPECT_EQ(Text(1).text(), "1099511627776");
  DoubleClickRow(0);
  EXPECT_EQ(Text(1).text(), "1099511627776");
  EXPECT_EQ(form->CaratteriScelti.size(), 6);
}

TEST_F(Form1GuidedEntryTest, TypingAndPickingShareThePickedList) {
  // A typed number is not taken apart by "Cancella".
  Type(Text(1), "1234");
  const Fields typed = Texts();
  WriteOrder order({&Text(1), &Text(2), &Text(3), &Text(4), &Text(5), &Text(6)});
  Click("Command2");
  EXPECT_TRUE(order.written.empty());
  EXPECT_EQ(Texts(), typed);

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

TEST_F(Form1GuidedEntryTest, PickedValuesAbove3999ShowTheRomanMessage) {
  PickRows({15, 159});
  EXPECT_EQ(Texts(),
            (Fields{"3999", "111110011111", "7637", "F9F", "MMMCMXCIX", "|| SI || \u0178 || "}));
  Click("Command2");
  DoubleClickRow(160);
  EXPECT_EQ(Texts(),
            (Fields{"4000", "111110100000", "7640", "FA0", kTooLarge, "|| SI || \u00A0 || "}));
}

TEST_F(Form1GuidedEntryTest, EnterOnTheSelectedRowPicksIt) {
  EnterOnRow(65);
  EXPECT_EQ(Text(6).text(), "|| A || ");
  EnterOnRow(124, Qt::Key_Enter);
  EXPECT_EQ(Text(6).text(), "|| A || | || ");
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
