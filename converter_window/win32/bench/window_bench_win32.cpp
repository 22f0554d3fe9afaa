// Benchmarks of the Win32 converter window, each against a baseline measured in the same run:
//   keypress  a key that converts a 14-digit value into every field (and redraws Text6), against
//             a key into a plain edit box; and Text6 given that value's notation alone. On the
//             clock (median, p90) and in this thread's processor time (mean).
//   startup   the start of bin.exe to its first shown window, the child's processor time by then
//             and its peak working set once idle, against two bare programs (this program with
//             --bare and --bare-form): one window with one edit box, and one window with the same
//             kinds of controls as the converter (labels, edit boxes, a rich-edit box with
//             coloured text, a report-view list of 256 rows, two pictures decoded by WIC, a push
//             button, a tooltip and the design's fonts).
// Usage: window_bench_win32 [keypress|startup] [--runs N]
// (bin.exe, left.jpg and right.jpg beside it for startup)
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>
#include <richedit.h>
#include <wincodec.h>

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

void Report(const char* name, const char* unit, Figures subject, const char* baselineName,
            Figures baseline) {
  std::printf("%-10s converter %9.1f %s (p90 %9.1f)   %-9s %9.1f %s (p90 %9.1f)   ratio %5.2f\n",
              name, subject.median, unit, subject.p90, baselineName, baseline.median, unit,
              baseline.p90, subject.median / baseline.median);
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

// This thread's processor time so far, in microseconds (kernel and user; counted in ticks of
// several milliseconds, so only a sum over many steps means anything).
double ThreadProcessorTime() {
  FILETIME created, exited, kernel, user;
  if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  const auto micros = [](FILETIME time) {
    return double((ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime) / 10.0;
  };
  return micros(kernel) + micros(user);
}

// Each step's time on the clock, and the mean processor time of this thread per step, which
// other programs on the machine hardly change (the window system's own processes are left out).
struct Samples {
  std::vector<double> clock;
  double processor;
};

// `runs` times `step(i)` and the painting it leaves, in microseconds.
template <typename Step>
Samples Time(int runs, Step step) {
  Samples samples{{}, 0};
  const double processor = ThreadProcessorTime();
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    step(i);
    Pump();
    samples.clock.push_back(
        std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  samples.processor = (ThreadProcessorTime() - processor) / runs;
  return samples;
}

void ReportProcessor(const char* name, const Samples& subject, const Samples& baseline) {
  std::printf("%-10s converter %9.1f us (processor, mean)   plain edit %9.1f us   ratio %5.2f\n",
              name, subject.processor, baseline.processor, subject.processor / baseline.processor);
}

// One key in `field`: a digit that makes 14, then Backspace back to 13; each converts.
Samples Keys(HWND field, int runs) {
  return Time(runs, [field](int i) { ::SendMessageW(field, WM_CHAR, i % 2 ? VK_BACK : L'9', 1); });
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), int(text.size()))));
  return text;
}

int Keypress(int runs) {
  SilentBeeper beeper;
  tessaldo::win32::Form1 form(::GetModuleHandleW(nullptr), beeper, {});
  if (!form.Create()) return 1;
  HWND text1 = form.Control("Text1");
  ::ShowWindow(::GetAncestor(text1, GA_ROOT), SW_SHOW);
  for (const wchar_t c : std::wstring(L"9999999999999")) ::SendMessageW(text1, WM_CHAR, c, 1);
  HWND bare = ::CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 60,
                                nullptr, nullptr, nullptr, nullptr);
  for (const wchar_t c : std::wstring(L"9999999999999")) ::SendMessageW(bare, WM_CHAR, c, 1);
  Pump();
  Keys(text1, 20), Keys(bare, 20);  // warm-up
  const Samples subject = Keys(text1, runs), baseline = Keys(bare, runs);
  Report("keypress", "us", Summarise(subject.clock), "plain edit", Summarise(baseline.clock));
  ReportProcessor("keypress", subject, baseline);
  // Text6 alone, given the notations of 99 999 999 999 999 and 9 999 999 999 999 in turn.
  ::SendMessageW(text1, WM_CHAR, L'9', 1);
  const std::wstring fourteen = TextOf(form.Control("Text6Raw"));
  ::SendMessageW(text1, WM_CHAR, VK_BACK, 1);
  const std::wstring thirteen = TextOf(form.Control("Text6Raw"));
  HWND text6 = form.Control("Text6");
  const Samples text6Samples = Time(runs, [&](int i) {
    const std::wstring& raw = i % 2 ? thirteen : fourteen;
    ::SendMessageW(text6, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(raw.c_str()));
  });
  Report("  Text6", "us", Summarise(text6Samples.clock), "plain edit", Summarise(baseline.clock));
  ReportProcessor("  Text6", text6Samples, baseline);
  ::DestroyWindow(bare);
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Start-up.

