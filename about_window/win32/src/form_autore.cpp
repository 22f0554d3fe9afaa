#include "tessaldo/about_window/win32/form_autore.h"

#include <commctrl.h>
#include <dwmapi.h>

#include <string>
#include <utility>

#include "tessaldo/about_window/autore_design.h"
#include "tessaldo/about_window/autore_rules.h"
#include "tessaldo/platform/win32_ui/text.h"

namespace tessaldo::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"TessaldoFormAutore";
constexpr wchar_t kBoxClass[] = L"TessaldoAutoreBox";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME;

RECT BoxRect(const autore::TwipsBox& box, UINT dpi) {
  return TwipsRect(box.left, box.top, box.width, box.height, dpi);
}

Font FontOf(const autore::FontDesign& font, UINT dpi) {
  static const std::wstring face = Widen(autore::kFace);
  return MakeFont({face, font.points, font.bold, font.italic}, dpi);
}

// AdjustWindowRectExForDpi where the system has it (Windows 10 1607), else the screen's.
RECT OuterFor(const RECT& client, UINT dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = reinterpret_cast<AdjustFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  RECT outer = client;
  if (adjustForDpi == nullptr || !adjustForDpi(&outer, kFormStyle, FALSE, kFormExStyle, dpi)) {
    outer = client;
    ::AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
  }
  return outer;
}

// The outer frame as the system draws it: DWM's bounds where it composes the window (they leave
// out the invisible borders), else the window's rectangle.
RECT VisibleFrame(HWND window) {
  RECT frame{};
  using DwmAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
  static const auto dwmAttribute = [] {
    HMODULE dwm = ::LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return dwm == nullptr ? nullptr
                          : reinterpret_cast<DwmAttributeFn>(reinterpret_cast<void*>(
                                ::GetProcAddress(dwm, "DwmGetWindowAttribute")));
  }();
  if (dwmAttribute != nullptr &&
      SUCCEEDED(dwmAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof frame)) &&
      frame.right > frame.left) {
    return frame;
  }
  ::GetWindowRect(window, &frame);
  return frame;
}

}  // namespace

// A picture box or a windowed label of the about window: paints through the form, shows the
// hand over a link, and reports a click (the left button going down and coming up over it).
class AutoreBox final : public Window {
 public:
  AutoreBox(HBRUSH background, bool hand, std::function<void(HDC, const RECT&)> paint,
            std::function<void()> click)
      : background_(background), hand_(hand), paint_(std::move(paint)), click_(std::move(click)) {}

  HWND Open(HINSTANCE instance, HWND parent, int id, const std::wstring& text, DWORD style) {
    RegisterWindowClass(instance, kBoxClass, 0, nullptr, ::LoadCursorW(nullptr, IDC_ARROW),
                        nullptr);
    return Create(instance, kBoxClass, 0, text.c_str(),
                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                  parent, id);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_ERASEBKGND: {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, background_);
        return TRUE;
      }
      case WM_PRINTCLIENT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client{};
        ::GetClientRect(Handle(), &client);
        if ((lParam & PRF_ERASEBKGND) != 0) ::FillRect(dc, &client, background_);
        if (paint_) paint_(dc, client);
        return 0;
      }
      case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
      default:
        return Window::HandleMessage(message, wParam, lParam);
    }
  }

  void OnPaint(HDC dc, const PAINTSTRUCT&) override {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (paint_) paint_(dc, client);
  }

  bool OnSetCursor(HWND, UINT hitTest) override {
    if (!hand_ || hitTest != HTCLIENT) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
  }

  void OnLeftButton(bool down, POINT at) override {
    if (down) {
      pressed_ = true;
      ::SetCapture(Handle());
      return;
    }
    const bool clicked = pressed_;
    pressed_ = false;
    if (::GetCapture() == Handle()) ::ReleaseCapture();
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (clicked && ::PtInRect(&client, at) && click_) click_();
  }

 private:
  HBRUSH background_;
  bool hand_;
  std::function<void(HDC, const RECT&)> paint_;
  std::function<void()> click_;
  bool pressed_ = false;
};

FormAutore::FormAutore(HINSTANCE instance, platform::WindowServices& services,
                       std::function<void()> unloaded)
    : instance_(instance), services_(services) {
  RegisterWindowClass(instance, kFormClass, 0, nullptr, ::LoadCursorW(nullptr, IDC_ARROW), nullptr);
  const std::wstring caption = Widen(autore::kCaption);
  if (Create(instance, kFormClass, kFormExStyle, caption.c_str(), kFormStyle, CW_USEDEFAULT,
             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr) == nullptr) {
    return;
  }
  Form_Load();
  unloaded_ = std::move(unloaded);
}

FormAutore::~FormAutore() {
  if (HWND window = Handle()) {
    unloaded_ = nullptr;
    ::DestroyWindow(window);
  }
}

