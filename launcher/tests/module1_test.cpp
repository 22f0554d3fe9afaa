// The start procedure of Module1 against a platform that records every call,
// on Windows and on POSIX; the command lines it builds.
#include "tessaldo/launcher/module1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tessaldo/launcher/command_line.h"

namespace tessaldo::launcher {
namespace {

using Module1::Avvia;
using Module1::Ending;
using Module1::Outcome;
using Call = std::vector<std::string>;  // the operation's name, then its arguments

struct FakePlatform final : LauncherPlatform {
  FakePlatform(std::string system, std::string program)
      : system_directory(std::move(system)), program_directory(std::move(program)) {}
  RunKind kind = RunKind::kUser;
  std::string system_directory, program_directory;
  std::optional<std::size_t> system_directory_result;        // the length unless set
  Result<std::uint32_t> attributes = Failed(kFileNotFound);  // of the control
  std::map<std::size_t, ErrorNumber> failures;               // by the call's position in `calls`
  bool elevation_succeeds = true;
  std::vector<Call> calls;
  std::string received_buffer;  // as GetSystemDirectoryA received it

  Status Record(Call call) {
    calls.push_back(std::move(call));
    const auto failure = failures.find(calls.size() - 1);
    return failure == failures.end() ? Status(kDone) : Status(Failed(failure->second));
  }
  RunKind Kind() override { return kind; }
  std::size_t GetSystemDirectoryA(std::span<char> buffer) override {
    received_buffer.assign(buffer.begin(), buffer.end());
    calls.push_back({"GetSystemDirectoryA", std::to_string(buffer.size())});
    std::copy_n(system_directory.begin(), std::min(system_directory.size(), buffer.size()),
                buffer.begin());
    return system_directory_result.value_or(system_directory.size());
  }
  Result<std::string> ProgramDirectory() override {
    if (const auto status = Record({"ProgramDirectory"}); !status) return Failed(status.error());
    return program_directory;
  }
  Result<std::uint32_t> FileAttributes(const std::string& path) override {
    calls.push_back({"FileAttributes", path});
    return attributes;
  }
  Status FileCopy(const std::string& source, const std::string& destination) override {
    return Record({"FileCopy", source, destination});
  }
  Status StartProgram(const std::string& application, const std::string& command_line,
                      WindowStyle style) override {
    return Record(
        {"StartProgram", application, command_line, std::to_string(static_cast<int>(style))});
  }
  bool ShellExecuteA(std::intptr_t owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int show) override {
    calls.push_back({"ShellExecuteA", std::to_string(owner), verb, file, parameters, directory,
                     std::to_string(show)});
    return elevation_succeeds;
  }
};

// The calls of a run on one system, from its directories and names alone.
struct System {
  const char* name;
  const ProgramLayout& layout;
  std::string system, program, separator, exe, parameters;

