// Form1's numeric fields: every way text reaches them goes to the model, one job at a time.
#include "tessaldo/converter_window/win32/form1.h"

#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>

#include <chrono>
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

// The clipboard's text; nothing when it has none.
bool ClipboardText(HWND owner, std::u16string& text) {
  if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(owner)) return false;
  bool found = false;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = U16(chars);
      found = true;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return found;
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

LRESULT CALLBACK Form1::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR /*id*/, DWORD_PTR data) {
  auto* self = reinterpret_cast<Form1*>(data);
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(field, &Form1::FieldProc, 0);
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
    Request request = Request::Of(Request::Kind::kReplace, U16(text ? text : L""));
    request.position = static_cast<int>(request.text.size());
    jobs_.Run([this, index, request] { Edit(index, request); });
    return TRUE;
  }
  if (index < 0) return ::DefSubclassProc(field, message, wParam, lParam);

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
        RunKey(stroke, [this, index, shift] {
          if (shift) {
            Cut(index, true);
          } else {
            Edit(index, Request::Of(Request::Kind::kDelete));
          }
        });
        return 0;
      }
      if (wParam == VK_INSERT && Held(VK_SHIFT) && !Held(VK_CONTROL)) {
        jobs_.Run([this, index] { Paste(index); });
        return 0;
      }
      break;
    case WM_PASTE:
      jobs_.Run([this, index] { Paste(index); });
      return 0;
    case WM_CUT:
      jobs_.Run([this, index] { Cut(index, true); });
      return 0;
    case WM_CLEAR:
      jobs_.Run([this, index] { Cut(index, false); });
      return 0;
    case WM_UNDO:
    case EM_UNDO:
      jobs_.Run([this, index] { Edit(index, Request::Of(Request::Kind::kUndo)); });
      return TRUE;
    case EM_CANUNDO:
      return model_.CanUndo(Field(index));
    case EM_REPLACESEL: {
      const auto* text = reinterpret_cast<const wchar_t*>(lParam);
      Request request = Request::Of(Request::Kind::kPaste, U16(text ? text : L""));
      jobs_.Run([this, index, request] { Edit(index, request); });
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
            Request request = Request::Of(Request::Kind::kPaste, U16(result));
            jobs_.Run([this, index, request] { Edit(index, request); });
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
  return ::DefSubclassProc(field, message, wParam, lParam);
}

// A typed character. Auto-repeats of the key that last ran, pressed while it still ran (a refused
// key's tone), are merged into that run.
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
  RunKey(stroke, [this, index, text] { RunChar(index, text); });
}

void Form1::RunKey(const KeyStroke& stroke, std::function<void()> run) {
  jobs_.Run([this, stroke, run = std::move(run)] {
    if (held_.Merged(stroke)) return;
    const auto started = std::chrono::steady_clock::now();
    run();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    held_.Ran(stroke, static_cast<std::uint64_t>(took.count()));
  });
}

// The control characters of the editing keys; any other goes to the model, whose filter refuses
// what the field does not take.
void Form1::RunChar(int index, const std::u16string& text) {
  HWND field = numeric_[static_cast<std::size_t>(index)];
  switch (text.size() == 1 ? text[0] : 0) {
    case 0x08:
      Edit(index, Request::Of(Request::Kind::kBackspace));
      break;
    case 0x01:
      ::SendMessageW(field, EM_SETSEL, 0, -1);
      break;  // Ctrl+A
    case 0x03:
      ::SendMessageW(field, WM_COPY, 0, 0);
      break;  // Ctrl+C
    case 0x16:
      Paste(index);
      break;  // Ctrl+V
    case 0x18:
      Cut(index, true);
      break;  // Ctrl+X
    case 0x19:
      Edit(index, Request::Of(Request::Kind::kRedo));
      break;  // Ctrl+Y
    case 0x1A:
      Edit(index, Request::Of(Request::Kind::kUndo));
      break;  // Ctrl+Z
    default:
      Edit(index, Request::Of(Request::Kind::kType, text));
      break;
  }
}

// The clipboard's text as it is when the paste runs; nothing happens without one.
void Form1::Paste(int index) {
  std::u16string text;
  if (!ClipboardText(Handle(), text)) return;
  Edit(index, Request::Of(Request::Kind::kPaste, std::move(text)));
}

