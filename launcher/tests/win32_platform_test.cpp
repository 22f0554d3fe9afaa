// The Win32 platform operations on real files and processes, under Wine in
// the Windows build; their successful use is shown end to end by
// wine_launcher_e2e.sh, their failures and error numbers here.
#include "tessaldo/launcher/win32_platform.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tessaldo::launcher {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The number of a failure; 0 for a success.
template <class T>
ErrorNumber ErrorOf(const Result<T>& result) {
  return result ? 0 : result.error();
}

class Win32Platform : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "RICHTX32.OCX");
    WriteFile(dir_ / "source", content_);
    WriteFile(dir_ / "held", "old");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string At(const std::string& name) const { return (dir_ / name).string(); }

  const fs::path dir_ =
      fs::temp_directory_path() / ("tessaldo-launcher-" + std::to_string(::GetCurrentProcessId()));
  const std::string content_ = std::string("control\0\r\n", 10) + std::string(100000, 'c');
  Win32LauncherPlatform platform_;
};

TEST_F(Win32Platform, ReportsAttributesAndTheirFailures) {
  EXPECT_EQ(platform_.FileAttributes(At("source")).value() & kAttributeDirectory, 0u);
  EXPECT_EQ(platform_.FileAttributes(At("RICHTX32.OCX")).value() & kAttributeDirectory,
            kAttributeDirectory);
  EXPECT_EQ(ErrorOf(platform_.FileAttributes(At("missing"))), kFileNotFound);
  EXPECT_EQ(ErrorOf(platform_.FileAttributes(At("no\\file"))), kPathNotFound);
}

TEST_F(Win32Platform, CopiesFilesAndReportsFailuresWithTheNumbersThatElevate) {
  ASSERT_TRUE(platform_.FileCopy(At("source"), At("destination")));
  EXPECT_EQ(ReadFile(dir_ / "destination"), content_);
  EXPECT_EQ(ErrorOf(platform_.FileCopy(At("missing"), At("x"))), kFileNotFound);
  EXPECT_EQ(ErrorOf(platform_.FileCopy(At("source"), At("no\\x"))), kPathNotFound);
  // A directory in the destination's place: access denied.
  EXPECT_EQ(ErrorOf(platform_.FileCopy(At("source"), At("RICHTX32.OCX"))), kPermissionDenied);
  // A destination held open without sharing: a sharing violation.
  const HANDLE held = ::CreateFileA(At("held").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ErrorOf(platform_.FileCopy(At("source"), At("held"))), kPathFileAccessError);
  ::CloseHandle(held);
  EXPECT_EQ(ReadFile(dir_ / "held"), "old");
}

TEST_F(Win32Platform, ReportsAProgramThatCannotStart) {
  EXPECT_EQ(ErrorOf(platform_.StartProgram(At("missing.exe"), "m", WindowStyle::kNormalFocus)),
            kFileNotFound);
  EXPECT_EQ(ErrorOf(platform_.StartProgram(At("no\\bin.exe"), "b", WindowStyle::kNormalFocus)),
            kPathNotFound);
  // Not a program: a failure, but none that elevates.
  WriteFile(dir_ / "plain.exe", "not a program");
  const auto bad = platform_.StartProgram(At("plain.exe"), "plain", WindowStyle::kNormalFocus);
  ASSERT_FALSE(bad.has_value());
  EXPECT_FALSE(LeadsToElevation(bad.error()));
}

}  // namespace
}  // namespace tessaldo::launcher
