// The Win32 about window maps its view onto its controls (under Wine, the null graphics driver),
// with the system's window services, their shell call recorded.
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "tessaldo/about_window/autore_design.h"
#include "tessaldo/about_window/win32/about_window_host.h"
#include "tessaldo/about_window/win32/form_autore.h"
#include "tessaldo/platform/win32_ui/text.h"
#include "tessaldo/platform/win32_window_services.h"

namespace tessaldo::win32 {
namespace {

std::vector<std::tuple<HWND, std::string, INT>> opened;
HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT show) {
  opened.emplace_back(owner, file, show);
  return reinterpret_cast<HINSTANCE>(42);
}
const auto services = platform::MakeWin32WindowServices(&RecordShell);

// A control's rectangle in `to`'s client pixels.
RECT PlaceIn(HWND control, HWND to) {
  RECT place{};
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, to, reinterpret_cast<POINT*>(&place), 2);
  return place;
}
HWND Control(HWND form, int id) {
  const HWND frame = ::GetDlgItem(form, autore_id::Picture1);
  return id == autore_id::picture2 ? ::GetDlgItem(frame, id) : ::GetDlgItem(form, id);
}
void Click(HWND control, LPARAM up) {
  ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  ::SendMessageW(control, WM_LBUTTONUP, 0, up);
}
HWND Tips(HWND tip = nullptr) {  // this thread's: other tests share the display
  while ((tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) &&
         ::GetWindowThreadProcessId(tip, nullptr) != ::GetCurrentThreadId())
    continue;
  return tip;
}

// Top-most at 360 and 600 twips from the work area's corner; a click (not a press that ends
// elsewhere) opens a link minimised or restarts the panel; Timer1 set and ticking; the controls
// in place at each DPI; a tip, the hand and a name; closed, it is gone with its tips.
TEST(AboutWindow, ViewMapsOntoItsControls) {
  int destroyed = 0;
  AboutWindowHost host(::GetModuleHandleW(nullptr), *services, [&] { ++destroyed; });
  host.Show();
  const HWND form = host.Window();
  ASSERT_TRUE(form && ::IsWindowVisible(form) && !::GetWindow(form, GW_OWNER));
  EXPECT_TRUE(::GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
  MONITORINFO monitor{sizeof monitor, {}, {}, 0};
  ::GetMonitorInfoW(::MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT frame = PlaceIn(form, nullptr);
  EXPECT_TRUE(monitor.rcWork.right - frame.right == Px(360, WindowDpi(form)) &&
              monitor.rcWork.bottom - frame.bottom == Px(600, WindowDpi(form)));
  Click(Control(form, autore_id::Label1), MAKELPARAM(4, 4));
  Click(Control(form, autore_id::Picture3), MAKELPARAM(3, 3));
  Click(Control(form, autore_id::Label1), MAKELPARAM(-5, -5));
  EXPECT_EQ(opened, (decltype(opened){{form, autore::kSiteAddress, SW_SHOWMINIMIZED},
                                      {form, autore::kMailAddress, SW_SHOWMINIMIZED}}));
  Click(Control(form, autore_id::picture2), MAKELPARAM(3, 3));
  EXPECT_TRUE(::KillTimer(form, autore_id::Timer1));
  ::SendMessageW(form, WM_TIMER, autore_id::Timer1, 0);
  for (UINT dpi : {144u, 96u}) {
    RECT suggested{100, 100, 700, 400};
    ::SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
    for (auto [id, box] : {std::pair{autore_id::Picture1, autore::Picture1.box},
                           {autore_id::picture2, design::TwipsBox{240, 0, 3810, 2610}}}) {
      const RECT place = PlaceIn(Control(form, id), ::GetParent(Control(form, id))),
                 designed = TwipsRect(box, dpi);
      EXPECT_TRUE(place.left == designed.left && place.right == designed.right &&
                  place.top == (id == autore_id::picture2 ? 92 : designed.top));
    }
  }
  const HWND site = Control(form, autore_id::Label1);
  wchar_t tip[80]{};
  TTTOOLINFOW tool{TTTOOLINFOW_V2_SIZE, 0, form, UINT_PTR(site), {}, {}, tip, 0, {}};
  ::SendMessageW(Tips(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(site, WM_SETCURSOR, WPARAM(site), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_TRUE(Narrow(tip) == autore::kSiteHost && WindowText(site) == L"Sito Tessaldo" &&
              ::GetCursor() == ::LoadCursorW(nullptr, IDC_HAND));
  ::SendMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_TRUE(!::IsWindow(form) && !host.Window() && !Tips() && destroyed == 1);
}

}  // namespace
}  // namespace tessaldo::win32
