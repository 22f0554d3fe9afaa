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

// Where the setup records the folder it installed into: HKLM, 64-bit view.
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaldo";

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

// The path of the file at `path` as the system resolves it (links, short names and case as on
// disk), without the "\\?\" prefix; empty when it cannot be opened.
std::wstring FinalPath(const std::wstring& path) {
  const HANDLE file =
      ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::wstring final(32768, L'\0');
  const DWORD length = ::GetFinalPathNameByHandleW(
      file, final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  ::CloseHandle(file);
  if (length == 0 || length >= final.size()) return {};
  final.resize(length);
  if (final.starts_with(L"\\\\?\\UNC\\")) return L"\\" + final.substr(7);
  if (final.starts_with(L"\\\\?\\")) return final.substr(4);
  return final;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The launcher the setup installed: InstallLocation + "\Tessaldo.exe", resolved; empty when
// the setup recorded no folder.
std::wstring InstalledLauncher() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                      &key) != ERROR_SUCCESS) {
    return {};
  }
  std::wstring folder(32768, L'\0');
  DWORD size = static_cast<DWORD>(folder.size() * sizeof(wchar_t));
  const LSTATUS status = ::RegGetValueW(key, nullptr, L"InstallLocation", RRF_RT_REG_SZ, nullptr,
                                        folder.data(), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return {};
  folder.resize(::wcsnlen(folder.c_str(), folder.size()));
  if (folder.empty()) return {};
  return FinalPath(folder + L"\\Tessaldo.exe");
}

// The running program's file, resolved.
std::wstring RunningProgram() {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  return FinalPath(path);
}

// `text` in the ANSI code page the launcher's narrow paths use; nothing when a character has
// no place in it.
Result<std::string> Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  BOOL lossy = FALSE;
  const int size =
      ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(),
                            static_cast<int>(text.size()), nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return Failed(kBadFileName);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()),
                        narrow.data(), size, nullptr, nullptr);
  return narrow;
}

// The launcher's operations through kernel32 and shell32.
class Win32LauncherPlatform final : public LauncherPlatform {
 public:
  Win32LauncherPlatform(bool elevated_step, bool well_formed)
      : program_(RunningProgram()),
        installed_launcher_(InstalledLauncher()),
        installed_(SamePath(program_, installed_launcher_)),
        elevated_step_(elevated_step),
        well_formed_(well_formed) {}

  RunKind Kind() override {
    if (elevated_step_) return RunKind::kElevatedRestart;
    return RunsElevated() ? RunKind::kElevated : RunKind::kUser;
  }
  // Only the installed launcher; its elevated step only with its marker alone.
  bool ActsOnSystem() override { return installed_ && (!elevated_step_ || well_formed_); }
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
  std::wstring program_;             // this program's file, resolved
  std::wstring installed_launcher_;  // the installed launcher's, resolved
  bool installed_;                   // this program is the installed launcher
  bool elevated_step_;
  bool well_formed_;  // no argument beside the elevated step's marker
};

std::size_t Win32LauncherPlatform::GetSystemDirectoryA(std::span<char> buffer) {
  return ::GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
}

Result<std::string> Win32LauncherPlatform::ProgramDirectory() {
  // The folder of the resolved file: a link or junction on the way it was started by cannot
  // point somewhere else later.
  const auto separator = program_.find_last_of(L'\\');
  if (separator == std::wstring::npos) return Failed(kPathNotFound);
  return Narrow(program_.substr(0, separator));
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
  // Rights are asked only by the installed launcher, and only for itself.
  if (verb != kElevationVerb || !installed_) return false;
  const auto installed = Narrow(installed_launcher_);
  std::wstring named(file.size(), L'\0');
  named.resize(static_cast<std::size_t>(
      ::MultiByteToWideChar(CP_ACP, 0, file.data(), static_cast<int>(file.size()), named.data(),
                            static_cast<int>(named.size()))));
  if (!installed || !SamePath(FinalPath(named), installed_launcher_)) return false;

  SHELLEXECUTEINFOA execute{};
  execute.cbSize = sizeof execute;
  // The process's handle, to wait on; the call returns only once it started.
  execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  execute.hwnd = reinterpret_cast<HWND>(owner);
  execute.lpVerb = verb.c_str();
  execute.lpFile = installed->c_str();
  execute.lpParameters = parameters.c_str();
  execute.lpDirectory = directory.c_str();
  execute.nShow = show;
  if (!::ShellExecuteExA(&execute) || execute.hProcess == nullptr) return false;
  // The step installs and registers the control; the converter starts only after it.
  DWORD status = 1;
  const bool ended = ::WaitForSingleObject(execute.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                     ::GetExitCodeProcess(execute.hProcess, &status);
  ::CloseHandle(execute.hProcess);
  return ended && status == 0;
}

}  // namespace

std::unique_ptr<LauncherPlatform> MakeSystemLauncherPlatform(std::span<char* const> arguments,
                                                             std::string /*system_directory*/,
                                                             std::string /*installed_launcher*/) {
  // As on POSIX: the marker first is the elevated step; with anything after it, it is one that
  // no launcher asks for, and it does nothing.
  const bool elevated_step = arguments.size() >= 2 && arguments[1] == kElevatedStepArgument;
  return std::make_unique<Win32LauncherPlatform>(elevated_step, arguments.size() == 2);
}

}  // namespace tessaldo::launcher
