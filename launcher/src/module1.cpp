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

// Steps 1 to 3 of the start procedure: the number of the first failure, or
// nothing when every step succeeded.
std::optional<ErrorNumber> InstallaERegistra(LauncherPlatform& platform,
                                             const ProgramLayout& layout) {
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
  const std::string command_line = layout.registration_names_path
                                       ? "regsvr32 /s " + launcher::QuoteArgument(installed)
                                       : std::string(launcher::kRegistrationCommandLine);
  const auto registered = platform.StartProgram(system_directory + std::string(layout.registration),
                                                command_line, WindowStyle::kMinimizedFocus);
  if (!registered) return registered.error();
  return std::nullopt;
}

}  // namespace

Outcome Avvia(LauncherPlatform& platform, const ProgramLayout& layout) {
  const launcher::RunKind kind = platform.Kind();
  const bool step = kind == launcher::RunKind::kElevatedRestart;
  // A launcher that may not act on the system only starts the converter
  // beside it; its elevated step does nothing at all.
  const bool acts = platform.ActsOnSystem();
  if (!acts && step) return {Ending::kSilent, launcher::kPermissionDenied};

  // Steps 1 to 3; the elevated step ends after them. 4. The converter.
  // 5. The end; nothing is waited for.
  auto failure = acts ? InstallaERegistra(platform, layout) : std::nullopt;
  if (!failure && !step) {
    const auto program_directory = platform.ProgramDirectory();
    failure = program_directory ? AvviaConvertitore(platform, layout, *program_directory)
                                : program_directory.error();
  }
  if (!failure) return {Ending::kCompleted, 0};

  // The error trap: 70 and 75 ask for the elevated step, unless this run
  // already has the rights, is the step itself (so it never loops) or may
  // not act on the system; everything else ends here. Nothing is retried
  // and nothing is shown.
  if (!launcher::LeadsToElevation(*failure) || kind != launcher::RunKind::kUser || !acts) {
    return {Ending::kSilent, *failure};
  }
  const auto program_directory = platform.ProgramDirectory();
  if (!program_directory) return {Ending::kSilent, *failure};
  // The step installs and registers the control, and the call waits for it;
  // then the converter starts as the user. A refusal ends silently.
  if (!platform.ShellExecuteA(0, std::string(launcher::kElevationVerb),
                              *program_directory + std::string(layout.launcher),
                              std::string(launcher::kElevatedStepArgument), *program_directory,
                              launcher::kShowNormal) ||
      AvviaConvertitore(platform, layout, *program_directory)) {
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
