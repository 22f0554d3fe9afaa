#include "tessaldo/converter_window/win32/form1.h"

#include <commctrl.h>
#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <string>

#include "tessaldo/converter_window/character_table.h"
#include "tessaldo/converter_window/form1_layout.h"
#include "tessaldo/platform/win32_ui/text.h"
#include "tessaldo/text_control/text_control.h"

namespace tessaldo::win32 {

namespace {

using form1_layout::Kind;

constexpr wchar_t kClassName[] = L"TessaldoForm1";
constexpr int kFirstId = 1001;
constexpr int kFormIcon = 2;         // bin.rc: the window's icon
constexpr int kEmblem = 101;         // bin.rc: Image1's emblem
constexpr int kDesignedArrow = 102;  // bin.rc: Image2's first picture
// The font of controls that have none of their own.
constexpr form1_layout::Font kDefaultFont{"Microsoft Sans Serif", 8.25, false};

}  // namespace

int ControlId(std::string_view name) {
  const auto controls = form1_layout::Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name == name) return kFirstId + static_cast<int>(i);
  }
  return 0;
}

Form1::Form1(HINSTANCE instance, platform::Beeper& beeper, Hooks hooks)
    : instance_(instance),
      beeper_(beeper),
      hooks_(std::move(hooks)),
      presenter_(static_cast<Form1View&>(*this)) {}

// The window goes while the members its controls' procedures use are still there.
Form1::~Form1() {
  if (HWND window = Handle()) ::DestroyWindow(window);
}

