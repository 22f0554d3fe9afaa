// The Win32 about window on real windows (under Wine, the null graphics driver) with the real
// window services, whose shell call is recorded instead of made.
#include <windows.h>
// After windows.h.
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tessaldo/about_window/autore_design.h"
#include "tessaldo/about_window/autore_rules.h"
#include "tessaldo/about_window/win32/about_window_host.h"
#include "tessaldo/about_window/win32/form_autore.h"
#include "tessaldo/platform/win32_window_services.h"

namespace tessaldo::win32 {
namespace {

struct ShellCall {
  HWND owner;
  bool operation, parameters, directory;
  std::string file;
  INT show;
  friend bool operator==(const ShellCall&, const ShellCall&) = default;
};
std::vector<ShellCall> shellCalls;

HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                             LPCSTR directory, INT show) {
  shellCalls.push_back({owner, operation != nullptr, parameters != nullptr, directory != nullptr,
                        file != nullptr ? file : "", show});
  return reinterpret_cast<HINSTANCE>(42);
}

// The system's window services, recording the band changes asked of them.
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
  std::unique_ptr<platform::WindowServices> real_ =
      platform::MakeWin32WindowServices(&RecordShell);
};

HINSTANCE Self() {
  return ::GetModuleHandleW(nullptr);
}

// Handles the thread's messages until `done`, at most five seconds.
[[nodiscard]] bool WaitUntil(const std::function<bool()>& done) {
  const ULONGLONG end = ::GetTickCount64() + 5000;
  while (!done()) {
    if (::GetTickCount64() > end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return true;
}

HWND Panel(HWND form) {
  return ::GetDlgItem(::GetDlgItem(form, autore_id::Picture1), autore_id::picture2);
}
int PanelTop(HWND form) {
  RECT panel{};
  ::GetWindowRect(Panel(form), &panel);
  ::MapWindowPoints(nullptr, ::GetDlgItem(form, autore_id::Picture1),
                    reinterpret_cast<POINT*>(&panel), 2);
  return panel.top;
}
void SetPanelTop(HWND form, int top) {
  ::SetWindowPos(Panel(form), nullptr, ::MulDiv(240, WindowDpi(form), 1440), top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}
void Click(HWND control, POINT down, POINT up) {
  ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
  ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
}
POINT TopLeft(HWND window) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  return {frame.left, frame.top};
}

// The tooltip windows of this thread.
std::vector<HWND> Tips() {
  std::vector<HWND> tips;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND candidate, LPARAM found) {
        wchar_t name[64]{};
        ::GetClassNameW(candidate, name, 64);
        if (std::wstring(name) == TOOLTIPS_CLASSW) {
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(candidate);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tips));
  return tips;
}

// The outer frame's gaps to the work area's right and bottom edges: 360 and 600 twips.
void ExpectInCorner(HWND form) {
  const int dpi = static_cast<int>(WindowDpi(form));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor));
  RECT frame{};
  ::GetWindowRect(form, &frame);
  EXPECT_EQ(monitor.rcWork.right - frame.right, ::MulDiv(360, dpi, 1440));
  EXPECT_EQ(monitor.rcWork.bottom - frame.bottom, ::MulDiv(600, dpi, 1440));
  RECT client{};
  ::GetClientRect(form, &client);
  EXPECT_EQ(client.right, ::MulDiv(4410, dpi, 1440));
  EXPECT_EQ(client.bottom, ::MulDiv(1860, dpi, 1440));
  EXPECT_GT(frame.bottom - frame.top, client.bottom) << "the frame is counted";
}

