// The POSIX platform operations on real files and processes, and the
// project's regsvr32.
#include "tessaldo/launcher/posix_platform.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>

#include "posix_test_support.h"
#include "tessaldo/launcher/command_line.h"

namespace tessaldo::launcher {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace test_support;  // NOLINT
using namespace std::chrono_literals;

constexpr const char* kMarker = TESSALDO_TEST_MARKER;
constexpr uid_t kNobody = 65534;

// The number of a failure; 0 for a success.
template <class T>
ErrorNumber ErrorOf(const Result<T>& result) {
  return result ? 0 : result.error();
}

class PosixPlatform : public ::testing::Test {
 protected:
  TemporaryDirectory temporary_;
  const fs::path dir_ = temporary_.path();
  PosixLauncherPlatform platform_{(dir_ / "system").string()};
};

TEST_F(PosixPlatform, WritesTheSystemDirectoryWhenItFits) {
  std::array<char, 255> buffer;
  buffer.fill(' ');
  const std::string expected = (dir_ / "system").string();
  ASSERT_EQ(platform_.GetSystemDirectoryA(buffer), expected.size());
  EXPECT_EQ(std::string(buffer.data(), expected.size()), expected);

  PosixLauncherPlatform long_one(std::string(255, 'x'));
  buffer.fill(' ');
  EXPECT_EQ(long_one.GetSystemDirectoryA(buffer), 256u);
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), std::string(255, ' '));
}

TEST_F(PosixPlatform, ProgramDirectoryHoldsTheRunningExecutable) {
  const auto directory = platform_.ProgramDirectory();
  ASSERT_TRUE(directory.has_value());
  EXPECT_TRUE(fs::exists(fs::path(*directory) / "launcher_posix_tests"));
  EXPECT_NE(directory->back(), '/');
}

TEST_F(PosixPlatform, ReportsDirectoryAndReadOnlyAttributes) {
  WriteFile(dir_ / "file", "x");
  WriteFile(dir_ / "locked", "x");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::group_read);
  fs::create_directory(dir_ / "RICHTX32.OCX");
  EXPECT_EQ(platform_.FileAttributes((dir_ / "file").string()), kAttributeNormal);
  EXPECT_EQ(platform_.FileAttributes((dir_ / "locked").string()), kAttributeReadOnly);
  EXPECT_EQ(platform_.FileAttributes((dir_ / "RICHTX32.OCX").string()), kAttributeDirectory);
  EXPECT_EQ(ErrorOf(platform_.FileAttributes((dir_ / "missing").string())), kFileNotFound);
  EXPECT_EQ(ErrorOf(platform_.FileAttributes((dir_ / "file" / "below").string())), kPathNotFound);
}

