#include <QFontInfo>
#include <QTextCursor>

#include "harness.h"

namespace tessaldo::testing {
namespace {

using Form1DisplayTest = Form1Test;

TEST_F(Form1DisplayTest, PairsOfBarsShowAsOneRedBar) {
  const struct {
    QString raw;
    QString text;
    QString colours;
  } cases[] = {
      {"|| A || ", "| A | ", "RBBBRB"},
      {"|| | || ", "| | | ", "RBBBRB"},  // 124: the token bar stays blue
      {"|||", "||", "RB"},
      {"|||||", "|||", "RRB"},
      {"| |", "| |", "BBB"},
      {QString::fromUtf8("|| € || "), QString::fromUtf8("| € | "), "RBBBRB"},
      {"", "", ""},
  };
  Text(6).setText("|| X || ");  // so that every case below is a change
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw.toStdString());
    Text(6).setText(c.raw);
    // Redrawn inside the assignment, before any event runs.
    const Shown shown = ShownText(Text6());
    EXPECT_EQ(shown.text, c.text);
    EXPECT_EQ(shown.colours, c.colours);
    EXPECT_EQ(Text6().textCursor().position(), 0);
  }
}

TEST_F(Form1DisplayTest, RedBarsKeepTheFieldFont) {
  Type(Text(1), "124");
  ASSERT_EQ(Text(6).text(), "|| | || ");
  QTextCursor cursor(Text6().document());
  for (int position = 1; position <= Text6().toPlainText().size(); ++position) {
    cursor.setPosition(position);
    const QFont font = cursor.charFormat().font().resolve(Text6().document()->defaultFont());
    EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans") << position;
    EXPECT_EQ(font.pointSizeF(), 12.0) << position;
    EXPECT_TRUE(font.bold()) << position;
  }
}

}  // namespace
}  // namespace tessaldo::testing