struct Started {
  double ms = -1;            // from CreateProcess to the window shown
  double peakMegabytes = 0;  // the child's peak working set once it is idle with its window
  double processorMs = 0;    // the child's processor time by then
};

struct Search {
  DWORD process;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM data) {
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
}

// Starts `commandLine`, waits for its visible top-level window `caption`, reads its peak working
// set once it waits for input, and closes it.
Started StartToWindow(const std::wstring& commandLine, const wchar_t* caption) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  Started started;
  const auto start = Clock::now();
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return started;
  }
  Search search{process.dwProcessId, caption, nullptr};
  bool ended = false;
  while (search.found == nullptr && !ended) {
    ::EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
      ended = ::WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0;
    }
  }
  if (search.found != nullptr) {
    started.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ::WaitForInputIdle(process.hProcess, 5000);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
      started.peakMegabytes = double(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
    }
    FILETIME created, exited, kernel, user;
    if (::GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user)) {
      const auto millis = [](FILETIME time) {
        return double((ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime) / 1e4;
      };
      started.processorMs = millis(kernel) + millis(user);
    }
    ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  }
  if (::WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.hProcess, 1);
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return started;
}

int Startup(int runs) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring directory = self;
  directory.resize(directory.find_last_of(L"\\/") + 1);
  const std::wstring bench = L"\"" + std::wstring(self) + L"\"";
  struct Program {
    std::wstring line;
    const wchar_t* caption;
    std::vector<double> ms, megabytes, processor;
  };
  std::vector<Program> programs = {{L"\"" + directory + L"bin.exe\"", L"Tessaldo", {}, {}, {}},
                                   {bench + L" --bare", L"Bare", {}, {}, {}},
                                   {bench + L" --bare-form", L"Bare form", {}, {}, {}}};
  for (int i = 0; i < runs; ++i) {
    for (Program& program : programs) {
      const Started started = StartToWindow(program.line, program.caption);
      if (started.ms < 0) {
        std::fprintf(stderr, "startup: %ls did not show its window\n", program.line.c_str());
        return 1;
      }
      program.ms.push_back(started.ms);
      program.megabytes.push_back(started.peakMegabytes);
      program.processor.push_back(started.processorMs);
    }
  }
  const Figures bin = Summarise(programs[0].ms), edit = Summarise(programs[1].ms),
                same = Summarise(programs[2].ms);
  Report("startup", "ms", bin, "one edit", edit);
  Report("startup", "ms", bin, "same kind", same);
  Report("start cpu", "ms", Summarise(programs[0].processor), "same kind",
         Summarise(programs[2].processor));
  const Figures binMemory = Summarise(programs[0].megabytes),
                editMemory = Summarise(programs[1].megabytes),
                sameMemory = Summarise(programs[2].megabytes);
  Report("peak WS", "MiB", binMemory, "one edit", editMemory);
  Report("peak WS", "MiB", binMemory, "same kind", sameMemory);
  return 0;
}

// ---------------------------------------------------------------------------------------------
// The bare programs.

int RunUntilClosed(HWND frame) {
  ::ShowWindow(frame, SW_SHOW);
  ::UpdateWindow(frame);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == frame && message.message == WM_CLOSE) break;
    if (::IsDialogMessageW(frame, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}

// One window with one edit box.
int Bare() {
  HWND frame = ::CreateWindowExW(0, L"STATIC", L"Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 300, 100, nullptr, nullptr, nullptr, nullptr);
  ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 30, frame,
                    nullptr, nullptr, nullptr);
  return RunUntilClosed(frame);
}

// A picture file decoded by WIC into a 32-bit DIB section; nullptr when it cannot be read.
HBITMAP Decode(IWICImagingFactory* factory, const std::wstring& path) {
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  HBITMAP bitmap = nullptr;
  UINT width = 0, height = 0;
  if (SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnDemand, &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) &&
      SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                      nullptr, 0.0, WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->GetSize(&width, &height))) {
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof info.bmiHeader, LONG(width), -LONG(height), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                                          static_cast<BYTE*>(bits)))) {
      ::DeleteObject(bitmap);
      bitmap = nullptr;
    }
  }
  if (converter != nullptr) converter->Release();
  if (frame != nullptr) frame->Release();
  if (decoder != nullptr) decoder->Release();
  return bitmap;
}

HFONT DesignFont(const wchar_t* face, double points, bool bold) {
  const HDC screen = ::GetDC(nullptr);
  const int height = -int(points * ::GetDeviceCaps(screen, LOGPIXELSY) / 72.0 + 0.5);
  ::ReleaseDC(nullptr, screen);
  return ::CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH, face);
}

