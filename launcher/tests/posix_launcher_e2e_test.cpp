// The POSIX launcher as a program: a test build of Tessaldo, whose compiled-in
// system directory lies in the build tree, is copied into a program
// directory with a blank in its name and run. The system directory's
// regsvr32 is a script that runs the project's companion and leaves a mark;
// `bin` is a marker program. The test process is a subreaper, so it can wait
// for every program the launcher started before it looks at the marks.
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "posix_test_support.h"

extern char** environ;

namespace tessaldo::launcher {
namespace {

using ::testing::ElementsAre;
using namespace test_support;  // NOLINT
using namespace std::chrono_literals;

constexpr const char* kLauncher = TESSALDO_E2E_LAUNCHER;
constexpr const char* kCompanion = TESSALDO_E2E_COMPANION;
constexpr const char* kMarker = TESSALDO_TEST_MARKER;
constexpr const char* kControl = TESSALDO_E2E_CONTROL;
constexpr const char* kSystemDirectory = TESSALDO_E2E_SYSTEM_DIR;

std::string SingleQuoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

class PosixLauncherEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    for (const fs::path& path : {root_, system_, fs::path(kCompanion)}) {
      ASSERT_EQ(path.string().find('\''), std::string::npos);
    }
    fs::create_directory(program_);
    fs::create_directory(marks_);
    fs::create_directory(root_ / "path");
    // Open to the unprivileged user of the refused copy, so that a program
    // started by mistake could still leave its mark.
    fs::permissions(program_, fs::perms::all);
    fs::permissions(marks_, fs::perms::all);

    fs::copy_file(kLauncher, program_ / "Tessaldo");
    fs::copy_file(kMarker, program_ / "bin");
    fs::copy_file(kControl, program_ / "RICHTX32.OCX");
    // Programs named like the registration where a search could find them.
    fs::copy_file(kMarker, program_ / "regsvr32");
    fs::copy_file(kMarker, root_ / "regsvr32");

    fs::remove_all(system_);
    fs::create_directories(system_);
    fs::permissions(system_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
    const fs::path mark = marks_ / "regsvr32.mark";
    WriteScript(system_ / "regsvr32", "#!/bin/sh\n" + SingleQuoted(kCompanion) +
                                          " \"$@\"\n"
                                          "status=$?\n"
                                          "{ printf 'exe=%s\\ncwd=%s\\n' \"$0\" \"$(pwd)\"\n"
                                          "  for a; do printf 'arg=%s\\n' \"$a\"; done\n"
                                          "  printf 'status=%s\\n' \"$status\"; } > " +
                                          SingleQuoted(mark.string() + ".tmp") + "\nmv " +
                                          SingleQuoted(mark.string() + ".tmp") + " " +
                                          SingleQuoted(mark) + "\nexit $status\n");
    WriteScript(root_ / "path" / "pkexec",
                "#!/bin/sh\n{ printf 'cwd=%s\\nuid=%s\\n' \"$(pwd)\" \"$(id -u)\"\n"
                "  for a; do printf 'arg=%s\\n' \"$a\"; done; } > " +
                    SingleQuoted(marks_ / "pkexec.mark") + "\n");
  }

