// Form1 on Win32, driven through its real controls; under Wine with the null graphics driver.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "front_end_cases.h"
#include "tessaldo/converter_window/character_table.h"
#include "tessaldo/converter_window/form1_layout.h"
#include "tessaldo/conversion/text6_display.h"
#include "tessaldo/converter_window/win32/form1.h"
#include "tessaldo/platform/win32_ui/gdi.h"
#include "tessaldo/platform/win32_ui/text.h"
#include "tessaldo/text_control/text_control.h"

namespace tessaldo::win32 {
namespace {

// Records each tone instead of playing it; `during` runs while the tone would play.
class RecordingBeeper final : public platform::Beeper {
 public:
  void Beep(unsigned frequencyHz, unsigned durationMs) override {
    tones.push_back(frequencyHz * 1000 + durationMs);
    if (during) during();
  }
  std::vector<unsigned> tones;
  std::function<void()> during;
};

std::string TextOf(HWND control) {
  wchar_t text[256] = {};
  ::GetWindowTextW(control, text, 256);
  return Narrow(text);
}

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

bool SetClipboard(const std::wstring& text) {
  if (!::OpenClipboard(nullptr)) return false;
  ::EmptyClipboard();
  HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::memcpy(::GlobalLock(data), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  ::GlobalUnlock(data);
  const bool set = ::SetClipboardData(CF_UNICODETEXT, data) != nullptr;
  ::CloseClipboard();
  return set;
}

class Form1Win32Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
  }
  void SetUp() override {
    hooks.showAbout = [this] { ++abouts; };
    hooks.trackMenu = [this](HMENU menu, POINT) { return PickFromMenu(menu); };
    form = std::make_unique<Form1>(::GetModuleHandleW(nullptr), beeper, hooks);
    ASSERT_TRUE(form->Create());
    ::ShowWindow(form->Handle(), SW_SHOW);
    Pump();
  }
  HWND Control(std::string_view name) const {
    HWND control = form->Control(name);
    if (control == nullptr) throw std::runtime_error(std::string(name));
    return control;
  }
  HWND Text(int n) const { return Control(n == 6 ? "Text6Raw" : "Text" + std::to_string(n)); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (int n = 1; n <= 6; ++n) texts.push_back(TextOf(Text(n)));
    return texts;
  }
  void Type(HWND field, std::u16string_view keys) {
    for (const char16_t key : keys) ::SendMessageW(field, WM_CHAR, key, 1);
  }
  // The menu's entries as "text" or "text-" for a greyed one; picks the entry `menuPick`.
  UINT PickFromMenu(HMENU menu) {
    menuSeen.clear();
    UINT picked = 0;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = {};
      ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
      const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      if (state & MF_SEPARATOR) continue;
      const bool greyed = state & MF_GRAYED;
      menuSeen += (menuSeen.empty() ? "" : "|") + Narrow(text) + (greyed ? "-" : "");
      if (!greyed && text == menuPick) picked = ::GetMenuItemID(menu, i);
    }
    return picked;
  }
  void Menu(HWND field, const std::wstring& entry) {
    menuPick = entry;
    ::SendMessageW(field, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(field), MAKELPARAM(5, 5));
  }
  // A double-click on the table's row `code`, where the row is on the screen.
  void Pick(int code) {
    HWND list = Control("ListView1");
    ListView_EnsureVisible(list, code, FALSE);
    RECT row{};
    ListView_GetItemRect(list, code, &row, LVIR_LABEL);
    const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
    ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
    Pump();
  }
  // Text6 as shown: each character, then R for red or B for dark blue, read from the control.
  std::string Text6Colours() const {
    HWND text6 = Control("Text6");
    std::string shown;
    const int length = ::GetWindowTextLengthW(text6);
    for (int i = 0; i < length; ++i) {
      ::SendMessageW(text6, EM_SETSEL, i, i + 1);
      CHARFORMAT2W format{};
      format.cbSize = sizeof format;
      ::SendMessageW(text6, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      wchar_t c[2] = {};
      TEXTRANGEW range{{i, i + 1}, c};
      ::SendMessageW(text6, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
      shown += Narrow(c);
      shown += format.crTextColor == design::kSeparatorRed.ColorRef() ? "R"
               : format.crTextColor == design::kDarkBlue.ColorRef()   ? "B"
                                                                      : "?" + std::to_string(format.crTextColor) + "/" + std::to_string(format.dwEffects);
    }
    return shown;
  }

  RecordingBeeper beeper;
  Form1::Hooks hooks;
  int abouts = 0;
  std::wstring menuPick;
  std::string menuSeen;
  std::unique_ptr<Form1> form;
};

// The cases both windows play: each gesture through the real controls.
TEST_F(Form1Win32Test, FrontEndCases) {
  using front_end_cases::Action;
  for (const auto& c : front_end_cases::Cases()) {
    SetUp();
    for (const auto& step : c.steps) {
      HWND field = Text(static_cast<int>(step.field) + 1);
      switch (step.action) {
        case Action::kType: Type(field, step.text); break;
        case Action::kBackspace: ::SendMessageW(field, WM_CHAR, VK_BACK, 1); break;
        case Action::kMenuPaste:
          ASSERT_TRUE(SetClipboard({step.text.begin(), step.text.end()}));
          Menu(field, L"Incolla");
          break;
        case Action::kUndo: ::SendMessageW(field, WM_CHAR, 0x1A, 1); break;  // Ctrl+Z
        case Action::kPick: Pick(step.code); break;
        case Action::kCancella: ::SendMessageW(Control("Command2"), BM_CLICK, 0, 0); break;
      }
    }
    Pump();
    for (int f = 0; f < 6; ++f) EXPECT_EQ(TextOf(Text(f + 1)), c.fields[f]) << c.name << " " << f;
    EXPECT_EQ(TextOf(Control("Label6")), c.label6) << c.name;
    EXPECT_EQ(beeper.tones, std::vector<unsigned>(c.beeps, 200200)) << c.name;
    beeper.tones.clear();
  }
}

// The clipboard keys, Delete, the menu, input methods and text set from outside all go through
// the model; a written field shows its beginning; Text6 shows the red bars.
TEST_F(Form1Win32Test, EveryWayInKeepsTheFieldsInStep) {
  Type(Text(1), u"12345678901234");
  for (int n : {2, 3, 4}) {
    EXPECT_EQ(::SendMessageW(Text(n), EM_CHARFROMPOS, 0, MAKELPARAM(2, 5)) & 0xFFFF, 0) << n;
    DWORD start = 9, end = 9;
    ::SendMessageW(Text(n), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start + end, 0u) << n;
  }
  ::SendMessageW(Text(1), EM_SETSEL, 0, 14);
  Menu(Text(1), L"Taglia");
  EXPECT_EQ(menuSeen, "Annulla|Taglia|Copia|Incolla|Elimina|Seleziona tutto-");
  EXPECT_EQ(Texts(), (std::vector<std::string>(6)));
  ::SendMessageW(Text(2), WM_CHAR, 0x16, 1);  // Ctrl+V: fourteen digits are too many in binary
  EXPECT_EQ(beeper.tones.size(), 1u);
  ::SendMessageW(Text(4), WM_KEYDOWN, VK_INSERT, 0);  // Insert alone: nothing
  EXPECT_EQ(TextOf(Text(4)), "");

  ASSERT_TRUE(SetClipboard(L"0x_FF"));
  ::SendMessageW(Text(3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"17"));  // from outside
  EXPECT_EQ(Texts(), (std::vector<std::string>{"15", "1111", "17", "F", "XV", "|| SI || "}));
  ::SendMessageW(Text(3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"19"));
  EXPECT_EQ(TextOf(Text(3)), "17");
  EXPECT_EQ(::SendMessageW(Text(5), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"V")), FALSE);
  ::SendMessageW(Text(4), WM_CHAR, 0x01, 1);  // Ctrl+A
  ::SendMessageW(Text(4), WM_PASTE, 0, 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"255", "11111111", "377", "FF", "CCLV",
                                               "|| NBSP || "}));
  ::SendMessageW(Text(4), EM_SETSEL, 0, 1);
  ::SendMessageW(Text(4), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(TextOf(Text(1)), "15");
  ::SendMessageW(Text(4), EM_SETSEL, 1, 1);
  ::SendMessageW(Text(4), WM_IME_CHAR, L'A', 1);
  EXPECT_EQ(TextOf(Text(4)), "FA");
  ::SendMessageW(Text(4), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" 0"));
  EXPECT_EQ(TextOf(Text(1)), "4000");
  EXPECT_EQ(TextOf(Text(5)), "Conversione impossibile (>3999)");
  ::SendMessageW(Text(4), EM_SETSEL, 0, 3);
  ::SendMessageW(Text(4), WM_KEYDOWN, VK_DELETE, 0);  // Shift is not held: no copy
  EXPECT_EQ(Texts(), (std::vector<std::string>(6)));
  ::SendMessageW(Text(4), EM_UNDO, 0, 0);
  EXPECT_EQ(TextOf(Text(1)), "4000");
  Menu(Text(5), L"Copia");
  EXPECT_EQ(menuSeen, "Annulla-|Taglia-|Copia-|Incolla-|Elimina-|Seleziona tutto");
  EXPECT_EQ(beeper.tones, (std::vector<unsigned>{200200, 200200}));  // 14 binary digits, "19"

  // Text6 shows each pair of bars as one red bar, the rest dark blue.
  ::SendMessageW(Text(1), EM_SETSEL, 0, -1);
  Type(Text(1), u"124");
  EXPECT_EQ(Text6Colours(), "|R B|B B|R B");
  for (const char16_t* more : {u"00", u"7", u"0"}) {
    Type(Text(1), more);
    const std::string raw = TextOf(Text(6));
    const std::wstring wide = Widen(raw);
    const Text6Display display = ShowText6(std::u16string(wide.begin(), wide.end()));
    std::string expected;
    for (std::size_t i = 0; i < display.text.size(); ++i) {
      expected += Narrow(std::wstring(1, wchar_t(display.text[i])));
      expected += std::ranges::count(display.red, int(i)) ? 'R' : 'B';
    }
    EXPECT_EQ(Text6Colours(), expected) << raw;
  }
}

