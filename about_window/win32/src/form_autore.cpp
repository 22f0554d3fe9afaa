#include "tessaldo/about_window/win32/form_autore.h"

#include <string>
#include <utility>

#include "tessaldo/about_window/autore_design.h"
#include "tessaldo/platform/win32_ui/text.h"

namespace tessaldo::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"TessaldoFormAutore";
constexpr wchar_t kBoxClass[] = L"TessaldoAutoreBox";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME;

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
  presenter_.Form_Load();
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
      panelBackground, false, [this](HDC dc, const RECT&) { PaintPanel(dc); },
      [this] { presenter_.picture2_Click(); });
  Label1 = std::make_unique<AutoreBox>(
      background_.Get(), true, [this](HDC dc, const RECT& client) { PaintLabel1(dc, client); },
      [this] { presenter_.Label1_Click(); });
  Picture3 = std::make_unique<AutoreBox>(
      background_.Get(), true,
      [this](HDC dc, const RECT& client) { DrawPicture(dc, envelope_, client); },
      [this] { presenter_.Picture3_Click(); });
  // The frame's thin single line is the window border; its scale starts inside it.
  static_assert(autore::kFrameLinePx == 1 && autore::kFrameLine == design::kBlack);
  if (!Picture1->Open(instance_, Handle(), autore_id::Picture1, L"", WS_BORDER) ||
      !picture2->Open(instance_, Picture1->Handle(), autore_id::picture2, L"", 0) ||
      !Label1->Open(instance_, Handle(), autore_id::Label1, Widen(autore::Label1.text), 0) ||
      !Picture3->Open(instance_, Handle(), autore_id::Picture3, Widen(autore::Picture3.tip), 0)) {
    return false;
  }

  if (tips_.Create(instance_)) {
    tips_.Add(Handle(), Label1->Handle(), autore::Label1.tip);
    tips_.Add(Handle(), Picture3->Handle(), autore::Picture3.tip);
  }
  Layout(dpi_);
  return true;
}

void FormAutore::Layout(UINT dpi) {
  dpi_ = dpi;
  label1Font_ = MakeFont(autore::Label1.font, dpi);
  panelFont_ = MakeFont(autore::kPanelFont, dpi);
  panelBoldFont_ = MakeFont(autore::kPanelBoldFont, dpi);
  SetClientSize(Handle(), Px(autore::kClientWidthTwips, dpi), Px(autore::kClientHeightTwips, dpi),
                dpi);
  constexpr UINT kKeep = SWP_NOZORDER | SWP_NOACTIVATE;
  for (auto [box, designed] : {std::pair{Picture1.get(), autore::Picture1.box},
                               std::pair{Label1.get(), autore::Label1.box},
                               std::pair{Picture3.get(), autore::Picture3.box}}) {
    const RECT place = TwipsRect(designed, dpi);
    ::SetWindowPos(box->Handle(), nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, kKeep);
  }
  // The panel keeps its top, which counts pixels.
  const RECT panel = TwipsRect(autore::picture2.box, dpi);
  ::SetWindowPos(picture2->Handle(), nullptr, panel.left, presenter_.PanelTop(),
                 panel.right - panel.left, panel.bottom - panel.top, kKeep);
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT FormAutore::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      FillClient(Handle(), reinterpret_cast<HDC>(wParam), background_.Get());
      return TRUE;
    case WM_WINDOWPOSCHANGED:
      // The system frames the window when it shows it.
      if ((reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) != 0) {
        presenter_.Framed();
      }
      return Window::HandleMessage(message, wParam, lParam);
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
  if (id == autore_id::Timer1) presenter_.Timer1_Timer();
}

void FormAutore::OnDestroy() {
  presenter_.Form_Unload();
  tips_.Destroy();
}

void FormAutore::OnDestroyed() {
  // The callback may release this object: nothing of it is used afterwards.
  if (auto unloaded = std::exchange(unloaded_, nullptr)) unloaded();
}

bool FormAutore::FormPrimoPiano(HWND hWnd, bool AlwaysOnTop) {
  return services_.StayOnTop(reinterpret_cast<platform::WindowHandle>(hWnd), AlwaysOnTop);
}

bool FormAutore::FormPrimoPiano(bool alwaysOnTop) {
  return FormPrimoPiano(Handle(), alwaysOnTop);
}

// The work area of the window's monitor, the frame as the system draws it.
std::optional<autore::Surroundings> FormAutore::Where() {
  HMONITOR monitor = ::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor == nullptr || !::GetMonitorInfoW(monitor, &info)) return std::nullopt;
  const RECT visible = VisibleFrame(Handle());
  RECT client{};
  ::GetClientRect(Handle(), &client);
  ::MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  const RECT& work = info.rcWork;
  return autore::Surroundings{{work.left, work.top, work.right - work.left, work.bottom - work.top},
                              {client.left - visible.left, client.top - visible.top,
                               visible.right - client.right, visible.bottom - client.bottom},
                              {client.right - client.left, client.bottom - client.top},
                              static_cast<int>(dpi_)};
}

void FormAutore::MoveFrame(autore::Point corner) {
  const RECT visible = VisibleFrame(Handle());
  RECT window{};
  ::GetWindowRect(Handle(), &window);
  ::SetWindowPos(Handle(), nullptr, corner.x - (visible.left - window.left),
                 corner.y - (visible.top - window.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormAutore::MovePanel(int top) {
  ::SetWindowPos(picture2->Handle(), nullptr, Px(autore::picture2.box.left, dpi_), top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormAutore::StartTimer(std::chrono::milliseconds interval) {
  ::SetTimer(Handle(), autore_id::Timer1, static_cast<UINT>(interval.count()), nullptr);
}

void FormAutore::StopTimer() {
  ::KillTimer(Handle(), autore_id::Timer1);
}

void FormAutore::OpenAddress(std::string_view address) {
  services_.OpenAddress(reinterpret_cast<platform::WindowHandle>(Handle()), std::string(address));
}

// The panel's labels from the bottom of the stacking order up, the emblem on top of them.
void FormAutore::PaintPanel(HDC dc) {
  ::SetBkMode(dc, TRANSPARENT);
  for (const autore::LabelDesign* label : autore::kPanelLabels) {
    RECT place = TwipsRect(label->box, dpi_);
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
  DrawPicture(dc, emblem_, TwipsRect(autore::Image1.box, dpi_));
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

}  // namespace tessaldo::win32