bool Form1::Create() {
  const HICON icon = static_cast<HICON>(
      ::LoadImageW(instance_, MAKEINTRESOURCEW(kFormIcon), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (!RegisterWindowClass(instance_, kClassName, 0, icon, ::LoadCursorW(nullptr, IDC_ARROW),
                           nullptr)) {
    return false;
  }
  // A fixed single frame: a title bar with the system menu, minimise and close; no resizing.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  const std::wstring caption = Widen(form1_layout::kCaption);
  return Window::Create(instance_, kClassName, 0, caption.c_str(), style, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr) != nullptr;
}

bool Form1::OnCreate() {
  dpi_ = WindowDpi(Handle());
  background_ = SolidBrush(form1_layout::kBackground);
  fieldBackground_ = SolidBrush(design::kFieldBackground);
  emblem_ = Picture::FromResource(instance_, MAKEINTRESOURCEW(kEmblem));
  image2_ = Picture::FromResource(instance_, MAKEINTRESOURCEW(kDesignedArrow));
  CreateControls();
  LayOut();
  FillTable();
  // Subclassed once full: each message to a subclass costs Wine three calls to its server.
  ::SetWindowSubclass(ListView1, &Form1::ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
  presenter_.Load();
  // Keyboard focus shows on every control from the start, not only once a key was used.
  ::SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                 0);
  ::SetFocus(Text1);
  focus_ = Text1;
  return true;
}

void Form1::OnDestroyed() {
  if (hooks_.destroyed) hooks_.destroyed();
}

void Form1::OnUncaught(UINT message, std::exception_ptr error) noexcept {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    ::OutputDebugStringA(
        (std::string("Form1: message ") + std::to_string(message) + ": " + e.what() + "\n")
            .c_str());
  } catch (...) {
    ::OutputDebugStringA("Form1: unknown failure\n");
  }
}

HWND Form1::Control(std::string_view name) const {
  const int id = ControlId(name);
  return id == 0 ? nullptr : ::GetDlgItem(Handle(), id);
}

// ---------------------------------------------------------------------------------------------
// The controls, from the designed layout.

std::vector<std::pair<std::string_view, HWND*>> Form1::Slots() {
  return {{"Label1", &Label1},       {"Label2", &Label2},    {"Label3", &Label3},
          {"Label4", &Label4},       {"Label5", &Label5},    {"Label6", &Label6},
          {"Text1", &Text1},         {"Text2", &Text2},      {"Text3", &Text3},
          {"Text4", &Text4},         {"Text5", &Text5},      {"Text6Raw", &Text6Raw},
          {"Text6", &Text6},         {"Image1", &Image1},    {"Image2", &Image2},
          {"ListView1", &ListView1}, {"Command2", &Command2}};
}

void Form1::CreateControls() {
  const auto controls = form1_layout::Controls();
  // The hidden raw field first: each visible field then comes right after its label, which is
  // how assistive tools find a field's name.
  std::vector<const form1_layout::Control*> order;
  for (const auto& c : controls)
    if (c.kind == Kind::kHiddenEdit) order.push_back(&c);
  for (const auto& c : controls)
    if (c.kind != Kind::kHiddenEdit) order.push_back(&c);

  const bool textControl = text_control::LoadTextControl();
  if (!textControl) ::LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);

  for (const form1_layout::Control* c : order) {
    const std::wstring caption = Widen(c->kind == Kind::kImage ? c->tooltip : c->caption);
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c->visible ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    switch (c->kind) {
      case Kind::kLabel:
        style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | (c->tooltip.empty() ? 0 : SS_NOTIFY);
        break;
      case Kind::kNumericEdit:
      case Kind::kLockedEdit:
      case Kind::kHiddenEdit:
        windowClass = L"EDIT";
        style |= ES_LEFT | ES_AUTOHSCROLL | (c->kind == Kind::kHiddenEdit ? 0 : WS_TABSTOP) |
                 (c->kind == Kind::kLockedEdit ? ES_READONLY : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::kRichEdit:
        windowClass = textControl ? text_control::kWindowClass : MSFTEDIT_CLASS;
        style |= WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::kImage:
        // The tooltip as the window text: the name an assistive tool reads.
        style |= SS_OWNERDRAW | SS_NOTIFY;
        break;
      case Kind::kListView:
        windowClass = WC_LISTVIEWW;
        style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::kButton:
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    }
    const int id = ControlId(c->name);
    HWND control =
        ::CreateWindowExW(exStyle, windowClass, caption.c_str(), style, 0, 0, 0, 0, Handle(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (control == nullptr) continue;
    for (auto& [name, slot] : Slots())
      if (name == c->name) *slot = control;
  }
  numeric_ = {Text1, Text2, Text3, Text4};
  for (HWND field : {Text1, Text2, Text3, Text4, Text5, Text6Raw}) {
    ::SetWindowLongPtrW(field, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form1::FieldProc)));
  }
  if (!textControl) {
    ::SendMessageW(Text6, EM_SETBKGNDCOLOR, 0, design::kFieldBackground.ColorRef());
  }
  ListView_SetExtendedListViewStyle(ListView1, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);

  tooltips_.Create(instance_, 480);
  for (const auto& c : controls)
    if (!c.tooltip.empty()) tooltips_.Add(Handle(), Control(c.name), c.tooltip);
}

HFONT Form1::FontOf(std::string_view name) {
  const auto control = form1_layout::Find(name);
  form1_layout::Font font = control ? control->font : kDefaultFont;
  if (font.family.empty()) font = kDefaultFont;
  Font& made = fonts_[{font.family, font.points, font.bold}];
  if (!made) made = MakeFont(font, dpi_);
  return made.Get();
}

void Form1::LayOut() {
  for (const auto& c : form1_layout::Controls()) {
    HWND control = Control(c.name);
    if (control == nullptr) continue;
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(c.name)), FALSE);
    const RECT r = TwipsRect(c.twips, dpi_);
    ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (c.kind == Kind::kLabel) SizeLabel(control);
  }
  if (ListView1 != nullptr && Header_GetItemCount(ListView_GetHeader(ListView1)) == 2) {
    RECT list{};
    ::GetWindowRect(ListView1, &list);
    const int listTwips = ::MulDiv(list.right - list.left, design::kTwipsPerInch, int(dpi_));
    const auto columns = character_table::Columns(listTwips);
    for (int i = 0; i < 2; ++i) ListView_SetColumnWidth(ListView1, i, Px(columns[i].twips, dpi_));
  }
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

// Labels size themselves to their caption in their font, left and top fixed. The strip a field
// covers is left out, so that no label draws over the field below it.
void Form1::SizeLabel(HWND label) {
  const std::wstring caption = WindowText(label);
  HDC dc = ::GetDC(label);
  SIZE extent{};
  {
    const Selected font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  }
  ::ReleaseDC(label, dc);
  RECT at{};
  ::GetWindowRect(label, &at);
  ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&at), 2);
  int bottom = at.top + extent.cy;
  for (const auto& c : form1_layout::Controls()) {
    if (c.kind == Kind::kLabel || !c.visible) continue;
    const RECT r = TwipsRect(c.twips, dpi_);
    if (r.left < at.left + extent.cx && at.left < r.right && r.top > at.top && r.top < bottom)
      bottom = r.top;
  }
  ::SetWindowPos(label, nullptr, 0, 0, extent.cx, bottom - at.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(label, nullptr, TRUE);
}

