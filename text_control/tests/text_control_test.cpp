// The text control RICHTX32.OCX as a program meets it: the window class it registers, what its
// registration writes and removes, and which file the loader takes.
#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <process.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tessaldo/text_control/identity.h"
#include "tessaldo/text_control/loader.h"
#include "tessaldo/text_control/text_control.h"

namespace tessaldo::text_control {
namespace {

namespace fs = std::filesystem;

constexpr COLORREF kBlue = RGB(0, 0, 150), kRed = RGB(255, 0, 0);
constexpr wchar_t kChildVariable[] = L"TESSALDO_TEST_ATTESO";

// The file of `module`, this program when null.
fs::path ModuleFile(HMODULE module = nullptr) {
  std::wstring path(32768, L'\0');
  path.resize(::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

const fs::path kBeside = ModuleFile().parent_path() / kFileName;
const fs::path kSystem = fs::path(std::getenv("SystemRoot")) / "system32";

// The trees the registration writes below the machine's classes.
const std::wstring kRoots[] = {std::wstring(L"CLSID\\") + kClsid, kProgId,
                               kVersionIndependentProgId};

bool KeyExists(const std::wstring& key) {
  HKEY opened = nullptr;
  const auto name = L"Software\\Classes\\" + key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, KEY_READ, &opened)) return false;
  return ::RegCloseKey(opened), true;
}

// Records the registration's server path by hand, as a foreign setup might.
void RecordServer(const std::wstring& path) {
  ASSERT_FALSE(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, REG_SZ, path.c_str(),
                                 static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))));
}

// Runs `program` with `arguments` to its end: its exit code, -1 when it did not start.
intptr_t RunProgram(const fs::path& program, const std::wstring& arguments) {
  const std::wstring quoted = L"\"" + program.wstring() + L"\"";
  return ::_wspawnl(_P_WAIT, program.c_str(), quoted.c_str(), arguments.c_str(), nullptr);
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    for (const auto& root : kRoots) {
      ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + root).c_str());
    }
  }
};

// By the system's regsvr32, given the file's full, quoted path as the launcher gives it: the
// file's path under the class; every key removed again (twice: nothing left to remove is no
// failure), and a neighbour under the machine's classes that is not the control's left alone.
TEST_F(Registration, Regsvr32RecordsTheFilesPathAndRemovesEveryKeyItWrote) {
  const std::wstring neighbour = L"Software\\Classes\\Tessaldo.Testo256.Vicino";
  ASSERT_FALSE(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, neighbour.c_str(), nullptr, REG_SZ, L"", 2));
  const fs::path regsvr32 = kSystem / L"regsvr32.exe";
  const std::wstring quoted = L"\"" + kBeside.wstring() + L"\"";
  ASSERT_EQ(RunProgram(regsvr32, L"/s " + quoted), 0);
  EXPECT_TRUE(fs::equivalent(RegisteredControlPath(), kBeside));
  for (const auto& root : kRoots) EXPECT_TRUE(KeyExists(root));
  for (int i = 0; i < 2; ++i) EXPECT_EQ(RunProgram(regsvr32, L"/s /u " + quoted), 0);
  for (const auto& root : kRoots) EXPECT_FALSE(KeyExists(root));
  EXPECT_TRUE(KeyExists(L"Tessaldo.Testo256.Vicino"));
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, neighbour.c_str());
}

// The file whose code the process's kWindowClass runs.
fs::path ClassFile() {
  WNDCLASSEXW found{};
  found.cbSize = sizeof found;
  ::GetClassInfoExW(::GetModuleHandleW(nullptr), kWindowClass, &found);
  HMODULE module = nullptr;  // on any failure this program, never a control
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(found.lpfnWndProc), &module);
  return ModuleFile(module);
}

// Run in a program of its own by the test below (skipped otherwise): the control's class comes
// from the file the variable names, or none loads when it is empty.
TEST(LoaderChild, LoadsFromTheExpectedFile) {
  wchar_t expected[32768];
  const DWORD length = ::GetEnvironmentVariableW(kChildVariable, expected, 32768);
  if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) GTEST_SKIP();
  const std::wstring file(expected, length);
  ASSERT_EQ(LoadTextControl(), !file.empty());
  if (file.empty()) return;
  EXPECT_TRUE(fs::equivalent(ClassFile(), file)) << ClassFile().string();
  EXPECT_TRUE(LoadTextControl());  // again: the class stays
}

// This test program, copied into `folder` (without a control beside it unless one is put there),
// run for the child test expecting `expected`.
intptr_t RunChild(const fs::path& folder, const fs::path& expected) {
  fs::copy_file(ModuleFile(), folder / L"prova figlia.exe", fs::copy_options::overwrite_existing);
  ::SetEnvironmentVariableW(kChildVariable, expected.c_str());
  const intptr_t code = RunProgram(folder / L"prova figlia.exe", L"--gtest_filter=LoaderChild.*");
  ::SetEnvironmentVariableW(kChildVariable, nullptr);
  return code;
}
using LoaderChoice = Registration;

