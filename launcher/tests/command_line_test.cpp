#include "tessaldo/launcher/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaldo::launcher {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(QuoteArgument, WrapsEveryArgumentInQuotes) {
  EXPECT_EQ(QuoteArgument("C:\\Programmi\\Tessaldo prova\\bin.exe"),
            "\"C:\\Programmi\\Tessaldo prova\\bin.exe\"");
  EXPECT_EQ(QuoteArgument("/opt/bin"), "\"/opt/bin\"");
  EXPECT_EQ(QuoteArgument(""), "\"\"");
}

TEST(QuoteArgument, EscapesQuotesAndTheBackslashesBeforeThem) {
  EXPECT_EQ(QuoteArgument("a\"b"), "\"a\\\"b\"");
  EXPECT_EQ(QuoteArgument("a\\\"b"), "\"a\\\\\\\"b\"");
  EXPECT_EQ(QuoteArgument("dir\\"), "\"dir\\\\\"");
  EXPECT_EQ(QuoteArgument("a\\b"), "\"a\\b\"");
}

TEST(SplitCommandLine, SeparatesAtBlanksOutsideQuotes) {
  EXPECT_THAT(SplitCommandLine("regsvr32 /s RICHTX32.OCX"),
              ElementsAre("regsvr32", "/s", "RICHTX32.OCX"));
  EXPECT_THAT(SplitCommandLine("  a\t\tb  "), ElementsAre("a", "b"));
  EXPECT_THAT(SplitCommandLine("\"/opt/Tessaldo prova/bin\" x"),
              ElementsAre("/opt/Tessaldo prova/bin", "x"));
  EXPECT_THAT(SplitCommandLine("ab\"c d\"e"), ElementsAre("abc de"));
  EXPECT_THAT(SplitCommandLine("\"\" x"), ElementsAre("", "x"));
  EXPECT_THAT(SplitCommandLine(""), IsEmpty());
  EXPECT_THAT(SplitCommandLine("   "), IsEmpty());
}

TEST(SplitCommandLine, FollowsTheBackslashRules) {
  EXPECT_THAT(SplitCommandLine("a\\\\b"), ElementsAre("a\\\\b"));
  EXPECT_THAT(SplitCommandLine("a\\\\\"b c\""), ElementsAre("a\\b c"));
  EXPECT_THAT(SplitCommandLine("a\\\"b c"), ElementsAre("a\"b", "c"));
  EXPECT_THAT(SplitCommandLine("\"a\"\"b\""), ElementsAre("a\"b"));
  EXPECT_THAT(SplitCommandLine("\"unterminated x"), ElementsAre("unterminated x"));
  EXPECT_THAT(SplitCommandLine("trailing\\"), ElementsAre("trailing\\"));
}

TEST(QuoteArgument, SurvivesTheSplitUnchanged) {
  const std::vector<std::string> arguments = {"/tmp/Tessaldo prova/bin",
                                              "C:\\Program Files\\x\\",
                                              "a\"b",
                                              "\\\\server\\share\\",
                                              "tab\there",
                                              "\\\"",
                                              "",
                                              "\"\"",
                                              "end with \\\\"};
  std::string line;
  for (const auto& argument : arguments) line += QuoteArgument(argument) + " ";
  EXPECT_EQ(SplitCommandLine(line), arguments);
}

}  // namespace
}  // namespace tessaldo::launcher