  void TearDown() override {
    std::error_code ignored;
    fs::permissions(system_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(system_, ignored);
  }

  // Runs the launcher from `root_` with `path` as PATH, as an unprivileged
  // user when asked, and waits for it and everything it started. Returns its
  // exit status.
  int RunLauncher(const std::string& path, bool unprivileged = false) {
    std::vector<std::string> arguments;
    if (unprivileged) {
      arguments = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    arguments.push_back((program_ / "Tessaldo").string());
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
      if (std::string_view(*variable).starts_with("PATH=")) continue;
      environment.emplace_back(*variable);
    }
    environment.push_back("PATH=" + path);

    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addchdir_np(&actions, root_.c_str());
    pid_t launcher = 0;
    // setpriv is found on this process's PATH and hands `envp` on unchanged.
    const int error =
        ::posix_spawnp(&launcher, argv[0], &actions, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return -1;
    int status = 0;
    if (::waitpid(launcher, &status, 0) != launcher) return -1;
    EXPECT_TRUE(WaitForDescendants(30s)) << "a started program did not end";
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string FakePath() const { return (root_ / "path").string() + ":/usr/bin:/bin"; }

  void ExpectNoDecoy() {
    EXPECT_FALSE(fs::exists(program_ / "regsvr32.mark"));
    EXPECT_FALSE(fs::exists(root_ / "regsvr32.mark"));
  }

  void ExpectRegisteredAndStarted() {
    const auto registration = ReadMark(marks_ / "regsvr32.mark");
    ASSERT_TRUE(registration.has_value()) << "regsvr32 was not started";
    EXPECT_EQ(registration->exe, (system_ / "regsvr32").string());
    EXPECT_EQ(registration->cwd, root_.string());
    EXPECT_THAT(registration->args, ElementsAre("/s", "RICHTX32.OCX"));
    EXPECT_EQ(registration->status, "0") << "the companion did not find the control";

    const auto bin = ReadMark(program_ / "bin.mark");
    ASSERT_TRUE(bin.has_value()) << "bin was not started";
    EXPECT_EQ(bin->exe, (program_ / "bin").string());
    EXPECT_THAT(bin->args, ElementsAre((program_ / "bin").string()));
    ExpectNoDecoy();
    EXPECT_FALSE(fs::exists(marks_ / "pkexec.mark"));
  }

  TemporaryDirectory temporary_;
  const fs::path root_ = temporary_.path();
  const fs::path program_ = root_ / "Programmi Tessaldo";
  const fs::path marks_ = root_ / "marks";
  const fs::path system_ = kSystemDirectory;
};

TEST_F(PosixLauncherEndToEnd, InstallsTheControlRegistersItAndStartsBin) {
  EXPECT_EQ(RunLauncher(FakePath()), 0);
  EXPECT_EQ(ReadFile(system_ / "RICHTX32.OCX"), ReadFile(kControl));
  ExpectRegisteredAndStarted();
}

TEST_F(PosixLauncherEndToEnd, LeavesAnInstalledControlAsItIs) {
  WriteFile(system_ / "RICHTX32.OCX", "la copia di sistema");
  EXPECT_EQ(RunLauncher(FakePath()), 0);
  EXPECT_EQ(ReadFile(system_ / "RICHTX32.OCX"), "la copia di sistema");
  ExpectRegisteredAndStarted();
}

TEST_F(PosixLauncherEndToEnd, StartsNothingWhenTheControlIsMissingEverywhere) {
  fs::remove(program_ / "RICHTX32.OCX");
  EXPECT_EQ(RunLauncher(FakePath()), 1);
  EXPECT_FALSE(fs::exists(system_ / "RICHTX32.OCX"));
  EXPECT_FALSE(fs::exists(marks_ / "regsvr32.mark"));
  EXPECT_FALSE(fs::exists(program_ / "bin.mark"));
  EXPECT_FALSE(fs::exists(marks_ / "pkexec.mark"));
  ExpectNoDecoy();
}

// The system directory belongs to root and is not writable for others; the
// launcher runs as an unprivileged user (through setpriv when the test runs
// as root, for whom permission bits refuse nothing), so the copy meets
// EACCES, which is 70.
class PosixLauncherRefusedCopy : public PosixLauncherEndToEnd {
 protected:
  void SetUp() override {
    PosixLauncherEndToEnd::SetUp();
    if (::geteuid() != 0)
      fs::permissions(system_, fs::perms::owner_write, fs::perm_options::remove);
  }
  int RunRefused(const std::string& path) { return RunLauncher(path, ::geteuid() == 0); }
};

TEST_F(PosixLauncherRefusedCopy, AsksPkexecForTheElevatedRestart) {
  EXPECT_EQ(RunRefused(FakePath()), 1);
  const auto elevation = ReadMark(marks_ / "pkexec.mark");
  ASSERT_TRUE(elevation.has_value()) << "pkexec was not asked";
  EXPECT_THAT(elevation->args, ElementsAre((program_ / "Tessaldo").string()));
  EXPECT_EQ(elevation->cwd, program_.string());
  EXPECT_NE(elevation->uid, "0");
  EXPECT_FALSE(fs::exists(system_ / "RICHTX32.OCX"));
  EXPECT_FALSE(fs::exists(marks_ / "regsvr32.mark"));
  EXPECT_FALSE(fs::exists(program_ / "bin.mark"));
  ExpectNoDecoy();
}

TEST_F(PosixLauncherRefusedCopy, EndsSilentlyWithoutPkexec) {
  EXPECT_EQ(RunRefused("/nonexistent"), 1);
  EXPECT_FALSE(fs::exists(marks_ / "pkexec.mark"));
  EXPECT_FALSE(fs::exists(system_ / "RICHTX32.OCX"));
  EXPECT_FALSE(fs::exists(program_ / "bin.mark"));
}

}  // namespace
}  // namespace tessaldo::launcher
