// A stand-in program for the launcher's tests: it leaves a mark beside its
// own executable, "<executable>.mark", with its path, its working directory
// and its command line (on Windows also the window style it was given), then
// ends. The mark appears whole (renamed into place), so a test that sees it
// can read it.
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

void LeaveMark(const std::string& executable, const std::string& text) {
  const std::string mark = executable + ".mark";
  const std::string temporary = mark + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
  }
  std::error_code ignored;
  std::filesystem::rename(temporary, mark, ignored);
}

}  // namespace

#ifdef _WIN32

int main() {
  std::string executable(32768, '\0');
  executable.resize(::GetModuleFileNameA(nullptr, executable.data(), 32768));
  std::string directory(32768, '\0');
  directory.resize(::GetCurrentDirectoryA(32768, directory.data()));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  const std::string show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0
                               ? std::to_string(startup.wShowWindow)
                               : std::string("none");
  LeaveMark(executable, "exe=" + executable + "\ncwd=" + directory +
                            "\ncmd=" + ::GetCommandLineA() + "\nshow=" + show + "\n");
  return 0;
}

#else

int main(int argc, char** argv) {
  std::error_code error;
  const std::string executable = std::filesystem::read_symlink("/proc/self/exe", error).string();
  std::string text =
      "exe=" + executable + "\ncwd=" + std::filesystem::current_path(error).string() + "\n";
  for (int i = 0; i < argc; ++i) text += std::string("arg=") + argv[i] + "\n";
  LeaveMark(executable, text);
  return 0;
}

#endif
