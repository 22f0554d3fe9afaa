// The start procedure of Module1 against a recording platform.
#include "tessaldo/launcher/module1.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"

namespace tessaldo::launcher {
namespace {

using Module1::Avvia;
using Module1::Ending;
using Module1::EsisteFile;
using Module1::Outcome;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kSystem = "C:\\WINDOWS\\system32";
const std::string kProgram = "C:\\Programmi\\Tessaldo";
const std::string kInstalled = kSystem + "\\RICHTX32.OCX";
const std::string kShipped = kProgram + "\\RICHTX32.OCX";
const std::string kRegsvr32 = kSystem + "\\regsvr32.exe";
const std::string kBin = kProgram + "\\bin.exe";

const Call kGetSystemDirectory{"GetSystemDirectoryA", {"255"}};
const Call kProgramDirectory{"ProgramDirectory", {}};
const Call kTestInstalled{"FileAttributes", {kInstalled}};
const Call kCopy{"FileCopy", {kShipped, kInstalled}};
const Call kStartRegistration{"StartProgram", {kRegsvr32, "regsvr32 /s RICHTX32.OCX", "2"}};
const Call kStartBin{"StartProgram", {kBin, "\"" + kBin + "\"", "1"}};
const Call kElevatedRestart{"ShellExecuteA",
                            {"0", "runas", kProgram + "\\Tessaldo.exe", "", kProgram, "1"}};

std::vector<std::string> Operations(const FakePlatform& platform) {
  std::vector<std::string> names;
  for (const auto& call : platform.calls) names.push_back(call.operation);
  return names;
}

TEST(Avvia, InstallsTheMissingControlThenRegistersAndStartsBin) {
  FakePlatform platform;
  EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kCompleted, 0}));
  EXPECT_THAT(platform.calls, ElementsAre(kGetSystemDirectory, kTestInstalled, kProgramDirectory,
                                          kCopy, kStartRegistration, kProgramDirectory, kStartBin));
}

TEST(Avvia, LeavesAnInstalledControlAndStillRegistersAndStartsBinInOrder) {
  FakePlatform platform;
  platform.attributes[kInstalled] = kAttributeNormal;
  EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kCompleted, 0}));
  EXPECT_THAT(platform.CallsOf("FileCopy"), IsEmpty());
  EXPECT_THAT(platform.calls, ElementsAre(kGetSystemDirectory, kTestInstalled, kStartRegistration,
                                          kProgramDirectory, kStartBin));
}

TEST(Avvia, CountsAnyFileAttributesButTheDirectoryAsInstalled) {
  for (const std::uint32_t attributes : {0x01u, 0x20u, 0x21u, 0x80u, 0x2000u}) {
    FakePlatform platform;
    platform.attributes[kInstalled] = attributes;
    EXPECT_EQ(Avvia(platform, kWindowsLayout).ending, Ending::kCompleted);
    EXPECT_THAT(platform.CallsOf("FileCopy"), IsEmpty()) << attributes;
  }
}

TEST(Avvia, CopiesOverADirectoryNamedLikeTheControl) {
  for (const std::uint32_t attributes : {0x10u, 0x11u, 0x30u}) {
    FakePlatform platform;
    platform.attributes[kInstalled] = attributes;
    EXPECT_EQ(Avvia(platform, kWindowsLayout).ending, Ending::kCompleted);
    EXPECT_THAT(platform.CallsOf("FileCopy"), ElementsAre(kCopy)) << attributes;
  }
}

TEST(Avvia, KeepsTheFirstNCharactersOfTheSystemDirectoryBuffer) {
  FakePlatform platform;
  platform.system_directory = "D:\\SYS32XYZ";
  platform.system_directory_result = 8;
  EXPECT_EQ(Avvia(platform, kWindowsLayout).ending, Ending::kCompleted);
  EXPECT_EQ(platform.received_buffer, std::string(255, ' '));
  EXPECT_THAT(platform.CallsOf("FileAttributes"),
              ElementsAre(Call{"FileAttributes", {"D:\\SYS32\\RICHTX32.OCX"}}));
  EXPECT_EQ(platform.CallsOf("StartProgram").front().arguments.front(), "D:\\SYS32\\regsvr32.exe");
}

TEST(Avvia, KeepsTheWholeBufferWhenTheResultFillsIt) {
  FakePlatform platform;
  platform.system_directory = "C:\\" + std::string(252, 'd');
  EXPECT_EQ(Avvia(platform, kWindowsLayout).ending, Ending::kCompleted);
  EXPECT_THAT(
      platform.CallsOf("FileCopy"),
      ElementsAre(Call{"FileCopy", {kShipped, platform.system_directory + "\\RICHTX32.OCX"}}));
}

