// The POSIX platform operations on real files and processes, and the
// project's regsvr32.
#include "tessaldo/launcher/posix_platform.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>

#include "posix_test_support.h"
#include "tessaldo/launcher/command_line.h"

namespace tessaldo::launcher {
namespace {

using namespace test_support;  // NOLINT
using namespace std::chrono_literals;

// The number of a failure; 0 for a success.
template <class T>
ErrorNumber ErrorOf(const Result<T>& result) {
  return result ? 0 : result.error();
}

class PosixPlatform : public ::testing::Test {
 protected:
  std::size_t Entries() const {
    return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
  }

  TemporaryDirectory temporary_;
  const fs::path dir_ = temporary_.path();
  PosixLauncherPlatform platform_{(dir_ / "system").string()};
};

// As GetSystemDirectoryA: the path and its terminating zero must fit.
TEST_F(PosixPlatform, LeavesTheBufferAloneWhenTheSystemDirectoryDoesNotFit) {
  std::array<char, 255> buffer;
  buffer.fill(' ');
  EXPECT_EQ(PosixLauncherPlatform(std::string(255, 'x')).GetSystemDirectoryA(buffer), 256u);
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), std::string(255, ' '));
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
  for (const char* destination : {"destination", "fresh"}) {
    ASSERT_TRUE(platform_.FileCopy((dir_ / "source").string(), (dir_ / destination).string()));
    EXPECT_EQ(ReadFile(dir_ / destination), content);
  }
  EXPECT_EQ(fs::status(dir_ / "fresh").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
  EXPECT_EQ(Entries(), 3u) << "a temporary copy was left over";
}

TEST_F(PosixPlatform, ReportsCopyFailuresWithoutLeavingAPartialFile) {
  WriteFile(dir_ / "source", "control");
  WriteFile(dir_ / "plain", "x");
  fs::create_directory(dir_ / "taken");
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  struct Case {
    const char* source;
    const char* destination;
    ErrorNumber error;
  };
  // A FIFO in the source's place is refused at once instead of blocking.
  for (const Case& c : {Case{"missing", "source", kFileNotFound}, Case{"source", "no/x", 76},
                        Case{"source", "plain/x", 76}, Case{"source", "taken", 75},
                        Case{"taken", "y", 75}, Case{"fifo", "y", 75}}) {
    EXPECT_EQ(
        ErrorOf(platform_.FileCopy((dir_ / c.source).string(), (dir_ / c.destination).string())),
        c.error)
        << c.source << " to " << c.destination;
  }
  EXPECT_TRUE(fs::is_empty(dir_ / "taken"));
  EXPECT_EQ(Entries(), 4u);
}

TEST_F(PosixPlatform, StartsAProgramWithItsCommandLineWithoutWaiting) {
  // The script blocks until this test writes into its FIFO, so the call can
  // only return if it does not wait.
  fs::create_directory(dir_ / "Tessaldo prova");
  const fs::path script = dir_ / "Tessaldo prova" / "attende";
  const fs::path fifo = dir_ / "fifo";
  WriteScript(script, "#!/bin/sh\nread line < \"$1\"\necho \"$line $0\" > \"$2\"\n");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int fd = ::open(fifo.c_str(), O_RDWR);  // opens at once, without a reader
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(platform_.StartProgram(script.string(),
                                     QuoteArgument(script.string()) + " " +
                                         QuoteArgument(fifo.string()) + " " +
                                         QuoteArgument((dir_ / "out").string()),
                                     WindowStyle::kMinimizedFocus));
  ASSERT_EQ(::write(fd, "via\n", 4), 4);
  EXPECT_TRUE(WaitForDescendants(20s));
  ::close(fd);
  EXPECT_EQ(ReadFile(dir_ / "out"), "via " + script.string() + "\n");
}

TEST_F(PosixPlatform, ReportsAProgramThatCannotStart) {
  WriteFile(dir_ / "plain", "not a program");
  for (const auto& [name, error] :
       {std::pair{"missing", kFileNotFound}, std::pair{"plain", kPermissionDenied},
        std::pair{".", kPermissionDenied}}) {
    const std::string application = (dir_ / name).string();
    EXPECT_EQ(ErrorOf(platform_.StartProgram(application, QuoteArgument(application),
                                             WindowStyle::kNormalFocus)),
              error)
        << name;
  }
  EXPECT_TRUE(WaitForDescendants(5s));
}

// ShellExecuteA "runas" runs pkexec from PATH with the launcher's path and
// the parameters split as a command line, in the program directory; not for
// other verbs, and not as root. Each call runs in a child process, as an
// unprivileged user where the test runs as root.
TEST_F(PosixPlatform, ElevatesThroughPkexecFromPathInTheProgramDirectory) {
  const fs::path program = dir_ / "Programmi Tessaldo";
  const fs::path mark = dir_ / "marks" / "pkexec.mark";
  fs::create_directories(program);
  fs::create_directories(mark.parent_path());
  fs::permissions(mark.parent_path(), fs::perms::all);
  WriteMarkingScript(dir_ / "pkexec", mark);
  const uid_t unprivileged = ::geteuid() == 0 ? 65534 : ::geteuid();
  const std::string launcher = (program / "Tessaldo").string();
  struct Case {
    uid_t uid;
    const char* verb;
    std::vector<std::string> arguments;  // empty: pkexec is not run
  };
  std::vector<Case> cases = {{unprivileged, "runas", {launcher, "a b", "c"}},
                             {unprivileged, "open", {}}};
  if (::geteuid() == 0) cases.push_back({0, "runas", {}});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.verb) + " as " + std::to_string(c.uid));
    fs::remove(mark);
    ASSERT_EQ(RunInChild(c.uid, dir_.string() + ":/usr/bin:/bin", dir_,
                         [&] {
                           platform_.ShellExecuteA(0, c.verb, launcher, "\"a b\" c",
                                                   program.string(), kShowNormal);
                           ::_exit(0);
                         }),
              0);
    if (c.arguments.empty()) {
      EXPECT_FALSE(fs::exists(mark));
      continue;
    }
    std::string text = MarkText({"exe=" + (dir_ / "pkexec").string(), "cwd=" + program.string(),
                                 "uid=" + std::to_string(c.uid), "status=0"});
    for (const auto& argument : c.arguments) text += MarkText({"arg=" + argument});
    EXPECT_EQ(ReadFile(mark), text);
  }
}

