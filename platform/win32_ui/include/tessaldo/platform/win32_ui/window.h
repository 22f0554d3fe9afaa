#pragma once

#include <windows.h>

#include <exception>
#include <string_view>

namespace tessaldo::win32 {

// One window object per HWND. The class's window procedure finds the object through
// GWLP_USERDATA (set on WM_NCCREATE) and hands each message to HandleMessage, which calls the
// member for the message. Nothing a member throws leaves the window procedure: the message gets
// DefWindowProcW's answer and OnUncaught sees the exception.
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // Destroys the window when it still exists; the members are no longer called for it.
  virtual ~Window();

  HWND Handle() const { return hwnd_; }

  // Registers a window class whose procedure is this class's (once per name and module; true
  // when it is registered now or was already).
  static bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className, UINT style,
                                  HICON icon, HCURSOR cursor, HBRUSH background);

 protected:
  // CreateWindowExW for this object; its members get the messages from WM_NCCREATE on.
  HWND Create(HINSTANCE instance, const wchar_t* className, DWORD exStyle, const wchar_t* title,
              DWORD style, int x, int y, int width, int height, HWND parent, int id = 0);

  // Every message; the default calls the members below and DefWindowProcW for the rest.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

  // WM_CREATE: false fails the creation.
  virtual bool OnCreate() { return true; }
  // WM_CLOSE: true when handled; otherwise the window is destroyed.
  virtual bool OnClose() { return false; }
  // WM_DESTROY, while the children still exist.
  virtual void OnDestroy() {}
  // After WM_NCDESTROY: the handle is gone; the object may be released here.
  virtual void OnDestroyed() {}
  virtual void OnTimer(UINT_PTR /*id*/) {}
  // WM_COMMAND: true when handled.
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  // WM_PAINT between BeginPaint and EndPaint (which erased the background).
  virtual void OnPaint(HDC /*dc*/, const PAINTSTRUCT& /*paint*/) {}
  // WM_CTLCOLOR*: the brush for the control, or nullptr for the default.
  virtual HBRUSH OnCtlColor(UINT /*message*/, HDC /*dc*/, HWND /*control*/) { return nullptr; }
  // WM_SETCURSOR: true when the member set the pointer.
  virtual bool OnSetCursor(HWND /*under*/, UINT /*hitTest*/) { return false; }
  // WM_LBUTTONDOWN and WM_LBUTTONUP in client coordinates.
  virtual void OnLeftButton(bool /*down*/, POINT /*at*/) {}
  // WM_DRAWITEM: true when handled.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // WM_DPICHANGED: the new DPI and the rectangle the system suggests.
  virtual void OnDpiChanged(UINT /*dpi*/, const RECT& /*suggested*/) {}
  // An exception a member let out while handling `message`; by default it is dropped.
  virtual void OnUncaught(UINT /*message*/, std::exception_ptr /*error*/) noexcept {}

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Guarded(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  HWND hwnd_ = nullptr;
};

// The outer rectangle around `client` of a window of `style` and `exStyle` at `dpi`:
// AdjustWindowRectExForDpi where the system has it (Windows 10 1607), else the screen's frame.
RECT OuterRect(const RECT& client, DWORD style, DWORD exStyle, UINT dpi);

// Sizes `window`, in place, so that its client area is `width` by `height` pixels: the frame of
// its style at `dpi`, then corrected by the client area it got (a system may keep the frame of
// another DPI, a title bar may keep the window from narrowing).
void SetClientSize(HWND window, int width, int height, UINT dpi);

// The outer frame as the system draws it, in screen pixels: DWM's bounds where it composes the
// window (they leave out the invisible borders), else the window's rectangle.
RECT VisibleFrame(HWND window);

// The tips of a window's controls, shown whenever the pointer rests on one. The tip window has
// no owner (an owned top-most tip makes Wine put its owner into the top-most band): it goes with
// this object or Destroy().
class Tooltips {
 public:
  Tooltips() = default;
  Tooltips(const Tooltips&) = delete;
  Tooltips& operator=(const Tooltips&) = delete;
  ~Tooltips() { Destroy(); }

  // At most `maxWidth` pixels wide, broken between words; -1: one line.
  bool Create(HINSTANCE instance, int maxWidth = -1);
  // The tip of `control`, a child of `window`, in UTF-8.
  bool Add(HWND window, HWND control, std::string_view tip);
  void Destroy();
  HWND Handle() const { return tips_; }

 private:
  HWND tips_ = nullptr;
};

}  // namespace tessaldo::win32
