// The POSIX launcher's operations over a temporary system directory: the copy
// of the control, the elevated step's argument and program, pkexec, regsvr32.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tessaldo/launcher/command_line.h"
#include "tessaldo/launcher/module1.h"
#include "tessaldo/launcher/system_platform.h"

namespace tessaldo::launcher {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& path, const std::string& text, int mode = 0644) {
  std::ofstream(path, std::ios::binary) << text;
  fs::permissions(path, fs::perms(mode));
}

const std::string kSelf = fs::read_symlink("/proc/self/exe").string();
const bool kRoot = ::geteuid() == 0;

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
                                             const std::string& installed = "") {
    argv.clear();
    for (auto& argument : arguments_ = std::move(arguments)) argv.push_back(argument.data());
    return MakeSystemLauncherPlatform(argv, system.string(), installed);
  }

  fs::path root, system, program;
  std::vector<std::string> arguments_;
  std::vector<char*> argv;
};

// The copy takes only a regular file owned by root or by the copying user that no one else may
// write, never through a link; anything else counts as missing (53). A failed copy leaves nothing.
TEST_F(PosixPlatform, CopyTakesOnlyATrustedRegularFileAndLeavesNoTemporaryFile) {
  const fs::path secret = root / "segreto", from = program / "RICHTX32.OCX",
                 to = system / "RICHTX32.OCX";
  enum Kind { kFile, kOthers, kLink, kDangling, kDirectory, kFifo, kNone };
  struct Source {
    Kind kind;
    int mode;           // of the file, or of the file linked to
    ErrorNumber error;  // 0: copied
  } sources[] = {{kFile, 0644, 0},  {kFile, 0664, 53},  {kFile, 0646, 53},
                 {kLink, 0644, 53}, {kDangling, 0, 53}, {kDirectory, 0, 53},
                 {kFifo, 0, 53},    {kNone, 0, 53},     {kOthers, 0644, kRoot ? 53 : 0},
                 {kFile, 0600, 0}};
  for (const Source& source : sources) {
    fs::remove_all(program), fs::remove(secret), fs::remove_all(system);
    fs::create_directories(program), fs::create_directories(system);
    if (source.kind == kFile || source.kind == kOthers) Write(from, "controllo", source.mode);
    ASSERT_TRUE(source.kind != kOthers || !kRoot || ::chown(from.c_str(), 65534, 0) == 0);
    if (source.kind == kLink) Write(secret, "segreto", source.mode);
    if (source.kind == kLink || source.kind == kDangling) fs::create_symlink(secret, from);
    if (source.kind == kDirectory) fs::create_directory(from);
    ASSERT_TRUE(source.kind != kFifo || ::mkfifo(from.c_str(), 0644) == 0);
    const Status copied = Platform({kSelf})->FileCopy(from.string(), to.string());
    SCOPED_TRACE(std::to_string(source.kind) + " " + std::to_string(source.mode));
    EXPECT_EQ(copied ? 0 : copied.error(), source.error);
    EXPECT_EQ(fs::is_empty(system), source.error != 0);
    EXPECT_TRUE(source.error ||
                (Read(to) == "controllo" && fs::status(to).permissions() == fs::perms(0644)));
  }
  // The destination's failures: its folder missing, a folder in its place, no right to write.
  const auto platform = Platform({kSelf});
  EXPECT_EQ(platform->FileCopy(from.string(), (root / "manca" / "X.OCX").string()).error(), 76);
  fs::remove(to), fs::create_directories(to / "dentro");
  EXPECT_EQ(platform->FileCopy(from.string(), to.string()).error(), 75);
  EXPECT_EQ(std::distance(fs::directory_iterator(system), fs::directory_iterator()), 1);
  if (kRoot) return;  // root writes anywhere
  fs::remove_all(to), fs::permissions(system, fs::perms(0555));
  EXPECT_EQ(platform->FileCopy(from.string(), to.string()).error(), 70);
  EXPECT_TRUE(fs::is_empty(system));
}

