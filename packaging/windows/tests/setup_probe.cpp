// Waits for a shown top-level window with the given caption, then prints the classes and texts of
// its child windows and the control files (".OCX") loaded in its process, one per line, and with
// "close" asks the window to close. Exit status 0 when the window was found, 1 when it did not come
// in time. Usage: setup_probe <caption> <seconds> [close]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

void Print(const wchar_t* key, const std::wstring& value) {
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, value.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, value.c_str(), -1, text.data(), size, nullptr, nullptr);
  std::printf("%ls=%s\n", key, text.c_str());
}

// "<class>|<text>"
BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  wchar_t name[256] = {};
  ::GetClassNameW(child, name, 256);
  wchar_t text[1024] = {};
  ::SendMessageTimeoutW(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                        nullptr);
  Print(L"child", std::wstring(name) + L"|" + text);
  return TRUE;
}

void PrintControls(DWORD process_id) {
  const HANDLE process =
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process_id);
  if (process == nullptr) return;
  std::vector<HMODULE> modules(1024);
  DWORD needed = 0;
  if (::EnumProcessModulesEx(process, modules.data(),
                             static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed,
                             LIST_MODULES_ALL)) {
    modules.resize(std::min<std::size_t>(modules.size(), needed / sizeof(HMODULE)));
    for (const HMODULE module : modules) {
      wchar_t path[MAX_PATH * 4] = {};
      const DWORD length = ::GetModuleFileNameExW(process, module, path, MAX_PATH * 4);
      if (length > 4 && ::_wcsicmp(path + length - 4, L".OCX") == 0) {
        Print(L"module", path);
      }
    }
  }
  ::CloseHandle(process);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring caption = argv[1];
  const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(_wtoi(argv[2])) * 1000;
  HWND window = nullptr;
  // Shown: its controls are made by then.
  while ((window = ::FindWindowW(nullptr, caption.c_str())) == nullptr ||
         !::IsWindowVisible(window)) {
    if (static_cast<LONG>(::GetTickCount() - deadline) >= 0) return 1;
    ::Sleep(100);  // a poll of another process's windows: there is no event to wait on
  }
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(window, &process_id);
  ::EnumChildWindows(window, PrintChild, 0);
  PrintControls(process_id);
  std::fflush(stdout);
  if (argc > 3 && std::wstring(argv[3]) == L"close") ::PostMessageW(window, WM_CLOSE, 0, 0);
  return 0;
}
