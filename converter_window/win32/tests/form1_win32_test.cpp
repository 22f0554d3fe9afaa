// Form1 on Win32, driven through its real controls; under Wine with the null graphics driver.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "front_end_cases.h"
#include "tessaldo/converter_window/form1_layout.h"
#include "tessaldo/converter_window/win32/form1.h"
#include "tessaldo/platform/win32_ui/gdi.h"
#include "tessaldo/platform/win32_ui/text.h"

namespace tessaldo::win32 {
namespace {

using Fields = std::vector<std::string>;

using front_end_cases::RecordingBeeper;

std::string TextOf(HWND control) {
  return Narrow(WindowText(control));
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
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(::GlobalLock(data), text.c_str(), bytes);
  ::GlobalUnlock(data);
  const bool set = ::SetClipboardData(CF_UNICODETEXT, data) != nullptr;
  ::CloseClipboard();
  return set;
}

LRESULT Send(HWND to, UINT message, WPARAM w = 0, LPARAM l = 0) {
  return ::SendMessageW(to, message, w, l);
}

class Form1Win32Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
  }
  void SetUp() override {
    beeper.tones.clear();
    hooks.trackMenu = [this](HMENU menu, POINT) { return PickFromMenu(menu); };
    form = std::make_unique<Form1>(::GetModuleHandleW(nullptr), beeper, hooks);
    ASSERT_TRUE(form->Create());
    ::ShowWindow(form->Handle(), SW_SHOW);
    Pump();
  }
  HWND Control(std::string_view name) const { return form->Control(name); }
  HWND Text(int n) const { return Control(n == 6 ? "Text6Raw" : "Text" + std::to_string(n)); }
  Fields Texts() const {
    Fields texts;
    for (int n = 1; n <= 6; ++n) texts.push_back(TextOf(Text(n)));
    return texts;
  }
  void Type(HWND field, std::u16string_view keys) {
    for (const char16_t key : keys) ::SendMessageW(field, WM_CHAR, key, 1);
  }
  void Click(std::string_view name) {
    Send(form->Handle(), WM_COMMAND, MAKEWPARAM(ControlId(name), STN_CLICKED),
         LPARAM(Control(name)));
  }
  // The menu's entries, "-" after a greyed one; picks the entry `menuPick`.
  UINT PickFromMenu(HMENU menu) {
    menuSeen.clear();
    UINT picked = 0;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = {};
      ::GetMenuStringW(menu, UINT(i), text, 64, MF_BYPOSITION);
      const bool greyed = ::GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_GRAYED;
      menuSeen += Narrow(text) + (greyed ? "-|" : "|");
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
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
      ::SendMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    Pump();
  }
  RecordingBeeper beeper;
  Form1::Hooks hooks;
  std::wstring menuPick;
  std::string menuSeen;
  std::unique_ptr<Form1> form;
};

// The cases both windows play: each gesture through the real controls.
TEST_F(Form1Win32Test, FrontEndCases) {
  for (const auto& c : front_end_cases::Cases()) {
    SCOPED_TRACE(std::string(c.name));
    SetUp();
    for (const auto& step : c.steps) {
      HWND field = Text(int(step.field) + 1);
      using enum front_end_cases::Action;
      HWND list = Control("ListView1");
      const std::wstring text(step.text.begin(), step.text.end());
      if (step.action == kType) Type(field, step.text);
      if (step.action == kBackspace) ::SendMessageW(field, WM_CHAR, VK_BACK, 1);
      if (step.action == kDelete) Send(field, EM_SETSEL, 0, 0);
      if (step.action == kDelete) Send(field, WM_KEYDOWN, VK_DELETE);
      EXPECT_TRUE(step.action != kMenuPaste || SetClipboard(text));
      if (step.action == kMenuPaste) Menu(field, L"Incolla");
      if (step.action == kUndo) ::SendMessageW(field, WM_CHAR, 0x1A, 1);  // Ctrl+Z
      if (step.action == kOutside) Send(field, WM_SETTEXT, 0, LPARAM(text.c_str()));
      if (step.action == kPick) Pick(step.code);
      if (step.action == kEnter) {
        ::SetFocus(list);
        const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
        ListView_SetItemState(list, step.code, state, state);
        Send(list, WM_KEYDOWN, VK_RETURN);
      }
      if (step.action == kCancella) Send(Control("Command2"), BM_CLICK);
    }
    Pump();
    EXPECT_EQ(Texts(), Fields(c.fields.begin(), c.fields.end()));
    EXPECT_EQ(TextOf(Control("Label6")), c.label6);
    EXPECT_EQ(beeper.tones, std::vector<unsigned>(c.beeps, 200200));
  }
}

