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

const std::wstring kClsidKey = std::wstring(L"CLSID\\") + kClsid;
// The trees the registration writes below the classes.
const std::wstring kRoots[] = {kClsidKey, kProgId, kVersionIndependentProgId};

// A key's default value, "<none>" when the key is missing.
std::wstring DefaultValue(const std::wstring& key) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS) {
    return L"<none>";
  }
  return data;
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  ::RegCloseKey(opened);
  return true;
}

void ExpectUnregistered() {
  for (const auto& root : kRoots) EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, root));
  EXPECT_EQ(RegisteredControlPath(), L"");
}

void ExpectRegistered(const fs::path& file) {
  EXPECT_TRUE(fs::equivalent(RegisteredControlPath(), file));
  const std::wstring progid = kProgId, independent = kVersionIndependentProgId;
  const std::pair<std::wstring, std::wstring> values[] = {
      {kClsidKey, kDescription},
      {kClsidKey + L"\\ProgID", kProgId},
      {kClsidKey + L"\\VersionIndependentProgID", kVersionIndependentProgId},
      {progid + L"\\CLSID", kClsid},
      {independent + L"\\CLSID", kClsid},
      {independent + L"\\CurVer", kProgId}};
  for (const auto& [key, value] : values) EXPECT_EQ(DefaultValue(key), value);
}

// Records the registration's server path by hand, as a foreign setup might.
void RecordServer(const std::wstring& path) {
  const std::wstring key = std::wstring(L"Software\\Classes\\") + kServerKey;
  ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, path.c_str(),
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

// The control's own entry points, from the copy beside the test.
struct ControlFile {
  HMODULE module = ::LoadLibraryW(BesideCopy().c_str());
  ~ControlFile() { ::FreeLibrary(module); }
  HRESULT Call(const char* entry) const {
    const auto function = reinterpret_cast<HRESULT(__stdcall*)()>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module, entry)));
    return function != nullptr ? function() : E_NOTIMPL;
  }
};

class Registration : public ::testing::Test {
 protected:
  void SetUp() override { RemoveRegistration(); }
  void TearDown() override { RemoveRegistration(); }
};

TEST_F(Registration, EntryPointsWriteTheFilesPathAndRemoveEveryKeyTheyWrote) {
  const ControlFile control;
  ASSERT_NE(control.module, nullptr);
  // A neighbour under the machine's classes that is not the control's.
  const std::wstring neighbour = L"Software\\Classes\\Tessaldo.Testo256.Vicino";
  ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, neighbour.c_str(), nullptr, REG_SZ, L"", 2),
            ERROR_SUCCESS);

  ASSERT_EQ(control.Call("DllRegisterServer"), S_OK);
  ExpectRegistered(BesideCopy());
  ASSERT_EQ(control.Call("DllRegisterServer"), S_OK);  // again: the same keys

  ASSERT_EQ(control.Call("DllUnregisterServer"), S_OK);
  ExpectUnregistered();
  EXPECT_EQ(control.Call("DllUnregisterServer"), S_OK);  // nothing left to remove is no failure
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, neighbour));
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, neighbour.c_str());
}

TEST_F(Registration, SystemRegsvr32RegistersAndUnregistersSilently) {
  const fs::path regsvr32 = SystemFolder() / L"regsvr32.exe";
  const std::wstring control = L"\"" + BesideCopy().wstring() + L"\"";

  ASSERT_EQ(RunProgram(regsvr32, L"/s " + control), 0);
  ExpectRegistered(BesideCopy());
  ASSERT_EQ(RunProgram(regsvr32, L"/s /u " + control), 0);
  ExpectUnregistered();
}

// Only the identity counts, read without running the file: not a real DLL, the program itself,
// a text file of the control's name, a folder, nothing.
TEST(Loader, KnowsTheProjectsOwnControlWithoutRunningAForeignFile) {
  const fs::path folder = ScratchFolder(L"estraneo");
  const fs::path text = folder / kFileName;
  std::ofstream(text) << "RICHTX32.OCX\n";
  EXPECT_TRUE(IsOwnControl(BesideCopy().wstring()));
  for (const std::wstring& foreign :
       {(SystemFolder() / L"msftedit.dll").wstring(), ModuleFile().wstring(), text.wstring(),
        (folder / L"manca.ocx").wstring(), folder.wstring(), std::wstring()}) {
    EXPECT_FALSE(IsOwnControl(foreign)) << fs::path(foreign).string();
  }
  EXPECT_FALSE(LoadControlFrom(text.wstring()));
  EXPECT_EQ(ControlBesideProgram(), BesideCopy().wstring());
  fs::remove_all(folder);
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
  intptr_t RunChild(const fs::path& folder, const std::wstring& expected) {
    const fs::path program = folder / L"prova figlia.exe";
    fs::copy_file(ModuleFile(), program, fs::copy_options::overwrite_existing);
    ::SetEnvironmentVariableW(kChildVariable, expected.c_str());
    const intptr_t code = RunProgram(program, L"--gtest_filter=LoaderChild.*");
    ::SetEnvironmentVariableW(kChildVariable, nullptr);
    return code;
  }
};

TEST_F(LoaderChoice, RegisteredControlFirstThenTheCopyBesideTheProgram) {
  const fs::path folder = ScratchFolder(L"scelta");
  const fs::path alone = folder / L"senza controllo";
  const fs::path beside = folder / L"con controllo";
  fs::create_directories(alone);
  fs::create_directories(beside);
  fs::copy_file(BesideCopy(), beside / kFileName);

  // Nothing registered: the copy beside the program, or nothing at all.
  EXPECT_EQ(RunChild(beside, (beside / kFileName).wstring()), 0);
  EXPECT_EQ(RunChild(alone, L""), 0);

  // Registered: that file, even with a copy beside the program.
  RecordServer(BesideCopy().wstring());
  EXPECT_EQ(RunChild(alone, BesideCopy().wstring()), 0);
  EXPECT_EQ(RunChild(beside, BesideCopy().wstring()), 0);

  // A foreign file of that name registered, or a registered file gone: the copy beside.
  const fs::path foreign = folder / kFileName;
  { std::ofstream(foreign) << "non un controllo\n"; }
  RecordServer(foreign.wstring());
  EXPECT_EQ(RunChild(beside, (beside / kFileName).wstring()), 0);
  EXPECT_EQ(RunChild(alone, L""), 0);
  RecordServer((folder / L"sparito" / kFileName).wstring());
  EXPECT_EQ(RunChild(beside, (beside / kFileName).wstring()), 0);
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
