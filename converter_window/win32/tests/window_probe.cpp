// Looks at a window of another process as an assistive tool does, for the Windows tests under Wine:
//   window_probe <caption> <seconds> [close]
// waits until a top-level window of that caption is shown, then prints the class and text of each
// child window ("child=<class>|<text>"), the text of each field of Form1 it has ("Text1=…"),
// Image1's rectangle ("Image1.rect=l t r b") and the control files (.OCX) loaded in its process
// ("module=<path>"); with "close", then asks it to close (WM_CLOSE). Status 1: no such window.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tessaldo/converter_window/win32/form1.h"

namespace {

void Print(const char* key, const std::wstring& value) {
  char utf8[2048] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, value.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s=%s\n", key, utf8);
}

std::wstring TextOf(HWND control) {
  wchar_t text[1024] = {};
  ::SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, nullptr);
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  HWND window = nullptr;
  for (double waited = 0; !(window = ::FindWindowW(nullptr, argv[1])) || !::IsWindowVisible(window);
       waited += 0.05, ::Sleep(50)) {  // another process's windows: there is no event to wait on
    if (waited > std::wcstod(argv[2], nullptr)) return 1;
  }
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM) -> BOOL {
        wchar_t name[256] = {};
        ::GetClassNameW(child, name, 256);
        Print("child", std::wstring(name) + L"|" + TextOf(child));
        return TRUE;
      },
      0);
  for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6Raw", "Text6"}) {
    if (HWND field = ::GetDlgItem(window, tessaldo::win32::ControlId(name))) {
      Print(name, TextOf(field));
    }
  }
  RECT image{};
  if (::GetWindowRect(::GetDlgItem(window, tessaldo::win32::ControlId("Image1")), &image))
    std::printf("Image1.rect=%ld %ld %ld %ld\n", image.left, image.top, image.right, image.bottom);
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  if (HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id)) {
    HMODULE modules[1024];
    DWORD size = 0;
    ::EnumProcessModulesEx(process, modules, sizeof modules, &size, LIST_MODULES_ALL);
    for (DWORD i = 0; i < size / sizeof(HMODULE) && i < 1024; ++i) {
      wchar_t path[MAX_PATH * 4] = {};
      const DWORD length = ::GetModuleFileNameExW(process, modules[i], path, MAX_PATH * 4);
      if (length > 4 && ::_wcsicmp(path + length - 4, L".OCX") == 0) Print("module", path);
    }
    ::CloseHandle(process);
  }
  std::fflush(stdout);
  if (argc > 3 && std::wcscmp(argv[3], L"close") == 0) ::PostMessageW(window, WM_CLOSE, 0, 0);
  return 0;
}
