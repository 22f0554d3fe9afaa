// The text control RICHTX32.OCX as a program meets it: the window class it registers, what its
// registration writes and removes, and which file the loader takes.
#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <process.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tessaldo/text_control/identity.h"
#include "tessaldo/text_control/loader.h"
#include "tessaldo/text_control/text_control.h"

namespace tessaldo::text_control {
namespace {

namespace fs = std::filesystem;

constexpr COLORREF kBlue = RGB(0, 0, 150);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr wchar_t kChildVariable[] = L"TESSALDO_TEST_ATTESO";

// The file of `module`, this program when null.
fs::path ModuleFile(HMODULE module = nullptr) {
  std::wstring path(32768, L'\0');
  path.resize(::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

fs::path BesideCopy() {
  return ModuleFile().parent_path() / kFileName;
}

fs::path SystemFolder() {
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  return system;
}

// A fresh folder of its own below the system's temporary folder.
fs::path ScratchFolder(const std::wstring& name) {
  const fs::path folder = fs::temp_directory_path() / (L"tessaldo-" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// The trees the registration writes below the machine's classes.
const std::wstring kRoots[] = {std::wstring(L"CLSID\\") + kClsid, kProgId,
                               kVersionIndependentProgId};

bool KeyExists(const std::wstring& key) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str(), 0, KEY_READ,
                      &opened) != ERROR_SUCCESS) {
    return false;
  }
  ::RegCloseKey(opened);
  return true;
}

// Records the registration's server path by hand, as a foreign setup might.
void RecordServer(const std::wstring& path) {
  ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, REG_SZ, path.c_str(),
                              static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

void RemoveRegistration() {
  for (const auto& root : kRoots) {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + root).c_str());
  }
}

// Runs `program` with `arguments` to its end: its exit code, -1 when it did not start.
intptr_t RunProgram(const fs::path& program, const std::wstring& arguments) {
  const std::wstring quoted = L"\"" + program.wstring() + L"\"";
  return ::_wspawnl(_P_WAIT, program.c_str(), quoted.c_str(), arguments.c_str(), nullptr);
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override { RemoveRegistration(); }
  void TearDown() override { RemoveRegistration(); }
};

// By the system's regsvr32, given the file's full, quoted path as the launcher gives it: the
// file's path under the class; every key removed again (twice: nothing left to remove is no
// failure), and a neighbour under the machine's classes that is not the control's left alone.
TEST_F(Registration, Regsvr32RecordsTheFilesPathAndRemovesEveryKeyItWrote) {
  const std::wstring neighbour = L"Software\\Classes\\Tessaldo.Testo256.Vicino";
  ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, neighbour.c_str(), nullptr, REG_SZ, L"", 2),
            ERROR_SUCCESS);
  const fs::path regsvr32 = SystemFolder() / L"regsvr32.exe";
  const std::wstring quoted = L"\"" + BesideCopy().wstring() + L"\"";
  ASSERT_EQ(RunProgram(regsvr32, L"/s " + quoted), 0);
  EXPECT_TRUE(fs::equivalent(RegisteredControlPath(), BesideCopy()));
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

// Run in a program of its own by the test below (skipped otherwise): loads the control and
// checks that its class comes from the file named by the variable, or that none loads when the
// variable is empty.
TEST(LoaderChild, LoadsFromTheExpectedFile) {
  wchar_t expected[32768];
  const DWORD length = ::GetEnvironmentVariableW(kChildVariable, expected, 32768);
  if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) GTEST_SKIP();
  const std::wstring file(expected, length);
  ASSERT_EQ(LoadTextControl(), !file.empty());
  if (file.empty()) return;
  EXPECT_TRUE(fs::equivalent(ClassFile(), file)) << ClassFile().string();
  EXPECT_TRUE(LoadTextControl());  // again: the class stays
  const HWND box = ::CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 200, 30, nullptr,
                                     nullptr, ::GetModuleHandleW(nullptr), nullptr);
  EXPECT_NE(box, nullptr);
  ::DestroyWindow(box);
}

class LoaderChoice : public Registration {
 protected:
  // This test program, copied into `folder` (without a control beside it unless one is put
  // there), run for the child test expecting `expected`.
  intptr_t RunChild(const fs::path& folder, const fs::path& expected) {
    const fs::path program = folder / L"prova figlia.exe";
    fs::copy_file(ModuleFile(), program, fs::copy_options::overwrite_existing);
    ::SetEnvironmentVariableW(kChildVariable, expected.c_str());
    const intptr_t code = RunProgram(program, L"--gtest_filter=LoaderChild.*");
    ::SetEnvironmentVariableW(kChildVariable, nullptr);
    return code;
  }
};

