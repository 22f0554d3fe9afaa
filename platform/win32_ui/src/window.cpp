#include "tessaldo/platform/win32_ui/window.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <windowsx.h>

#include <string>
#include <utility>

#include "tessaldo/platform/win32_ui/text.h"

namespace tessaldo::win32 {

Window::~Window() {
  if (hwnd_ != nullptr) {
    // The derived members are gone: the last messages go to DefWindowProcW.
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    ::DestroyWindow(hwnd);
  }
}

bool Window::RegisterWindowClass(HINSTANCE instance, const wchar_t* className, UINT style,
                                 HICON icon, HCURSOR cursor, HBRUSH background) {
  WNDCLASSEXW known{};
  known.cbSize = sizeof known;
  if (::GetClassInfoExW(instance, className, &known)) return known.lpfnWndProc == &Procedure;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = &Procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = cursor;
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = className;
  return ::RegisterClassExW(&windowClass) != 0;
}

HWND Window::Create(HINSTANCE instance, const wchar_t* className, DWORD exStyle,
                    const wchar_t* title, DWORD style, int x, int y, int width, int height,
                    HWND parent, int id) {
  const auto menu =
      (style & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
  return ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu,
                           instance, this);
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self != nullptr) {
      self->hwnd_ = hwnd;
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = self->Guarded(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    try {
      self->OnDestroyed();
    } catch (...) {
      self->OnUncaught(message, std::current_exception());
    }
  }
  return result;
}

LRESULT Window::Guarded(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    return HandleMessage(message, wParam, lParam);
  } catch (...) {
    OnUncaught(message, std::current_exception());
  }
  // A creation that threw fails.
  if (message == WM_CREATE) return -1;
  if (message == WM_NCCREATE) return FALSE;
  // WM_PAINT must still validate the window, or it comes again at once.
  if (message == WM_PAINT) ::ValidateRect(hwnd_, nullptr);
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_CLOSE:
      if (OnClose()) return 0;
      break;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = ::BeginPaint(hwnd_, &paint);
      struct EndPainting {
        HWND hwnd;
        PAINTSTRUCT* paint;
        ~EndPainting() { ::EndPaint(hwnd, paint); }
      } end{hwnd_, &paint};
      OnPaint(dc, paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (HBRUSH brush =
              OnCtlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      OnLeftButton(message == WM_LBUTTONDOWN, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_DRAWITEM:
      if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case 0x02E0:  // WM_DPICHANGED
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

RECT OuterRect(const RECT& client, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = reinterpret_cast<AdjustFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  RECT outer = client;
  if (adjustForDpi == nullptr || !adjustForDpi(&outer, style, FALSE, exStyle, dpi)) {
    outer = client;
    ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  }
  return outer;
}

void SetClientSize(HWND window, int width, int height, UINT dpi) {
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  const RECT outer = OuterRect({0, 0, width, height}, style, exStyle, dpi);
  SIZE size{outer.right - outer.left, outer.bottom - outer.top};
  for (int pass = 0; pass < 2; ++pass) {
    ::SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    ::GetClientRect(window, &client);
    if (client.right == width && client.bottom == height) return;
    size.cx += width - client.right;
    size.cy += height - client.bottom;
  }
}

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

bool Tooltips::Create(HINSTANCE instance, int maxWidth) {
  Destroy();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  tips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (tips_ != nullptr) ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, maxWidth);
  return tips_ != nullptr;
}

bool Tooltips::Add(HWND window, HWND control, std::string_view tip) {
  std::wstring text = Widen(tip);  // the tip window keeps a copy
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text.data();
  return tips_ != nullptr &&
         ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void Tooltips::Destroy() {
  if (tips_ != nullptr) ::DestroyWindow(std::exchange(tips_, nullptr));
}

}  // namespace tessaldo::win32
