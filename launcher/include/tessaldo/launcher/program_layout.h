#pragma once

#include <cstddef>
#include <string_view>

namespace tessaldo::launcher {

// The argument that marks the elevated step of a POSIX launcher.
inline constexpr std::string_view kElevatedStepArgument = "--passo-elevato";

// Where Windows and POSIX differ: the names the launcher appends to the
// system and program directories, separator first, and the elevated restart.
struct ProgramLayout {
  std::string_view control;       // the rich-text control file
  std::string_view converter;     // the converter `bin`
  std::string_view launcher;      // the launcher's own file
  std::string_view registration;  // the registration program in the system directory
  std::string_view elevation_parameters;
  // Windows: the elevated restart does the whole start, `bin` included. POSIX:
  // it only installs and registers the control, and the user's run, which
  // waited for it, then starts `bin`: no window runs with the raised rights.
  bool restart_starts_converter;
};

inline constexpr ProgramLayout kWindowsLayout{"\\RICHTX32.OCX", "\\bin.exe", "\\Tessaldo.exe",
                                              "\\regsvr32.exe", "",          true};
inline constexpr ProgramLayout kPosixLayout{"/RICHTX32.OCX",       "/bin", "/Tessaldo", "/regsvr32",
                                            kElevatedStepArgument, false};

#ifdef _WIN32
inline constexpr const ProgramLayout& kNativeLayout = kWindowsLayout;
#else
inline constexpr const ProgramLayout& kNativeLayout = kPosixLayout;
#endif

inline constexpr std::string_view kRegistrationCommandLine = "regsvr32 /s RICHTX32.OCX";
inline constexpr std::string_view kElevationVerb = "runas";
inline constexpr std::size_t kSystemDirectoryBufferSize = 255;

}  // namespace tessaldo::launcher
