// Form1's numeric fields: every way text reaches them goes to the model, one job at a time.
#include "tessaldo/converter_window/win32/form1.h"

#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>

#include <exception>
#include <string>

#include "tessaldo/platform/win32_ui/text.h"

namespace tessaldo::win32 {

namespace {

// Delete's stroke, apart from every character.
constexpr int kDeleteKey = 0x10000 | VK_DELETE;

std::u16string U16(std::wstring_view text) {
  return {text.begin(), text.end()};
}

bool Held(int key) {
  return ::GetKeyState(key) < 0;
}

// The clipboard's text, read within its block.
std::optional<std::u16string> ReadClipboard(HWND owner) {
  if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(owner)) return {};
  std::optional<std::u16string> text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) text = U16(BlockText(data));
  ::CloseClipboard();
  return text;
}

// The menu's entries are the edit messages they send to the field.
struct MenuEntry {
  UINT command;
  const wchar_t* text;
};
constexpr MenuEntry kMenu[] = {{WM_UNDO, L"Annulla"},  {0, nullptr},
                               {WM_CUT, L"Taglia"},    {WM_COPY, L"Copia"},
                               {WM_PASTE, L"Incolla"}, {WM_CLEAR, L"Elimina"},
                               {0, nullptr},           {EM_SETSEL, L"Seleziona tutto"}};

}  // namespace

int Form1::IndexOf(HWND field) const {
  for (int i = 0; i < kNumericFields; ++i)
    if (numeric_[static_cast<std::size_t>(i)] == field) return i;
  return -1;
}

// The fields' procedure, put in place of the edit box's own: a subclass of comctl32 costs Wine
// three calls to its server on every message, and a key sends a field several.
LRESULT CALLBACK Form1::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Form1*>(::GetWindowLongPtrW(field, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(field, message, wParam, lParam);
  try {
    return self->HandleField(field, message, wParam, lParam);
  } catch (...) {
    self->OnUncaught(message, std::current_exception());
    return 0;
  }
}

LRESULT Form1::HandleField(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = IndexOf(field);
  if (message == WM_CONTEXTMENU && field != Text6Raw) {
    ShowMenu(field, lParam);
    return 0;
  }
  if (message == WM_SETTEXT && !ownWrite_) {
    // Text set from outside the window (an assistive tool) is the user's edit of a numeric
    // field; the other fields are the window's own.
    if (index < 0) return FALSE;
    const auto* text = reinterpret_cast<const wchar_t*>(lParam);
    const std::u16string set = U16(text ? text : L"");
    presenter_.SetFromOutside(Field(index), set, static_cast<int>(set.size()));
    return TRUE;
  }
  if (index < 0) return ::CallWindowProcW(editProc_, field, message, wParam, lParam);

  using Kind = Request::Kind;
  switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
      KeyChar(index, static_cast<wchar_t>(wParam), lParam);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_DELETE) {
        const bool shift = Held(VK_SHIFT);
        const KeyStroke stroke{index, kDeleteKey, shift ? u"cut" : u"", (lParam & (1 << 30)) != 0,
                               static_cast<std::uint32_t>(::GetMessageTime())};
        presenter_.Key(stroke, [shift] {
          return shift ? Gesture::Of(Gesture::Kind::kCut) : Gesture::Edit(Kind::kDelete);
        });
        return 0;
      }
      if (wParam == VK_INSERT && Held(VK_SHIFT) && !Held(VK_CONTROL)) {
        presenter_.Do(Field(index), Gesture::Of(Gesture::Kind::kPaste));
        return 0;
      }
      break;
    case WM_PASTE:
      presenter_.Do(Field(index), Gesture::Of(Gesture::Kind::kPaste));
      return 0;
    case WM_CUT:
      presenter_.Do(Field(index), Gesture::Of(Gesture::Kind::kCut));
      return 0;
    case WM_CLEAR:  // the menu's Delete: no copy
      presenter_.Do(Field(index), Gesture::Edit(Kind::kCut));
      return 0;
    case WM_UNDO:
    case EM_UNDO:
      presenter_.Do(Field(index), Gesture::Edit(Kind::kUndo));
      return TRUE;
    case EM_CANUNDO:
      return presenter_.CanUndo(Field(index));
    case EM_REPLACESEL: {
      const auto* text = reinterpret_cast<const wchar_t*>(lParam);
      presenter_.Do(Field(index), Gesture::Edit(Kind::kPaste, U16(text ? text : L"")));
      return 0;
    }
    case WM_IME_COMPOSITION:
      // The committed text is a paste of it; what is still being composed the field shows.
      if (lParam & GCS_RESULTSTR) {
        if (HIMC context = ::ImmGetContext(field)) {
          const LONG bytes = ::ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
          std::wstring result(bytes > 0 ? static_cast<std::size_t>(bytes) / sizeof(wchar_t) : 0,
                              L'\0');
          if (bytes > 0) ::ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(), bytes);
          ::ImmReleaseContext(field, context);
          if (!result.empty()) {
            presenter_.Do(Field(index), Gesture::Edit(Kind::kPaste, U16(result)));
          }
        }
        lParam &= ~static_cast<LPARAM>(GCS_RESULTSTR | GCS_RESULTREADSTR | GCS_RESULTCLAUSE |
                                       GCS_RESULTREADCLAUSE);
        if (lParam == 0) return 0;
      }
      break;
    default:
      break;
  }
  return ::CallWindowProcW(editProc_, field, message, wParam, lParam);
}