// The panel opens to the designed width and closes again, Image2 showing the file for each;
// a picture that cannot be read leaves Image2 as it was. Double-click and Enter pick a row.
TEST_F(Form1Win32Test, PanelArrowsAndPicks) {
  HWND image2 = Control("Image2");
  auto arrow = [&] { return form->Image2Picture().PixelAt(4, 12); };
  std::vector<std::pair<int, std::uint32_t>> seen{{form->OuterWidth(), arrow()}};
  for (int click = 0; click < 3; ++click) {
    ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(ControlId("Image2"), STN_CLICKED),
                   reinterpret_cast<LPARAM>(image2));
    seen.emplace_back(form->OuterWidth(), arrow());
  }
  EXPECT_EQ(seen[0].first, 4030);
  EXPECT_EQ(seen[1].first, 7185);
  EXPECT_TRUE(seen[0] == seen[2] && seen[1] == seen[3] && seen[0].second != seen[1].second);

  // Whatever the frame, the client area ends where the designed outer width puts it.
  form->SetProgramDirectory(std::filesystem::temp_directory_path().wstring() + L"\\nowhere");
  ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(ControlId("Image2"), STN_CLICKED),
                 reinterpret_cast<LPARAM>(image2));
  EXPECT_EQ(form->OuterWidth(), 4030);
  EXPECT_EQ(arrow(), seen[1].second);
  RECT client{};
  ::GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, Px(4030 - 90, form->Dpi()));
  ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(ControlId("Image1"), STN_CLICKED),
                 reinterpret_cast<LPARAM>(Control("Image1")));
  EXPECT_EQ(abouts, 1);

  HWND list = Control("ListView1");
  ASSERT_EQ(ListView_GetItemCount(list), 256);
  for (const int code : {0, 32, 124, 128, 255}) {
    wchar_t cells[2][16] = {};
    for (int column : {0, 1}) ListView_GetItemText(list, code, column, cells[column], 16);
    const auto row = character_table::RowAt(code);
    EXPECT_EQ(Narrow(cells[0]) + " " + Narrow(cells[1]), row.code + " " + row.token);
  }
  RECT listRect{};
  ::GetWindowRect(list, &listRect);
  const int listTwips = ::MulDiv(listRect.right - listRect.left, 1440, int(form->Dpi()));
  EXPECT_EQ(ListView_GetColumnWidth(list, 1),
            Px(character_table::Columns(listTwips)[1].twips, form->Dpi()));
  Pick(0);
  ::SetFocus(list);
  ListView_SetItemState(list, 65, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"65", "1000001", "101", "41", "LXV",
                                               "|| NUL || A || "}));
  EXPECT_EQ(form->Model().CaratteriScelti(), (std::vector<std::string>{"NUL", "A"}));
}

