// The start procedure of Module1 against a recording platform.
#include "tessaldo/launcher/module1.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "fake_platform.h"

namespace tessaldo::launcher {
namespace {

using Module1::Avvia;
using Module1::Ending;
using Module1::Outcome;

const std::string kSystem = "C:\\WINDOWS\\system32";
const std::string kProgram = "C:\\Programmi\\Tessaldo";
const std::string kInstalled = kSystem + "\\RICHTX32.OCX";
const std::string kRegsvr32 = kSystem + "\\regsvr32.exe";
const std::string kBin = kProgram + "\\bin.exe";

const Call kGetSystemDirectory{"GetSystemDirectoryA", "255"};
const Call kProgramDirectory{"ProgramDirectory"};
const Call kTestInstalled{"FileAttributes", kInstalled};
const Call kCopy{"FileCopy", kProgram + "\\RICHTX32.OCX", kInstalled};
const Call kStartRegistration{"StartProgram", kRegsvr32, "regsvr32 /s RICHTX32.OCX", "2"};
const Call kStartBin{"StartProgram", kBin, "\"" + kBin + "\"", "1"};
const Call kElevatedRestart{"ShellExecuteA", "0", "runas", kProgram + "\\Tessaldo.exe", "",
                            kProgram,        "1"};
// A run that installs the control; without kCopy and the kProgramDirectory
// before it, a run that finds it installed.
const std::vector<Call> kInstallingRun{
    kGetSystemDirectory, kTestInstalled,    kProgramDirectory, kCopy,
    kStartRegistration,  kProgramDirectory, kStartBin};
const std::vector<Call> kInstalledRun{kGetSystemDirectory, kTestInstalled, kStartRegistration,
                                      kProgramDirectory, kStartBin};

// EsisteFile decides: only a file counts as installed; a directory of the
// control's name, or attributes that cannot be read (whatever the number,
// 70 included), count as missing and never reach the error trap.
TEST(Avvia, CopiesTheControlUnlessAFileIsInstalledThenRegistersAndStartsBin) {
  struct Case {
    Result<std::uint32_t> attributes;
    bool copies;
  };
  const Case cases[] = {{Failed(kFileNotFound), true},
                        {kAttributeNormal, false},
                        {kAttributeDirectory, true},
                        {kAttributeDirectory | kAttributeReadOnly, true},
                        {Failed(kPermissionDenied), true}};
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.attributes[kInstalled] = c.attributes;
    EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kCompleted, 0}));
    EXPECT_EQ(platform.calls, c.copies ? kInstallingRun : kInstalledRun) << "case " << &c - cases;
  }
}

// GetSystemDirectoryA's result n: the first n characters of a buffer of 255
// blanks; 0 or more than 255 name no directory.
TEST(Avvia, TakesTheSystemDirectoryFromTheFirstNCharactersOfTheBuffer) {
  struct Case {
    std::string written;
    std::size_t result;
    std::string kept;  // empty: the run ends silently with 76
  };
  const std::string full = "C:\\" + std::string(252, 'd');
  for (const Case& c : {Case{"D:\\SYS32XYZ", 8, "D:\\SYS32"}, Case{full, 255, full},
                        Case{kSystem, 0, ""}, Case{full, 256, ""}}) {
    FakePlatform platform;
    platform.system_directory = c.written;
    platform.system_directory_result = c.result;
    const Outcome outcome = Avvia(platform, kWindowsLayout);
    EXPECT_EQ(platform.received_buffer, std::string(255, ' '));
    if (c.kept.empty()) {
      EXPECT_EQ(outcome, (Outcome{Ending::kSilent, kPathNotFound})) << c.result;
      EXPECT_EQ(platform.calls, std::vector<Call>{kGetSystemDirectory}) << c.result;
    } else {
      EXPECT_EQ(outcome.ending, Ending::kCompleted) << c.result;
      EXPECT_EQ(platform.calls.at(1), (Call{"FileAttributes", c.kept + "\\RICHTX32.OCX"}));
    }
  }
}

// Each operation that can fail, failing with 70, 75 or another number: 70
// and 75 ask for the elevated restart with its exact arguments, every other
// number ends silently, and after the failure nothing more is started or
// retried.
struct FailingStep {
  const char* name;
  std::size_t calls_before_trap;  // of kInstallingRun
  void (*fail)(FakePlatform&, ErrorNumber);
  friend void PrintTo(const FailingStep& step, std::ostream* out) { *out << step.name; }
};

const FailingStep kFailingSteps[] = {
    {"ProgramDirectoryForCopy", 3,
     [](FakePlatform& p, ErrorNumber n) { p.program_directory_failures[1] = n; }},
    {"Copy", 4, [](FakePlatform& p, ErrorNumber n) { p.copy_failure = n; }},
    {"Registration", 5, [](FakePlatform& p, ErrorNumber n) { p.start_failures[kRegsvr32] = n; }},
    {"ProgramDirectoryForBin", 6,
     [](FakePlatform& p, ErrorNumber n) { p.program_directory_failures[2] = n; }},
    {"Bin", 7, [](FakePlatform& p, ErrorNumber n) { p.start_failures[kBin] = n; }},
};

class AvviaFailure : public ::testing::TestWithParam<std::tuple<FailingStep, ErrorNumber>> {};

TEST_P(AvviaFailure, GoesToTheErrorTrap) {
  const auto& [step, number] = GetParam();
  FakePlatform platform;
  step.fail(platform, number);
  const bool elevates = number == 70 || number == 75;
  EXPECT_EQ(Avvia(platform, kWindowsLayout),
            (Outcome{elevates ? Ending::kElevatedRestart : Ending::kSilent, number}));
  std::vector<Call> expected(kInstallingRun.begin(),
                             kInstallingRun.begin() + step.calls_before_trap);
  if (elevates) {
    expected.push_back(kProgramDirectory);
    expected.push_back(kElevatedRestart);
  }
  EXPECT_EQ(platform.calls, expected);
}

INSTANTIATE_TEST_SUITE_P(EachOperation, AvviaFailure,
                         ::testing::Combine(::testing::ValuesIn(kFailingSteps),
                                            ::testing::Values(70, 75, 53)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "With" +
                                  std::to_string(std::get<1>(info.param));
                         });

TEST(Avvia, EndsSilentlyWhenTheProgramDirectoryIsUnknownEvenForTheRestart) {
  FakePlatform platform;
  platform.program_directory_failures = {{1, kPermissionDenied}, {2, kPermissionDenied}};
  EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kSilent, kPermissionDenied}));
  EXPECT_EQ(platform.calls, (std::vector<Call>{kGetSystemDirectory, kTestInstalled,
                                               kProgramDirectory, kProgramDirectory}));
}

TEST(Avvia, QuotesAProgramPathWithBlanksOnTheCommandLine) {
  FakePlatform platform;
  platform.program_directory = "C:\\Program Files\\Tessaldo prova";
  platform.attributes[kInstalled] = kAttributeNormal;
  EXPECT_EQ(Avvia(platform, kWindowsLayout).ending, Ending::kCompleted);
  EXPECT_EQ(platform.calls.back(),
            (Call{"StartProgram", "C:\\Program Files\\Tessaldo prova\\bin.exe",
                  "\"C:\\Program Files\\Tessaldo prova\\bin.exe\"", "1"}));
}

}  // namespace
}  // namespace tessaldo::launcher
