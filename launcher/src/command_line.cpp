#include "tessaldo/launcher/command_line.h"

#include <cstddef>

namespace tessaldo::launcher {

std::string QuoteArgument(std::string_view argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled and the quote escaped; others
    // stand for themselves.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  // Backslashes before the closing quote are doubled.
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
  std::vector<std::string> arguments;
  std::string current;
  bool in_argument = false;
  bool quoted = false;
  for (std::size_t i = 0; i < command_line.size();) {
    const char c = command_line[i];
    if (c == '\\') {
      std::size_t backslashes = 0;
      while (i < command_line.size() && command_line[i] == '\\') ++backslashes, ++i;
      in_argument = true;
      if (i < command_line.size() && command_line[i] == '"') {
        current.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          current += '"';
          ++i;
        }
      } else {
        current.append(backslashes, '\\');
      }
    } else if (c == '"') {
      in_argument = true;
      if (quoted && i + 1 < command_line.size() && command_line[i + 1] == '"') {
        current += '"';  // "" inside a group is a literal quote
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_argument) arguments.push_back(std::move(current));
      current.clear();
      in_argument = false;
      ++i;
    } else {
      current += c;
      in_argument = true;
      ++i;
    }
  }
  if (in_argument) arguments.push_back(std::move(current));
  return arguments;
}

}  // namespace tessaldo::launcher
