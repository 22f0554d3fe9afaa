#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "tessaldo/about_window/autore_presenter.h"
#include "tessaldo/platform/win32_ui/gdi.h"
#include "tessaldo/platform/win32_ui/picture.h"
#include "tessaldo/platform/win32_ui/window.h"
#include "tessaldo/platform/window_services.h"

namespace tessaldo::win32 {

// The control IDs of FormAutore's windows, after their designer names. Image1 and Label2 to
// Label5 are drawn by picture2, as the designer's images and labels are windowless.
namespace autore_id {
inline constexpr int Picture1 = 101;
inline constexpr int picture2 = 102;
inline constexpr int Picture3 = 103;
inline constexpr int Label1 = 104;
inline constexpr UINT_PTR Timer1 = 1;
}  // namespace autore_id

// The resources of the pictures: the author's emblem (Image1 and the window's icon) and the
// envelope (Picture3), PNG files as RCDATA.
inline constexpr wchar_t kEmblemResource[] = L"TESSALDO_EMBLEM";
inline constexpr wchar_t kEnvelopeResource[] = L"TESSALDO_ENVELOPE";

class AutoreBox;

// The about window with the Win32 API, a view over autore::AutorePresenter, at the DPI of its
// display: the credits scroll up in a white frame; below it, a label opens the web site and an
// envelope a new mail message.
class FormAutore final : public Window, private autore::AutoreView {
 public:
  // Creates the window (hidden) with its controls and runs its load handler. `unloaded` is
  // called once the window has been destroyed; the object may be released in it.
  FormAutore(HINSTANCE instance, platform::WindowServices& services,
             std::function<void()> unloaded);
  ~FormAutore() override;

  // Puts window hWnd into the top-most band (AlwaysOnTop) or takes it out of it, without
  // moving, resizing or redrawing it; true when the window system made the change.
  bool FormPrimoPiano(HWND hWnd, bool AlwaysOnTop);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCreate() override;
  void OnDestroy() override;
  void OnDestroyed() override;
  void OnTimer(UINT_PTR id) override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;

 private:
  // Fonts, sizes and places at a DPI.
  void Layout(UINT dpi);
  void PaintPanel(HDC dc);
  void PaintLabel1(HDC dc, const RECT& client);

  bool FormPrimoPiano(bool alwaysOnTop) override;
  std::optional<autore::Surroundings> Where() override;
  void MoveFrame(autore::Point corner) override;
  void MovePanel(int top) override;
  void StartTimer(std::chrono::milliseconds interval) override;
  void StopTimer() override;
  void OpenAddress(std::string_view address) override;

  HINSTANCE instance_;
  platform::WindowServices& services_;
  std::function<void()> unloaded_;
  autore::AutorePresenter presenter_{*this};
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;

  std::unique_ptr<AutoreBox> Picture1;
  std::unique_ptr<AutoreBox> picture2;
  std::unique_ptr<AutoreBox> Label1;
  std::unique_ptr<AutoreBox> Picture3;
  Tooltips tips_;

  Picture emblem_;
  Picture envelope_;
  Icon icon_;
  Brush background_;
  Brush frameBackground_;
  Font label1Font_;
  Font panelFont_;
  Font panelBoldFont_;
};

}  // namespace tessaldo::win32
