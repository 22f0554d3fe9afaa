#pragma once

#include <string>

#include "tessaldo/launcher/launcher_platform.h"

namespace tessaldo::launcher {

// The launcher's operations through kernel32 and shell32.
class Win32LauncherPlatform final : public LauncherPlatform {
 public:
  std::size_t GetSystemDirectoryA(std::span<char> buffer) override;
  Result<std::string> ProgramDirectory() override;
  Result<std::uint32_t> FileAttributes(const std::string& path) override;
  Status FileCopy(const std::string& source, const std::string& destination) override;
  Status StartProgram(const std::string& application, const std::string& command_line,
                      WindowStyle style) override;
  void ShellExecuteA(std::intptr_t owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int show) override;
};

}  // namespace tessaldo::launcher