// A cut copies the selection first; the menu's Delete does not.
void Form1::Cut(int index, bool copy) {
  HWND field = numeric_[static_cast<std::size_t>(index)];
  DWORD start = 0, end = 0;
  ::SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  if (copy && start != end) ::SendMessageW(field, WM_COPY, 0, 0);
  Edit(index, Request::Of(Request::Kind::kCut));
}

// Hands an edit of numeric field `index`, with the field's caret and selection, to the model and
// shows its answer.
Outcome Form1::Edit(int index, Request request) {
  HWND field = numeric_[static_cast<std::size_t>(index)];
  DWORD start = 0, end = 0;
  ::SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  request.field = Field(index);
  request.selection = {static_cast<int>(end), static_cast<int>(start),
                       static_cast<int>(end - start)};
  if (request.kind == Request::Kind::kPaste || request.kind == Request::Kind::kInsert) {
    request.position = static_cast<int>(end);
  }
  const Result result = model_.Apply(request);
  Display(result, index);
  return result.outcome;
}

// The model's writes in their order. A field written by a conversion shows its beginning, as an
// edit box does once its text is set; the edited field's caret goes where the model puts it.
void Form1::Display(const Result& result, int edited) {
  HWND editedField = edited >= 0 ? numeric_[static_cast<std::size_t>(edited)] : nullptr;
  DWORD start = 0, end = 0;
  if (editedField != nullptr) {
    ::SendMessageW(editedField, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
  }
  for (const Write& write : result.writes) {
    const std::wstring text = Widen(write.text);
    if (write.field == Field::kLabel6) {
      wchar_t shown[64] = {};
      ::GetWindowTextW(Label6, shown, static_cast<int>(std::size(shown)));
      if (text != shown) {
        ::SetWindowTextW(Label6, text.c_str());
        SizeLabel(Label6);
      }
      continue;
    }
    HWND control = write.field == Field::kText5 ? Text5
                   : write.field == Field::kText6Raw
                       ? Text6Raw
                       : numeric_[static_cast<std::size_t>(write.field)];
    SetOwnText(control, text);
    ::SendMessageW(control, EM_SETSEL, 0, 0);
    ::SendMessageW(control, EM_SCROLLCARET, 0, 0);
  }
  if (editedField != nullptr) {
    if (result.caret >= 0) {
      ::SendMessageW(editedField, EM_SETSEL, static_cast<WPARAM>(result.caret), result.caret);
    } else {
      ::SendMessageW(editedField, EM_SETSEL, start, static_cast<LPARAM>(end));
    }
    ::SendMessageW(editedField, EM_SCROLLCARET, 0, 0);
  }
  if (result.outcome == Outcome::kRefused) beeper_.Beep(kRefusalToneHz, kRefusalToneMs);
}

// Every field that does not show what the model holds shows it again; the others keep their
// caret.
void Form1::DisplayModel() {
  Result all;
  const std::array<HWND, 7> controls{Text1, Text2, Text3, Text4, Text5, Text6Raw, Label6};
  for (std::size_t f = 0; f < controls.size(); ++f) {
    const std::string& text = model_.Text(Field(f));
    std::wstring shown(static_cast<std::size_t>(::GetWindowTextLengthW(controls[f])) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(
        ::GetWindowTextW(controls[f], shown.data(), static_cast<int>(shown.size()))));
    if (Narrow(shown) != text) all.writes.push_back({Field(f), text});
  }
  Display(all);
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
        enabled = editable && model_.CanUndo(Field(index));
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

// Called once per digit written: lets paint and timer messages through (and what other threads
// send), and holds the user's input until the running job has ended. A pass costs as much as a
// hundred digits, so it runs at most once a millisecond.
void Form1::Yield::operator()() const {
  const auto now = std::chrono::steady_clock::now();
  if (now - form->lastYield_ < std::chrono::milliseconds(1)) return;
  form->lastYield_ = now;
  MSG message;
  for (const UINT kind : {WM_PAINT, WM_TIMER}) {
    for (int i = 0; i < 64 && ::PeekMessageW(&message, nullptr, kind, kind, PM_REMOVE); ++i)
      ::DispatchMessageW(&message);
  }
}

}  // namespace tessaldo::win32