// The same twips at the new DPI: the fonts made again, every control placed again, and the outer
// width kept as it was set, so that the panel stays open or closed.
void Form1::OnDpiChanged(UINT dpi, const RECT& suggested) {
  const int outer = OuterWidth();
  dpi_ = dpi;
  fonts_.clear();
  ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut();
  SetOuterWidth(outer);
}

// ---------------------------------------------------------------------------------------------
// The window's messages.

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      FillClient(Handle(), reinterpret_cast<HDC>(wParam), background_.Get());
      return TRUE;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.hwndFrom == ListView1 && header.code == NM_DBLCLK) {
        presenter_.Pick(SelectedRow());
        return 0;
      }
      break;
    }
    case WM_ACTIVATE:
      // The focus comes back to the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(Handle(), focus)) focus_ = focus;
      } else if (focus_ != nullptr && !HIWORD(wParam)) {
        ::SetFocus(focus_);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (focus_ != nullptr) ::SetFocus(focus_);
      return 0;
    case WM_NEXTDLGCTL: {
      // A control that takes Tab itself (the rich-edit box in dialog mode) hands the focus on
      // as it would in a dialog.
      HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                      : ::GetNextDlgTabItem(Handle(), ::GetFocus(), wParam != 0);
      if (next != nullptr) ::SetFocus(next);
      return 0;
    }
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

bool Form1::OnCommand(int id, int code, HWND control) {
  if (control == nullptr) return id == IDOK || id == IDCANCEL;  // Enter and Esc: nothing
  if (control == Text6Raw && code == EN_CHANGE) {
    Text6Raw_Change();
  } else if (control == Command2 && code == BN_CLICKED) {
    presenter_.Cancella();
  } else if (control == Image1 && (code == STN_CLICKED || code == STN_DBLCLK)) {
    presenter_.Image1Click();
  } else if (control == Image2 && (code == STN_CLICKED || code == STN_DBLCLK)) {
    presenter_.Image2Click();
  } else {
    return false;
  }
  return true;
}

// Labels white on dark blue; the fields dark blue on their lavender background.
HBRUSH Form1::OnCtlColor(UINT /*message*/, HDC dc, HWND control) {
  const int index = ::GetDlgCtrlID(control) - kFirstId;
  const auto controls = form1_layout::Controls();
  if (index < 0 || index >= static_cast<int>(controls.size())) return nullptr;
  const auto& c = controls[static_cast<std::size_t>(index)];
  if (!c.text || !c.background) return nullptr;
  ::SetTextColor(dc, c.text->ColorRef());
  ::SetBkColor(dc, c.background->ColorRef());
  ::SetBkMode(dc, OPAQUE);
  return *c.background == design::kFieldBackground ? fieldBackground_.Get() : background_.Get();
}

bool Form1::OnSetCursor(HWND under, UINT /*hitTest*/) {
  const int index = ::GetDlgCtrlID(under) - kFirstId;
  const auto controls = form1_layout::Controls();
  if (under == Handle() || index < 0 || index >= static_cast<int>(controls.size()) ||
      !controls[static_cast<std::size_t>(index)].hand) {
    return false;
  }
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  return true;
}

// The two pictures, at the control's size, on the window's blue.
bool Form1::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem != Image1 && item.hwndItem != Image2) return false;
  ::FillRect(item.hDC, &item.rcItem, background_.Get());
  DrawPicture(item.hDC, item.hwndItem == Image1 ? emblem_ : image2_, item.rcItem);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Start-up, the table, the panel and the pictures.

int Form1::OuterWidth() const {
  RECT client{};
  if (Handle() == nullptr || !::GetClientRect(Handle(), &client)) return panel::kOpenWidth;
  return width_.Read(client.right - client.left, static_cast<int>(dpi_));
}

void Form1::SetOuterWidth(int twips) {
  width_.Set(twips);
  SetClientSize(Handle(), width_.ClientPx(static_cast<int>(dpi_)),
                Px(form1_layout::kClientHeight, dpi_), dpi_);
}

