// The Win32 platform operations on real files and processes (run under Wine
// by the Windows build's tests).
#include "tessaldo/launcher/win32_platform.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "tessaldo/launcher/command_line.h"

namespace tessaldo::launcher {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The "key=value" lines of a mark, once it has appeared; polled until the
// deadline.
// The mark, once it can be read whole: the marker renames it into place, but
// the rename may still hold the file for a moment, so reading is retried.
std::optional<std::map<std::string, std::string>> AwaitMark(const fs::path& path) {
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  for (;;) {
    if (fs::exists(path)) {
      const std::string text = ReadFile(path);
      if (text.find("\nshow=") != std::string::npos && text.ends_with('\n')) {
        std::map<std::string, std::string> mark;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
          if (const auto equals = line.find('='); equals != std::string::npos) {
            mark[line.substr(0, equals)] = line.substr(equals + 1);
          }
        }
        return mark;
      }
    }
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(20ms);
  }
}

// The number of a failure; 0 for a success.
template <class T>
ErrorNumber ErrorOf(const Result<T>& result) {
  return result ? 0 : result.error();
}

class Win32Platform : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tessaldo-launcher-" + std::to_string(::GetCurrentProcessId()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string At(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
  Win32LauncherPlatform platform_;
};

TEST_F(Win32Platform, ReadsTheSystemDirectoryIntoTheBuffer) {
  std::array<char, 255> buffer;
  buffer.fill(' ');
  const std::size_t length = platform_.GetSystemDirectoryA(buffer);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, buffer.size());
  const std::string directory(buffer.data(), length);
  EXPECT_EQ(platform_.FileAttributes(directory).value_or(0) & kAttributeDirectory,
            kAttributeDirectory);
  std::array<char, 4> small;
  EXPECT_GT(platform_.GetSystemDirectoryA(small), small.size());
}

TEST_F(Win32Platform, ProgramDirectoryHoldsTheRunningExecutable) {
  const auto directory = platform_.ProgramDirectory();
  ASSERT_TRUE(directory.has_value());
  EXPECT_TRUE(fs::exists(*directory + "\\launcher_win32_tests.exe"));
  EXPECT_NE(directory->back(), '\\');
}

TEST_F(Win32Platform, ReportsAttributesAndTheirFailures) {
  WriteFile(dir_ / "file", "x");
  fs::create_directory(dir_ / "RICHTX32.OCX");
  EXPECT_EQ(platform_.FileAttributes(At("file")).value() & kAttributeDirectory, 0u);
  EXPECT_EQ(platform_.FileAttributes(At("RICHTX32.OCX")).value() & kAttributeDirectory,
            kAttributeDirectory);
  EXPECT_EQ(ErrorOf(platform_.FileAttributes(At("missing"))), kFileNotFound);
  EXPECT_EQ(ErrorOf(platform_.FileAttributes(At("no\\file"))), kPathNotFound);
}

TEST_F(Win32Platform, CopiesFilesAndReportsFailures) {
  const std::string content = std::string("control\0\r\n", 10) + std::string(100000, 'c');
  WriteFile(dir_ / "source", content);
  WriteFile(dir_ / "destination", "old");
  ASSERT_TRUE(platform_.FileCopy(At("source"), At("destination")));
  EXPECT_EQ(ReadFile(dir_ / "destination"), content);
  EXPECT_EQ(ErrorOf(platform_.FileCopy(At("missing"), At("x"))), kFileNotFound);
  EXPECT_EQ(ErrorOf(platform_.FileCopy(At("source"), At("no\\x"))), kPathNotFound);
}

TEST_F(Win32Platform, ReportsARefusedCopyWithTheNumbersThatElevate) {
  WriteFile(dir_ / "source", "new");
  WriteFile(dir_ / "held", "old");
  fs::create_directory(dir_ / "RICHTX32.OCX");
  // A destination held open without sharing: a sharing violation.
  const HANDLE held = ::CreateFileA(At("held").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ErrorOf(platform_.FileCopy(At("source"), At("held"))), kPathFileAccessError);
  ::CloseHandle(held);
  EXPECT_EQ(ReadFile(dir_ / "held"), "old");
  // A directory in the destination's place: access denied.
  EXPECT_EQ(ErrorOf(platform_.FileCopy(At("source"), At("RICHTX32.OCX"))), kPermissionDenied);
}

TEST_F(Win32Platform, StartsTheProgramInADirectoryWithBlanksWithItsWindowStyle) {
  const auto own = platform_.ProgramDirectory();
  ASSERT_TRUE(own.has_value());
  fs::create_directory(dir_ / "Tessaldo prova");
  fs::copy_file(*own + "\\launcher_mark.exe", dir_ / "Tessaldo prova" / "bin.exe");
  // What an unquoted command line without the application would start.
  fs::copy_file(*own + "\\launcher_mark.exe", dir_ / "Tessaldo.exe");
  const std::string bin = At("Tessaldo prova\\bin.exe");

  ASSERT_TRUE(platform_.StartProgram(bin, QuoteArgument(bin), WindowStyle::kMinimizedFocus));
  const auto mark = AwaitMark(bin + ".mark");
  ASSERT_TRUE(mark.has_value()) << "bin.exe left no mark";
  EXPECT_EQ(mark->at("cmd"), "\"" + bin + "\"");
  EXPECT_TRUE(fs::equivalent(mark->at("exe"), bin));
  EXPECT_EQ(mark->at("show"), "2");
  EXPECT_FALSE(fs::exists(dir_ / "Tessaldo.exe.mark"));

  fs::remove(bin + ".mark");
  ASSERT_TRUE(platform_.StartProgram(bin, "regsvr32 /s RICHTX32.OCX", WindowStyle::kNormalFocus));
  const auto second = AwaitMark(bin + ".mark");
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->at("cmd"), "regsvr32 /s RICHTX32.OCX");
  EXPECT_EQ(second->at("show"), "1");
}

TEST_F(Win32Platform, ReportsAProgramThatCannotStart) {
  WriteFile(dir_ / "plain.exe", "not a program");
  EXPECT_EQ(
      ErrorOf(platform_.StartProgram(At("missing.exe"), "missing", WindowStyle::kNormalFocus)),
      kFileNotFound);
  EXPECT_EQ(ErrorOf(platform_.StartProgram(At("no\\bin.exe"), "bin", WindowStyle::kNormalFocus)),
            kPathNotFound);
  const auto bad = platform_.StartProgram(At("plain.exe"), "plain", WindowStyle::kNormalFocus);
  ASSERT_FALSE(bad.has_value());
  EXPECT_FALSE(LeadsToElevation(bad.error()));
}

}  // namespace
}  // namespace tessaldo::launcher
