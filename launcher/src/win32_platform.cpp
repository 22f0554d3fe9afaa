#include "tessaldo/launcher/win32_platform.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace tessaldo::launcher {
namespace {

Unexpected<ErrorNumber> LastError() {
  return Failed(FromWin32Error(::GetLastError()));
}

// True when the process already holds the elevated token: "runas" would then
// start the same refusal again, without asking, over and over.
bool RunsElevated() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool known =
      ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  ::CloseHandle(token);
  return known && elevation.TokenIsElevated != 0;
}

}  // namespace

std::size_t Win32LauncherPlatform::GetSystemDirectoryA(std::span<char> buffer) {
  return ::GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
}

Result<std::string> Win32LauncherPlatform::ProgramDirectory() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return LastError();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return Failed(kBadFileName);
    path.resize(path.size() * 2);
  }
  const auto separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

Result<std::uint32_t> Win32LauncherPlatform::FileAttributes(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
  return static_cast<std::uint32_t>(attributes);
}

Status Win32LauncherPlatform::FileCopy(const std::string& source, const std::string& destination) {
  if (!::CopyFileA(source.c_str(), destination.c_str(), FALSE)) return LastError();
  return kDone;
}

Status Win32LauncherPlatform::StartProgram(const std::string& application,
                                           const std::string& command_line, WindowStyle style) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(style);
  PROCESS_INFORMATION process{};
  // CreateProcessA may write into the command line.
  std::string line = command_line;
  // With the application named, the command line's first word is never
  // searched for in the current, the program or any other directory.
  if (!::CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    return LastError();
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return kDone;
}

void Win32LauncherPlatform::ShellExecuteA(std::intptr_t owner, const std::string& verb,
                                          const std::string& file, const std::string& parameters,
                                          const std::string& directory, int show) {
  if (verb == "runas" && RunsElevated()) return;
  // `parameters` goes as a pointer to its text: "" stays an empty string.
  ::ShellExecuteA(reinterpret_cast<HWND>(owner), verb.c_str(), file.c_str(), parameters.c_str(),
                  directory.c_str(), show);
}

}  // namespace tessaldo::launcher
