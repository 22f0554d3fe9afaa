#include <windows.h>

#include "tessaldo/converter_window/win32/converter_program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
  // Every DLL loaded from here on comes from the system folder, never from beside the program.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return tessaldo::win32::RunConverterProgram(instance, showCommand);
}
