// RICHTX32.OCX: the text control's class and its registration, regsvr32's entry points.
#include <windows.h>

#include <olectl.h>

#include <array>
#include <string>

#include "tessaldo/text_control/identity.h"
#include "text6_box.h"

namespace {

// This file's own module, found from an address inside it.
HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

// Below HKEY_LOCAL_MACHINE: the machine's classes, where the control in the system folder is
// registered for every user.
constexpr wchar_t kClasses[] = L"Software\\Classes";

struct Value {
  std::wstring key;     // below kClasses
  const wchar_t* name;  // nullptr: the key's default value
  std::wstring data;
};

std::wstring ClsidKey() {
  return std::wstring(L"CLSID\\") + tessaldo::text_control::kClsid;
}

// Every key the registration writes, below kClasses; the first of each tree is its root.
std::array<std::wstring, 3> Roots() {
  using namespace tessaldo::text_control;
  return {ClsidKey(), kProgId, kVersionIndependentProgId};
}

std::wstring ModulePath() {
  const HINSTANCE module = ThisModule();
  if (module == nullptr) return {};  // never the program's own path
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

bool Write(const Value& value) {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(kClasses) + L"\\" + value.key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const auto bytes = static_cast<DWORD>((value.data.size() + 1) * sizeof(wchar_t));
  const bool written =
      ::RegSetValueExW(key, value.name, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.data.c_str()), bytes) == ERROR_SUCCESS;
  ::RegCloseKey(key);
  return written;
}

HRESULT Unregister() {
  HKEY classes = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClasses, 0,
                      DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE,
                      &classes) != ERROR_SUCCESS) {
    return SELFREG_E_CLASS;
  }
  HRESULT result = S_OK;
  for (const std::wstring& root : Roots()) {
    const LSTATUS status = ::RegDeleteTreeW(classes, root.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) result = SELFREG_E_CLASS;
  }
  ::RegCloseKey(classes);
  return result;
}

}  // namespace

extern "C" {

// The project's entry point: kWindowClass creatable in the calling process. The rich-edit box it
// builds on comes from the system folder alone; loaded here first, it is the Msftedit.dll that
// any later load by that name in the process finds.
__declspec(dllexport) int __stdcall TessaldoRegisterTextControl() {
  if (::LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32) == nullptr) return 0;
  const HINSTANCE module = ThisModule();
  return module != nullptr && tessaldo::text_control::RegisterText6Class(module) ? 1 : 0;
}

// The control under its class identifier and program identifiers, with the path of this file.
HRESULT __stdcall DllRegisterServer() {
  using namespace tessaldo::text_control;
  try {
    const std::wstring path = ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    const std::wstring clsid = ClsidKey();
    const Value values[] = {
        {clsid, nullptr, kDescription},
        {clsid + L"\\InprocServer32", nullptr, path},
        {clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsid + L"\\ProgID", nullptr, kProgId},
        {clsid + L"\\VersionIndependentProgID", nullptr, kVersionIndependentProgId},
        {kProgId, nullptr, kDescription},
        {std::wstring(kProgId) + L"\\CLSID", nullptr, kClsid},
        {kVersionIndependentProgId, nullptr, kDescription},
        {std::wstring(kVersionIndependentProgId) + L"\\CLSID", nullptr, kClsid},
        {std::wstring(kVersionIndependentProgId) + L"\\CurVer", nullptr, kProgId},
    };
    for (const Value& value : values) {
      if (!Write(value)) {
        Unregister();  // nothing half-written stays behind
        return SELFREG_E_CLASS;
      }
    }
    return S_OK;
  } catch (...) {
    Unregister();
    return E_OUTOFMEMORY;
  }
}

// Every key DllRegisterServer writes, and nothing else.
HRESULT __stdcall DllUnregisterServer() {
  try {
    return Unregister();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

// The control is a window class, not a COM object: nothing is handed out.
HRESULT __stdcall DllGetClassObject(REFCLSID /*clsid*/, REFIID /*iid*/, void** object) {
  if (object != nullptr) *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

// Windows of the class may still use the file's code.
HRESULT __stdcall DllCanUnloadNow() {
  return S_FALSE;
}

}  // extern "C"
