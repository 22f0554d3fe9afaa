// The Win32 about window on real windows (under Wine, the null graphics driver) with the real
// window services, whose shell call is recorded instead of made.
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tessaldo/about_window/autore_design.h"
#include "tessaldo/about_window/autore_rules.h"
#include "tessaldo/about_window/win32/about_window_host.h"
#include "tessaldo/about_window/win32/form_autore.h"
#include "tessaldo/platform/win32_window_services.h"

namespace tessaldo::win32 {
namespace {

using ShellCall = std::tuple<HWND, bool, std::string, bool, bool, INT>;
std::vector<ShellCall> shellCalls;

HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                             LPCSTR directory, INT show) {
  shellCalls.emplace_back(owner, operation != nullptr, file, parameters != nullptr,
                          directory != nullptr, show);
  return reinterpret_cast<HINSTANCE>(42);
}

// The system's window services with the shell recorded, recording the band changes too.
class Recorder final : public platform::WindowServices {
 public:
  Recorder() { shellCalls.clear(); }
  bool StayOnTop(platform::WindowHandle window, bool onTop) override {
    bands.emplace_back(reinterpret_cast<HWND>(window), onTop);
    return real_->StayOnTop(window, onTop);
  }
  void OpenAddress(platform::WindowHandle owner, const std::string& address) override {
    real_->OpenAddress(owner, address);
  }
  std::vector<std::pair<HWND, bool>> bands;

 private:
  std::unique_ptr<platform::WindowServices> real_ = platform::MakeWin32WindowServices(&RecordShell);
};

const HINSTANCE self = ::GetModuleHandleW(nullptr);

// Handles the thread's messages until `done`, at most five seconds.
[[nodiscard]] bool WaitUntil(const std::function<bool()>& done) {
  for (const ULONGLONG end = ::GetTickCount64() + 5000; !done();) {
    if (::GetTickCount64() > end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
      ::DispatchMessageW(&message);
    }
  }
  return true;
}

HWND Panel(HWND form) {
  return ::GetDlgItem(::GetDlgItem(form, autore_id::Picture1), autore_id::picture2);
}
// A control's rectangle in `to`'s client pixels.
RECT PlaceIn(HWND control, HWND to) {
  RECT place{};
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, to, reinterpret_cast<POINT*>(&place), 2);
  return place;
}
int PanelTop(HWND form) {
  return PlaceIn(Panel(form), ::GetDlgItem(form, autore_id::Picture1)).top;
}
void Click(HWND control, POINT down, POINT up) {
  ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
  ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
}
POINT TopLeft(HWND window) {
  const RECT frame = PlaceIn(window, nullptr);
  return {frame.left, frame.top};
}
// This thread's tooltip windows.
std::vector<HWND> Tips() {
  std::vector<HWND> tips;
  for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
    if (::GetWindowThreadProcessId(tip, nullptr) == ::GetCurrentThreadId()) tips.push_back(tip);
  }
  return tips;
}

// The outer frame 360 and 600 twips from the work area's right and bottom edges, around the
// designed client area.
void ExpectInCorner(HWND form) {
  const int dpi = static_cast<int>(WindowDpi(form));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT frame = PlaceIn(form, nullptr);
  RECT client{};
  ::GetClientRect(form, &client);
  EXPECT_TRUE(monitor.rcWork.right - frame.right == ::MulDiv(360, dpi, 1440) &&
              monitor.rcWork.bottom - frame.bottom == ::MulDiv(600, dpi, 1440) &&
              client.bottom == ::MulDiv(1860, dpi, 1440) &&
              frame.bottom - frame.top > client.bottom);
}

