#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <span>
#include <string>

#include "tessaldo/launcher/launcher_platform.h"

namespace tessaldo::launcher {

// The launcher's operations on this system: kernel32 and shell32 on Windows;
// elsewhere POSIX calls, the system directory the program was built for and
// pkexec for the elevated step. `arguments` is the program's command line,
// read on POSIX only for the elevated step's marker.
std::unique_ptr<LauncherPlatform> MakeSystemLauncherPlatform(std::span<char* const> arguments,
                                                             std::string system_directory);

// The registration program of the POSIX system directory, "regsvr32 [/s]
// file": the text component is part of the toolkit here, so registering
// only checks that `file` (a name relative to the system directory, or a
// path) is a file that lies in `system_directory`. Returns the exit status,
// 0 when it does; without "/s" a short message goes to `messages`.
int Regsvr32(std::span<const std::string> arguments, const std::filesystem::path& system_directory,
             std::ostream& messages);

}  // namespace tessaldo::launcher
