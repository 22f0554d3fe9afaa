#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "tessaldo/converter_window/converter_model.h"
#include "tessaldo/converter_window/held_keys.h"
#include "tessaldo/converter_window/job_queue.h"
#include "tessaldo/converter_window/panel.h"
#include "tessaldo/platform/beeper.h"
#include "tessaldo/platform/win32_ui/gdi.h"
#include "tessaldo/platform/win32_ui/picture.h"
#include "tessaldo/platform/win32_ui/window.h"

namespace tessaldo::win32 {

// The control ID of a control of Form1 by its designer name ("Text1" ...); 0 for no such name.
int ControlId(std::string_view name);

// The converter window on Win32: one whole number shown at once in decimal, binary, octal,
// hexadecimal, Roman numerals and base 256. Every edit of the four numeric fields (keys, the
// context menu, the clipboard keys, input-method results, text set from outside) goes to the
// model, one job at a time; picks in the character table build the base-256 field.
class Form1 final : public Window {
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
  int OuterWidth() const;
  void SetOuterWidth(int twips);
  // Where left.jpg and right.jpg are read: beside the program unless set otherwise.
  std::wstring ProgramDirectory() const;
  void SetProgramDirectory(std::wstring directory) { directory_ = std::move(directory); }
  UINT Dpi() const { return dpi_; }

  const ConverterModel& Model() const { return model_; }
  // What Image2 shows: the designed arrow until the first click, then the last picture read.
  const Picture& Image2Picture() const { return image2_; }

  // Runs `job` as the window's own jobs run: now, or after the running one.
  void RunExclusive(std::function<void()> job) { jobs_.Run(std::move(job)); }

 private:
  struct Yield {
    Form1* form;
    void operator()() const;
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCreate() override;
  void OnDestroyed() override;
  bool OnCommand(int id, int code, HWND control) override;
  HBRUSH OnCtlColor(UINT message, HDC dc, HWND control) override;
  bool OnSetCursor(HWND under, UINT hitTest) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;
  void OnUncaught(UINT message, std::exception_ptr error) noexcept override;

  static LRESULT CALLBACK FieldProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT HandleField(HWND field, UINT message, WPARAM wParam, LPARAM lParam);

  // The designed handlers.
  void Form_Load();
  void ListView1_DblClick(int row);
  void Command2_Click();
  void Image1_Click();
  void Image2_Click();
  void Text6Raw_Change();

  void CreateControls();
  // Each designer name with the member that holds its control.
  std::vector<std::pair<std::string_view, HWND*>> Slots();
  void LayOut();  // places, sizes and gives fonts to every control at the window's DPI
  HFONT FontOf(std::string_view name);
  void SizeLabel(HWND label);
  void FillTable();
  int SelectedRow() const;

  // The numeric fields' edits: each one job of the window.
  int IndexOf(HWND field) const;
  void KeyChar(int index, wchar_t character, LPARAM flags);
  void RunKey(const KeyStroke& stroke, std::function<void()> run);
  void RunChar(int index, const std::u16string& text);
  void Paste(int index);
  void Cut(int index, bool copy);
  Outcome Edit(int index, Request request);
  void ShowMenu(HWND field, LPARAM at);
  void Display(const Result& result, int edited = -1);
  void DisplayModel();
  void SetOwnText(HWND control, const std::wstring& text);

  HINSTANCE instance_;
  platform::Beeper& beeper_;
  Hooks hooks_;
  Yield yield_{this};
  ConverterModel model_;
  JobQueue jobs_;
  HeldKeys held_;

  HWND Label1 = nullptr, Label2 = nullptr, Label3 = nullptr, Label4 = nullptr, Label5 = nullptr,
       Label6 = nullptr;
  HWND Text1 = nullptr, Text2 = nullptr, Text3 = nullptr, Text4 = nullptr, Text5 = nullptr,
       Text6Raw = nullptr, Text6 = nullptr;
  HWND Image1 = nullptr, Image2 = nullptr, ListView1 = nullptr, Command2 = nullptr;
  HWND tooltip_ = nullptr;
  std::array<HWND, kNumericFields> numeric_{};
  HWND focus_ = nullptr;  // the control that had the focus when the window was deactivated
  wchar_t highSurrogate_ = 0;

  UINT dpi_ = 96;
  panel::OuterWidth width_;
  std::wstring directory_;
  bool ownWrite_ = false;  // the window itself is setting a field's text
  std::chrono::steady_clock::time_point lastYield_;

  Brush background_, fieldBackground_;
  std::map<std::tuple<std::string_view, double, bool>, Font> fonts_;  // for dpi_
  Picture emblem_, image2_;
};

}  // namespace tessaldo::win32