// A typed character, a surrogate pair as one. The control characters of the editing keys ask
// for their edits; any other character goes to the model, whose filter refuses what the field
// does not take.
void Form1::KeyChar(int index, wchar_t character, LPARAM flags) {
  if (IS_HIGH_SURROGATE(character)) {
    highSurrogate_ = character;
    return;
  }
  std::u16string text;
  if (IS_LOW_SURROGATE(character) && highSurrogate_ != 0) text += char16_t(highSurrogate_);
  text += char16_t(character);
  highSurrogate_ = 0;
  const KeyStroke stroke{index, character, text, (flags & (1 << 30)) != 0,
                         static_cast<std::uint32_t>(::GetMessageTime())};
  HWND field = numeric_[static_cast<std::size_t>(index)];
  presenter_.Key(stroke, [field, text]() -> Gesture {
    using Kind = Request::Kind;
    switch (text.size() == 1 ? text[0] : 0) {
      case 0x08:
        return Gesture::Edit(Kind::kBackspace);
      case 0x01:  // Ctrl+A
        ::SendMessageW(field, EM_SETSEL, 0, -1);
        return {};
      case 0x03:  // Ctrl+C
        ::SendMessageW(field, WM_COPY, 0, 0);
        return {};
      case 0x16:  // Ctrl+V
        return Gesture::Of(Gesture::Kind::kPaste);
      case 0x18:  // Ctrl+X
        return Gesture::Of(Gesture::Kind::kCut);
      case 0x19:  // Ctrl+Y
        return Gesture::Edit(Kind::kRedo);
      case 0x1A:  // Ctrl+Z
        return Gesture::Edit(Kind::kUndo);
      default:
        return Gesture::Edit(Kind::kType, text);
    }
  });
}

void Form1::SetOwnText(HWND control, const std::wstring& text) {
  const bool was = ownWrite_;
  ownWrite_ = true;
  ::SetWindowTextW(control, text.c_str());
  ownWrite_ = was;
}

// The fields' own menu, in Italian: every entry sends the field the edit message it names, so it
// goes the way the same key goes. Text5 offers copying and selecting only.
void Form1::ShowMenu(HWND field, LPARAM at) {
  const int index = IndexOf(field);
  DWORD start = 0, end = 0;
  ::SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  const DWORD length = static_cast<DWORD>(::GetWindowTextLengthW(field));
  const bool editable = index >= 0, selected = start != end;
  HMENU menu = ::CreatePopupMenu();
  for (const MenuEntry& entry : kMenu) {
    if (entry.command == 0) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    bool enabled = false;
    switch (entry.command) {
      case WM_UNDO:
        enabled = editable && presenter_.CanUndo(Field(index));
        break;
      case WM_CUT:
      case WM_CLEAR:
        enabled = editable && selected;
        break;
      case WM_COPY:
        enabled = selected;
        break;
      case WM_PASTE:
        enabled = editable && ::IsClipboardFormatAvailable(CF_UNICODETEXT);
        break;
      default:
        enabled = length > 0 && !(start == 0 && end == length);
        break;
    }
    ::AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), entry.command, entry.text);
  }
  POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (at == -1) {  // from the keyboard: at the caret
    ::GetCaretPos(&point);
    ::ClientToScreen(field, &point);
  }
  ::SetFocus(field);
  const UINT command =
      hooks_.trackMenu
          ? hooks_.trackMenu(menu, point)
          : static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                               point.x, point.y, 0, Handle(), nullptr));
  ::DestroyMenu(menu);
  if (command == EM_SETSEL) {
    ::SendMessageW(field, EM_SETSEL, 0, -1);
  } else if (command != 0) {
    ::SendMessageW(field, command, 0, 0);
  }
}

std::optional<std::u16string> Form1::ClipboardText(bool selection) {
  if (selection) return {};  // Windows has no selection clipboard
  return ReadClipboard(Handle());
}

void Form1::CopySelection(Field field) {
  ::SendMessageW(Of(field), WM_COPY, 0, 0);
}

// Lets paint and timer messages through (and what other threads send), and holds the user's
// input until the running job has ended.
void Form1::PumpEvents() {
  MSG message;
  for (const UINT kind : {WM_PAINT, WM_TIMER}) {
    for (int i = 0; i < 64 && ::PeekMessageW(&message, nullptr, kind, kind, PM_REMOVE); ++i)
      ::DispatchMessageW(&message);
  }
}

}  // namespace tessaldo::win32
