#pragma once

#include <cstddef>
#include <string_view>

namespace tessaldo::launcher {

// The names the launcher appends to the system and program directories,
// separator first. Windows and POSIX differ only here.
struct ProgramLayout {
  std::string_view control;       // the rich-text control file
  std::string_view converter;     // the converter `bin`
  std::string_view launcher;      // the launcher's own file
  std::string_view registration;  // the registration program in the system directory
};

inline constexpr ProgramLayout kWindowsLayout{"\\RICHTX32.OCX", "\\bin.exe", "\\Tessaldo.exe",
                                              "\\regsvr32.exe"};
inline constexpr ProgramLayout kPosixLayout{"/RICHTX32.OCX", "/bin", "/Tessaldo", "/regsvr32"};

#ifdef _WIN32
inline constexpr const ProgramLayout& kNativeLayout = kWindowsLayout;
#else
inline constexpr const ProgramLayout& kNativeLayout = kPosixLayout;
#endif

inline constexpr std::string_view kRegistrationCommandLine = "regsvr32 /s RICHTX32.OCX";
inline constexpr std::string_view kElevationVerb = "runas";
inline constexpr std::string_view kElevationParameters = "";
inline constexpr std::size_t kSystemDirectoryBufferSize = 255;

}  // namespace tessaldo::launcher