// Trusted by where it lies: the system folder's copy only when the machine's registration names
// that very file (in any case, by any path); otherwise the copy beside the program, whatever
// else is registered.
TEST_F(LoaderChoice, TheSystemCopyWhenTheMachineRegistersItElseTheCopyBesideTheProgram) {
  const fs::path folder = fs::temp_directory_path() / L"tessaldo-scelta";
  const fs::path alone = folder / L"senza controllo", beside = folder / L"con controllo";
  const fs::path system = kSystem / kFileName, own = beside / kFileName;
  fs::remove_all(folder);
  fs::create_directories(alone), fs::create_directories(beside);
  fs::copy_file(kBeside, own);
  fs::copy_file(kBeside, system, fs::copy_options::overwrite_existing);
  for (const bool registered_elsewhere : {false, true}) {
    if (registered_elsewhere) RecordServer(kBeside.wstring());
    EXPECT_EQ(RunChild(beside, own), 0);
    EXPECT_EQ(RunChild(alone, L""), 0);
  }
  RecordServer(kSystem.wstring() + L"\\..\\SYSTEM32\\richtx32.ocx");
  EXPECT_EQ(RunChild(beside, system), 0);
  EXPECT_EQ(RunChild(alone, system), 0);
  { std::ofstream(system) << "non un controllo\n"; }  // registered, but no control
  EXPECT_EQ(RunChild(beside, own), 0);
  fs::remove(system);
  fs::remove_all(folder);
}

// A box of the control's class, created as the converter window creates Text6: one read-only
// line, whatever the converter asks for; then given a font, which must not undo the colours, and
// typed into, which must change nothing. Bars of the token "|" (124) itself stay blue.
TEST(Box, OneReadOnlyLineShowingEachPairOfBarsAsOneRedBar) {
  ASSERT_TRUE(LoadTextControl());
  const HWND box = ::CreateWindowExW(
      0, kWindowClass, L"", WS_POPUP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | WS_TABSTOP, 0, 0,
      300, 30, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(::GetWindowLongPtrW(box, GWL_STYLE) &
                (ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_READONLY | WS_TABSTOP),
            ES_READONLY | WS_TABSTOP);
  const HFONT font =
      ::CreateFontW(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
  const auto format = [box](LONG position) {  // of the character at `position`
    CHARRANGE range{position, position + 1};
    ::SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    ::SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
  };
  const struct {
    std::wstring raw, shown;
    std::set<LONG> red;
  } cases[] = {
      // clang-format off
      {L"", L"", {}}, {L"|| ", L"| ", {0}}, {L"|| A || ", L"| A | ", {0, 4}},
      {L"|| | || ", L"| | | ", {0, 4}}, {L"a|b", L"a|b", {}}, {L"||||", L"||", {0, 1}},
      {L"|| { || SOH || \\ || } || ", L"| { | SOH | \\ | } | ", {0, 4, 10, 14, 18}},
      {L"|| \u00e9 || \u00ff || ", L"| \u00e9 | \u00ff | ", {0, 4, 8}}, {L"|||", L"||", {0}},
      {L"||||| ||", L"||| |", {0, 1, 4}},
      {std::wstring(8200, L'|'), std::wstring(4100, L'|'), {}}};  // too long to colour: all blue
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(fs::path(c.raw).string());
    EXPECT_EQ(::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.raw.c_str())), TRUE);
    ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageW(box, WM_CHAR, L'x', 0);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(box, text.data(), text.size())));
    EXPECT_EQ(text, c.shown);
    CHARRANGE caret{-2, -2};
    ::SendMessageW(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_TRUE(caret.cpMin == 0 && caret.cpMax == 0) << caret.cpMin << "-" << caret.cpMax;
    std::set<LONG> red;  // every character red or blue
    for (LONG position = 0; position < static_cast<LONG>(text.size()); ++position) {
      const CHARFORMAT2W shown = format(position);
      EXPECT_TRUE((shown.dwMask & CFM_COLOR) && !(shown.dwEffects & CFE_AUTOCOLOR) &&
                  (shown.crTextColor == kRed || shown.crTextColor == kBlue))
          << "at " << position;
      if (shown.crTextColor == kRed) red.insert(position);
    }
    EXPECT_EQ(red, c.red);
    const CHARFORMAT2W first = format(0);  // the font given, kept
    EXPECT_EQ(first.szFaceName + std::to_wstring(first.yHeight), L"Arial240");
    EXPECT_TRUE(first.dwEffects & CFE_BOLD);
  }
  ::DestroyWindow(box);
  ::DeleteObject(font);
}

}  // namespace
}  // namespace tessaldo::text_control
