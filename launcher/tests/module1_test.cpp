// Module1's start procedure over a platform that records every call (Windows and POSIX layouts).
#include "tessaldo/launcher/module1.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "tessaldo/launcher/command_line.h"

namespace tessaldo::launcher {
namespace {

using namespace Module1;
using Call = std::vector<std::string>;  // the operation's name, then its arguments
using Text = const std::string&;

struct FakePlatform final : LauncherPlatform {  // fails the calls whose positions are in `failures`
  FakePlatform(std::string system, std::string program) : system(system), program(program) {}
  RunKind kind = RunKind::kUser;
  bool acts = true, elevation_succeeds = true;
  std::string system, program;
  std::size_t system_length = system.size();                 // GetSystemDirectoryA's result
  Result<std::uint32_t> attributes = Failed(kFileNotFound);  // of the control
  std::map<std::size_t, ErrorNumber> failures;
  std::vector<Call> calls;

  Status Record(const Call& call) {
    calls.push_back(call);
    const auto failure = failures.find(calls.size() - 1);
    return failure == failures.end() ? Status(kDone) : Status(Failed(failure->second));
  }
  RunKind Kind() override { return kind; }
  bool ActsOnSystem() override { return acts; }
  std::size_t GetSystemDirectoryA(std::span<char> buffer) override {
    Record({"GetSystemDirectoryA", std::string(buffer.begin(), buffer.end())});
    system.copy(buffer.data(), buffer.size());
    return system_length;
  }
  Result<std::string> ProgramDirectory() override {
    if (const auto status = Record({"ProgramDirectory"}); !status) return Failed(status.error());
    return program;
  }
  Result<std::uint32_t> FileAttributes(Text path) override {
    return Record({"FileAttributes", path}), attributes;
  }
  Status FileCopy(Text from, Text to) override { return Record({"FileCopy", from, to}); }
  Status StartProgram(Text file, Text line, WindowStyle style) override {
    return Record({"StartProgram", file, line, std::to_string(static_cast<int>(style))});
  }
  bool ShellExecuteA(std::intptr_t owner, Text verb, Text file, Text parameters, Text directory,
                     int show) override {
    Record({"ShellExecuteA", std::to_string(owner), verb, file, parameters, directory,
            std::to_string(show)});
    return elevation_succeeds;
  }
};

// A run's calls from a system's names: install, register (Windows: the control's full path,
// quoted; POSIX: the name alone), start bin; last, the elevated step.
struct System {
  const ProgramLayout& layout;
  std::string system, program, separator, exe;