bool FormAutore::OnCreate() {
  dpi_ = WindowDpi(Handle());
  emblem_ = Picture::FromResource(instance_, kEmblemResource);
  envelope_ = Picture::FromResource(instance_, kEnvelopeResource);
  icon_ = MakeIcon(emblem_);
  if (icon_.Get() != nullptr) {
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Get()));
  }
  background_ = SolidBrush(autore::kBackground);
  frameBackground_ = SolidBrush(autore::kFrameBackground);
  HBRUSH panelBackground = ::GetSysColorBrush(COLOR_WINDOW);

  Picture1 = std::make_unique<AutoreBox>(frameBackground_.Get(), false, nullptr, nullptr);
  picture2 = std::make_unique<AutoreBox>(
      panelBackground, false, [this](HDC dc, const RECT& client) { PaintPanel(dc, client); },
      [this] { picture2_Click(); });
  Label1 = std::make_unique<AutoreBox>(
      background_.Get(), true, [this](HDC dc, const RECT& client) { PaintLabel1(dc, client); },
      [this] { Label1_Click(); });
  Picture3 = std::make_unique<AutoreBox>(
      background_.Get(), true, [this](HDC dc, const RECT& client) { PaintPicture3(dc, client); },
      [this] { Picture3_Click(); });
  // The frame's thin single line is the window border; its scale starts inside it.
  static_assert(autore::kFrameLinePx == 1 && autore::kFrameLine == design::kBlack);
  if (!Picture1->Open(instance_, Handle(), autore_id::Picture1, L"", WS_BORDER) ||
      !picture2->Open(instance_, Picture1->Handle(), autore_id::picture2, L"", 0) ||
      !Label1->Open(instance_, Handle(), autore_id::Label1, Widen(autore::Label1.text), 0) ||
      !Picture3->Open(instance_, Handle(), autore_id::Picture3, Widen(autore::Picture3.tip), 0)) {
    return false;
  }

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  // The tips have no owner: an owned top-most tip keeps Wine from putting its owner into the
  // top-most band. They go with the window (OnDestroy).
  tips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, nullptr);
  for (auto [box, tip] : {std::pair{Label1.get(), autore::Label1.tip},
                          std::pair{Picture3.get(), autore::Picture3.tip}}) {
    std::wstring text = Widen(tip);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(box->Handle());
    tool.lpszText = text.data();
    if (tips_ != nullptr) ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  Layout(dpi_);
  MovePanel(autore::FirstTop(static_cast<int>(dpi_)));
  return true;
}

void FormAutore::Layout(UINT dpi) {
  dpi_ = dpi;
  label1Font_ = FontOf(autore::Label1.font, dpi);
  panelFont_ = FontOf(autore::Label5.font, dpi);
  panelBoldFont_ = FontOf(autore::Label3.font, dpi);
  // The frame the system computes for the DPI, then corrected by the one it really drew (a
  // system may keep the frame of another DPI).
  const RECT wanted = TwipsRect(0, 0, autore::kClientWidthTwips, autore::kClientHeightTwips, dpi);
  const RECT outer = OuterFor(wanted, dpi);
  constexpr UINT kKeep = SWP_NOZORDER | SWP_NOACTIVATE;
  SIZE size{outer.right - outer.left, outer.bottom - outer.top};
  for (int pass = 0; pass < 2; ++pass) {
    ::SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, kKeep | SWP_NOMOVE);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (client.right == wanted.right && client.bottom == wanted.bottom) break;
    size.cx += wanted.right - client.right;
    size.cy += wanted.bottom - client.bottom;
  }
  for (auto [box, designed] : {std::pair{Picture1.get(), autore::Picture1.box},
                               std::pair{Label1.get(), autore::Label1.box},
                               std::pair{Picture3.get(), autore::Picture3.box}}) {
    const RECT place = BoxRect(designed, dpi);
    ::SetWindowPos(box->Handle(), nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, kKeep);
  }
  // The panel keeps its top, which counts pixels.
  const RECT panel = BoxRect(autore::picture2.box, dpi);
  ::SetWindowPos(picture2->Handle(), nullptr, panel.left, PanelTop(), panel.right - panel.left,
                 panel.bottom - panel.top, kKeep);
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool FormAutore::FormPrimoPiano(HWND hWnd, bool AlwaysOnTop) {
  return services_.StayOnTop(reinterpret_cast<platform::WindowHandle>(hWnd), AlwaysOnTop);
}

void FormAutore::Form_Load() {
  FormPrimoPiano(Handle(), true);
  PlaceInCorner();
  ::SetTimer(Handle(), autore_id::Timer1, static_cast<UINT>(autore::kTimerInterval.count()),
             nullptr);
}