  // A run that installs the control, registers it and starts bin; last, the
  // elevated restart that a refusal asks for.
  std::vector<Call> Run() const {
    const std::string bin = program + separator + "bin" + exe;
    const std::string control = separator + "RICHTX32.OCX";
    return {
        {"GetSystemDirectoryA", "255"},
        {"FileAttributes", system + control},
        {"ProgramDirectory"},
        {"FileCopy", program + control, system + control},
        {"StartProgram", system + separator + "regsvr32" + exe, "regsvr32 /s RICHTX32.OCX", "2"},
        {"ProgramDirectory"},
        {"StartProgram", bin, "\"" + bin + "\"", "1"},
        {"ShellExecuteA", "0", "runas", program + separator + "Tessaldo" + exe, parameters, program,
         "1"}};
  }
};

const System kWindows{
    "Windows", kWindowsLayout, "C:\\WINDOWS\\system32", "C:\\Program Files\\Tessaldo", "\\", ".exe",
    ""};
const System kPosix{"POSIX", kPosixLayout, "/usr/lib/tessaldo/system", "/usr/lib/tessaldo prova",
                    "/",     "",           "--passo-elevato"};

// EsisteFile decides: only a file counts as installed; a directory of the
// control's name, or attributes that cannot be read (whatever the number,
// 70 included), count as missing and never reach the error trap.
TEST(Avvia, CopiesTheControlUnlessAFileIsInstalledThenRegistersAndStartsBin) {
  for (const System* s : {&kWindows, &kPosix}) {
    for (const auto& [attributes, copies] :
         {std::pair<Result<std::uint32_t>, bool>{Failed(kFileNotFound), true},
          {kAttributeNormal, false},
          {kAttributeDirectory, true},
          {kAttributeDirectory | 1, true},
          {Failed(kPermissionDenied), true}}) {
      FakePlatform platform(s->system, s->program);
      platform.attributes = attributes;
      EXPECT_EQ(Avvia(platform, s->layout), (Outcome{Ending::kCompleted, 0}));
      std::vector<Call> expected = s->Run();
      expected.pop_back();
      if (!copies) expected.erase(expected.begin() + 2, expected.begin() + 4);
      EXPECT_EQ(platform.calls, expected) << s->name << " copies " << copies;
    }
  }
}

// GetSystemDirectoryA's result n: the first n characters of a buffer of 255
// blanks; 0 or more than 255 name no directory.
TEST(Avvia, TakesTheSystemDirectoryFromTheFirstNCharactersOfTheBuffer) {
  const std::string full = "C:\\" + std::string(252, 'd');
  for (const auto& [written, result, kept] :
       {std::tuple<std::string, std::size_t, std::string>{"D:\\SYS32XYZ", 8, "D:\\SYS32"},
        {full, 255, full},
        {full, 0, ""},
        {full, 256, ""}}) {
    FakePlatform platform(written, kWindows.program);
    platform.system_directory_result = result;
    const Outcome outcome = Avvia(platform, kWindowsLayout);
    EXPECT_EQ(platform.received_buffer, std::string(255, ' '));
    EXPECT_EQ(outcome.error, kept.empty() ? kPathNotFound : 0) << result;
    EXPECT_EQ(platform.calls.size() > 1 ? platform.calls[1].back() : "",
              kept + (kept.empty() ? "" : "\\RICHTX32.OCX"));
  }
}

// Each operation that can fail, with 70, 75 or another number, in each kind
// of run, with the rights granted or refused. Only a user's run asks for the
// restart, and only for 70 and 75, so a restart never asks again. On Windows
// the restart does the rest; on POSIX it only installs and registers, and the
// user's run then starts bin itself, once the rights were granted.
TEST(Avvia, GoesToTheErrorTrapOnTheFirstFailure) {
  for (const System* s : {&kWindows, &kPosix}) {
    for (const RunKind kind : {RunKind::kUser, RunKind::kElevated, RunKind::kElevatedRestart}) {
      for (const std::size_t failing : {2, 3, 4, 5, 6}) {  // the position in Run()
        for (const ErrorNumber number : {70, 75, 53}) {
          for (const bool granted : {true, false}) {
            FakePlatform platform(s->system, s->program);
            platform.kind = kind;
            platform.elevation_succeeds = granted;
            platform.failures[failing] = number;
            std::vector<Call> expected = s->Run();
            const Call restart = expected.back();
            expected.pop_back();
            // The elevated step of POSIX ends after the registration.
            if (s == &kPosix && kind == RunKind::kElevatedRestart) expected.resize(5);
            Outcome outcome{Ending::kCompleted, 0};
            if (failing < expected.size()) {
              expected.resize(failing + 1);
              outcome = {Ending::kSilent, number};
              if ((number == 70 || number == 75) && kind == RunKind::kUser) {
                expected.insert(expected.end(), {{"ProgramDirectory"}, restart});
                if (s == &kWindows) {
                  outcome.ending = Ending::kElevatedRestart;
                } else if (granted) {
                  expected.push_back(s->Run()[6]);
                  outcome.ending = Ending::kCompleted;
                }
              }
            }
            EXPECT_EQ(Avvia(platform, s->layout), outcome) << s->name << static_cast<int>(kind);
            EXPECT_EQ(platform.calls, expected) << failing << " fails with " << number << granted;
          }
        }
      }
    }
  }
}

// No program directory for the restart, or a bin that still cannot start
// after the elevated step: the run ends there.
TEST(Avvia, EndsSilentlyWhenTheTrapCannotGoOn) {
  for (const auto& [s, failures, calls] :
       {std::tuple<const System*, std::map<std::size_t, ErrorNumber>, std::size_t>{
            &kWindows, {{2, 70}, {3, 70}}, 4},
        {&kPosix, {{2, 75}, {3, 70}}, 4},
        {&kPosix, {{6, 70}, {9, 70}}, 10}}) {
    FakePlatform platform(s->system, s->program);
    platform.failures = failures;
    EXPECT_EQ(Avvia(platform, s->layout), (Outcome{Ending::kSilent, failures.begin()->second}));
    EXPECT_EQ(platform.calls.size(), calls);
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
           {"a\\\\b", {"a\\\\b"}},
           {"a\\\\\"b c\"", {"a\\b c"}},
           {"a\\\"b c", {"a\"b", "c"}},
           {"\"a\"\"b\"", {"a\"b"}},
           {"\"unterminated x", {"unterminated x"}},
           {"trailing\\", {"trailing\\"}}}) {
    EXPECT_EQ(SplitCommandLine(line), arguments) << line;
  }
  // clang-format off
  const Arguments arguments = {"/tmp/Tessaldo prova/bin", "C:\\Program Files\\x\\", "a\"b",
                               "\\\\server\\share\\", "tab\there", "\\\"", "", "\"\"", "end \\\\"};
  // clang-format on
  std::string line;
  for (const auto& argument : arguments) line += QuoteArgument(argument) + " ";
  EXPECT_EQ(SplitCommandLine(line), arguments);
  EXPECT_EQ(QuoteArgument("C:\\Tessaldo prova\\bin.exe"), "\"C:\\Tessaldo prova\\bin.exe\"");
}

}  // namespace
}  // namespace tessaldo::launcher