// The menu's entries and their state; the clipboard's messages and keys, input-method characters
// and replaced selections reach the presenter; the locked field refuses text from outside; Text6
// shows Text6Raw.
TEST_F(Form1Win32Test, MenuMessagesAndText6) {
  ASSERT_TRUE(SetClipboard(L"9"));
  Type(Text(1), u"12");
  Send(Text(1), EM_SETSEL, 0, 2);
  Menu(Text(1), L"Taglia");
  EXPECT_EQ(menuSeen, "Annulla|-|Taglia|Copia|Incolla|Elimina|-|Seleziona tutto-|");
  EXPECT_EQ(TextOf(Text(1)), "");
  ::SendMessageW(Text(1), WM_CHAR, 0x16, 1);  // Ctrl+V
  Send(Text(1), EM_SETSEL, 0, 0);
  Send(Text(1), WM_PASTE);
  ::SendMessageW(Text(1), WM_IME_CHAR, L'3', 1);
  Send(Text(1), EM_REPLACESEL, TRUE, LPARAM(L"4"));
  EXPECT_EQ(TextOf(Text(1)), "123412");
  Send(Text(1), EM_SETSEL, 0, 4);
  Send(Text(1), WM_KEYDOWN, VK_DELETE);  // Shift is not held: no copy
  EXPECT_EQ(Send(Text(5), WM_SETTEXT, 0, LPARAM(L"V")), FALSE);
  EXPECT_EQ(Texts(), (Fields{"12", "1100", "14", "C", "XII", "|| FF || "}));
  Menu(Text(5), L"Copia");
  EXPECT_EQ(menuSeen, "Annulla-|-|Taglia-|Copia-|Incolla-|Elimina-|-|Seleziona tutto|");

  Send(Text(1), EM_SETSEL, 0, -1);
  Type(Text(1), u"124");
  EXPECT_EQ(TextOf(Control("Text6")), "| | | ");  // the text control draws the bars
}

// The tab order and the first focus, Tab handed on out of the rich-edit box too; the frame does not
// resize; at 144 dpi the same twips in its pixels; a click on Image2 reaches the presenter.
TEST_F(Form1Win32Test, LayoutAtTheWindowsDpi) {
  HWND window = form->Handle();
  EXPECT_FALSE(::GetWindowLongPtrW(window, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX));
  EXPECT_EQ(::GetFocus(), Text(1));
  // The tab order, and Tab as the message loop hands it on, out of the rich-edit box too.
  std::vector<std::string> order;
  HWND at = Text(1);
  do {
    for (const auto& c : form1_layout::Controls())
      if (Control(c.name) == at) order.emplace_back(c.name);
    ::SetFocus(at);
    for (const UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP}) {
      MSG tab{at, message, VK_TAB, 1, 0, {}};
      if (!::IsDialogMessageW(window, &tab)) ::DispatchMessageW(&tab);
    }
    Pump();
    EXPECT_EQ(::GetFocus(), ::GetNextDlgTabItem(window, at, FALSE)) << order.back();
    at = ::GetFocus();
  } while (at != Text(1) && order.size() < 20);
  EXPECT_EQ(order, (Fields{"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "ListView1",
                           "Command2"}));

  RECT suggested{10, 20, 700, 900};
  Send(window, WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&suggested));
  EXPECT_EQ(form->OuterWidth(), 4030);
  RECT client{}, text2{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, Px(3940, 144));
  EXPECT_EQ(client.bottom, Px(form1_layout::kClientHeight, 144));
  ::GetWindowRect(Text(2), &text2);
  EXPECT_EQ(text2.right - text2.left, Px(3735, 144));
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(Send(Text(1), WM_GETFONT)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, FontHeight(14.25, 144));
  Click("Image2");  // the panel opens
  EXPECT_EQ(form->OuterWidth(), 7185);
}

}  // namespace
}  // namespace tessaldo::win32
