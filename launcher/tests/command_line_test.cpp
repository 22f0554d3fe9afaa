#include "tessaldo/launcher/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaldo::launcher {
namespace {

using Arguments = std::vector<std::string>;

// The rules of the Windows C runtime, which the POSIX launcher follows.
TEST(SplitCommandLine, SeparatesAtBlanksAndFollowsTheQuoteAndBackslashRules) {
  struct Case {
    const char* line;
    Arguments arguments;
  };
  for (const Case& c : std::vector<Case>{
           {"regsvr32 /s RICHTX32.OCX", {"regsvr32", "/s", "RICHTX32.OCX"}},
           {"  a\t\tb  ", {"a", "b"}},
           {"ab\"c d\"e", {"abc de"}},
           {"\"\" x", {"", "x"}},
           {"a\\\\b", {"a\\\\b"}},
           {"a\\\\\"b c\"", {"a\\b c"}},
           {"a\\\"b c", {"a\"b", "c"}},
           {"\"a\"\"b\"", {"a\"b"}},
           {"\"unterminated x", {"unterminated x"}},
           {"trailing\\", {"trailing\\"}},
       }) {
    EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
  }
}

TEST(QuoteArgument, QuotesEveryArgumentSoThatItSurvivesTheSplitUnchanged) {
  EXPECT_EQ(QuoteArgument("C:\\Tessaldo prova\\bin.exe"), "\"C:\\Tessaldo prova\\bin.exe\"");
  const Arguments arguments = {"/tmp/Tessaldo prova/bin",
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
