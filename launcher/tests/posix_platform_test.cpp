// The POSIX launcher's operations over a temporary system directory: the copy
// of the control, the elevated step's argument and program, pkexec, regsvr32.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tessaldo/launcher/module1.h"
#include "tessaldo/launcher/system_platform.h"

namespace tessaldo::launcher {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& path, const std::string& text, fs::perms mode = fs::perms(0644)) {
  std::ofstream(path, std::ios::binary) << text;
  fs::permissions(path, mode);
}

// The names in `directory`, sorted.
std::vector<std::string> Names(const fs::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory))
    names.push_back(entry.path().filename());
  std::ranges::sort(names);
  return names;
}

const std::string kSelf = fs::read_symlink("/proc/self/exe").string();

// A fresh folder with a system directory and a program directory in it.
class PosixPlatform : public testing::Test {
 protected:
  void SetUp() override {
    std::string name = (fs::temp_directory_path() / "tessaldo-posix-XXXXXX").string();
    ASSERT_NE(::mkdtemp(name.data()), nullptr);
    root = name, system = root / "system", program = root / "programma";
    fs::create_directories(system), fs::create_directories(program);
  }
  void TearDown() override {
    fs::permissions(system, fs::perms(0755));
    fs::remove_all(root);
  }
  std::unique_ptr<LauncherPlatform> Platform(std::vector<std::string> arguments,
                                             const std::string& installed) {
    argv.clear();
    for (auto& argument : arguments_ = std::move(arguments)) argv.push_back(argument.data());
    return MakeSystemLauncherPlatform(argv, system.string(), installed);
  }

  fs::path root, system, program;
  std::vector<std::string> arguments_;
  std::vector<char*> argv;
};

// The copy takes only a regular file owned by root or by the copying user that
// no one else may write, never through a link; anything else counts as a
// missing file (53, no rights asked). A failed copy leaves nothing behind.
TEST_F(PosixPlatform, CopyTakesOnlyATrustedRegularFileAndLeavesNoTemporaryFile) {
  const bool root_user = ::geteuid() == 0;
  const fs::path secret = root / "segreto", from = program / "RICHTX32.OCX",
                 to = system / "RICHTX32.OCX";
  enum Kind { kFile, kOthers, kLink, kDangling, kDirectory, kFifo, kNone };
  struct Source {
    Kind kind;
    int mode;           // of the file, or of the file linked to
    ErrorNumber error;  // 0: copied
  };
  for (const Source& source : {Source{kFile, 0644, 0},
                               {kFile, 0664, 53},
                               {kFile, 0646, 53},
                               {kLink, 0644, 53},
                               {kDangling, 0, 53},
                               {kDirectory, 0, 53},
                               {kFifo, 0, 53},
                               {kNone, 0, 53},
                               {kOthers, 0644, root_user ? 53 : 0},
                               {kFile, 0600, 0}}) {
    fs::remove_all(program), fs::remove(secret), fs::remove_all(system);
    fs::create_directories(program), fs::create_directories(system);
    if (source.kind == kFile || source.kind == kOthers) {
      Write(from, "controllo", fs::perms(source.mode));
      if (source.kind == kOthers && root_user) {
        ASSERT_EQ(::chown(from.c_str(), 65534, 0), 0);
      }
    } else if (source.kind == kLink || source.kind == kDangling) {
      if (source.kind == kLink) Write(secret, "segreto", fs::perms(source.mode));
      fs::create_symlink(secret, from);
    } else if (source.kind == kDirectory) {
      fs::create_directory(from);
    } else if (source.kind == kFifo) {
      ASSERT_EQ(::mkfifo(from.c_str(), 0644), 0);
    }
    const Status copied = Platform({kSelf}, "")->FileCopy(from.string(), to.string());
    const std::string what = std::to_string(source.kind) + " " + std::to_string(source.mode);
    EXPECT_EQ(copied ? 0 : copied.error(), source.error) << what;
    EXPECT_EQ(Names(system),
              source.error ? std::vector<std::string>{} : std::vector<std::string>{"RICHTX32.OCX"})
        << what;
    if (source.error == 0) {
      EXPECT_TRUE(Read(to) == "controllo" && fs::status(to).permissions() == fs::perms(0644));
    }
  }

  // The destination's failures: its folder missing, a folder in its place, no
  // right to write there (root writes anywhere).
  const auto platform = Platform({kSelf}, "");
  EXPECT_EQ(platform->FileCopy(from.string(), (root / "manca" / "X.OCX").string()).error(), 76);
  fs::remove(to), fs::create_directories(to / "dentro");
  EXPECT_EQ(platform->FileCopy(from.string(), to.string()).error(), 75);
  EXPECT_EQ(Names(system), std::vector<std::string>{"RICHTX32.OCX"});
  if (!root_user) {
    fs::remove_all(to);
    fs::permissions(system, fs::perms(0555));
    EXPECT_EQ(platform->FileCopy(from.string(), to.string()).error(), 70);
    EXPECT_TRUE(Names(system).empty());
  }
}

