// A DLL planted beside a program (built as msimg32.dll and msftedit.dll): when it is loaded, it
// leaves "<its own path>.ran". It exports msimg32's AlphaBlend, so that an import of it resolves.
#define NOGDI  // its own AlphaBlend
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI AlphaBlend() {
  return FALSE;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  wchar_t path[MAX_PATH + 8] = {};
  if (reason == DLL_PROCESS_ATTACH && ::GetModuleFileNameW(self, path, MAX_PATH))
    ::CloseHandle(::CreateFileW(::lstrcatW(path, L".ran"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr));
  return TRUE;
}