TEST_F(PosixPlatform, CopiesAndReplacesWholeFiles) {
  std::string content(200 * 1024, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  WriteFile(dir_ / "source", content);
  WriteFile(dir_ / "destination", "old and longer than nothing");
  ASSERT_TRUE(platform_.FileCopy((dir_ / "source").string(), (dir_ / "destination").string()));
  EXPECT_EQ(ReadFile(dir_ / "destination"), content);
  ASSERT_TRUE(platform_.FileCopy((dir_ / "source").string(), (dir_ / "fresh").string()));
  EXPECT_EQ(ReadFile(dir_ / "fresh"), content);
  EXPECT_EQ(fs::status(dir_ / "fresh").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
  // Nothing but the three files: no temporary copy left over.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);
}

TEST_F(PosixPlatform, ReportsCopyFailuresWithoutLeavingAPartialFile) {
  WriteFile(dir_ / "source", "control");
  WriteFile(dir_ / "plain", "x");
  fs::create_directory(dir_ / "taken");
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  const auto source = (dir_ / "source").string();
  EXPECT_EQ(ErrorOf(platform_.FileCopy((dir_ / "missing").string(), source)), kFileNotFound);
  EXPECT_EQ(ErrorOf(platform_.FileCopy(source, (dir_ / "no" / "x").string())), kPathNotFound);
  EXPECT_EQ(ErrorOf(platform_.FileCopy(source, (dir_ / "plain" / "x").string())), kPathNotFound);
  EXPECT_EQ(ErrorOf(platform_.FileCopy(source, (dir_ / "taken").string())), kPathFileAccessError);
  EXPECT_EQ(ErrorOf(platform_.FileCopy((dir_ / "taken").string(), (dir_ / "y").string())),
            kPathFileAccessError);
  // A FIFO in the source's place is refused at once instead of blocking.
  EXPECT_EQ(ErrorOf(platform_.FileCopy((dir_ / "fifo").string(), (dir_ / "y").string())),
            kPathFileAccessError);
  EXPECT_TRUE(fs::is_empty(dir_ / "taken"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);
}

TEST_F(PosixPlatform, StartsAProgramWithItsCommandLineWithoutWaiting) {
  // The started script blocks until this test writes into its FIFO, so the
  // call can only return if it does not wait.
  const fs::path blanks = dir_ / "Tessaldo prova";
  fs::create_directory(blanks);
  const fs::path script = blanks / "attende";
  WriteScript(script, "#!/bin/sh\nread line < \"$1\"\necho \"$line $0\" > \"$2\"\n");
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(platform_.StartProgram(script.string(),
                                     QuoteArgument(script.string()) + " " +
                                         QuoteArgument(fifo.string()) + " " +
                                         QuoteArgument((dir_ / "out").string()),
                                     WindowStyle::kMinimizedFocus));
  int fd = -1;
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while ((fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) < 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_GE(fd, 0) << "the program did not open its FIFO";
  ASSERT_EQ(::write(fd, "via\n", 4), 4);
  ::close(fd);
  ASSERT_TRUE(WaitForDescendants(20s));
  EXPECT_EQ(ReadFile(dir_ / "out"), "via " + script.string() + "\n");
}

TEST_F(PosixPlatform, StartsTheNamedExecutableWhateverTheCommandLineSays) {
  const fs::path blanks = dir_ / "Tessaldo prova";
  fs::create_directory(blanks);
  fs::copy_file(kMarker, blanks / "bin");
  fs::copy_file(kMarker, dir_ / "regsvr32");
  ASSERT_TRUE(platform_.StartProgram((blanks / "bin").string(), "regsvr32 /s \"RICHTX32 .OCX\"",
                                     WindowStyle::kNormalFocus));
  ASSERT_TRUE(WaitForDescendants(20s));
  const auto mark = ReadMark(blanks / "bin.mark");
  ASSERT_TRUE(mark.has_value());
  EXPECT_EQ(mark->exe, (blanks / "bin").string());
  EXPECT_THAT(mark->args, ElementsAre("regsvr32", "/s", "RICHTX32 .OCX"));
  EXPECT_FALSE(fs::exists(dir_ / "regsvr32.mark"));
}

TEST_F(PosixPlatform, ReportsAProgramThatCannotStart) {
  WriteFile(dir_ / "plain", "not a program");
  const auto start = [&](const fs::path& application) {
    return platform_.StartProgram(application.string(), QuoteArgument(application.string()),
                                  WindowStyle::kNormalFocus);
  };
  EXPECT_EQ(ErrorOf(start(dir_ / "missing")), kFileNotFound);
  EXPECT_EQ(ErrorOf(start(dir_ / "plain")), kPermissionDenied);
  EXPECT_EQ(ErrorOf(start(dir_)), kPermissionDenied);
  EXPECT_TRUE(WaitForDescendants(5s));
}

// ShellExecuteA "runas" runs pkexec from PATH with the launcher's path,
// in the program directory. It is run in a child process as an
// unprivileged user where the test runs as root.
class PosixElevation : public PosixPlatform {
 protected:
  void SetUp() override {
    fs::create_directory(dir_ / "path");
    fs::create_directory(dir_ / "marks");
    fs::create_directory(dir_ / "Programmi Tessaldo");
    fs::permissions(dir_ / "marks", fs::perms::all);
    WriteScript(dir_ / "path" / "pkexec",
                "#!/bin/sh\n{ printf 'cwd=%s\\nuid=%s\\n' \"$(pwd)\" \"$(id -u)\"\n"
                "  for a; do printf 'arg=%s\\n' \"$a\"; done; } > '" +
                    (dir_ / "marks" / "pkexec.mark").string() + "'\n");
  }

  // Calls ShellExecuteA in a child with `path` as PATH, as `uid`.
  void ShellExecuteAs(uid_t uid, const std::string& path, const std::string& verb,
                      const std::string& parameters) {
    const std::string program = (dir_ / "Programmi Tessaldo").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::setenv("PATH", path.c_str(), 1);
      if (uid != ::geteuid() && (::setgroups(0, nullptr) != 0 || ::setresgid(uid, uid, uid) != 0 ||
                                 ::setresuid(uid, uid, uid) != 0)) {
        ::_exit(2);
      }
      platform_.ShellExecuteA(0, verb, program + "/Tessaldo", parameters, program, kShowNormal);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  uid_t Unprivileged() const { return ::geteuid() == 0 ? kNobody : ::geteuid(); }
  std::string FakePath() const { return (dir_ / "path").string() + ":/usr/bin:/bin"; }
};

TEST_F(PosixElevation, RunsPkexecFromPathInTheProgramDirectory) {
  ShellExecuteAs(Unprivileged(), FakePath(), "runas", "");
  const auto mark = ReadMark(dir_ / "marks" / "pkexec.mark");
  ASSERT_TRUE(mark.has_value());
  EXPECT_EQ(mark->cwd, (dir_ / "Programmi Tessaldo").string());
  EXPECT_EQ(mark->uid, std::to_string(Unprivileged()));
  // The empty parameters add no argument.
  EXPECT_THAT(mark->args, ElementsAre((dir_ / "Programmi Tessaldo" / "Tessaldo").string()));
}

TEST_F(PosixElevation, PassesParametersAsArguments) {
  ShellExecuteAs(Unprivileged(), FakePath(), "runas", "\"a b\" c");
  const auto mark = ReadMark(dir_ / "marks" / "pkexec.mark");
  ASSERT_TRUE(mark.has_value());
  EXPECT_THAT(mark->args,
              ElementsAre((dir_ / "Programmi Tessaldo" / "Tessaldo").string(), "a b", "c"));
}

TEST_F(PosixElevation, DoesNothingWithoutPkexecOrForOtherVerbs) {
  ShellExecuteAs(Unprivileged(), (dir_ / "marks").string(), "runas", "");
  ShellExecuteAs(Unprivileged(), FakePath(), "open", "");
  EXPECT_FALSE(fs::exists(dir_ / "marks" / "pkexec.mark"));
}

TEST_F(PosixElevation, DoesNotAskAgainWhenAlreadyRoot) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root";
  ShellExecuteAs(0, FakePath(), "runas", "");
  EXPECT_FALSE(fs::exists(dir_ / "marks" / "pkexec.mark"));
}

class Regsvr32Companion : public PosixPlatform {
 protected:
  void SetUp() override {
    fs::create_directory(system_);
    WriteFile(system_ / "RICHTX32.OCX", "control");
    fs::create_directory(system_ / "CARTELLA.OCX");
    WriteFile(dir_ / "FUORI.OCX", "outside");
  }
  int Run(std::vector<std::string> arguments) {
    messages_.str("");
    return Regsvr32(arguments, system_, messages_);
  }
  const fs::path system_ = dir_ / "system";
  std::ostringstream messages_;
};

TEST_F(Regsvr32Companion, AcceptsAFileOfTheSystemDirectory) {
  EXPECT_EQ(Run({"/s", "RICHTX32.OCX"}), 0);
  EXPECT_EQ(messages_.str(), "");
  EXPECT_EQ(Run({"RICHTX32.OCX", "-S"}), 0);
  EXPECT_EQ(messages_.str(), "");
  EXPECT_EQ(Run({"/s", (system_ / "RICHTX32.OCX").string()}), 0);
  EXPECT_EQ(Run({"RICHTX32.OCX"}), 0);
  EXPECT_EQ(messages_.str(), "regsvr32: RICHTX32.OCX registrato\n");
}

TEST_F(Regsvr32Companion, RefusesWhatIsNotAFileOfTheSystemDirectory) {
  for (const std::string& name :
       std::vector<std::string>{"MANCA.OCX", "CARTELLA.OCX", "../FUORI.OCX",
                                (dir_ / "FUORI.OCX").string(), "/s/RICHTX32.OCX"}) {
    EXPECT_EQ(Run({"/s", name}), 3) << name;
    EXPECT_EQ(messages_.str(), "") << name;
  }
  EXPECT_EQ(Run({"MANCA.OCX"}), 3);
  EXPECT_EQ(messages_.str(), "regsvr32: MANCA.OCX non è nella cartella di sistema\n");
}

TEST_F(Regsvr32Companion, WantsExactlyOneFile) {
  EXPECT_EQ(Run({}), 1);
  EXPECT_EQ(messages_.str(), "Uso: regsvr32 [/s] file\n");
  EXPECT_EQ(Run({"/s"}), 1);
  EXPECT_EQ(messages_.str(), "");
  EXPECT_EQ(Run({"/s", "RICHTX32.OCX", "RICHTX32.OCX"}), 1);
  EXPECT_EQ(Run({"/s", ""}), 1);
}

}  // namespace
}  // namespace tessaldo::launcher