// "--passo-elevato" first marks the elevated step; it runs only alone and when
// this program is the installed launcher (reached by that path, or by links
// to it). Any other file, a copy or a hard link included, or more arguments,
// find no system directory and end at once, silently, touching nothing.
TEST_F(PosixPlatform, ElevatedStepRunsOnlyAsTheInstalledLauncher) {
  const std::string copy = root / "Tessaldo", link = root / "collegamento", hard = root / "fisso";
  fs::copy_file(kSelf, copy);
  fs::create_symlink(kSelf, link);
  std::error_code no_hard_link;  // another file system
  fs::create_hard_link(kSelf, hard, no_hard_link);
  const RunKind user = ::geteuid() == 0 ? RunKind::kElevated : RunKind::kUser;
  const RunKind step = RunKind::kElevatedRestart;
  const std::string elevated = "--passo-elevato";
  struct Case {
    std::vector<std::string> arguments;
    std::string installed;
    RunKind kind;
    bool system_directory;
  };
  std::vector<Case> cases{
      {{kSelf, elevated}, kSelf, step, true},       {{kSelf, elevated}, link, step, true},
      {{kSelf, elevated}, copy, step, false},       {{kSelf, elevated}, "", step, false},
      {{kSelf, elevated, "x"}, kSelf, step, false}, {{kSelf, "x", elevated}, kSelf, user, true},
      {{kSelf, "--passo"}, copy, user, true},       {{kSelf}, copy, user, true}};
  if (!no_hard_link) cases.push_back({{kSelf, elevated}, hard, step, false});
  for (const Case& c : cases) {
    const auto platform = Platform(c.arguments, c.installed);
    const std::string what = c.arguments.back() + " as " + c.installed;
    EXPECT_EQ(platform->Kind(), c.kind) << what;
    char buffer[255];
    EXPECT_EQ(std::string(buffer, platform->GetSystemDirectoryA(buffer)),
              c.system_directory ? system.string() : "")
        << what;
    if (!c.system_directory) {
      EXPECT_EQ(Module1::Avvia(*platform), (Module1::Outcome{Module1::Ending::kSilent, 76}));
      EXPECT_TRUE(Names(system).empty()) << what;
    }
  }
}

// pkexec is asked only by the installed launcher and only for itself, with
// the elevated step's argument; its refusal is the call's failure.
TEST_F(PosixPlatform, AsksPkexecOnlyForTheInstalledLauncher) {
  const fs::path bin = root / "path", log = root / "pkexec.log";
  const std::string copy = root / "Tessaldo";
  fs::create_directories(bin);
  fs::copy_file(kSelf, copy);
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  ASSERT_EQ(::setenv("PATH", bin.c_str(), 1), 0);
  struct Case {
    std::string verb, installed, file;
    int status;  // pkexec's
    bool asked, done;
  };
  for (const Case& c : {Case{"runas", kSelf, kSelf, 0, true, true},
                        {"runas", kSelf, kSelf, 126, true, false},
                        {"runas", kSelf, copy, 0, false, false},
                        {"runas", "", kSelf, 0, false, false}}) {
    fs::remove(log);
    Write(bin / "pkexec",
          "#!/bin/sh\nprintf '%s|' \"$PWD\" \"$@\" >" + log.string() + "\nexit " +
              std::to_string(c.status) + "\n",
          fs::perms(0755));
    const std::string what = c.verb + " " + c.file + " as " + c.installed;
    EXPECT_EQ(Platform({kSelf}, c.installed)
                  ->ShellExecuteA(0, c.verb, c.file, "--passo-elevato", program.string(), 1),
              c.done)
        << what;
    EXPECT_EQ(Read(log), c.asked ? program.string() + "|" + kSelf + "|--passo-elevato|" : "")
        << what;
  }
  ::setenv("PATH", path.c_str(), 1);
}

// regsvr32 [/s] file: 0 for a file that lies in the system directory, 3 for
// anything else, 1 without exactly one name; words only without "/s".
TEST_F(PosixPlatform, Regsvr32RegistersOnlyAFileOfTheSystemDirectory) {
  Write(system / "RICHTX32.OCX", "controllo");
  Write(root / "fuori.ocx", "altro");
  fs::create_directory(system / "cartella");
  const std::string full = system / "RICHTX32.OCX", usage = "Uso: regsvr32 [/s] file\n";
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string message;
  };
  for (const Case& c : {Case{{"/s", "RICHTX32.OCX"}, 0, ""},
                        {{full}, 0, "regsvr32: " + full + " registrato\n"},
                        {{"MANCA.OCX"}, 3, "regsvr32: MANCA.OCX non è nella cartella di sistema\n"},
                        {{"/s", "cartella"}, 3, ""},
                        {{"/s", "../fuori.ocx"}, 3, ""},
                        {{"/s", (root / "fuori.ocx").string()}, 3, ""},
                        {{"/s"}, 1, ""},
                        {{}, 1, usage},
                        {{"RICHTX32.OCX", "RICHTX32.OCX"}, 1, usage},
                        {{"/s", ""}, 1, ""}}) {
    std::ostringstream messages;
    const std::string what = c.arguments.empty() ? "" : c.arguments.back();
    EXPECT_EQ(Regsvr32(c.arguments, system, messages), c.status) << what;
    EXPECT_EQ(messages.str(), c.message) << what;
  }
}

}  // namespace
}  // namespace tessaldo::launcher
