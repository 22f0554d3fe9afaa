#pragma once

#include <windows.h>

#include <functional>
#include <memory>

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

// The about window: the credits scroll up without end in a white frame; below it, a label opens
// the web site and an envelope a new mail message. It stays above the other windows in the
// bottom-right corner of the work area, at the DPI of its display.
class FormAutore final : public Window {
 public:
  // Loads the window (hidden): creates it with its controls, then runs its load handler, which
  // puts it into the top-most band and into the corner and starts Timer1. `unloaded` is called
  // once the window has been destroyed; the object may be released in it.
  FormAutore(HINSTANCE instance, platform::WindowServices& services,
             std::function<void()> unloaded);
  ~FormAutore() override;

  // Puts window hWnd into the top-most band (AlwaysOnTop) or takes it out of it, without
  // moving, resizing or redrawing it; true when the window system made the change.
  bool FormPrimoPiano(HWND hWnd, bool AlwaysOnTop);

  // The top of picture2 in Picture1's client pixels.
  int PanelTop() const;

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
  void PlaceInCorner();
  void MovePanel(int top);
  void PaintPanel(HDC dc, const RECT& client);
  void PaintLabel1(HDC dc, const RECT& client);
  void PaintPicture3(HDC dc, const RECT& client);

  // Event handlers, named after their designer controls.
  void Form_Load();
  void Timer1_Timer();
  void picture2_Click();
  void Label1_Click();
  void Picture3_Click();

  HINSTANCE instance_;
  platform::WindowServices& services_;
  std::function<void()> unloaded_;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;

  std::unique_ptr<AutoreBox> Picture1;
  std::unique_ptr<AutoreBox> picture2;
  std::unique_ptr<AutoreBox> Label1;
  std::unique_ptr<AutoreBox> Picture3;
  HWND tips_ = nullptr;

  Picture emblem_;
  Picture envelope_;
  Icon icon_;
  Brush background_;
  Brush frameBackground_;
  Font label1Font_;
  Font panelFont_;
  Font panelBoldFont_;

  // The frame counted by the corner placement, and whether the placement is final.
  RECT placedFrame_{};
  bool placementSettled_ = false;
};

}  // namespace tessaldo::win32
