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
// read only for the elevated step's marker.
//
// Windows: the installed launcher is the Tessaldo.exe in the folder that the
// setup recorded as InstallLocation of its uninstall entry (HKLM, 64-bit
// view), compared with this program's file once both are resolved. Only that
// launcher acts on the system and asks for rights (for itself, waiting for
// the step); any other copy only starts the converter beside it.
//
// POSIX: `installed_launcher` is the path of the installed launcher. Only a
// program that is that very file asks for rights (for that path). An
// elevated step of any other file, or with more arguments than its marker,
// finds no system directory, so it ends at once without touching anything.
// The copy follows no link and takes only a regular file owned by root (or
// by the user it runs as) that no one else may write; anything else counts
// as a missing file.
std::unique_ptr<LauncherPlatform> MakeSystemLauncherPlatform(std::span<char* const> arguments,
                                                             std::string system_directory,
                                                             std::string installed_launcher);

// The registration program of the POSIX system directory, "regsvr32 [/s]
// file": the text component is part of the toolkit here, so registering
// only checks that `file` (a name relative to the system directory, or a
// path) is a file that lies in `system_directory`. Returns the exit status,
// 0 when it does; without "/s" a short message goes to `messages`.
int Regsvr32(std::span<const std::string> arguments, const std::filesystem::path& system_directory,
             std::ostream& messages);

}  // namespace tessaldo::launcher
