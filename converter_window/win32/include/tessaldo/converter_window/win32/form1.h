#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "tessaldo/converter_window/form1_presenter.h"
#include "tessaldo/converter_window/panel.h"
#include "tessaldo/platform/beeper.h"
#include "tessaldo/platform/win32_ui/gdi.h"
#include "tessaldo/platform/win32_ui/picture.h"
#include "tessaldo/platform/win32_ui/window.h"

namespace tessaldo::win32 {

// The control ID of a control of Form1 by its designer name ("Text1" ...); 0 for no such name.
int ControlId(std::string_view name);

// The converter window on Win32: one whole number shown at once in decimal, binary, octal,
// hexadecimal, Roman numerals and base 256. Its controls hand every event (keys, the context
// menu, the clipboard keys, input-method results, text set from outside, picks) to the presenter
// and show what it says.
class Form1 final : public Window, private Form1View {
 public:
  struct Hooks {
    // The click on Image1: shows the about window.
    std::function<void()> showAbout;
    // After the window has been destroyed.
    std::function<void()> destroyed;
    // Shows a field's context menu at `at` (screen) and returns the entry picked, 0 for none;
    // TrackPopupMenu when empty.
    std::function<UINT(HMENU menu, POINT at)> trackMenu;
  };

  Form1(HINSTANCE instance, platform::Beeper& beeper, Hooks hooks);
  ~Form1() override;

  // Creates the window in its designed state and runs its load (the narrow width, the table),
  // hidden. False when the window system refuses it.
  bool Create();
  // A control by its designer name ("Text1", "ListView1" ...), or nullptr.
  HWND Control(std::string_view name) const;

  // The outer width in twips: the client width plus the designed 45-twip frame each side.
  int OuterWidth() const override;
  void SetOuterWidth(int twips) override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCreate() override;
  void OnDestroyed() override;
  bool OnCommand(int id, int code, HWND control) override;
  HBRUSH OnCtlColor(UINT message, HDC dc, HWND control) override;
  bool OnSetCursor(HWND under, UINT hitTest) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;
  void OnUncaught(UINT message, std::exception_ptr error) noexcept override;

  static LRESULT CALLBACK FieldProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT HandleField(HWND field, UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  // The folder of the running program, where left.jpg and right.jpg lie; empty when unknown.
  static std::wstring ProgramDirectory();
  // Each designer name with the member that holds its control.
  std::vector<std::pair<std::string_view, HWND*>> Slots();
  void LayOut();  // places, sizes and gives fonts to every control at the window's DPI
  HFONT FontOf(std::string_view name);
  void SizeLabel(HWND label);
  void FillTable();
  int SelectedRow() const;
  void Text6Raw_Change();

  // The numeric fields' events.
  int IndexOf(HWND field) const;
  void KeyChar(int index, wchar_t character, LPARAM flags);
  void ShowMenu(HWND field, LPARAM at);
  void SetOwnText(HWND control, const std::wstring& text);

  // Form1View: the presenter's calls, on the controls.
  HWND Of(Field field) const;
  void Show(Field field, const std::string& text) override;
  std::string Shown(Field field) const override;
  void PlaceCaret(Field field, int caret) override;
  Selection ShownSelection(Field field) const override;
  void SizeToCaption(Field label) override;
  void Beep(unsigned frequencyHz, unsigned durationMs) override;
  std::optional<std::u16string> ClipboardText(bool selection) override;
  void CopySelection(Field field) override;
  void ShowArrow(std::string_view file) override;
  void ShowAbout() override;
  void PumpEvents() override;

  HINSTANCE instance_;
  platform::Beeper& beeper_;
  Hooks hooks_;
  Form1Presenter presenter_;

  HWND Label1 = nullptr, Label2 = nullptr, Label3 = nullptr, Label4 = nullptr, Label5 = nullptr,
       Label6 = nullptr;
  HWND Text1 = nullptr, Text2 = nullptr, Text3 = nullptr, Text4 = nullptr, Text5 = nullptr,
       Text6Raw = nullptr, Text6 = nullptr;
  HWND Image1 = nullptr, Image2 = nullptr, ListView1 = nullptr, Command2 = nullptr;
  Tooltips tooltips_;
  std::array<HWND, kNumericFields> numeric_{};
  HWND focus_ = nullptr;  // the control that had the focus when the window was deactivated
  wchar_t highSurrogate_ = 0;

  UINT dpi_ = 96;
  panel::OuterWidth width_;
  bool ownWrite_ = false;       // the window itself is setting a field's text
  HWND atBeginning_ = nullptr;  // the field whose text was just set, its caret at 0
  WNDPROC editProc_ = nullptr;  // the edit box's own procedure, under the fields'

  Brush background_, fieldBackground_;
  std::map<std::tuple<std::string_view, double, bool>, Font> fonts_;  // for dpi_
  Picture emblem_, image2_;
};

}  // namespace tessaldo::win32
