#include "tessaldo/converter_window/win32/converter_program.h"

#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "tessaldo/about_window/win32/about_window_host.h"
#include "tessaldo/converter_window/win32/form1.h"
#include "tessaldo/platform/beeper.h"
#include "tessaldo/platform/win32_window_services.h"

namespace tessaldo::win32 {

int RunConverterProgram(HINSTANCE instance, int showCommand) {
  // WIC decodes the pictures; the rich-edit box wants OLE's apartment.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  const auto beeper = platform::MakeSystemBeeper();
  const auto services = platform::MakeWin32WindowServices();
  bool formOpen = true;
  AboutWindowHost about(instance, *services, [&formOpen] {
    if (!formOpen) ::PostQuitMessage(0);
  });
  Form1 form(instance, *beeper,
             {.showAbout = [&about] { about.Show(); },
              .destroyed =
                  [&] {
                    formOpen = false;
                    if (about.Window() == nullptr) ::PostQuitMessage(0);
                  },
              .trackMenu = {}});
  int code = 1;
  if (form.Create()) {
    ::ShowWindow(form.Handle(), showCommand);
    ::UpdateWindow(form.Handle());
    MSG message;
    BOOL got;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
      // Tab, Shift+Tab and the arrow keys move the focus as in a dialog.
      if (formOpen && ::IsDialogMessageW(form.Handle(), &message)) continue;
      if (HWND window = about.Window(); window != nullptr && ::IsDialogMessageW(window, &message))
        continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    code = got == -1 ? 1 : static_cast<int>(message.wParam);
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return code;
}

}  // namespace tessaldo::win32
