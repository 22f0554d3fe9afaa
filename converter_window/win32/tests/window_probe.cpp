// Reads the converter's window from another process, as an assistive tool does: cross-process
// WM_GETTEXT and window rectangles. For the real-window test.
//   window_probe fields <Text1 expected> <seconds>   waits for Text1, then prints every field
//   window_probe rect <control> <seconds>            the control's screen rectangle
//   window_probe window <caption> <seconds>          a top-level window's rectangle and the work
//   area window_probe close <caption> <seconds>           asks a top-level window to close
//   (WM_CLOSE)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tessaldo/converter_window/win32/form1.h"

namespace {

std::string Utf8(const std::wstring& text) {
  char utf8[2048] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

std::wstring TextOf(HWND control) {
  wchar_t text[512] = {};
  ::SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, nullptr);
  return text;
}

// Polls `found` every 50 ms for `seconds`.
template <class F>
bool WaitFor(double seconds, F found) {
  for (double waited = 0; waited <= seconds; waited += 0.05, ::Sleep(50))
    if (found()) return true;
  return false;
}

void PrintRect(const char* name, const RECT& r) {
  std::printf("%s%ld %ld %ld %ld\n", name, r.left, r.top, r.right, r.bottom);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const std::wstring what = argv[1], argument = argv[2];
  const double seconds = std::wcstod(argv[3], nullptr);
  const wchar_t* caption = what == L"window" || what == L"close" ? argument.c_str() : L"Tessaldo";
  HWND window = nullptr;
  if (!WaitFor(seconds, [&] {
        return (window = ::FindWindowW(nullptr, caption)) && ::IsWindowVisible(window);
      }))
    return 1;
  auto control = [&](const std::string& name) {
    return ::GetDlgItem(window, tessaldo::win32::ControlId(name));
  };
  RECT r{}, work{};
  if (what == L"close") return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (what == L"window") {
    ::GetWindowRect(window, &r);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    PrintRect("window=", r);
    PrintRect("work=", work);
    return 0;
  }
  if (what == L"rect") {
    if (!::GetWindowRect(control(Utf8(argument)), &r)) return 1;
    PrintRect("", r);
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
  for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6Raw", "Text6"})
    std::printf("%s=%s\n", name, Utf8(TextOf(control(name))).c_str());
  return arrived ? 0 : 1;
}
