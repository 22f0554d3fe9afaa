// A control file a plain user could plant: the project's identity resource and nothing else of
// it. Run as code, by any program, it leaves "<its file>.eseguito" beside itself at once. Planted
// as msimg32.dll too, it exports msimg32's AlphaBlend, so that an import of it resolves.
#define NOGDI  // its own AlphaBlend
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI AlphaBlend() {
  return FALSE;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t mark[MAX_PATH + 16] = {};
  const DWORD length = ::GetModuleFileNameW(module, mark, MAX_PATH);
  ::lstrcpyW(mark + length, L".eseguito");
  ::CloseHandle(::CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  return TRUE;
}