// "--passo-elevato" first marks the elevated step; it runs only alone and when this program is
// the installed launcher (by that path, or by links to it). Any other file, a copy or a hard link
// included, or more arguments, find no system directory and end at once, touching nothing.
// pkexec is asked only by the installed launcher and only for itself, with the elevated step's
// argument; its refusal is the call's failure.
TEST_F(PosixPlatform, OnlyTheInstalledLauncherRunsTheStepAndAsksPkexecForItself) {
  const std::string copy = root / "Tessaldo", link = root / "collegamento", hard = root / "fisso";
  fs::copy_file(kSelf, copy);
  fs::create_symlink(kSelf, link);
  std::error_code no_hard_link;  // another file system: a copy instead
  if (fs::create_hard_link(kSelf, hard, no_hard_link), no_hard_link) fs::copy_file(kSelf, hard);
  const fs::path bin = root / "path", log = root / "pkexec.log";
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  fs::create_directories(bin);
  ASSERT_EQ(::setenv("PATH", bin.c_str(), 1), 0);
  const RunKind user = kRoot ? RunKind::kElevated : RunKind::kUser,
                step = RunKind::kElevatedRestart;
  const std::string e = "--passo-elevato";
  // The arguments after this program's path, the installed launcher, pkexec's status; the kind,
  // whether this program is the installed launcher (it asks), whether it finds a system directory.
  const std::tuple<std::string, std::string, int, RunKind, bool, bool> cases[] = {
      {e, kSelf, 0, step, true, true},        {e, link, 126, step, true, true},
      {e, copy, 0, step, false, false},       {e, "", 0, step, false, false},
      {e, hard, 0, step, false, false},       {e + " x", kSelf, 0, step, true, false},
      {"x " + e, kSelf, 0, user, true, true}, {"--passo", copy, 0, user, false, true},
      {"", copy, 0, user, false, true}};
  for (const auto& [arguments, installed, status, kind, asks, system_directory] : cases) {
    std::vector<std::string> all = SplitCommandLine(arguments);
    all.insert(all.begin(), kSelf);
    const auto platform = Platform(all, installed);
    SCOPED_TRACE(arguments + " as " + installed);
    EXPECT_EQ(platform->Kind(), kind);
    fs::remove(log);
    Write(bin / "pkexec",
          "#!/bin/sh\nprintf '%s|' \"$PWD\" \"$@\" >>" + log.string() + "\nexit " +
              std::to_string(status) + "\n",
          0755);
    EXPECT_FALSE(platform->ShellExecuteA(0, "runas", copy, e, program.string(), 1));
    EXPECT_EQ(platform->ShellExecuteA(0, "runas", kSelf, e, program.string(), 1),
              asks && status == 0);
    EXPECT_EQ(Read(log), asks ? program.string() + "|" + installed + "|--passo-elevato|" : "");
    char buffer[255];
    EXPECT_EQ(std::string(buffer, platform->GetSystemDirectoryA(buffer)),
              system_directory ? system.string() : "");
    if (system_directory) continue;
    EXPECT_EQ(Module1::Avvia(*platform), (Module1::Outcome{Module1::Ending::kSilent, 76}));
    EXPECT_TRUE(fs::is_empty(system));
  }
  ::setenv("PATH", path.c_str(), 1);
}

// regsvr32 [/s] file: 0 for a file that lies in the system directory, 3 for anything else, 1
// without exactly one name; a message only without "/s".
TEST_F(PosixPlatform, Regsvr32RegistersOnlyAFileOfTheSystemDirectory) {
  Write(system / "RICHTX32.OCX", "controllo");
  Write(root / "fuori.ocx", "altro");
  fs::create_directory(system / "cartella");
  const std::string full = system / "RICHTX32.OCX", outside = root / "fuori.ocx";
  // Each line: the status, then the arguments.
  const std::string lines[] = {
      "0 /s RICHTX32.OCX",           "0 " + full,       "3 MANCA.OCX", "3 /s cartella",
      "3 /s ../fuori.ocx",           "3 /s " + outside, "1 /s",        "1",
      "1 RICHTX32.OCX RICHTX32.OCX", "1 /s \"\""};
  for (const std::string& line : lines) {
    std::vector<std::string> arguments = SplitCommandLine(line);
    const int status = std::stoi(arguments.front());
    arguments.erase(arguments.begin());
    std::ostringstream messages;
    EXPECT_EQ(Regsvr32(arguments, system, messages), status) << line;
    EXPECT_EQ(messages.str().empty(), line.starts_with(std::to_string(status) + " /s")) << line;
  }
}

}  // namespace
}  // namespace tessaldo::launcher