// Trusted by where it lies: the system folder's copy only when the machine's registration names
// that very file (in any case, by any path); otherwise the copy beside the program, whatever
// else is registered.
TEST_F(LoaderChoice, TheSystemCopyWhenTheMachineRegistersItElseTheCopyBesideTheProgram) {
  const fs::path folder = ScratchFolder(L"scelta");
  const fs::path alone = folder / L"senza controllo", beside = folder / L"con controllo";
  const fs::path system = SystemFolder() / kFileName, own = beside / kFileName;
  fs::create_directories(alone);
  fs::create_directories(beside);
  fs::copy_file(BesideCopy(), own);
  fs::copy_file(BesideCopy(), system, fs::copy_options::overwrite_existing);

  for (const bool registered_elsewhere : {false, true}) {
    if (registered_elsewhere) RecordServer(BesideCopy().wstring());
    EXPECT_EQ(RunChild(beside, own), 0);
    EXPECT_EQ(RunChild(alone, L""), 0);
  }
  RecordServer(SystemFolder().wstring() + L"\\..\\SYSTEM32\\richtx32.ocx");
  EXPECT_EQ(RunChild(beside, system), 0);
  EXPECT_EQ(RunChild(alone, system), 0);
  { std::ofstream(system) << "non un controllo\n"; }  // registered, but no control
  EXPECT_EQ(RunChild(beside, own), 0);
  fs::remove(system);
  fs::remove_all(folder);
}

// A box of the control's class, created as the converter window creates Text6.
class Box : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(LoadTextControl()); }
  void SetUp() override {
    window_ = ::CreateWindowExW(0, kWindowClass, L"",
                                WS_POPUP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | WS_TABSTOP, 0,
                                0, 300, 30, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { ::DestroyWindow(window_); }

  std::wstring Text() const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window_, text.data(), text.size())));
    return text;
  }
  CHARFORMAT2W Format(LONG position) const {
    CHARRANGE range{position, position + 1};
    ::SendMessageW(window_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    ::SendMessageW(window_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
  }
  // The positions of the red characters; fails on a character neither blue nor red.
  std::set<LONG> RedPositions() const {
    std::set<LONG> red;
    const auto length = static_cast<LONG>(Text().size());
    for (LONG position = 0; position < length; ++position) {
      const CHARFORMAT2W format = Format(position);
      EXPECT_TRUE((format.dwMask & CFM_COLOR) && !(format.dwEffects & CFE_AUTOCOLOR));
      if (format.crTextColor == kRed) {
        red.insert(position);
      } else {
        EXPECT_EQ(format.crTextColor, kBlue) << "at " << position;
      }
    }
    return red;
  }
  LRESULT SetText(const std::wstring& text) const {
    return ::SendMessageW(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

  HWND window_ = nullptr;
};

// One read-only line, whatever the converter asks for; then given a font, which must not undo
// the colours, and typed into, which must change nothing.
TEST_F(Box, OneReadOnlyLineShowingEachPairOfBarsAsOneRedBar) {
  EXPECT_EQ(::GetWindowLongPtrW(window_, GWL_STYLE) &
                (ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_READONLY | WS_TABSTOP),
            ES_READONLY | WS_TABSTOP);
  const HFONT font =
      ::CreateFontW(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
  struct Case {
    std::wstring raw, shown;
    std::set<LONG> red;
  };
  const std::vector<Case> cases = {
      {L"", L"", {}},
      {L"|| ", L"| ", {0}},              // 0
      {L"|| A || ", L"| A | ", {0, 4}},  // 65
      {L"|| | || ", L"| | | ", {0, 4}},  // 124: the token itself stays blue
      {L"|| { || SOH || \\ || } || ", L"| { | SOH | \\ | } | ", {0, 4, 10, 14, 18}},
      {L"|| \u00e9 || \u00ff || ", L"| \u00e9 | \u00ff | ", {0, 4, 8}},
      {L"a|b", L"a|b", {}},
      {L"||||", L"||", {0, 1}},
      {L"|||", L"||", {0}},
      {L"||||| ||", L"||| |", {0, 1, 4}},
      {std::wstring(8200, L'|'), std::wstring(4100, L'|'), {}},  // too long to colour: all blue
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fs::path(c.raw).string());
    EXPECT_EQ(SetText(c.raw), TRUE);
    ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageW(window_, WM_CHAR, L'x', 0);
    EXPECT_EQ(Text(), c.shown);
    CHARRANGE caret{-2, -2};
    ::SendMessageW(window_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_TRUE(caret.cpMin == 0 && caret.cpMax == 0) << caret.cpMin << "-" << caret.cpMax;
    EXPECT_EQ(RedPositions(), c.red);
    const CHARFORMAT2W first = Format(0);  // the font given, kept
    EXPECT_EQ(first.szFaceName + std::to_wstring(first.yHeight), L"Arial240");
    EXPECT_TRUE(first.dwEffects & CFE_BOLD);
  }
  ::DestroyWindow(window_);
  window_ = nullptr;
  ::DeleteObject(font);
}

}  // namespace
}  // namespace tessaldo::text_control
