// Reads the converter's window from another process, as an assistive tool does: cross-process
// WM_GETTEXT and window rectangles. For the real-window test.
//   window_probe fields <Text1 expected> <seconds>   waits for Text1, then prints every field
//   window_probe rect <control> <seconds>            the control's screen rectangle
//   window_probe window <caption> <seconds>          a top-level window's rectangle and the work area
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tessaldo/converter_window/win32/form1.h"

namespace {

std::wstring TextOf(HWND control) {
  wchar_t text[512] = {};
  ::SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, nullptr);
  return text;
}

// Polls `found` every 50 ms for `seconds`.
template <class F>
bool WaitFor(double seconds, F found) {
  for (double waited = 0; waited <= seconds; waited += 0.05) {
    if (found()) return true;
    ::Sleep(50);
  }
  return false;
}

void PrintUtf8(const wchar_t* name, const std::wstring& text) {
  char utf8[2048] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%ls=%s\n", name, utf8);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const std::wstring what = argv[1], argument = argv[2];
  const double seconds = std::wcstod(argv[3], nullptr);
  if (what == L"window") {
    HWND window = nullptr;
    if (!WaitFor(seconds, [&] { return (window = ::FindWindowW(nullptr, argument.c_str())) && ::IsWindowVisible(window); }))
      return 1;
    RECT r{}, work{};
    ::GetWindowRect(window, &r);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    std::printf("window=%ld %ld %ld %ld\nwork=%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom,
                work.left, work.top, work.right, work.bottom);
    return 0;
  }
  HWND form = nullptr;
  if (!WaitFor(seconds, [&] { return (form = ::FindWindowW(nullptr, L"Tessaldo")) != nullptr; }))
    return 1;
  auto control = [&](const char* name) { return ::GetDlgItem(form, tessaldo::win32::ControlId(name)); };
  if (what == L"rect") {
    char name[64] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, argument.c_str(), -1, name, sizeof name, nullptr, nullptr);
    RECT r{};
    if (!::GetWindowRect(control(name), &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  // The typed number, read until it is there and stays.
  std::wstring last;
  const bool arrived = WaitFor(seconds, [&] {
    const std::wstring now = TextOf(control("Text1")) + L"|" + TextOf(control("Text6Raw"));
    const bool stable = now == last && TextOf(control("Text1")) == argument;
    last = now;
    return stable;
  });
  for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6Raw", "Text6"}) {
    wchar_t wide[16] = {};
    ::MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, 16);
    PrintUtf8(wide, TextOf(control(name)));
  }
  return arrived ? 0 : 1;
}
