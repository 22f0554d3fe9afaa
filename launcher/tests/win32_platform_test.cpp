// The Win32 launcher platform as a program that is not the installed launcher meets it (under
// Wine in the cross build); its copy and the installed launcher are in wine_launcher_e2e.sh.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tessaldo/launcher/system_platform.h"

namespace tessaldo::launcher {
namespace {

// The kind of run: the elevated step's marker first, else the token's elevation as the shell
// tells it. This program may not act on the system and asks for no rights, not even for itself;
// its folder is its file's, resolved.
TEST(Win32Platform, KnowsTheStepAndActsOnlyAsTheInstalledLauncher) {
  std::string self(MAX_PATH, '\0'), step = "--passo-elevato";
  self.resize(::GetModuleFileNameA(nullptr, self.data(), MAX_PATH));
  char* const arguments[] = {self.data(), step.data(), step.data()};
  const auto user = MakeSystemLauncherPlatform({arguments, 1}, "", "");
  EXPECT_EQ(user->Kind(), ::IsUserAnAdmin() ? RunKind::kElevated : RunKind::kUser);
  EXPECT_EQ(MakeSystemLauncherPlatform({arguments, 2}, "", "")->Kind(), RunKind::kElevatedRestart);
  EXPECT_FALSE(user->ActsOnSystem());
  const std::string folder = std::filesystem::path(self).parent_path().string();
  EXPECT_FALSE(user->ShellExecuteA(0, "runas", self, step, folder, 1));
  EXPECT_EQ(user->ProgramDirectory().value_or(""), folder);
}

}  // namespace
}  // namespace tessaldo::launcher