// One window, top-most, in the corner; moved by the user, it stays while the panel scrolls on,
// and another opening leaves both. Links open their addresses minimised on a click, not on a
// press that ends elsewhere. It leaves the top-most band and comes back without moving or
// hiding; an unknown window fails. Closed, it is gone; the next opening loads it afresh.
TEST(AboutWindow, OneWindowPlacedOnceWithItsLinksUntilClosed) {
  Recorder services;
  int destroyed = 0;
  AboutWindowHost host(Self(), services, [&] { ++destroyed; });
  EXPECT_EQ(host.Window(), nullptr);
  host.Show();
  const HWND form = host.Window();
  ASSERT_TRUE(form);
  EXPECT_TRUE(::IsWindowVisible(form));
  EXPECT_EQ(::GetWindow(form, GW_OWNER), nullptr);
  EXPECT_EQ(services.bands, (std::vector<std::pair<HWND, bool>>{{form, true}}));
  EXPECT_TRUE(::GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
  ExpectInCorner(form);
  wchar_t caption[32]{};
  ::GetWindowTextW(form, caption, 32);
  EXPECT_STREQ(caption, L"Autore");
  const LONG_PTR style = ::GetWindowLongPtrW(form, GWL_STYLE);
  EXPECT_TRUE((style & WS_SYSMENU) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)));
  EXPECT_TRUE(::SendMessageW(form, WM_GETICON, ICON_BIG, 0));

  ::SetWindowPos(form, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(WaitUntil([&] { return PanelTop(form) < 60; })) << "Timer1 runs";
  const int top = PanelTop(form);
  host.Show();
  EXPECT_EQ(host.Window(), form);
  EXPECT_EQ(TopLeft(form).x, 30);
  EXPECT_EQ(TopLeft(form).y, 40);
  EXPECT_LE(PanelTop(form), top);

  const HWND site = ::GetDlgItem(form, autore_id::Label1);
  const HWND mail = ::GetDlgItem(form, autore_id::Picture3);
  Click(site, {3, 3}, {4, 4});
  Click(mail, {3, 3}, {3, 3});
  Click(site, {3, 3}, {-5, -5});
  EXPECT_EQ(shellCalls, (std::vector<ShellCall>{
                            {form, false, false, false, autore::kSiteAddress, SW_SHOWMINIMIZED},
                            {form, false, false, false, autore::kMailAddress, SW_SHOWMINIMIZED}}));
  EXPECT_EQ(SW_SHOWMINIMIZED, 2);

  // Closed by its close box: destroyed with its tips, reported once, loaded afresh by the next
  // opening.
  EXPECT_EQ(Tips().size(), 1u);
  ::SendMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(form));
  EXPECT_EQ(Tips().size(), 0u);
  EXPECT_EQ(host.Window(), nullptr);
  EXPECT_EQ(destroyed, 1);
  host.Show();
  const HWND again = host.Window();
  ASSERT_TRUE(again);
  EXPECT_EQ(PanelTop(again), autore::FirstTop(static_cast<int>(WindowDpi(again))));
  ExpectInCorner(again);
  EXPECT_EQ(services.bands.back(), std::pair(again, true));
  EXPECT_EQ(destroyed, 1);
}

TEST(AboutWindow, FormPrimoPianoChangesTheBandOnly) {
  Recorder services;
  FormAutore form(Self(), services, nullptr);
  ASSERT_TRUE(form.Handle());
  ::ShowWindow(form.Handle(), SW_SHOWNA);
  const POINT placed = TopLeft(form.Handle());
  for (bool onTop : {false, true, false}) {
    EXPECT_TRUE(form.FormPrimoPiano(form.Handle(), onTop));
    EXPECT_EQ((::GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop);
    EXPECT_TRUE(::IsWindowVisible(form.Handle()));
    EXPECT_EQ(TopLeft(form.Handle()).x, placed.x);
    EXPECT_EQ(TopLeft(form.Handle()).y, placed.y);
  }
  HWND gone = ::CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr);
  ::DestroyWindow(gone);
  EXPECT_FALSE(form.FormPrimoPiano(gone, true));
}

// Renders a window's client area as its WM_PAINT would, into 0x00RRGGBB pixels.
struct Grab {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  int Count(const RECT& area, design::Rgb colour) const {
    const std::uint32_t wanted = colour.Argb() & 0xFFFFFF;
    int count = 0;
    for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height); ++y) {
      for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width); ++x) {
        count += (At(x, y) & 0xFFFFFF) == wanted;
      }
    }
    return count;
  }
};
Grab GrabClient(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  Grab grab{client.right, client.bottom, {}};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, grab.width, -grab.height, 1, 32, BI_RGB, 0, 0, 0, 0,
                    0};
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT | PRF_ERASEBKGND);
  ::GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  grab.pixels.assign(pixels, pixels + grab.width * grab.height);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(bitmap);
  return grab;
}