// Auto-repeats that arrive while a refused key's tone plays are merged; input waits while a job
// runs; what a job throws stops at the window, the fields shown as the model holds them.
TEST_F(Form1Win32Test, HeldKeysQueuedInputAndFailures) {
  beeper.during = [&] {
    if (beeper.tones.size() > 1) return;
    for (int i = 0; i < 60; ++i) ::PostMessageW(Text(2), WM_CHAR, L'2', 1 | (1 << 30));
    ::Sleep(200);
  };
  ::PostMessageW(Text(2), WM_CHAR, L'2', 1);
  Pump();
  EXPECT_LE(beeper.tones.size(), 2u);
  beeper.during = nullptr;

  ::PostMessageW(Text(1), WM_CHAR, L'5', 1);
  form->RunExclusive([&] {
    Type(Text(1), u"1");  // arrives while a job runs: waits for it
    EXPECT_EQ(TextOf(Text(1)), "");
  });
  EXPECT_EQ(TextOf(Text(1)), "1");
  Pump();
  EXPECT_EQ(TextOf(Text(1)), "15");

  beeper.during = [] { throw std::runtime_error("no sound"); };
  Type(Text(4), u"g");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"15", "1111", "17", "F", "XV", "|| SI || "}));
  beeper.during = nullptr;
  Type(Text(4), u"1");  // a written field shows its beginning: the caret is at 0
  EXPECT_EQ(TextOf(Text(1)), "31");
}

