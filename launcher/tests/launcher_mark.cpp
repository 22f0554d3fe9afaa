// A stand-in Windows program for the launcher's tests: it leaves "<executable>.mark" beside its
// executable with its command line and window style, renamed into place so that it is read whole.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

int main() {
  std::string executable(32768, '\0');
  executable.resize(::GetModuleFileNameA(nullptr, executable.data(), 32768));
  STARTUPINFOA startup{};
  ::GetStartupInfoA(&startup);
  const bool shown = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
  std::ofstream(executable + ".mark.tmp", std::ios::binary)
      << "cmd=" << ::GetCommandLineA()
      << "\nshow=" << (shown ? std::to_string(startup.wShowWindow) : "none") << "\n";
  std::error_code ignored;
  std::filesystem::rename(executable + ".mark.tmp", executable + ".mark", ignored);
}