// One window, top-most, in the corner; moved by the user, it stays while the panel scrolls on,
// and another opening leaves both. Links open their addresses minimised on a click, not on a
// press that ends elsewhere. Closed, it is gone with its tips; the next opening loads it afresh.
TEST(AboutWindow, OneWindowPlacedOnceWithItsLinksUntilClosed) {
  Recorder services;
  int destroyed = 0;
  AboutWindowHost host(self, services, [&] { ++destroyed; });
  EXPECT_EQ(host.Window(), nullptr);
  host.Show();
  const HWND form = host.Window();
  ASSERT_TRUE(form && ::IsWindowVisible(form) && !::GetWindow(form, GW_OWNER));
  EXPECT_EQ(services.bands, (std::vector<std::pair<HWND, bool>>{{form, true}}));
  EXPECT_TRUE(::GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
  ExpectInCorner(form);
  wchar_t caption[32]{};
  EXPECT_TRUE(::GetWindowTextW(form, caption, 32) && std::wstring(caption) == L"Autore");
  const LONG_PTR style = ::GetWindowLongPtrW(form, GWL_STYLE);
  EXPECT_TRUE((style & WS_SYSMENU) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)));
  EXPECT_TRUE(::SendMessageW(form, WM_GETICON, ICON_BIG, 0));

  ::SetWindowPos(form, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(WaitUntil([&] { return PanelTop(form) < 60; })) << "Timer1 runs";
  const int top = PanelTop(form);
  host.Show();
  EXPECT_EQ(host.Window(), form);
  EXPECT_TRUE(TopLeft(form).x == 30 && TopLeft(form).y == 40);
  EXPECT_LE(PanelTop(form), top);
  ::ShowWindow(form, SW_MINIMIZE);  // by the system: the opening brings it back where it was
  host.Show();
  EXPECT_TRUE(!::IsIconic(form) && TopLeft(form).x == 30 && TopLeft(form).y == 40);

  const HWND site = ::GetDlgItem(form, autore_id::Label1);
  Click(site, {3, 3}, {4, 4});
  Click(::GetDlgItem(form, autore_id::Picture3), {3, 3}, {3, 3});
  Click(site, {3, 3}, {-5, -5});
  ::SendMessageW(site, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));  // no press before it
  EXPECT_EQ(shellCalls, (std::vector<ShellCall>{
                            {form, false, autore::kSiteAddress, false, false, SW_SHOWMINIMIZED},
                            {form, false, autore::kMailAddress, false, false, SW_SHOWMINIMIZED}}));

  EXPECT_EQ(Tips().size(), 1u);
  ::SendMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_TRUE(!::IsWindow(form) && !host.Window() && Tips().empty() && destroyed == 1);
  host.Show();
  const HWND again = host.Window();
  ASSERT_TRUE(again);
  EXPECT_EQ(PanelTop(again), autore::FirstTop(static_cast<int>(WindowDpi(again))));
  ExpectInCorner(again);
  EXPECT_EQ(services.bands.back(), std::pair(again, true));
}

