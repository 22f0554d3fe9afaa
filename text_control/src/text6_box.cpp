#include "text6_box.h"

#include <richedit.h>

#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "tessaldo/conversion/text6_display.h"
#include "tessaldo/resources/design.h"
#include "tessaldo/text_control/text_control.h"

namespace tessaldo::text_control {
namespace {

// The procedure of RICHEDIT50W, which does everything the superclass does not change.
WNDPROC base_procedure = nullptr;

LRESULT Base(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return ::CallWindowProcW(base_procedure, window, message, wparam, lparam);
}

// One line, no scroll bars, read-only to the user; focus and selection stay.
LONG_PTR OwnStyle(LONG_PTR style) {
  style &= ~static_cast<LONG_PTR>(ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL |
                                  WS_HSCROLL | ES_DISABLENOSCROLL);
  return style | ES_READONLY | ES_AUTOHSCROLL;
}

void Select(HWND window, LONG start, LONG end) {
  CHARRANGE range{start, end};
  Base(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void SetColour(HWND window, WPARAM which, design::Rgb colour) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  format.dwEffects = 0;  // not the automatic colour
  format.crTextColor = colour.ColorRef();
  Base(window, EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&format));
}

// Longer texts than this are shown in dark blue alone. The converter's own texts are a few
// dozen characters; only a text set from outside is longer, and it is shown in time linear in
// its length.
constexpr std::size_t kColouredLimit = 4096;

void AppendNumber(std::string& rtf, long number) {
  rtf += std::to_string(number);
}

// `text` as RTF characters: ASCII as itself, \ { } escaped, everything else \uN?.
void AppendText(std::string& rtf, std::u16string_view text) {
  for (const char16_t c : text) {
    if (c == u'\\' || c == u'{' || c == u'}') {
      rtf += '\\';
      rtf += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      rtf += static_cast<char>(c);
    } else {
      rtf += "\\u";
      AppendNumber(rtf, static_cast<std::int16_t>(c));
      rtf += '?';
    }
  }
}

void AppendColour(std::string& rtf, design::Rgb colour) {
  rtf += "\\red";
  AppendNumber(rtf, colour.red);
  rtf += "\\green";
  AppendNumber(rtf, colour.green);
  rtf += "\\blue";
  AppendNumber(rtf, colour.blue);
  rtf += ';';
}

// The whole coloured text as one RTF document in the box's own font: colour 1 dark blue,
// colour 2 red for the bars at `shown.red`.
std::string Rtf(const Text6Display& shown, const CHARFORMAT2W& font) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset";
  AppendNumber(rtf, font.bCharSet);
  rtf += ' ';
  AppendText(rtf, std::u16string_view(reinterpret_cast<const char16_t*>(font.szFaceName)));
  rtf += ";}}{\\colortbl;";
  AppendColour(rtf, design::kDarkBlue);
  AppendColour(rtf, design::kSeparatorRed);
  rtf += "}\\uc1\\f0\\fs";
  AppendNumber(rtf, font.yHeight / 10);  // twips to half-points
  if (font.dwEffects & CFE_BOLD) rtf += "\\b";
  if (font.dwEffects & CFE_ITALIC) rtf += "\\i";
  if (font.dwEffects & CFE_UNDERLINE) rtf += "\\ul";
  if (font.dwEffects & CFE_STRIKEOUT) rtf += "\\strike";
  rtf += "\\cf1 ";
  std::size_t from = 0;
  for (const int red : shown.red) {
    const auto at = static_cast<std::size_t>(red);
    AppendText(rtf, std::u16string_view(shown.text).substr(from, at - from));
    rtf += "\\cf2 ";
    AppendText(rtf, std::u16string_view(shown.text).substr(at, 1));
    rtf += "\\cf1 ";
    from = at + 1;
  }
  AppendText(rtf, std::u16string_view(shown.text).substr(from));
  rtf += '}';
  return rtf;
}

// Shows `raw` the way the base-256 field is read: dark blue, each pair of bars one red bar, the
// caret at the start. One replacement of the whole content, so one layout and one repaint. The
// result is TRUE when the text was set, as for WM_SETTEXT.
LRESULT Show(HWND window, std::u16string_view raw) {
  const Text6Display shown = ShowText6(raw);
  LRESULT result = FALSE;
  if (shown.text.empty() || shown.text.size() > kColouredLimit) {
    const std::wstring text(shown.text.begin(), shown.text.end());
    result = Base(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (!text.empty()) SetColour(window, SCF_ALL, design::kDarkBlue);
  } else {
    CHARFORMAT2W font{};
    font.cbSize = sizeof font;
    Base(window, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&font));
    const std::string rtf = Rtf(shown, font);
    SETTEXTEX how{ST_DEFAULT, CP_ACP};
    result = Base(window, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                  reinterpret_cast<LPARAM>(rtf.c_str()));
  }
  CHARRANGE caret{};
  Base(window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  if (caret.cpMin != 0 || caret.cpMax != 0) Select(window, 0, 0);
  return result != 0 ? TRUE : FALSE;
}

std::u16string Raw(LPARAM lparam) {
  const auto* text = reinterpret_cast<const wchar_t*>(lparam);
  if (text == nullptr) return {};
  return std::u16string(text, text + ::wcslen(text));
}

// The raw text last given, kept in the window's extra bytes after the rich-edit box's own, so that
// a later font change can redraw it.
int state_offset = 0;

std::u16string* Kept(HWND window) {
  return reinterpret_cast<std::u16string*>(::GetWindowLongPtrW(window, state_offset));
}

LRESULT Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      const LONG_PTR style = OwnStyle(create->style);
      create->style = static_cast<LONG>(style);
      ::SetWindowLongPtrW(window, GWL_STYLE, style);
      auto* kept = new (std::nothrow) std::u16string();
      if (kept == nullptr) return FALSE;
      ::SetWindowLongPtrW(window, state_offset, reinterpret_cast<LONG_PTR>(kept));
      return Base(window, message, wparam, lparam);
    }
    case WM_NCDESTROY: {
      const LRESULT result = Base(window, message, wparam, lparam);
      delete Kept(window);
      ::SetWindowLongPtrW(window, state_offset, 0);
      return result;
    }
    case WM_CREATE: {
      const LRESULT result = Base(window, message, wparam, lparam);
      if (result != -1) {
        Base(window, EM_SETBKGNDCOLOR, 0, design::kFieldBackground.ColorRef());
        Base(window, EM_SETREADONLY, TRUE, 0);
        SetColour(window, SCF_DEFAULT, design::kDarkBlue);
      }
      return result;
    }
    case WM_SETTEXT: {
      const std::u16string raw = Raw(lparam);
      if (auto* kept = Kept(window)) {
        kept->assign(raw);
      }
      return Show(window, raw);
    }
    case WM_SETFONT: {
      // The new font for every character; the colours drawn again from the kept text, and the
      // selection as it was.
      const LRESULT result = Base(window, message, wparam, lparam);
      if (const auto* kept = Kept(window); kept != nullptr && !kept->empty()) {
        CHARRANGE selection{};
        Base(window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        Show(window, *kept);
        Select(window, selection.cpMin, selection.cpMax);
      }
      return result;
    }
    default:
      return Base(window, message, wparam, lparam);
  }
}

LRESULT CALLBACK Text6Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    return Handle(window, message, wparam, lparam);
  } catch (...) {  // out of memory: the message fails, nothing leaves the procedure
    return message == WM_NCCREATE ? FALSE : 0;
  }
}

}  // namespace

bool RegisterText6Class(HINSTANCE instance) {
  WNDCLASSEXW own{};
  own.cbSize = sizeof own;
  if (::GetClassInfoExW(instance, kWindowClass, &own)) return true;
  if (::LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32) == nullptr)
    return false;
  WNDCLASSEXW rich{};
  rich.cbSize = sizeof rich;
  if (!::GetClassInfoExW(nullptr, MSFTEDIT_CLASS, &rich)) return false;
  base_procedure = rich.lpfnWndProc;
  own = rich;
  own.cbSize = sizeof own;
  own.style |= CS_GLOBALCLASS;
  own.lpfnWndProc = Text6Procedure;
  state_offset = rich.cbWndExtra;
  own.cbWndExtra = rich.cbWndExtra + static_cast<int>(sizeof(LONG_PTR));
  own.hInstance = instance;
  own.lpszClassName = kWindowClass;
  return ::RegisterClassExW(&own) != 0;
}

}  // namespace tessaldo::text_control
