#include "tessaldo/text_control/loader.h"

#include <windows.h>

#include <string_view>

#include "tessaldo/text_control/identity.h"
#include "tessaldo/text_control/text_control.h"

namespace tessaldo::text_control {
namespace {

bool ClassRegistered() {
  WNDCLASSEXW found{};
  found.cbSize = sizeof found;
  return ::GetClassInfoExW(::GetModuleHandleW(nullptr), kWindowClass, &found) != 0;
}

}  // namespace

std::wstring RegisteredControlPath() {
  DWORD size = 0;
  if (::RegGetValueW(HKEY_CLASSES_ROOT, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
    return {};
  }
  std::wstring path(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(path.size() * sizeof(wchar_t));
  if (::RegGetValueW(HKEY_CLASSES_ROOT, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, path.data(),
                     &size) != ERROR_SUCCESS) {
    return {};
  }
  path.resize(::wcsnlen(path.c_str(), path.size()));
  return path;
}

bool IsOwnControl(const std::wstring& path) {
  if (path.empty()) return false;
  const HMODULE data = ::LoadLibraryExW(path.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (data == nullptr) return false;
  bool own = false;
  if (const HRSRC found =
          ::FindResourceW(data, kIdentityResource, MAKEINTRESOURCEW(10) /* RT_RCDATA */)) {
    const DWORD size = ::SizeofResource(data, found);
    const HGLOBAL loaded = ::LoadResource(data, found);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    own = bytes != nullptr &&
          std::string_view(static_cast<const char*>(bytes), size) == kIdentityBytes;
  }
  ::FreeLibrary(data);
  return own;
}

bool LoadControlFrom(const std::wstring& path) {
  if (!IsOwnControl(path)) return false;
  // The control's own folder first for what it loads itself.
  const HMODULE control = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (control == nullptr) return false;
  const auto entry = reinterpret_cast<RegisterClassEntry>(
      reinterpret_cast<void (*)()>(::GetProcAddress(control, kRegisterClassEntry)));
  if (entry == nullptr || entry() == 0) {
    ::FreeLibrary(control);
    return false;
  }
  return true;  // stays loaded: the class's window procedure lives in it
}

std::wstring ControlBesideProgram() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  const auto separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return {};  // never a bare name, searched for
  path.resize(separator + 1);
  return path + kFileName;
}

bool LoadTextControl() {
  if (ClassRegistered()) return true;
  const std::wstring registered = RegisteredControlPath();
  if (!registered.empty() && LoadControlFrom(registered)) return true;
  return LoadControlFrom(ControlBesideProgram());
}

}  // namespace tessaldo::text_control
