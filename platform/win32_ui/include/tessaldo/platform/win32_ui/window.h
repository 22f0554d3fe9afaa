#pragma once

#include <windows.h>

#include <exception>

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

}  // namespace tessaldo::win32