// The outer frame, as the system draws it, goes into the corner of the work area of the
// window's monitor.
void FormAutore::PlaceInCorner() {
  HMONITOR monitor = ::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor == nullptr || !::GetMonitorInfoW(monitor, &info)) return;
  const RECT visible = VisibleFrame(Handle());
  RECT window{}, client{};
  ::GetWindowRect(Handle(), &window);
  ::GetClientRect(Handle(), &client);
  ::MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  placedFrame_ = RECT{client.left - visible.left, client.top - visible.top,
                      visible.right - client.right, visible.bottom - client.bottom};
  const RECT& work = info.rcWork;
  const autore::Point corner = autore::CornerPlacement(
      {work.left, work.top, work.right, work.bottom},
      {placedFrame_.left, placedFrame_.top, placedFrame_.right, placedFrame_.bottom},
      {client.right - client.left, client.bottom - client.top}, static_cast<int>(dpi_));
  ::SetWindowPos(Handle(), nullptr, corner.x - (visible.left - window.left),
                 corner.y - (visible.top - window.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT FormAutore::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      FillClient(Handle(), reinterpret_cast<HDC>(wParam), background_.Get());
      return TRUE;
    case WM_WINDOWPOSCHANGED: {
      // Where the frame is known only once the window is shown, the corner placement is redone
      // then, once, so that the user's moves are never undone.
      const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!placementSettled_ && (position->flags & SWP_SHOWWINDOW) != 0) {
        placementSettled_ = true;
        const RECT placed = placedFrame_;
        const RECT visible = VisibleFrame(Handle());
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        if (client.left - visible.left != placed.left || client.top - visible.top != placed.top ||
            visible.right - client.right != placed.right ||
            visible.bottom - client.bottom != placed.bottom) {
          PlaceInCorner();
        }
      }
      return Window::HandleMessage(message, wParam, lParam);
    }
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

void FormAutore::OnDpiChanged(UINT dpi, const RECT& suggested) {
  ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Layout(dpi);
}

void FormAutore::OnTimer(UINT_PTR id) {
  if (id == autore_id::Timer1) Timer1_Timer();
}

void FormAutore::OnDestroy() {
  ::KillTimer(Handle(), autore_id::Timer1);
  if (tips_ != nullptr) ::DestroyWindow(std::exchange(tips_, nullptr));
}

void FormAutore::OnDestroyed() {
  // The callback may release this object: nothing of it is used afterwards.
  if (auto unloaded = std::exchange(unloaded_, nullptr)) unloaded();
}

int FormAutore::PanelTop() const {
  if (!picture2 || picture2->Handle() == nullptr) return 0;
  RECT panel{};
  ::GetWindowRect(picture2->Handle(), &panel);
  ::MapWindowPoints(nullptr, Picture1->Handle(), reinterpret_cast<POINT*>(&panel), 2);
  return panel.top;
}

void FormAutore::MovePanel(int top) {
  ::SetWindowPos(picture2->Handle(), nullptr, Px(autore::picture2.box.left, dpi_), top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormAutore::Timer1_Timer() {
  MovePanel(autore::NextTop(PanelTop()));
}

void FormAutore::picture2_Click() {
  MovePanel(autore::kRestartTop);
  ::SetTimer(Handle(), autore_id::Timer1, static_cast<UINT>(autore::kTimerInterval.count()),
             nullptr);
}

void FormAutore::Label1_Click() {
  services_.OpenAddress(reinterpret_cast<platform::WindowHandle>(Handle()), autore::kSiteAddress);
}

void FormAutore::Picture3_Click() {
  services_.OpenAddress(reinterpret_cast<platform::WindowHandle>(Handle()), autore::kMailAddress);
}

// The panel's labels from the bottom of the stacking order up, the emblem on top of them.
void FormAutore::PaintPanel(HDC dc, const RECT&) {
  ::SetBkMode(dc, TRANSPARENT);
  for (const autore::LabelDesign* label : autore::kPanelLabels) {
    RECT place = BoxRect(label->box, dpi_);
    if (label->opaque) ::FillRect(dc, &place, ::GetSysColorBrush(COLOR_WINDOW));
    UINT format = DT_NOPREFIX | (label->align == autore::Align::kCentre ? DT_CENTER : DT_LEFT);
    if (label->wraps) {
      format |= DT_WORDBREAK;
      place.bottom = place.top + 0x4000;  // grows to fit its text
    }
    const Selected font(dc, label->font.bold ? panelBoldFont_.Get() : panelFont_.Get());
    ::SetTextColor(dc, label->colour.ColorRef());
    const std::wstring text = Widen(label->text);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place, format);
  }
  DrawPicture(dc, emblem_, BoxRect(autore::Image1.box, dpi_));
}

void FormAutore::PaintLabel1(HDC dc, const RECT& client) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, autore::Label1.colour.ColorRef());
  const Selected font(dc, label1Font_.Get());
  const std::wstring text = Widen(autore::Label1.text);
  RECT place = client;
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place,
              DT_NOPREFIX | DT_CENTER | DT_WORDBREAK);
}

void FormAutore::PaintPicture3(HDC dc, const RECT& client) {
  DrawPicture(dc, envelope_, client);
}

}  // namespace tessaldo::win32
