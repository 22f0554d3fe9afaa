// The window services on real Win32 windows; under Wine, with the null graphics driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tessaldo/platform/win32_window_services.h"

namespace tessaldo::platform {
namespace {

TEST(Win32WindowServices, StayOnTopChangesTheBandOnlyAndOpenAddressOpensTheDocument) {
  const auto services = MakeWin32WindowServices();
  RECT before{}, now{};
  HWND window = CreateWindowA("STATIC", "Autore", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 50, 300,
                              160, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window && ::GetWindowRect(window, &before)) << "error " << ::GetLastError();
  for (bool onTop : {true, true, false}) {  // in, in again and out, in place
    EXPECT_TRUE(services->StayOnTop(reinterpret_cast<WindowHandle>(window), onTop));
    EXPECT_EQ((::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop);
    EXPECT_TRUE(::GetWindowRect(window, &now) && ::EqualRect(&now, &before));
  }
  ASSERT_TRUE(::DestroyWindow(window));  // then a destroyed window fails
  EXPECT_FALSE(services->StayOnTop(reinterpret_cast<WindowHandle>(window), true));
  const auto dir = std::filesystem::temp_directory_path() / std::to_string(::GetCurrentProcessId());
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "open.cmd") << "@echo opened> \"%~dp0opened.txt\"\r\n";
  services->OpenAddress(0, (dir / "open.cmd").string());
  for (int i = 0; i < 3000 && !std::filesystem::exists(dir / "opened.txt"); ++i) ::Sleep(20);
  EXPECT_TRUE(std::filesystem::exists(dir / "opened.txt"));
  std::error_code busy;  // the handler may hold the directory for a moment
  for (int i = 0; i < 500 && std::filesystem::remove_all(dir, busy) == ~0ull; ++i) ::Sleep(20);
}

}  // namespace
}  // namespace tessaldo::platform
