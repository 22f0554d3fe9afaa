#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaldo::launcher {

// `argument` in double quotes, with backslashes and quotes escaped by the
// rules of the Windows C runtime, so that blanks stay inside the argument.
std::string QuoteArgument(std::string_view argument);

// A command line split into arguments by the same rules: blanks and tabs
// separate, double quotes group, 2n backslashes before a quote give n and
// open or close a group, 2n+1 give n and a literal quote.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

}  // namespace tessaldo::launcher