// One window with what the converter holds, laid out by hand: six labels, six edit boxes (one
// hidden), a rich-edit box with dark-blue text and red bars, a report-view list of 256 rows in
// two columns, two pictures decoded from left.jpg and right.jpg, a push button, a tooltip and
// the design's five fonts.
int BareForm() {
  ::LoadLibraryW(L"Msftedit.dll");
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring directory = self;
  directory.resize(directory.find_last_of(L"\\/") + 1);

  const HFONT fonts[] = {DesignFont(L"Comic Sans MS", 12, false),
                         DesignFont(L"Comic Sans MS", 9.75, false),
                         DesignFont(L"Comic Sans MS", 14.25, true), DesignFont(L"Arial", 12, true),
                         DesignFont(L"Comic Sans MS", 9, false)};
  HWND frame = ::CreateWindowExW(
      0, L"STATIC", L"Bare form", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
      CW_USEDEFAULT, CW_USEDEFAULT, 470, 380, nullptr, nullptr, nullptr, nullptr);
  const auto child = [frame](const wchar_t* type, const wchar_t* text, DWORD style, DWORD exStyle,
                             int x, int y, int w, int h, HFONT font) {
    HWND made = ::CreateWindowExW(exStyle, type, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                  frame, nullptr, nullptr, nullptr);
    if (font != nullptr) ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return made;
  };
  for (int i = 0; i < 6; ++i) {
    child(L"STATIC", L"Etichetta", SS_LEFTNOWORDWRAP, 0, 8, 16 + 40 * i, 70, 18, fonts[i ? 1 : 0]);
    child(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 8, 34 + 40 * i, 240, 26,
          fonts[i ? 0 : 2]);
  }
  ::ShowWindow(child(L"EDIT", L"", 0, WS_EX_CLIENTEDGE, 180, 300, 50, 20, nullptr), SW_HIDE);

  HWND rich = child(MSFTEDIT_CLASS, L"", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE, 8, 300, 200, 26, fonts[3]);
  const char rtf[] =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue150;"
      "\\red255\\green0\\blue0;}\\f0\\fs24\\b\\cf2 |\\cf1  SOH \\cf2 |\\cf1  \\u233? \\cf2 |"
      "\\cf1  DC1 \\cf2 |\\cf1 }";
  SETTEXTEX how{ST_DEFAULT, CP_ACP};
  ::SendMessageW(rich, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(rtf));

  HWND list = child(WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                    264, 8, 190, 300, fonts[4]);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  for (int column = 0; column < 2; ++column) {
    LVCOLUMNW format{};
    format.mask = LVCF_TEXT | LVCF_WIDTH;
    format.pszText = const_cast<wchar_t*>(column ? L"Carattere" : L"Codice");
    format.cx = 80;
    ListView_InsertColumn(list, column, &format);
  }
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (int row = 0; row < 256; ++row) {
    std::wstring code = std::to_wstring(row), token(1, wchar_t(row < 33 ? L'?' : row));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = code.data();
    const int at = ListView_InsertItem(list, &item);
    ListView_SetItemText(list, at, 1, token.data());
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);

  IWICImagingFactory* factory = nullptr;
  HBITMAP pictures[2] = {};
  if (SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&factory)))) {
    pictures[0] = Decode(factory, directory + L"left.jpg");
    pictures[1] = Decode(factory, directory + L"right.jpg");
    factory->Release();
  }
  for (int i = 0; i < 2; ++i) {
    HWND picture =
        child(L"STATIC", L"", SS_BITMAP | SS_NOTIFY, 0, 200 + 30 * i, 16, 24, 24, nullptr);
    ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(pictures[i]));
  }
  HWND button =
      child(L"BUTTON", L"Cancella", BS_PUSHBUTTON | WS_TABSTOP, 0, 380, 312, 70, 26, nullptr);
  HWND tooltip = ::CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame, nullptr, nullptr, nullptr);
  for (HWND tipped : {rich, button}) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = frame;
    tool.uId = reinterpret_cast<UINT_PTR>(tipped);
    tool.lpszText = const_cast<wchar_t*>(L"Suggerimento");
    ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  const int status = RunUntilClosed(frame);
  for (HBITMAP picture : pictures)
    if (picture != nullptr) ::DeleteObject(picture);
  for (HFONT font : fonts) ::DeleteObject(font);
  return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  std::wstring what = argc > 1 ? argv[1] : L"";
  int runs = 0;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::wstring(argv[i]) == L"--runs") runs = std::wcstol(argv[i + 1], nullptr, 10);
  if (what == L"--bare") return Bare();
  if (what == L"--bare-form") return BareForm();
  int status = 0;
  if (what.empty() || what == L"keypress") status |= Keypress(runs > 0 ? runs : 400);
  if (what.empty() || what == L"startup") status |= Startup(runs > 0 ? runs : 10);
  return status;
}