// A move before the window is first shown stays: the corner placement is redone then only for
// a frame other than the one it was made for.
TEST(AboutWindow, AMoveBeforeTheFirstShowingStays) {
  Recorder services;
  FormAutore form(self, services, nullptr);
  ::SetWindowPos(form.Handle(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(form.Handle(), SW_SHOWNA);
  EXPECT_TRUE(TopLeft(form.Handle()).x == 30 && TopLeft(form.Handle()).y == 40);
}

// How many pixels of a window's client area, as its painting draws it, have a colour in an area.
int CountDrawn(HWND window, const RECT& area, design::Rgb colour) {
  RECT client{};
  ::GetClientRect(window, &client);
  BITMAPINFO info{
      {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::SendMessageW(window, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_ERASEBKGND);
  ::GdiFlush();
  int count = 0;
  for (int y = std::max<int>(area.top, 0); y < std::min(area.bottom, client.bottom); ++y) {
    for (int x = std::max<int>(area.left, 0); x < std::min(area.right, client.right); ++x) {
      const auto pixel = static_cast<const std::uint32_t*>(bits)[y * client.right + x];
      count += (pixel & 0xFFFFFF) == (colour.Argb() & 0xFFFFFF);
    }
  }
  ::DeleteObject(::SelectObject(dc, old));
  ::DeleteDC(dc);
  return count;
}

// A tick moves the panel up, past its bound back down, along its left edge; a click on the
// panel restarts it and the stopped timer. The panel draws its texts with their shadows and the
// emblem; the site's name is drawn.
TEST(AboutWindow, PanelStepsUpRestartsAndDrawsItsTexts) {
  Recorder services;
  FormAutore form(self, services, nullptr);
  const HWND window = form.Handle();
  const UINT dpi = WindowDpi(window);
  EXPECT_EQ(form.PanelTop(), autore::FirstTop(int(dpi)));
  ::KillTimer(window, autore_id::Timer1);
  for (auto [before, expected] : {std::pair{64, 63}, {-149, 93}}) {
    ::SetWindowPos(Panel(window), nullptr, Px(240, dpi), before, 0, 0, SWP_NOSIZE);
    ::SendMessageW(window, WM_TIMER, autore_id::Timer1, 0);
    EXPECT_TRUE(PanelTop(window) == expected && form.PanelTop() == expected) << before;
    EXPECT_EQ(PlaceIn(Panel(window), ::GetDlgItem(window, autore_id::Picture1)).left, Px(240, dpi));
  }
  Click(Panel(window), {40, 20}, {40, 20});
  EXPECT_EQ(PanelTop(window), 93);
  EXPECT_TRUE(WaitUntil([&] { return PanelTop(window) < 93; })) << "the timer runs again";

  const RECT author = TwipsRect(-60, 30, 3720, 1170, dpi);
  const RECT collection = TwipsRect(885, 1620, 2700, 465, dpi);
  const RECT emblem = TwipsRect(240, 1320, 720, 720, dpi);
  const int emblemArea = (emblem.right - emblem.left) * (emblem.bottom - emblem.top);
  const COLORREF system = ::GetSysColor(COLOR_WINDOW);
  const design::Rgb back{GetRValue(system), GetGValue(system), GetBValue(system)};
  for (auto [area, colour] : {std::pair{author, design::kDarkBlue},
                              {author, design::kGrey},
                              {collection, design::kBlack},
                              {collection, design::kGrey}}) {
    EXPECT_GT(CountDrawn(Panel(window), area, colour), 20) << "text and shadow";
  }
  EXPECT_LT(CountDrawn(Panel(window), emblem, back), emblemArea / 2) << "the emblem";
  EXPECT_GT(CountDrawn(::GetDlgItem(window, autore_id::Label1), {0, 0, 999, 99}, design::kWhite),
            20);
}

// The controls at their designed places, at the display's DPI and after a move to a display of
// another; the panel's top is kept.
TEST(AboutWindow, FollowsItsDisplaysDpi) {
  Recorder services;
  FormAutore form(self, services, nullptr);
  const HWND window = form.Handle();
  const int top = PanelTop(window);
  for (UINT dpi : {WindowDpi(window), 144u, 120u}) {
    RECT suggested{100, 100, 700, 400};
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_TRUE(client.right == Px(4410, dpi) && client.bottom == Px(1860, dpi)) << dpi;
    for (auto [id, box] : {std::pair{autore_id::Picture1, autore::Picture1.box},
                           {autore_id::Label1, autore::Label1.box},
                           {autore_id::Picture3, autore::Picture3.box}}) {
      const RECT place = PlaceIn(::GetDlgItem(window, id), window);
      const RECT designed = TwipsRect(box.left, box.top, box.width, box.height, dpi);
      EXPECT_TRUE(::EqualRect(&place, &designed)) << id << " at " << dpi;
    }
    const RECT panel = PlaceIn(Panel(window), ::GetDlgItem(window, autore_id::Picture1));
    const RECT designed = TwipsRect(240, 0, 3810, 2610, dpi);
    EXPECT_TRUE(panel.left == designed.left && panel.top == top &&
                panel.right - panel.left == designed.right - designed.left)
        << dpi;
  }
}

// The links show their tips and the hand and are named by them (the label by its text); the
// panel has the arrow.
TEST(AboutWindow, LinksCarryTheirTipsPointersAndNames) {
  Recorder services;
  FormAutore form(self, services, nullptr);
  const HWND window = form.Handle();
  ASSERT_EQ(Tips().size(), 1u);
  const HWND tips = Tips().front();
  EXPECT_EQ(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 2);
  for (auto [id, tip, name] :
       {std::tuple{autore_id::Label1, L"tessaldo.example.org", L"Sito Tessaldo"},
        {autore_id::Picture3, L"Invia e-Mail", L"Invia e-Mail"}}) {
    const HWND control = ::GetDlgItem(window, id);
    wchar_t text[80]{};
    TTTOOLINFOW tool{TTTOOLINFOW_V2_SIZE, 0, window, UINT_PTR(control), {}, {}, text, 0, {}};
    ::SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, tip);
    ::SetCursor(nullptr);
    ::SendMessageW(control, WM_SETCURSOR, WPARAM(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));

    wchar_t named[80]{};
    ::GetWindowTextW(control, named, 80);
    EXPECT_STREQ(named, name) << "what assistive technology reads";
  }
  const HWND panel = Panel(window);
  ::SendMessageW(panel, WM_SETCURSOR, WPARAM(panel), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace
}  // namespace tessaldo::win32
