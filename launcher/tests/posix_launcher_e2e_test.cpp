// The POSIX launcher as a program: a test build of Tessaldo, whose compiled-in
// system directory lies in the build tree, is copied into a program
// directory with a blank in its name and run. The system directory's
// regsvr32 is a script that runs the project's companion and leaves a mark;
// `bin` is a marker program. The test process is a subreaper, so it can wait
// for every program the launcher started before it looks at the marks.
#include <sys/prctl.h>

#include <gtest/gtest.h>

#include <string>

#include "posix_test_support.h"

namespace tessaldo::launcher {
namespace {

using namespace test_support;  // NOLINT
using namespace std::chrono_literals;

constexpr const char* kControl = TESSALDO_E2E_CONTROL;

class PosixLauncherEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    fs::create_directories(program_);
    fs::create_directories(marks_);
    fs::create_directories(root_ / "path");
    // Open to the unprivileged user of the refused copy, so that a program
    // started by mistake could still leave its mark.
    fs::permissions(program_, fs::perms::all);
    fs::permissions(marks_, fs::perms::all);
    fs::copy_file(TESSALDO_E2E_LAUNCHER, program_ / "Tessaldo");
    fs::copy_file(TESSALDO_TEST_MARKER, program_ / "bin");
    fs::copy_file(kControl, program_ / "RICHTX32.OCX");
    // Programs named like the registration where a search could find them.
    fs::copy_file(TESSALDO_TEST_MARKER, program_ / "regsvr32");
    fs::copy_file(TESSALDO_TEST_MARKER, root_ / "regsvr32");

    fs::remove_all(system_);
    fs::create_directories(system_);
    fs::permissions(system_, static_cast<fs::perms>(0755));
    WriteMarkingScript(system_ / "regsvr32", marks_ / "regsvr32.mark",
                       "'" TESSALDO_E2E_COMPANION "' \"$@\"");
    WriteMarkingScript(root_ / "path" / "pkexec", marks_ / "pkexec.mark");
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
    const std::string launcher = (program_ / "Tessaldo").string();
    const int status = RunInChild(unprivileged ? 65534 : ::geteuid(), path, root_,
                                  [&] { ::execl(launcher.c_str(), launcher.c_str(), nullptr); });
    EXPECT_TRUE(WaitForDescendants(30s)) << "a started program did not end";
    return status;
  }

  std::string FakePath() const { return (root_ / "path").string() + ":/usr/bin:/bin"; }

  // Which of the programs left a mark; none of the decoys did.
  void ExpectStarted(bool registration, bool bin, bool pkexec) {
    EXPECT_EQ(fs::exists(marks_ / "regsvr32.mark"), registration);
    EXPECT_EQ(fs::exists(program_ / "bin.mark"), bin);
    EXPECT_EQ(fs::exists(marks_ / "pkexec.mark"), pkexec);
    EXPECT_FALSE(fs::exists(program_ / "regsvr32.mark"));
    EXPECT_FALSE(fs::exists(root_ / "regsvr32.mark"));
  }

  // The copy refused: the system directory belongs to root and is not
  // writable for others, and the launcher runs as an unprivileged user (when
  // the test runs as root, for whom permission bits refuse nothing), so the
  // copy meets EACCES, which is 70.
  int RunRefused(const std::string& path) {
    if (::geteuid() != 0) {
      fs::permissions(system_, fs::perms::owner_write, fs::perm_options::remove);
    }
    return RunLauncher(path, ::geteuid() == 0);
  }

  // The registration from the system directory, which found the control,
  // and `bin` with its quoted path as its command line.
  void ExpectRegisteredAndStarted() {
    ExpectStarted(true, true, false);
    const std::string uid = std::to_string(::geteuid());
    const std::string bin = (program_ / "bin").string();
    EXPECT_EQ(ReadFile(marks_ / "regsvr32.mark"),
              MarkText({"exe=" + (system_ / "regsvr32").string(), "cwd=" + root_.string(),
                        "uid=" + uid, "status=0", "arg=/s", "arg=RICHTX32.OCX"}));
    EXPECT_EQ(ReadFile(program_ / "bin.mark"),
              MarkText({"exe=" + bin, "cwd=" + root_.string(), "arg=" + bin}));
  }

  TemporaryDirectory temporary_;
  const fs::path root_ = temporary_.path();
  const fs::path program_ = root_ / "Programmi Tessaldo";
  const fs::path marks_ = root_ / "marks";
  const fs::path system_ = TESSALDO_E2E_SYSTEM_DIR;
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
  ExpectStarted(false, false, false);
}

TEST_F(PosixLauncherEndToEnd, RefusedCopyAsksPkexecForTheElevatedRestart) {
  EXPECT_EQ(RunRefused(FakePath()), 1);
  EXPECT_FALSE(fs::exists(system_ / "RICHTX32.OCX"));
  ExpectStarted(false, false, true);
  const uid_t unprivileged = ::geteuid() == 0 ? 65534 : ::geteuid();
  EXPECT_EQ(ReadFile(marks_ / "pkexec.mark"),
            MarkText({"exe=" + (root_ / "path" / "pkexec").string(), "cwd=" + program_.string(),
                      "uid=" + std::to_string(unprivileged), "status=0",
                      "arg=" + (program_ / "Tessaldo").string()}));
}

TEST_F(PosixLauncherEndToEnd, RefusedCopyEndsSilentlyWithoutPkexec) {
  EXPECT_EQ(RunRefused("/nonexistent"), 1);
  EXPECT_FALSE(fs::exists(system_ / "RICHTX32.OCX"));
  ExpectStarted(false, false, false);
}

}  // namespace
}  // namespace tessaldo::launcher
