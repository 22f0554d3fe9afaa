// The window services on real Win32 windows; under Wine the test command gives the prefix the
// null graphics driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tessaldo/platform/win32_window_services.h"

namespace tessaldo::platform {
namespace {

// In, in again and out of the top-most band, in place; a destroyed window fails.
TEST(Win32WindowServices, StayOnTopChangesTheBandOnlyAndOpenAddressOpensTheDocument) {
  HWND window = ::CreateWindowExA(0, "STATIC", "Autore", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 50,
                                  300, 160, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr) << "CreateWindowExA failed, error " << ::GetLastError();
  const auto services = MakeWin32WindowServices();
  RECT before{}, now{};
  ::GetWindowRect(window, &before);
  for (bool onTop : {true, true, false}) {
    EXPECT_TRUE(services->StayOnTop(reinterpret_cast<WindowHandle>(window), onTop));
    EXPECT_EQ((::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop);
    ::GetWindowRect(window, &now);
    EXPECT_TRUE(std::memcmp(&now, &before, sizeof now) == 0);
  }
  ASSERT_TRUE(::DestroyWindow(window));
  EXPECT_FALSE(services->StayOnTop(reinterpret_cast<WindowHandle>(window), true));
  // The shell opens a command file with its handler, which leaves a file behind.
  const auto dir = std::filesystem::temp_directory_path() /
                   ("tessaldo-" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "open.cmd") << "@echo opened> \"" << (dir / "opened.txt").string()
                                  << "\"\r\n";
  services->OpenAddress(0, (dir / "open.cmd").string());
  for (int i = 0; i < 3000 && !std::filesystem::exists(dir / "opened.txt"); ++i) ::Sleep(20);
  EXPECT_TRUE(std::filesystem::exists(dir / "opened.txt"));
  std::error_code busy;  // the handler may hold the directory for a moment
  for (int i = 0;
       i < 500 && std::filesystem::remove_all(dir, busy) == static_cast<std::uintmax_t>(-1); ++i)
    ::Sleep(20);
}

}  // namespace
}  // namespace tessaldo::platform