TEST(Avvia, EndsSilentlyWhenTheSystemDirectoryIsUnknownOrDoesNotFit) {
  for (const std::size_t result : {std::size_t{0}, std::size_t{256}, std::size_t{300}}) {
    FakePlatform platform;
    platform.system_directory_result = result;
    EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kSilent, kPathNotFound}));
    EXPECT_THAT(platform.calls, ElementsAre(kGetSystemDirectory)) << result;
  }
}

TEST(Avvia, AsksForTheElevatedRestartWithTheExactArguments) {
  FakePlatform platform;
  platform.copy_failure = kPermissionDenied;
  EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kElevatedRestart, 70}));
  EXPECT_THAT(platform.calls, ElementsAre(kGetSystemDirectory, kTestInstalled, kProgramDirectory,
                                          kCopy, kProgramDirectory, kElevatedRestart));
}

TEST(Avvia, EndsSilentlyWhenTheControlIsMissingFromBothDirectories) {
  FakePlatform platform;
  platform.copy_failure = kFileNotFound;
  EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kSilent, kFileNotFound}));
  EXPECT_THAT(platform.CallsOf("StartProgram"), IsEmpty());
  EXPECT_THAT(platform.CallsOf("ShellExecuteA"), IsEmpty());
}

TEST(Avvia, DoesNotStartBinWhenTheRegistrationCannotStart) {
  FakePlatform platform;
  platform.start_failures[kRegsvr32] = kFileNotFound;
  EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kSilent, kFileNotFound}));
  EXPECT_THAT(platform.CallsOf("StartProgram"), ElementsAre(kStartRegistration));
}

TEST(Avvia, EndsWhenBinCannotStart) {
  FakePlatform platform;
  platform.start_failures[kBin] = kPathNotFound;
  EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kSilent, kPathNotFound}));
  EXPECT_THAT(platform.CallsOf("StartProgram"), ElementsAre(kStartRegistration, kStartBin));
  EXPECT_THAT(platform.CallsOf("ShellExecuteA"), IsEmpty());
}

TEST(Avvia, EndsSilentlyWhenTheProgramDirectoryIsUnknownEvenForTheRestart) {
  FakePlatform platform;
  platform.program_directory_failures = {{1, kPermissionDenied}, {2, kPermissionDenied}};
  EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kSilent, kPermissionDenied}));
  EXPECT_THAT(Operations(platform), ElementsAre("GetSystemDirectoryA", "FileAttributes",
                                                "ProgramDirectory", "ProgramDirectory"));
}

// Each operation that can fail, failing with 70, 75 or another number: 70
// and 75 ask for the elevated restart, every other number ends silently, and
// after the failure nothing more is started or retried.
enum class Failing {
  kProgramDirectoryForCopy,
  kCopy,
  kRegistration,
  kProgramDirectoryForBin,
  kBin
};

constexpr const char* kFailingNames[] = {"ProgramDirectoryForCopy", "Copy", "Registration",
                                         "ProgramDirectoryForBin", "Bin"};

struct FailureCase {
  Failing where;
  ErrorNumber number;
  std::vector<Call> calls_before_trap;

  friend void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << kFailingNames[static_cast<int>(c.where)] << " fails with " << c.number;
  }
};

class AvviaFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(AvviaFailure, GoesToTheErrorTrap) {
  const auto& param = GetParam();
  FakePlatform platform;
  switch (param.where) {
    case Failing::kProgramDirectoryForCopy:
      platform.program_directory_failures[1] = param.number;
      break;
    case Failing::kCopy:
      platform.copy_failure = param.number;
      break;
    case Failing::kRegistration:
      platform.start_failures[kRegsvr32] = param.number;
      break;
    case Failing::kProgramDirectoryForBin:
      platform.program_directory_failures[2] = param.number;
      break;
    case Failing::kBin:
      platform.start_failures[kBin] = param.number;
      break;
  }
  const bool elevates = param.number == 70 || param.number == 75;
  EXPECT_EQ(Avvia(platform, kWindowsLayout),
            (Outcome{elevates ? Ending::kElevatedRestart : Ending::kSilent, param.number}));

  std::vector<Call> expected = param.calls_before_trap;
  if (elevates) {
    expected.push_back(kProgramDirectory);
    expected.push_back(kElevatedRestart);
  }
  EXPECT_EQ(platform.calls, expected);
}

std::vector<FailureCase> FailureCases() {
  std::vector<FailureCase> cases;
  for (const ErrorNumber number : {70, 75, 53, 76, 5}) {
    cases.push_back({Failing::kProgramDirectoryForCopy,
                     number,
                     {kGetSystemDirectory, kTestInstalled, kProgramDirectory}});
    cases.push_back(
        {Failing::kCopy, number, {kGetSystemDirectory, kTestInstalled, kProgramDirectory, kCopy}});
    cases.push_back(
        {Failing::kRegistration,
         number,
         {kGetSystemDirectory, kTestInstalled, kProgramDirectory, kCopy, kStartRegistration}});
    cases.push_back({Failing::kProgramDirectoryForBin,
                     number,
                     {kGetSystemDirectory, kTestInstalled, kProgramDirectory, kCopy,
                      kStartRegistration, kProgramDirectory}});
    cases.push_back({Failing::kBin,
                     number,
                     {kGetSystemDirectory, kTestInstalled, kProgramDirectory, kCopy,
                      kStartRegistration, kProgramDirectory, kStartBin}});
  }
  return cases;
}

