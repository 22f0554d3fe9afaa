#pragma once

#include <string>

#include "tessaldo/launcher/error_numbers.h"
#include "tessaldo/launcher/launcher_platform.h"
#include "tessaldo/launcher/program_layout.h"

// The launcher's module: its start procedure and the file test.
namespace tessaldo::Module1 {

enum class Ending {
  kCompleted,  // the control is in place and registered (the elevated step ends there), `bin`
               // started; or, by a launcher that may not act on the system, `bin` started
  kSilent,     // failed, or the rights were refused; nothing more happens
};

struct Outcome {
  Ending ending;
  launcher::ErrorNumber error;  // the failure's number, 0 when there was none

  friend bool operator==(const Outcome&, const Outcome&) = default;
};

// The start procedure: installs the control when it is missing from the
// system directory, starts the registration and the converter. When the
// system refuses with 70 or 75 it asks for the elevated step, waits for it
// and then starts the converter itself.
Outcome Avvia(launcher::LauncherPlatform& platform,
              const launcher::ProgramLayout& layout = launcher::kNativeLayout);

// True when `path` exists and is not a directory.
bool EsisteFile(launcher::LauncherPlatform& platform, const std::string& path);

}  // namespace tessaldo::Module1
