// The Win32 launcher platform's file copy on real files (under Wine in the cross build): the copy
// lands whole and writable, and no failure leaves its temporary file beside the destination.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tessaldo/launcher/system_platform.h"

namespace tessaldo::launcher {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

bool ReadOnly(const fs::path& file) {
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

class FileCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    Clear();
    fs::create_directories(program_);
    fs::create_directories(system_);
    std::ofstream(source_, std::ios::binary) << std::string(100'000, 'x') << "fine";
  }
  void TearDown() override { Clear(); }
  // Read-only files first made writable, so that they can go.
  void Clear() {
    if (!fs::exists(root_)) return;
    for (const auto& entry : fs::recursive_directory_iterator(root_)) MakeReadOnly(entry, false);
    fs::remove_all(root_);
  }
  static void MakeReadOnly(const fs::path& file, bool read_only) {
    ::SetFileAttributesW(file.c_str(), read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
  }
  Status Copy(const fs::path& from, const fs::path& to) {
    return platform_->FileCopy(from.string(), to.string());
  }

  fs::path root_ = fs::temp_directory_path() / "tessaldo-copia";
  fs::path program_ = root_ / "Programmi Tessaldo";
  fs::path system_ = root_ / "system32";
  fs::path source_ = program_ / "RICHTX32.OCX";
  fs::path destination_ = system_ / "RICHTX32.OCX";
  std::unique_ptr<LauncherPlatform> platform_ = MakeSystemLauncherPlatform({}, "", "");
};

TEST_F(FileCopy, ReadOnlySourceLandsWholeAndWritable) {
  for (const bool read_only : {false, true}) {
    SCOPED_TRACE(read_only ? "read-only source" : "plain source");
    fs::remove(destination_);
    MakeReadOnly(source_, read_only);
    ASSERT_TRUE(Copy(source_, destination_));
    EXPECT_EQ(Contents(destination_), Contents(source_));
    EXPECT_FALSE(ReadOnly(destination_));
    EXPECT_EQ(Entries(system_), std::vector<std::string>{"RICHTX32.OCX"});
    EXPECT_EQ(ReadOnly(source_), read_only);  // the source is left as it was
  }
}

// The failures each end with the system folder as it was: the move into place refused (a folder
// of the control's name), the source missing, the destination's folder missing.
TEST_F(FileCopy, EveryFailureDeletesTheTemporaryFile) {
  fs::create_directories(destination_ / "dentro");
  for (const bool read_only : {false, true}) {
    SCOPED_TRACE(read_only ? "read-only source" : "plain source");
    MakeReadOnly(source_, read_only);
    const Status moved = Copy(source_, destination_);
    ASSERT_FALSE(moved);
    EXPECT_TRUE(LeadsToElevation(moved.error())) << moved.error();
    EXPECT_EQ(Entries(system_), std::vector<std::string>{"RICHTX32.OCX"});
    EXPECT_TRUE(fs::is_directory(destination_));
  }
  fs::remove_all(destination_);
  EXPECT_EQ(Copy(program_ / "manca.ocx", destination_), Failed(kFileNotFound));
  EXPECT_EQ(Copy(source_, root_ / "manca" / "RICHTX32.OCX"), Failed(kPathNotFound));
  EXPECT_TRUE(Entries(system_).empty());
}

// The kind of run: the restart's mark, which the platform takes out of the environment that
// bin inherits; else the token's elevation, as the shell tells it.
TEST(Win32Platform, KnowsTheRestartAndAnElevatedUser) {
  constexpr char kMark[] = "TESSALDO_RIAVVIO_ELEVATO";
  const bool elevated = ::IsUserAnAdmin() != FALSE;
  EXPECT_EQ(MakeSystemLauncherPlatform({}, "", "")->Kind(),
            elevated ? RunKind::kElevated : RunKind::kUser);
  ::SetEnvironmentVariableA(kMark, "1");
  const auto restarted = MakeSystemLauncherPlatform({}, "", "");
  EXPECT_EQ(::GetEnvironmentVariableA(kMark, nullptr, 0), 0u);
  EXPECT_EQ(restarted->Kind(), RunKind::kElevatedRestart);
}

}  // namespace
}  // namespace tessaldo::launcher