// The designed window at its DPI: places and sizes, colours, pointers, tooltips, names, tab order
// and the first focus; the frame does not resize.
TEST_F(Form1Win32Test, LayoutAtTheWindowsDpi) {
  const UINT dpi = form->Dpi();
  HWND window = form->Handle();
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
  EXPECT_EQ(::GetFocus(), Text(1));
  wchar_t text6Class[64] = {};
  ::GetClassNameW(Control("Text6"), text6Class, 64);
  EXPECT_STREQ(text6Class, text_control::kWindowClass);
  HDC dc = ::GetDC(window);
  std::vector<std::string> tips;
  for (const auto& c : form1_layout::Controls()) {
    HWND control = Control(c.name);
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    const RECT designed = TwipsRect(c.twips.left, c.twips.top, c.twips.width, c.twips.height, dpi);
    EXPECT_EQ(r.left, designed.left) << c.name;
    EXPECT_EQ(r.top, designed.top) << c.name;
    if (c.kind != form1_layout::Kind::kLabel) {
      EXPECT_TRUE(::EqualRect(&r, &designed)) << c.name;
    }
    EXPECT_EQ(::IsWindowVisible(control) != FALSE, c.visible) << c.name;
    if (c.text) {
      ::SetTextColor(dc, 0x123456);
      const UINT colour = c.kind == form1_layout::Kind::kLabel || c.kind == form1_layout::Kind::kLockedEdit
                              ? WM_CTLCOLORSTATIC
                              : WM_CTLCOLOREDIT;
      if (c.kind != form1_layout::Kind::kRichEdit) {
        ::SendMessageW(window, colour, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
        EXPECT_EQ(::GetTextColor(dc), c.text->ColorRef()) << c.name;
        EXPECT_EQ(::GetBkColor(dc), c.background->ColorRef()) << c.name;
      }
    }
    ::SetCursor(nullptr);
    const bool hand = ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) != 0;
    EXPECT_EQ(hand && ::GetCursor() == ::LoadCursorW(nullptr, IDC_HAND), c.hand) << c.name;
    if (!c.accessibleName.empty()) {
      // A field is named by the label created right before it, a picture by its own text.
      HWND namer = c.kind == form1_layout::Kind::kImage ? control : ::GetWindow(control, GW_HWNDPREV);
      EXPECT_EQ(TextOf(namer), c.accessibleName) << c.name;
    }
  }
  ::ReleaseDC(window, dc);
  HWND tooltip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  for (; tooltip != nullptr; tooltip = ::FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr))
    if (::GetWindow(tooltip, GW_OWNER) == window) break;
  ASSERT_NE(tooltip, nullptr);
  for (const auto& c : form1_layout::Controls()) {
    if (c.tooltip.empty()) continue;
    wchar_t text[200] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(Control(c.name));
    tool.lpszText = text;
    ::SendMessageW(tooltip, TTM_GETTEXTW, 200, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(Narrow(text), c.tooltip) << c.name;
  }

  std::vector<std::string> order;
  HWND at = Text(1);
  do {
    for (const auto& c : form1_layout::Controls())
      if (Control(c.name) == at) order.push_back(std::string(c.name));
    at = ::GetNextDlgTabItem(window, at, FALSE);
  } while (at != Text(1) && order.size() < 20);
  EXPECT_EQ(order, (std::vector<std::string>{"Text1", "Text2", "Text3", "Text4", "Text5", "Text6",
                                             "ListView1", "Command2"}));
  // Tab as the message loop hands it on, out of the rich-edit box too.
  for (const char* from : {"Text5", "Text6", "ListView1"}) {
    ::SetFocus(Control(from));
    for (const UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP}) {
      MSG tab{Control(from), message, VK_TAB, 1};
      if (!::IsDialogMessageW(window, &tab)) ::DispatchMessageW(&tab);
    }
    Pump();
    EXPECT_EQ(::GetFocus(), ::GetNextDlgTabItem(window, Control(from), FALSE)) << from;
  }

  // Moved to a screen of 144 dpi: the same twips in its pixels, the panel still closed.
  RECT suggested{10, 20, 700, 900};
  ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form->OuterWidth(), 4030);
  RECT client{}, text2{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, Px(3940, 144));
  EXPECT_EQ(client.bottom, Px(form1_layout::kClientHeight, 144));
  ::GetWindowRect(Text(2), &text2);
  EXPECT_EQ(text2.right - text2.left, Px(3735, 144));
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Text(1), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, FontHeight(14.25, 144));
}

}  // namespace
}  // namespace tessaldo::win32