// The panel's top after a tick, from where it was; the running timer moves it; a click on the
// panel restarts it and the stopped timer. The panel draws the emblem over its background and
// the texts with their shadows; the envelope is drawn stretched.
TEST(AboutWindow, PanelStepsUpRestartsAndShowsTheEmblemOnItsBackground) {
  Recorder services;
  FormAutore form(Self(), services, nullptr);
  const HWND window = form.Handle();
  ASSERT_TRUE(window);
  const int dpi = static_cast<int>(WindowDpi(window));
  EXPECT_EQ(form.PanelTop(), autore::FirstTop(dpi));
  ::KillTimer(window, autore_id::Timer1);
  for (auto [before, expected] :
       {std::pair{64, 63}, {0, -1}, {-148, -149}, {-149, 93}, {-150, 93}, {-400, 93}}) {
    SetPanelTop(window, before);
    ::SendMessageW(window, WM_TIMER, autore_id::Timer1, 0);
    EXPECT_EQ(PanelTop(window), expected) << before;
    EXPECT_EQ(form.PanelTop(), expected);
  }
  SetPanelTop(window, 10);
  Click(Panel(window), {40, 20}, {40, 20});  // on Label5's text
  EXPECT_EQ(PanelTop(window), 93);
  EXPECT_TRUE(WaitUntil([&] { return PanelTop(window) < 93; })) << "the timer runs again";

  const Grab panel = GrabClient(Panel(window));
  EXPECT_EQ(panel.width, ::MulDiv(3810, dpi, 1440));
  EXPECT_EQ(panel.height, ::MulDiv(2610, dpi, 1440));
  const COLORREF back = ::GetSysColor(COLOR_WINDOW);
  const Picture emblem = Picture::FromResource(Self(), kEmblemResource);
  ASSERT_EQ(emblem.Width(), 48);
  ASSERT_EQ(emblem.Height(), 48);
  const RECT image = TwipsRect(240, 1320, 720, 720, static_cast<UINT>(dpi));
  for (POINT at : {POINT{0, 0}, POINT{24, 24}, POINT{10, 30}, POINT{47, 47}}) {
    // The premultiplied emblem over the background.
    const std::uint32_t source = emblem.PixelAt(at.x * 48 / (image.right - image.left),
                                                at.y * 48 / (image.bottom - image.top));
    const int alpha = static_cast<int>(source >> 24);
    auto over = [&](int shift, int backChannel) {
      return static_cast<int>((source >> shift) & 0xFF) + (255 - alpha) * backChannel / 255;
    };
    const std::uint32_t got = panel.At(image.left + at.x, image.top + at.y);
    EXPECT_NEAR(static_cast<int>((got >> 16) & 0xFF), over(16, GetRValue(back)), 2);
    EXPECT_NEAR(static_cast<int>((got >> 8) & 0xFF), over(8, GetGValue(back)), 2);
    EXPECT_NEAR(static_cast<int>(got & 0xFF), over(0, GetBValue(back)), 2);
  }
  const RECT authorLine = TwipsRect(-60, 30, 3720, 1170, static_cast<UINT>(dpi));
  EXPECT_GT(panel.Count(authorLine, design::kDarkBlue), 20);
  EXPECT_GT(panel.Count(authorLine, design::kGrey), 20) << "the shadow shows";
  const RECT collection = TwipsRect(885, 1620, 2700, 465, static_cast<UINT>(dpi));
  EXPECT_GT(panel.Count(collection, design::kBlack), 20);
  EXPECT_GT(panel.Count(collection, design::kGrey), 20);

  const Grab frame = GrabClient(::GetDlgItem(window, autore_id::Picture1));
  EXPECT_EQ(frame.width, ::MulDiv(4365, dpi, 1440) - ::MulDiv(60, dpi, 1440) - 2) << "the line";
  const Grab envelope = GrabClient(::GetDlgItem(window, autore_id::Picture3));
  EXPECT_EQ(envelope.width, ::MulDiv(480, dpi, 1440));
  EXPECT_LT(envelope.Count({0, 0, envelope.width, envelope.height}, design::kDarkBlue),
            envelope.width * envelope.height / 2);
  const Grab site = GrabClient(::GetDlgItem(window, autore_id::Label1));
  EXPECT_GT(site.Count({0, 0, site.width, site.height}, design::kWhite), 20);
}

// The links show their tips and the hand, and are named by them for assistive technology; the
// controls keep their designer names as IDs and their designed places.
TEST(AboutWindow, LinksCarryTheirTipsPointersAndNames) {
  Recorder services;
  FormAutore form(Self(), services, nullptr);
  const HWND window = form.Handle();
  ASSERT_TRUE(window);
  const UINT dpi = WindowDpi(window);
  for (auto [id, box] : {std::pair{autore_id::Picture1, autore::Picture1.box},
                         {autore_id::Label1, autore::Label1.box},
                         {autore_id::Picture3, autore::Picture3.box}}) {
    RECT place{};
    ::GetWindowRect(::GetDlgItem(window, id), &place);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    const RECT designed = TwipsRect(box.left, box.top, box.width, box.height, dpi);
    EXPECT_TRUE(::EqualRect(&place, &designed)) << id;
  }

  const std::vector<HWND> allTips = Tips();
  ASSERT_EQ(allTips.size(), 1u);
  const HWND tips = allTips.front();
  EXPECT_EQ(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 2);
  const HWND site = ::GetDlgItem(window, autore_id::Label1);
  const HWND mail = ::GetDlgItem(window, autore_id::Picture3);
  for (auto [control, tip, name] : {std::tuple{site, L"tessaldo.example.org", L"Sito Tessaldo"},
                                    {mail, L"Invia e-Mail", L"Invia e-Mail"}}) {
    wchar_t text[80]{};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    ::SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, tip);

    ::SetCursor(nullptr);
    ::SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));

    IAccessible* accessible = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&accessible)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR accessibleName = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &accessibleName), S_OK);
    EXPECT_STREQ(accessibleName != nullptr ? accessibleName : L"", name);
    ::SysFreeString(accessibleName);
    accessible->Release();
  }
  const HWND panel = Panel(window);
  ::SendMessageW(panel, WM_SETCURSOR, reinterpret_cast<WPARAM>(panel),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW)) << "the panel has the arrow";
}

}  // namespace
}  // namespace tessaldo::win32
