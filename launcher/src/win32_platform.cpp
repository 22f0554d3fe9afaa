#include "tessaldo/launcher/system_platform.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string_view>

#include "tessaldo/launcher/program_layout.h"

namespace tessaldo::launcher {
namespace {

Unexpected<ErrorNumber> LastError() {
  return Failed(FromWin32Error(::GetLastError()));
}

// The mark a launcher leaves in its environment for the elevated restart it
// asks for. An elevated process gets a fresh environment, but then its token
// is elevated; with user account control turned off, "runas" starts the
// program as a plain child, environment and all, and the mark tells.
constexpr const char* kRestartMark = "TESSALDO_RIAVVIO_ELEVATO";

// True when the process already holds the elevated token.
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

// The launcher's operations through kernel32 and shell32.
class Win32LauncherPlatform final : public LauncherPlatform {
 public:
  Win32LauncherPlatform() {
    restarted_ = ::GetEnvironmentVariableA(kRestartMark, nullptr, 0) != 0;
    ::SetEnvironmentVariableA(kRestartMark, nullptr);  // not for `bin` and its children
  }

  RunKind Kind() override {
    if (restarted_) return RunKind::kElevatedRestart;
    return RunsElevated() ? RunKind::kElevated : RunKind::kUser;
  }
  std::size_t GetSystemDirectoryA(std::span<char> buffer) override;
  Result<std::string> ProgramDirectory() override;
  Result<std::uint32_t> FileAttributes(const std::string& path) override;
  Status FileCopy(const std::string& source, const std::string& destination) override;
  Status StartProgram(const std::string& application, const std::string& command_line,
                      WindowStyle style) override;
  bool ShellExecuteA(std::intptr_t owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int show) override;

 private:
  bool restarted_;
};

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
  // Copied beside the destination, flushed to disk and moved into place, so
  // that neither a failure nor a crash leaves a partial file. CopyFileA
  // carries the source's attributes over; a read-only one is cleared at once,
  // or the temporary file could neither be flushed nor deleted.
  const std::string temporary = destination + "." + std::to_string(::GetCurrentProcessId());
  const auto failed = [&temporary](DWORD error) {
    ::SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(temporary.c_str());
    return Failed(FromWin32Error(error));
  };
  if (!::CopyFileA(source.c_str(), temporary.c_str(), FALSE)) return failed(::GetLastError());
  const DWORD attributes = ::GetFileAttributesA(temporary.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return failed(::GetLastError());
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
      !::SetFileAttributesA(temporary.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY})) {
    return failed(::GetLastError());
  }
  const HANDLE file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return failed(::GetLastError());
  const bool flushed = ::FlushFileBuffers(file);
  const DWORD flush_error = flushed ? 0 : ::GetLastError();
  ::CloseHandle(file);
  if (!flushed) return failed(flush_error);
  if (!::MoveFileExA(temporary.c_str(), destination.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return failed(::GetLastError());
  }
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

bool Win32LauncherPlatform::ShellExecuteA(std::intptr_t owner, const std::string& verb,
                                          const std::string& file, const std::string& parameters,
                                          const std::string& directory, int show) {
  if (verb == kElevationVerb) ::SetEnvironmentVariableA(kRestartMark, "1");
  // `parameters` goes as a pointer to its text: "" stays an empty string.
  const HINSTANCE result =
      ::ShellExecuteA(reinterpret_cast<HWND>(owner), verb.c_str(), file.c_str(), parameters.c_str(),
                      directory.c_str(), show);
  ::SetEnvironmentVariableA(kRestartMark, nullptr);
  return reinterpret_cast<std::intptr_t>(result) > 32;
}

}  // namespace

std::unique_ptr<LauncherPlatform> MakeSystemLauncherPlatform(std::span<char* const> /*arguments*/,
                                                             std::string /*system_directory*/,
                                                             std::string /*installed_launcher*/) {
  return std::make_unique<Win32LauncherPlatform>();
}

}  // namespace tessaldo::launcher
