// Tessaldo: installs and registers the text component, starts the converter
// and ends. It has no window and reads no command line.
#include "tessaldo/launcher/module1.h"

#ifdef _WIN32
#include "tessaldo/launcher/win32_platform.h"
#else
#include "tessaldo/launcher/posix_platform.h"
#endif

int main() {
#ifdef _WIN32
  tessaldo::launcher::Win32LauncherPlatform platform;
#else
  // The system directory is fixed when the project is built.
  tessaldo::launcher::PosixLauncherPlatform platform(TESSALDO_SYSTEM_DIR);
#endif
  const auto outcome = tessaldo::Module1::Avvia(platform);
  return outcome.ending == tessaldo::Module1::Ending::kCompleted ? 0 : 1;
}
