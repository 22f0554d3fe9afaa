// Benchmarks of the Win32 converter window, each against a baseline measured in the same run:
//   keypress  a key that converts a 14-digit value into every field (and redraws Text6), against
//             a key into a plain edit box;
//   startup   the start of bin.exe to its first shown window, against a bare program with one
//             edit box (this program with --bare).
// Usage: window_bench_win32 [keypress|startup] [--runs N]   (bin.exe beside it for startup)
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tessaldo/converter_window/win32/form1.h"
#include "tessaldo/platform/beeper.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
  double median, p90;
};

Figures Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], samples[samples.size() * 9 / 10]};
}

void Report(const char* name, const char* unit, Figures subject, Figures baseline) {
  std::printf(
      "%-9s converter %10.1f %s (p90 %10.1f)   baseline %10.1f %s (p90 %10.1f)   ratio %6.1f\n",
      name, subject.median, unit, subject.p90, baseline.median, unit, baseline.p90,
      subject.median / baseline.median);
}

class SilentBeeper final : public tessaldo::platform::Beeper {
 public:
  void Beep(unsigned, unsigned) override {}
};

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

// One key in `field`: a digit that makes 14, then Backspace back to 13; each converts.
std::vector<double> Keys(HWND field, int runs) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    ::SendMessageW(field, WM_CHAR, i % 2 ? VK_BACK : L'9', 1);
    Pump();
    samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return samples;
}

int Keypress(int runs) {
  SilentBeeper beeper;
  tessaldo::win32::Form1 form(::GetModuleHandleW(nullptr), beeper, {});
  if (!form.Create()) return 1;
  ::ShowWindow(form.Handle(), SW_SHOW);
  HWND text1 = form.Control("Text1");
  for (const wchar_t c : std::wstring(L"9999999999999")) ::SendMessageW(text1, WM_CHAR, c, 1);
  HWND bare = ::CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 60,
                                nullptr, nullptr, nullptr, nullptr);
  for (const wchar_t c : std::wstring(L"9999999999999")) ::SendMessageW(bare, WM_CHAR, c, 1);
  Keys(text1, 20), Keys(bare, 20);  // warm-up
  const Figures subject = Summarise(Keys(text1, runs));
  const Figures baseline = Summarise(Keys(bare, runs));
  Report("keypress", "us", subject, baseline);
  ::DestroyWindow(bare);
  return 0;
}

// The first visible top-level window of `process` with caption `caption`.
struct Search {
  DWORD process;
  const wchar_t* caption;
  HWND found;
};

double StartToWindow(const std::wstring& commandLine, const wchar_t* caption) {
  STARTUPINFOW startup{sizeof startup};
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  const auto start = Clock::now();
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return -1;
  }
  Search search{process.dwProcessId, caption, nullptr};
  while (search.found == nullptr) {
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          DWORD owner = 0;
          ::GetWindowThreadProcessId(window, &owner);
          wchar_t text[64] = {};
          ::GetWindowTextW(window, text, 64);
          if (owner == s.process && ::IsWindowVisible(window) && std::wstring(text) == s.caption) {
            s.found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
      if (::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) return -1;
      ::Sleep(1);
    }
  }
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.hProcess, 1);
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return ms;
}

int Startup(int runs) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring directory = self;
  directory.resize(directory.find_last_of(L"\\/") + 1);
  std::vector<double> subject, baseline;
  for (int i = 0; i < runs; ++i) {
    const double bin = StartToWindow(L"\"" + directory + L"bin.exe\"", L"Tessaldo");
    const double bare = StartToWindow(L"\"" + std::wstring(self) + L"\" --bare", L"Bare");
    if (bin < 0 || bare < 0) {
      std::fprintf(stderr, "startup: a program did not show its window\n");
      return 1;
    }
    subject.push_back(bin);
    baseline.push_back(bare);
  }
  Report("startup", "ms", Summarise(subject), Summarise(baseline));
  return 0;
}

// The baseline program: one window with one edit box, until it is closed.
int Bare() {
  HWND frame = ::CreateWindowExW(0, L"STATIC", L"Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 300, 100, nullptr, nullptr, nullptr, nullptr);
  ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 30, frame,
                    nullptr, nullptr, nullptr);
  ::ShowWindow(frame, SW_SHOW);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == frame && message.message == WM_CLOSE) break;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  std::wstring what = argc > 1 ? argv[1] : L"";
  int runs = 0;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::wstring(argv[i]) == L"--runs") runs = std::wcstol(argv[i + 1], nullptr, 10);
  if (what == L"--bare") return Bare();
  int status = 0;
  if (what.empty() || what == L"keypress") status |= Keypress(runs > 0 ? runs : 400);
  if (what.empty() || what == L"startup") status |= Startup(runs > 0 ? runs : 10);
  return status;
}
