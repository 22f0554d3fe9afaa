// Tessaldo: installs and registers the text component, starts the converter
// and ends. It has no window.
#ifdef _WIN32
#include <windows.h>
#endif

#include "tessaldo/launcher/module1.h"
#include "tessaldo/launcher/system_platform.h"

#ifndef TESSALDO_SYSTEM_DIR
#define TESSALDO_SYSTEM_DIR ""  // Windows asks the system
#endif
#ifndef TESSALDO_INSTALLED_LAUNCHER
#define TESSALDO_INSTALLED_LAUNCHER ""  // Windows: the system's prompt names the program
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);  // DLLs from the system folder only
#endif
  const auto platform = tessaldo::launcher::MakeSystemLauncherPlatform(
      {argv, argv + argc}, TESSALDO_SYSTEM_DIR, TESSALDO_INSTALLED_LAUNCHER);
  const auto outcome = tessaldo::Module1::Avvia(*platform);
  return outcome.ending == tessaldo::Module1::Ending::kCompleted ? 0 : 1;
}
