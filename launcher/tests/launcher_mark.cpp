// A stand-in Windows program for the launcher's tests: it leaves "<executable>.mark" beside its
// own executable with its command line and the window style it was given, then ends. The mark is
// renamed into place, so a test that sees it can read it whole.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

int main() {
  std::string executable(32768, '\0');
  executable.resize(::GetModuleFileNameA(nullptr, executable.data(), 32768));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  const bool shown = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
  std::ofstream(executable + ".mark.tmp", std::ios::binary)
      << "cmd=" << ::GetCommandLineA()
      << "\nshow=" << (shown ? std::to_string(startup.wShowWindow) : "none") << "\n";
  std::error_code ignored;
  std::filesystem::rename(executable + ".mark.tmp", executable + ".mark", ignored);
  return 0;
}
