// The Win32 launcher platform as a program that is not the installed launcher meets it (under
// Wine in the cross build); the step's marker, what acts on the system and the program's folder
// are in wine_launcher_e2e.sh.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tessaldo/launcher/system_platform.h"

namespace tessaldo::launcher {
namespace {

// Without the elevated step's marker the kind of run is the token's elevation as the shell tells
// it. This program, not the installed launcher, asks for no rights, not even for itself.
TEST(Win32Platform, KnowsTheTokenAndAsksOnlyAsTheInstalledLauncher) {
  std::string self(MAX_PATH, '\0'), step = "--passo-elevato";
  self.resize(::GetModuleFileNameA(nullptr, self.data(), MAX_PATH));
  char* const arguments[] = {self.data()};
  const auto user = MakeSystemLauncherPlatform(arguments, "", "");
  EXPECT_EQ(user->Kind(), ::IsUserAnAdmin() ? RunKind::kElevated : RunKind::kUser);
  const std::string folder = std::filesystem::path(self).parent_path().string();
  EXPECT_FALSE(user->ShellExecuteA(0, "runas", self, step, folder, 1));
}

}  // namespace
}  // namespace tessaldo::launcher