std::string FailureName(const ::testing::TestParamInfo<FailureCase>& info) {
  return std::string(kFailingNames[static_cast<int>(info.param.where)]) + "With" +
         std::to_string(info.param.number);
}

INSTANTIATE_TEST_SUITE_P(EachOperation, AvviaFailure, ::testing::ValuesIn(FailureCases()),
                         FailureName);

// A failure to read the attributes only means "not installed": it never
// reaches the error trap, whatever its number.
class AvviaAttributesFailure : public ::testing::TestWithParam<ErrorNumber> {};

TEST_P(AvviaAttributesFailure, CountsAsMissing) {
  FakePlatform platform;
  platform.attributes[kInstalled] = Failed(GetParam());
  EXPECT_EQ(Avvia(platform, kWindowsLayout), (Outcome{Ending::kCompleted, 0}));
  EXPECT_THAT(platform.calls, ElementsAre(kGetSystemDirectory, kTestInstalled, kProgramDirectory,
                                          kCopy, kStartRegistration, kProgramDirectory, kStartBin));
}

INSTANTIATE_TEST_SUITE_P(EachNumber, AvviaAttributesFailure, ::testing::Values(70, 75, 53, 76, 5));

TEST(Avvia, QuotesAProgramPathWithBlanksOnTheCommandLine) {
  FakePlatform platform;
  platform.program_directory = "C:\\Program Files\\Tessaldo prova";
  platform.attributes[kInstalled] = kAttributeNormal;
  EXPECT_EQ(Avvia(platform, kWindowsLayout).ending, Ending::kCompleted);
  EXPECT_THAT(platform.CallsOf("StartProgram"),
              ElementsAre(kStartRegistration,
                          Call{"StartProgram",
                               {"C:\\Program Files\\Tessaldo prova\\bin.exe",
                                "\"C:\\Program Files\\Tessaldo prova\\bin.exe\"", "1"}}));
}

TEST(Avvia, UsesSlashesAndBareNamesInThePosixLayout) {
  FakePlatform platform;
  platform.system_directory = "/usr/lib/tessaldo/system";
  platform.program_directory = "/opt/Tessaldo prova";
  platform.start_failures["/opt/Tessaldo prova/bin"] = kPathFileAccessError;
  EXPECT_EQ(Avvia(platform, kPosixLayout), (Outcome{Ending::kElevatedRestart, 75}));
  EXPECT_THAT(
      platform.calls,
      ElementsAre(
          kGetSystemDirectory, Call{"FileAttributes", {"/usr/lib/tessaldo/system/RICHTX32.OCX"}},
          kProgramDirectory,
          Call{"FileCopy",
               {"/opt/Tessaldo prova/RICHTX32.OCX", "/usr/lib/tessaldo/system/RICHTX32.OCX"}},
          Call{"StartProgram",
               {"/usr/lib/tessaldo/system/regsvr32", "regsvr32 /s RICHTX32.OCX", "2"}},
          kProgramDirectory,
          Call{"StartProgram", {"/opt/Tessaldo prova/bin", "\"/opt/Tessaldo prova/bin\"", "1"}},
          kProgramDirectory,
          Call{"ShellExecuteA",
               {"0", "runas", "/opt/Tessaldo prova/Tessaldo", "", "/opt/Tessaldo prova", "1"}}));
}

TEST(EsisteFile, IsTrueForAnExistingPathThatIsNoDirectory) {
  FakePlatform platform;
  platform.attributes["a"] = kAttributeNormal;
  platform.attributes["b"] = kAttributeReadOnly;
  platform.attributes["c"] = 0x20u;
  platform.attributes["d"] = kAttributeDirectory;
  platform.attributes["e"] = kAttributeDirectory | kAttributeReadOnly;
  platform.attributes["f"] = Failed(kPermissionDenied);
  EXPECT_TRUE(EsisteFile(platform, "a"));
  EXPECT_TRUE(EsisteFile(platform, "b"));
  EXPECT_TRUE(EsisteFile(platform, "c"));
  EXPECT_FALSE(EsisteFile(platform, "d"));
  EXPECT_FALSE(EsisteFile(platform, "e"));
  EXPECT_FALSE(EsisteFile(platform, "f"));
  EXPECT_FALSE(EsisteFile(platform, "missing"));
  EXPECT_THAT(platform.CallsOf("ShellExecuteA"), IsEmpty());
}

}  // namespace
}  // namespace tessaldo::launcher
