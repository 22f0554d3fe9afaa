// The start procedure of Module1 against a recording platform, with the
// names and the elevated restart of Windows and of POSIX.
#include "tessaldo/launcher/module1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"

namespace tessaldo::launcher {
namespace {

using Module1::Avvia;
using Module1::Ending;
using Module1::Outcome;

// The calls of a run on one system.
struct System {
  const char* name;
  const ProgramLayout& layout;
  std::string system, program;
  Call get_system, test, program_directory, copy, registration, bin, restart;
};

const System kWindows{
    "Windows",
    kWindowsLayout,
    "C:\\WINDOWS\\system32",
    "C:\\Programmi\\Tessaldo",
    {"GetSystemDirectoryA", "255"},
    {"FileAttributes", "C:\\WINDOWS\\system32\\RICHTX32.OCX"},
    {"ProgramDirectory"},
    {"FileCopy", "C:\\Programmi\\Tessaldo\\RICHTX32.OCX", "C:\\WINDOWS\\system32\\RICHTX32.OCX"},
    {"StartProgram", "C:\\WINDOWS\\system32\\regsvr32.exe", "regsvr32 /s RICHTX32.OCX", "2"},
    {"StartProgram", "C:\\Programmi\\Tessaldo\\bin.exe", "\"C:\\Programmi\\Tessaldo\\bin.exe\"",
     "1"},
    {"ShellExecuteA", "0", "runas", "C:\\Programmi\\Tessaldo\\Tessaldo.exe", "",
     "C:\\Programmi\\Tessaldo", "1"}};
const System kPosix{
    "POSIX",
    kPosixLayout,
    "/usr/lib/tessaldo/system",
    "/usr/lib/tessaldo",
    {"GetSystemDirectoryA", "255"},
    {"FileAttributes", "/usr/lib/tessaldo/system/RICHTX32.OCX"},
    {"ProgramDirectory"},
    {"FileCopy", "/usr/lib/tessaldo/RICHTX32.OCX", "/usr/lib/tessaldo/system/RICHTX32.OCX"},
    {"StartProgram", "/usr/lib/tessaldo/system/regsvr32", "regsvr32 /s RICHTX32.OCX", "2"},
    {"StartProgram", "/usr/lib/tessaldo/bin", "\"/usr/lib/tessaldo/bin\"", "1"},
    {"ShellExecuteA", "0", "runas", "/usr/lib/tessaldo/Tessaldo", "--passo-elevato",
     "/usr/lib/tessaldo", "1"}};

FakePlatform PlatformOf(const System& s) {
  FakePlatform platform;
  platform.system_directory = s.system;
  platform.program_directory = s.program;
  return platform;
}

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
      FakePlatform platform = PlatformOf(*s);
      platform.attributes[s->test[1]] = attributes;
      EXPECT_EQ(Avvia(platform, s->layout), (Outcome{Ending::kCompleted, 0}));
      std::vector<Call> expected{s->get_system, s->test,         s->program_directory,
                                 s->copy,       s->registration, s->program_directory,
                                 s->bin};
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
        {kWindows.system, 0, ""},
        {full, 256, ""}}) {
    FakePlatform platform = PlatformOf(kWindows);
    platform.system_directory = written;
    platform.system_directory_result = result;
    const Outcome outcome = Avvia(platform, kWindowsLayout);
    EXPECT_EQ(platform.received_buffer, std::string(255, ' '));
    if (kept.empty()) {
      EXPECT_EQ(outcome, (Outcome{Ending::kSilent, kPathNotFound})) << result;
      EXPECT_EQ(platform.calls, std::vector<Call>{kWindows.get_system}) << result;
    } else {
      EXPECT_EQ(outcome.ending, Ending::kCompleted) << result;
      EXPECT_EQ(platform.calls.at(1), (Call{"FileAttributes", kept + "\\RICHTX32.OCX"}));
    }
  }
}

