#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "tessaldo/launcher/error_numbers.h"
#include "tessaldo/support/expected.h"

namespace tessaldo::launcher {

template <class T>
using Result = Expected<T, ErrorNumber>;
// The outcome of an operation that has no value.
using Status = Result<std::monostate>;

inline constexpr std::monostate kDone{};
inline Unexpected<ErrorNumber> Failed(ErrorNumber number) {
  return Unexpected<ErrorNumber>(number);
}

// Attribute bits, with their Win32 values.
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeNormal = 0x80;

// Window style of a started program; the values of SW_SHOWNORMAL and
// SW_SHOWMINIMIZED.
enum class WindowStyle : int { kNormalFocus = 1, kMinimizedFocus = 2 };

// Show command of ShellExecuteA: SW_SHOWNORMAL.
inline constexpr int kShowNormal = 1;

// Who started this run, as far as the elevated restart goes.
enum class RunKind {
  kUser,             // a user without the rights the restart asks for
  kElevated,         // a user who holds them already: asking again changes nothing
  kElevatedRestart,  // the elevated restart of a launcher
};

// The operations the launcher needs from the system, in the order of use.
class LauncherPlatform {
 public:
  virtual ~LauncherPlatform() = default;

  virtual RunKind Kind() = 0;

  // True when this launcher may act on the system: copy into the system directory, run the
  // registration and ask for rights. Windows: only the launcher in the folder the setup
  // recorded; any other copy only starts the converter beside it. POSIX: every launcher, whose
  // platform itself gives the elevated step and the rights to the installed one alone.
  virtual bool ActsOnSystem() { return true; }

  // Writes the system directory into `buffer` and returns the number of
  // characters written. When the path does not fit it returns the size it
  // would need and leaves the buffer alone; 0 when the call fails.
  virtual std::size_t GetSystemDirectoryA(std::span<char> buffer) = 0;

  // The directory that holds the running program's executable, without a
  // trailing separator.
  virtual Result<std::string> ProgramDirectory() = 0;

  // The attribute bits of `path`; a failure when it does not exist or
  // cannot be read.
  virtual Result<std::uint32_t> FileAttributes(const std::string& path) = 0;

  // Copies `source` to `destination`, replacing a file already there.
  virtual Status FileCopy(const std::string& source, const std::string& destination) = 0;

  // Starts the executable at `application` and returns at once. The program
  // receives `command_line` as its command line (its own name first), so
  // the executable is never looked up from the command line's first word.
  virtual Status StartProgram(const std::string& application, const std::string& command_line,
                              WindowStyle style) = 0;

  // The shell's ShellExecuteA with the verb "runas": starts `file` with the
  // rights the system asks the user for, with `parameters` as given, and
  // waits for it. True when it ran and ended with status 0; false when the
  // rights were refused, or `file` is not the installed launcher.
  virtual bool ShellExecuteA(std::intptr_t owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& directory,
                             int show) = 0;
};

}  // namespace tessaldo::launcher