TEST_F(PosixPlatform, Regsvr32AcceptsOnlyOneFileOfTheSystemDirectory) {
  const fs::path system = dir_ / "system";
  fs::create_directories(system / "CARTELLA.OCX");
  WriteFile(system / "RICHTX32.OCX", "control");
  WriteFile(dir_ / "FUORI.OCX", "outside");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string messages;
  };
  for (const Case& c : std::vector<Case>{
           {{"/s", "RICHTX32.OCX"}, 0, ""},
           {{"RICHTX32.OCX", "-S"}, 0, ""},
           {{"/s", (system / "RICHTX32.OCX").string()}, 0, ""},
           {{"RICHTX32.OCX"}, 0, "regsvr32: RICHTX32.OCX registrato\n"},
           {{"/s", "MANCA.OCX"}, 3, ""},
           {{"/s", "CARTELLA.OCX"}, 3, ""},
           {{"/s", "../FUORI.OCX"}, 3, ""},
           {{"MANCA.OCX"}, 3, "regsvr32: MANCA.OCX non è nella cartella di sistema\n"},
           {{}, 1, "Uso: regsvr32 [/s] file\n"},
           {{"/s"}, 1, ""},
           {{"/s", ""}, 1, ""},
       }) {
    std::ostringstream messages;
    EXPECT_EQ(Regsvr32(c.arguments, system, messages), c.status)
        << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(messages.str(), c.messages) << ::testing::PrintToString(c.arguments);
  }
}

}  // namespace
}  // namespace tessaldo::launcher
