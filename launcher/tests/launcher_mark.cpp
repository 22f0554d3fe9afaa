// A stand-in program for the launcher's tests: it leaves "<executable>.mark"
// beside its own executable with its path, its working directory and its
// command line (on Windows also the window style it was given), then ends.
// The mark is renamed into place, so a test that sees it can read it whole.
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
  std::string executable;
  std::string text;
#ifdef _WIN32
  executable.resize(32768);
  executable.resize(::GetModuleFileNameA(nullptr, executable.data(), 32768));
  std::string directory(32768, '\0');
  directory.resize(::GetCurrentDirectoryA(32768, directory.data()));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  const bool shown = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
  text = "exe=" + executable + "\ncwd=" + directory + "\ncmd=" + ::GetCommandLineA() +
         "\nshow=" + (shown ? std::to_string(startup.wShowWindow) : "none") + "\n";
#else
  std::error_code error;
  executable = std::filesystem::read_symlink("/proc/self/exe", error).string();
  text = "exe=" + executable + "\ncwd=" + std::filesystem::current_path(error).string() + "\n";
  for (int i = 0; i < argc; ++i) text += std::string("arg=") + argv[i] + "\n";
#endif
  std::ofstream(executable + ".mark.tmp", std::ios::binary | std::ios::trunc) << text;
  std::error_code ignored;
  std::filesystem::rename(executable + ".mark.tmp", executable + ".mark", ignored);
  return 0;
}
