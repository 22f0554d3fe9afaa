#pragma once

#include <cstddef>
#include <string_view>

namespace tessaldo::launcher {

// The argument that marks the elevated step: the run that only installs and registers the
// control, started by the installed launcher through the rights prompt.
inline constexpr std::string_view kElevatedStepArgument = "--passo-elevato";

// Where Windows and POSIX differ: the names the launcher appends to the system and program
// directories, separator first, and how the registration names the control.
//
// On both, the elevated restart is the elevated step: it installs and registers the control and
// ends, and the user's run, which waited for it, then starts `bin` with the user's rights, so
// that no window ever runs elevated.
struct ProgramLayout {
  std::string_view control;       // the rich-text control file
  std::string_view converter;     // the converter `bin`
  std::string_view launcher;      // the launcher's own file
  std::string_view registration;  // the registration program in the system directory
  // Windows: regsvr32 gets the installed control's full path, quoted, not the bare name that
  // the system's search would look up.
  bool registration_names_path;
};

inline constexpr ProgramLayout kWindowsLayout{"\\RICHTX32.OCX", "\\bin.exe", "\\Tessaldo.exe",
                                              "\\regsvr32.exe", true};
inline constexpr ProgramLayout kPosixLayout{"/RICHTX32.OCX", "/bin", "/Tessaldo", "/regsvr32",
                                            false};

#ifdef _WIN32
inline constexpr const ProgramLayout& kNativeLayout = kWindowsLayout;
#else
inline constexpr const ProgramLayout& kNativeLayout = kPosixLayout;
#endif

// POSIX: the registration's command line, the file by its name in the system directory.
inline constexpr std::string_view kRegistrationCommandLine = "regsvr32 /s RICHTX32.OCX";
inline constexpr std::string_view kElevationVerb = "runas";
inline constexpr std::size_t kSystemDirectoryBufferSize = 255;

}  // namespace tessaldo::launcher