std::wstring Form1::ProgramDirectory() {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  const auto separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

// The table's columns, then its rows, each complete before the next goes in.
void Form1::FillTable() {
  RECT list{};
  ::GetWindowRect(ListView1, &list);
  const int listTwips = ::MulDiv(list.right - list.left, design::kTwipsPerInch, int(dpi_));
  const auto columns = character_table::Columns(listTwips);
  for (int i = 0; i < 2; ++i) {
    std::wstring caption = Widen(columns[i].caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = caption.data();
    column.cx = Px(columns[i].twips, dpi_);
    ListView_InsertColumn(ListView1, i, &column);
  }
  ::SendMessageW(ListView1, WM_SETREDRAW, FALSE, 0);
  for (int index = 0; index < character_table::kRows; ++index) {
    const character_table::Row row = character_table::RowAt(index);
    std::wstring code = Widen(row.code), token = Widen(row.token);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = code.data();
    const int at = ListView_InsertItem(ListView1, &item);
    ListView_SetItemText(ListView1, at, 1, token.data());
  }
  // The focus rectangle has a row to show on when the table gets the keyboard.
  ListView_SetItemState(ListView1, 0, LVIS_FOCUSED, LVIS_FOCUSED);
  ::SendMessageW(ListView1, WM_SETREDRAW, TRUE, 0);
}

int Form1::SelectedRow() const {
  return ListView_GetNextItem(ListView1, -1, LVNI_SELECTED);
}

// Enter on the table picks the selected row, as a double-click does.
LRESULT CALLBACK Form1::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR /*id*/, DWORD_PTR data) {
  auto* self = reinterpret_cast<Form1*>(data);
  try {
    if (message == WM_GETDLGCODE && lParam != 0 &&
        reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
        reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN) {
      return DLGC_WANTMESSAGE | ::DefSubclassProc(list, message, wParam, lParam);
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN && ::GetKeyState(VK_CONTROL) >= 0 &&
        ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_MENU) >= 0) {
      self->presenter_.Pick(self->SelectedRow());
      return 0;
    }
    if (message == WM_CHAR && wParam == L'\r') return 0;
  } catch (...) {
    self->OnUncaught(message, std::current_exception());
    return 0;
  }
  return ::DefSubclassProc(list, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// The presenter's calls.

HWND Form1::Of(Field field) const {
  switch (field) {
    case Field::kText5:
      return Text5;
    case Field::kText6Raw:
      return Text6Raw;
    case Field::kLabel6:
      return Label6;
    default:
      return numeric_[static_cast<std::size_t>(field)];
  }
}

// An edit box whose text is set shows its beginning, caret at 0: a caret put there next needs
// no message.
void Form1::Show(Field field, const std::string& text) {
  SetOwnText(Of(field), Widen(text));
  atBeginning_ = Of(field);
}

std::string Form1::Shown(Field field) const {
  return Narrow(WindowText(Of(field)));
}

void Form1::PlaceCaret(Field field, int caret) {
  const bool set = atBeginning_ == Of(field);
  atBeginning_ = nullptr;
  if (set && caret == 0) return;
  ::SendMessageW(Of(field), EM_SETSEL, static_cast<WPARAM>(caret), caret);
  ::SendMessageW(Of(field), EM_SCROLLCARET, 0, 0);
}

Selection Form1::ShownSelection(Field field) const {
  DWORD start = 0, end = 0;
  ::SendMessageW(Of(field), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(end), static_cast<int>(start), static_cast<int>(end - start)};
}

void Form1::SizeToCaption(Field label) {
  SizeLabel(Of(label));
}

void Form1::Beep(unsigned frequencyHz, unsigned durationMs) {
  beeper_.Beep(frequencyHz, durationMs);
}

void Form1::ShowArrow(std::string_view file) {
  const std::wstring folder = ProgramDirectory();
  if (folder.empty()) return;  // never a file of the current drive's root or folder
  Picture picture = Picture::FromFile(folder + L"\\" + Widen(file));
  if (picture) {
    image2_ = std::move(picture);
    ::InvalidateRect(Image2, nullptr, TRUE);
  }
}

void Form1::ShowAbout() {
  if (hooks_.showAbout) hooks_.showAbout();
}

// ---------------------------------------------------------------------------------------------
// Text6: the raw text goes to the text control, which draws each pair of bars as a red bar.

// The control sets the text with its bars in one pass and draws it once.
void Form1::Text6Raw_Change() {
  ::SetWindowTextW(Text6, WindowText(Text6Raw).c_str());
}

}  // namespace tessaldo::win32
