#pragma once

#include <windows.h>

namespace tessaldo::win32 {

// The converter program: Form1 and the about window it opens, one message loop that ends when
// the last of the two windows has closed. Returns the program's exit code.
int RunConverterProgram(HINSTANCE instance, int showCommand);

}  // namespace tessaldo::win32
