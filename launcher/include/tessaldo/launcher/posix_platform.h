#pragma once

#include <filesystem>
#include <ostream>
#include <span>
#include <string>

#include "tessaldo/launcher/launcher_platform.h"

namespace tessaldo::launcher {

// The launcher's operations on Linux and other POSIX systems. The system
// directory is the one the project was built for; programs start through
// posix_spawn, and the elevated restart goes through pkexec.
class PosixLauncherPlatform final : public LauncherPlatform {
 public:
  explicit PosixLauncherPlatform(std::string system_directory);

  std::size_t GetSystemDirectoryA(std::span<char> buffer) override;
  Result<std::string> ProgramDirectory() override;
  Result<std::uint32_t> FileAttributes(const std::string& path) override;
  Status FileCopy(const std::string& source, const std::string& destination) override;
  Status StartProgram(const std::string& application, const std::string& command_line,
                      WindowStyle style) override;
  void ShellExecuteA(std::intptr_t owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int show) override;

 private:
  std::string system_directory_;
};

// The registration program of the POSIX system directory, "regsvr32 [/s]
// file": the text component is part of the toolkit here, so registering
// only checks that `file` (a name relative to the system directory, or a
// path) is a file that lies in `system_directory`. Returns the exit status,
// 0 when it does; without "/s" a short message goes to `messages`.
int Regsvr32(std::span<const std::string> arguments, const std::filesystem::path& system_directory,
             std::ostream& messages);

}  // namespace tessaldo::launcher
