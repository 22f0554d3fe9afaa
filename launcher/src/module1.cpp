#include "tessaldo/launcher/module1.h"

#include <array>
#include <optional>
#include <string>

#include "tessaldo/launcher/command_line.h"

namespace tessaldo::Module1 {
namespace {

using launcher::ErrorNumber;
using launcher::LauncherPlatform;
using launcher::ProgramLayout;
using launcher::WindowStyle;

// Step 4: the converter, its path quoted on its command line.
std::optional<ErrorNumber> AvviaConvertitore(LauncherPlatform& platform,
                                             const ProgramLayout& layout,
                                             const std::string& program_directory) {
  const std::string converter = program_directory + std::string(layout.converter);
  const auto started = platform.StartProgram(converter, launcher::QuoteArgument(converter),
                                             WindowStyle::kNormalFocus);
  if (!started) return started.error();
  return std::nullopt;
}

// Steps 1 to 5 of the start procedure, step 4 only when `converter`; the
// number of the first failure, or nothing when every step succeeded.
std::optional<ErrorNumber> Passi(LauncherPlatform& platform, const ProgramLayout& layout,
                                 bool converter) {
  // 1. The system directory: the first n characters of a buffer of blanks.
  std::array<char, launcher::kSystemDirectoryBufferSize> buffer;
  buffer.fill(' ');
  const std::size_t length = platform.GetSystemDirectoryA(buffer);
  // 0 is the call's failure, more than the buffer a path that did not fit:
  // neither names a directory.
  if (length == 0 || length > buffer.size()) return launcher::kPathNotFound;
  const std::string system_directory(buffer.data(), length);
  const std::string installed = system_directory + std::string(layout.control);

  // 2. The control, copied only when it is not there yet.
  if (!EsisteFile(platform, installed)) {
    const auto program_directory = platform.ProgramDirectory();
    if (!program_directory) return program_directory.error();
    const auto copied =
        platform.FileCopy(*program_directory + std::string(layout.control), installed);
    if (!copied) return copied.error();
  }

  // 3. The registration, started from the system directory on every run.
  const auto registered = platform.StartProgram(system_directory + std::string(layout.registration),
                                                std::string(launcher::kRegistrationCommandLine),
                                                WindowStyle::kMinimizedFocus);
  if (!registered) return registered.error();
  if (!converter) return std::nullopt;

  // 4. The converter.
  const auto program_directory = platform.ProgramDirectory();
  if (!program_directory) return program_directory.error();
  // 5. The end; nothing is waited for.
  return AvviaConvertitore(platform, layout, *program_directory);
}

}  // namespace

Outcome Avvia(LauncherPlatform& platform, const ProgramLayout& layout) {
  const launcher::RunKind kind = platform.Kind();
  const bool restarted = kind == launcher::RunKind::kElevatedRestart;
  const auto failure = Passi(platform, layout, !restarted || layout.restart_starts_converter);
  if (!failure) return {Ending::kCompleted, 0};

  // The error trap: 70 and 75 ask for the elevated restart, unless this run
  // already has the rights or is the restart itself (so it never loops);
  // everything else ends here. Nothing is retried and nothing is shown.
  if (!launcher::LeadsToElevation(*failure) || kind != launcher::RunKind::kUser) {
    return {Ending::kSilent, *failure};
  }
  const auto program_directory = platform.ProgramDirectory();
  if (!program_directory) return {Ending::kSilent, *failure};
  const bool done = platform.ShellExecuteA(
      0, std::string(launcher::kElevationVerb), *program_directory + std::string(layout.launcher),
      std::string(layout.elevation_parameters), *program_directory, launcher::kShowNormal);
  if (layout.restart_starts_converter) return {Ending::kElevatedRestart, *failure};

  // The elevated step has installed and registered the control; the
  // converter starts as the user. A refusal of the rights ends silently.
  if (!done || AvviaConvertitore(platform, layout, *program_directory)) {
    return {Ending::kSilent, *failure};
  }
  return {Ending::kCompleted, *failure};
}

bool EsisteFile(LauncherPlatform& platform, const std::string& path) {
  const auto attributes = platform.FileAttributes(path);
  if (!attributes) return false;  // the failure goes no further
  return (*attributes & launcher::kAttributeDirectory) == 0;
}

}  // namespace tessaldo::Module1