  std::vector<Call> Run() const {
    const std::string bin = program + separator + "bin" + exe;
    const std::string control = separator + "RICHTX32.OCX";
    return {{"GetSystemDirectoryA", std::string(255, ' ')},  // a buffer of blanks
            {"FileAttributes", system + control},
            {"ProgramDirectory"},
            {"FileCopy", program + control, system + control},
            {"StartProgram", system + separator + "regsvr32" + exe,
             exe.empty() ? "regsvr32 /s RICHTX32.OCX" : "regsvr32 /s \"" + system + control + "\"",
             "2"},
            {"ProgramDirectory"},
            {"StartProgram", bin, "\"" + bin + "\"", "1"},
            {"ShellExecuteA", "0", "runas", program + separator + "Tessaldo" + exe,
             "--passo-elevato", program, "1"}};
  }
};

const System kWindows{kWindowsLayout, "C:\\WINDOWS\\system32", "C:\\Programmi\\Tessaldo", "\\",
                      ".exe"};
const System kPosix{kPosixLayout, "/srv/system", "/opt/Tessaldo prova", "/", ""};
constexpr RunKind kKinds[] = {RunKind::kUser, RunKind::kElevated, RunKind::kElevatedRestart};

// EsisteFile decides: only a file (the first attributes) counts as installed; a directory of the
// control's name, or attributes that cannot be read, count as missing and reach no error trap.
// GetSystemDirectoryA's result n keeps the first n characters; 0 or over 255 name no directory.
// A launcher that may not act on the system (Windows: not the installed one) only starts bin
// beside it, asks for no rights when that fails, and as an elevated step does nothing.
TEST(Avvia, CopiesTheControlUnlessAFileIsInstalledThenRegistersAndStartsBin) {
  const Result<std::uint32_t> attributes[] = {kAttributeNormal, Failed(kFileNotFound),
                                              kAttributeDirectory, kAttributeDirectory | 1,
                                              Failed(kPermissionDenied)};
  for (int i = 0; i < 10; ++i) {
    const System& s = i % 2 ? kPosix : kWindows;
    FakePlatform platform(s.system, s.program);
    platform.attributes = attributes[i / 2];
    EXPECT_EQ(Avvia(platform, s.layout), (Outcome{Ending::kCompleted, 0}));
    std::vector<Call> expected = s.Run();
    expected.resize(7);
    if (i < 2) expected.erase(expected.begin() + 2, expected.begin() + 4);
    EXPECT_EQ(platform.calls, expected) << "case " << i;
  }
  const std::string full = "C:\\" + std::string(252, 'd');
  const std::tuple<std::string, std::size_t, std::string> directories[] = {
      {"D:\\SYS32XYZ", 8, "D:\\SYS32"}, {full, 255, full}, {full, 0, ""}, {full, 256, ""}};
  for (const auto& [written, length, kept] : directories) {
    FakePlatform platform(written, kWindows.program);
    platform.system_length = length;
    std::vector<Call> expected = System{kWindowsLayout, kept, kWindows.program, "\\", ".exe"}.Run();
    expected.resize(kept.empty() ? 1 : 7);
    EXPECT_EQ(Avvia(platform, kWindowsLayout).error, kept.empty() ? kPathNotFound : 0) << length;
    EXPECT_EQ(platform.calls, expected) << length;
  }
  for (int i = 0; i < 6; ++i) {  // may not act: user, elevated, step; bin started or refused
    FakePlatform platform(kWindows.system, kWindows.program);
    platform.acts = false;
    platform.kind = kKinds[i / 2];
    if (i % 2) platform.failures[1] = 70;
    const bool step = platform.kind == RunKind::kElevatedRestart;
    const Outcome outcome = step || i % 2 ? Outcome{Ending::kSilent, 70} : Outcome{};
    std::vector<Call> expected{{"ProgramDirectory"}, kWindows.Run()[6]};
    if (step) expected.clear();
    EXPECT_EQ(Avvia(platform, kWindowsLayout), outcome) << i;
    EXPECT_EQ(platform.calls, expected) << i;
  }
}

// Each number of the error trap with the errno and Win32 codes that become it (by value, so that
// the table runs away from Windows too); of them only 70 and 75 ask for rights, as the next test.
TEST(ErrorNumbers, EachFailureBecomesItsNumber) {
  const struct {
    ErrorNumber number;
    std::initializer_list<int> errnos;
    std::initializer_list<unsigned long> win32;
  } rows[] = {
      {70, {EACCES, EPERM, EROFS}, {5, 19, 65, 1314, 1260, 740}},
      {75, {EBUSY, ETXTBSY, EISDIR, ELOOP, EAGAIN, EWOULDBLOCK}, {32, 33, 1224, 170, 108, 16, 267}},
      {53, {ENOENT}, {2, 126}},
      {76, {ENOTDIR}, {3, 15, 53, 67}},
      {61, {ENOSPC, EFBIG}, {112, 39}},
      {58, {EEXIST}, {80, 183}},
      {52, {ENAMETOOLONG}, {123, 161, 206}},
      {7, {ENOMEM}, {8, 14}},
      {57, {EIO}, {23, 29, 30, 31}},
      {67, {EMFILE, ENFILE}, {4}},
      {68, {ENODEV}, {21, 55}},
      {5, {EINTR, 0, -1, 99999}, {1, 6, 0}}};  // 0: no error
  for (const auto& row : rows) {
    for (const int code : row.errnos) EXPECT_EQ(FromErrno(code), row.number) << "errno " << code;
    for (const unsigned long code : row.win32) {
      EXPECT_EQ(FromWin32Error(code), row.number) << "Win32 " << code;
    }
  }
}

// Each step failing with 70, 75 or another number, in each kind of run; the rights granted or
// refused, or the trap's own steps failing. Only a user's run asks for the elevated step, and
// only for 70 and 75, so the step never asks again. The step only installs and registers; the
// user's run waits for it (the platform's call returns when it has ended) and then, the rights
// granted, starts bin itself: bin never runs with the raised rights.
TEST(Avvia, GoesToTheErrorTrapOnTheFirstFailure) {
  const ErrorNumber numbers[] = {70, 75, 53};
  for (int i = 0; i < 2 * 3 * 5 * 3 * 4; ++i) {
    const System& s = i % 2 ? kPosix : kWindows;
    const RunKind kind = kKinds[i / 2 % 3];
    const std::size_t failing = 2 + i / 6 % 5;  // the position in Run()
    const ErrorNumber number = numbers[i / 30 % 3];
    const int trouble = i / 90;  // 0 granted, 1 refused, 2 restart's directory fails, 3 bin fails
    FakePlatform platform(s.system, s.program);
    platform.kind = kind;
    platform.elevation_succeeds = trouble != 1;
    platform.failures[failing] = number;
    if (trouble >= 2) platform.failures[failing + 2 * trouble - 3] = 53;
    std::vector<Call> expected = s.Run();  // the elevated step ends after registering
    expected.resize(kind == RunKind::kElevatedRestart ? 5 : 7);
    Outcome outcome{Ending::kCompleted, 0};
    if (failing < expected.size()) {
      expected.resize(failing + 1);
      outcome = {Ending::kSilent, number};
      const bool trap = (number == 70 || number == 75) && kind == RunKind::kUser;
      if (trap) expected.push_back({"ProgramDirectory"});
      if (trap && trouble != 2) expected.push_back(s.Run()[7]);  // the step, waited for
      if (trap && trouble != 2 && trouble != 1) {
        expected.push_back(s.Run()[6]);  // then bin, by the user's run
        if (trouble == 0) outcome.ending = Ending::kCompleted;
      }
    }
    EXPECT_EQ(Avvia(platform, s.layout), outcome) << "case " << i;
    EXPECT_EQ(platform.calls, expected) << "case " << i;
  }
}

// The rules of the Windows C runtime, which the POSIX launcher follows.
TEST(CommandLine, SplitsAtBlanksByTheQuoteAndBackslashRulesAndQuotesForThem) {
  using Arguments = std::vector<std::string>;
  for (const auto& [line, arguments] : std::vector<std::pair<std::string, Arguments>>{
           {"regsvr32 /s RICHTX32.OCX", {"regsvr32", "/s", "RICHTX32.OCX"}},
           {"  a\t\tb  ", {"a", "b"}},
           {"ab\"c d\"e", {"abc de"}},
           {"\"\" x", {"", "x"}},
           {"a\\\\\"b c\"", {"a\\b c"}},
           {"a\\\"b c", {"a\"b", "c"}},
           {"\"a\"\"b\"", {"a\"b"}},
           {"\"unterminated x", {"unterminated x"}},
           {R"("C:\Program Files\x\\" \\\" "end \\\\" \\server\share\)",
            {R"(C:\Program Files\x\)", R"(\")", R"(end \\)", R"(\\server\share\)"}}}) {
    EXPECT_EQ(SplitCommandLine(line), arguments) << line;
    std::string quoted;  // quoted, any argument comes back whole
    for (const auto& argument : arguments) quoted += QuoteArgument(argument) + " ";
    EXPECT_EQ(SplitCommandLine(quoted), arguments) << quoted;
  }
}

}  // namespace
}  // namespace tessaldo::launcher
