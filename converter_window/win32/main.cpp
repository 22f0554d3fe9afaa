#include <windows.h>

#include "tessaldo/converter_window/win32/converter_program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
  return tessaldo::win32::RunConverterProgram(instance, showCommand);
}
