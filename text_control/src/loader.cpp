#include "tessaldo/text_control/loader.h"

#include <windows.h>

#include "tessaldo/text_control/identity.h"
#include "tessaldo/text_control/text_control.h"

namespace tessaldo::text_control {
namespace {

bool ClassRegistered() {
  WNDCLASSEXW found{};
  found.cbSize = sizeof found;
  return ::GetClassInfoExW(::GetModuleHandleW(nullptr), kWindowClass, &found) != 0;
}

// `path` made absolute, "." and ".." resolved; empty when it cannot be.
std::wstring FullPath(const std::wstring& path) {
  if (path.empty()) return {};
  std::wstring full(32768, L'\0');
  const DWORD length =
      ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return {};
  full.resize(length);
  return full;
}

// True when both name the same path, letters compared without their case.
bool SamePath(const std::wstring& a, const std::wstring& b) {
  const std::wstring full_a = FullPath(a), full_b = FullPath(b);
  return !full_a.empty() &&
         ::CompareStringOrdinal(full_a.c_str(), static_cast<int>(full_a.size()), full_b.c_str(),
                                static_cast<int>(full_b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::wstring RegisteredControlPath() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return {};
  }
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size() * sizeof(wchar_t));
  const LSTATUS status =
      ::RegGetValueW(key, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, path.data(), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return {};
  path.resize(::wcsnlen(path.c_str(), path.size()));
  return path;
}

std::wstring ControlInSystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length) + L"\\" + kFileName;
}

std::wstring ControlBesideProgram() {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  const auto separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return {};  // never a bare name, searched for
  path.resize(separator + 1);
  return path + kFileName;
}

bool LoadControlFrom(const std::wstring& path) {
  if (path.empty()) return false;
  // Loaded once, by its full path, and used as loaded: no check of the file by its path and a
  // second load that could meet another file.
  const HMODULE control = ::LoadLibraryExW(
      path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (control == nullptr) return false;
  const auto entry = reinterpret_cast<RegisterClassEntry>(
      reinterpret_cast<void (*)()>(::GetProcAddress(control, kRegisterClassEntry)));
  if (entry == nullptr || entry() == 0) {
    ::FreeLibrary(control);
    return false;
  }
  return true;  // stays loaded: the class's window procedure lives in it
}

bool LoadTextControl() {
  if (ClassRegistered()) return true;
  // Trusted by where it lies: only an administrator writes either place (or, for a copied
  // program, the folder's owner, who could change the program itself as well).
  const std::wstring system = ControlInSystemFolder();
  if (SamePath(RegisteredControlPath(), system) && LoadControlFrom(system)) return true;
  return LoadControlFrom(ControlBesideProgram());
}

}  // namespace tessaldo::text_control