// Each operation that can fail, with 70, 75 or another number, in each kind
// of run, with the rights granted or refused. Only a user's run asks for the
// restart, and only for 70 and 75, so a restart never asks again. On Windows
// the restart does the rest; on POSIX it only installs and registers, and the
// user's run then starts bin itself, once the rights were granted.
TEST(Avvia, GoesToTheErrorTrapOnTheFirstFailure) {
  struct Step {
    const char* name;
    std::size_t calls_before_trap;  // of an installing run
    void (*fail)(FakePlatform&, const System&, ErrorNumber);
  };
  const Step steps[] = {
      {"program directory for the copy", 3,
       [](FakePlatform& p, const System&, ErrorNumber n) { p.program_directory_failures[1] = n; }},
      {"copy", 4, [](FakePlatform& p, const System&, ErrorNumber n) { p.copy_failure = n; }},
      {"registration", 5,
       [](FakePlatform& p, const System& s, ErrorNumber n) {
         p.start_failures[s.registration[1]] = n;
       }},
      {"program directory for bin", 6,
       [](FakePlatform& p, const System&, ErrorNumber n) { p.program_directory_failures[2] = n; }},
      {"bin", 7,
       [](FakePlatform& p, const System& s, ErrorNumber n) { p.start_failures[s.bin[1]] = n; }}};
  for (const System* s : {&kWindows, &kPosix}) {
    for (const RunKind kind : {RunKind::kUser, RunKind::kElevated, RunKind::kElevatedRestart}) {
      for (const Step& step : steps) {
        for (const ErrorNumber number : {70, 75, 53}) {
          for (const bool granted : {true, false}) {
            SCOPED_TRACE(::testing::Message()
                         << s->name << " kind " << static_cast<int>(kind) << ", " << step.name
                         << " fails with " << number << (granted ? ", granted" : ", refused"));
            FakePlatform platform = PlatformOf(*s);
            platform.kind = kind;
            platform.elevation_succeeds = granted;
            step.fail(platform, *s, number);
            std::vector<Call> expected{s->get_system, s->test,         s->program_directory,
                                       s->copy,       s->registration, s->program_directory,
                                       s->bin};
            // The elevated step of POSIX ends after the registration.
            if (s == &kPosix && kind == RunKind::kElevatedRestart) expected.resize(5);
            Outcome outcome{Ending::kCompleted, 0};
            if (step.calls_before_trap <= expected.size()) {
              expected.resize(step.calls_before_trap);
              outcome = {Ending::kSilent, number};
              if ((number == 70 || number == 75) && kind == RunKind::kUser) {
                expected.insert(expected.end(), {s->program_directory, s->restart});
                if (s == &kWindows) {
                  outcome.ending = Ending::kElevatedRestart;
                } else if (granted) {
                  expected.push_back(s->bin);
                  if (step.calls_before_trap != 7) outcome.ending = Ending::kCompleted;
                }
              }
            }
            EXPECT_EQ(Avvia(platform, s->layout), outcome);
            EXPECT_EQ(platform.calls, expected);
          }
        }
      }
    }
  }
}

TEST(Avvia, EndsSilentlyWhenTheProgramDirectoryIsUnknownEvenForTheRestart) {
  for (const System* s : {&kWindows, &kPosix}) {
    FakePlatform platform = PlatformOf(*s);
    platform.program_directory_failures = {{1, kPermissionDenied}, {2, kPermissionDenied}};
    EXPECT_EQ(Avvia(platform, s->layout), (Outcome{Ending::kSilent, kPermissionDenied}));
    EXPECT_EQ(platform.calls, (std::vector<Call>{s->get_system, s->test, s->program_directory,
                                                 s->program_directory}));
  }
}

TEST(Avvia, QuotesAProgramPathWithBlanksOnTheCommandLine) {
  FakePlatform platform = PlatformOf(kWindows);
  platform.program_directory = "C:\\Program Files\\Tessaldo prova";
  platform.attributes[kWindows.test[1]] = kAttributeNormal;
  EXPECT_EQ(Avvia(platform, kWindowsLayout).ending, Ending::kCompleted);
  EXPECT_EQ(platform.calls.back(),
            (Call{"StartProgram", "C:\\Program Files\\Tessaldo prova\\bin.exe",
                  "\"C:\\Program Files\\Tessaldo prova\\bin.exe\"", "1"}));
}

}  // namespace
}  // namespace tessaldo::launcher
