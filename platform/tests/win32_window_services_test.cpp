// The window services on real Win32 windows. Under Wine the windows need a window driver: the
// test command gives the Wine prefix the null graphics driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tessaldo/platform/win32_window_services.h"

namespace tessaldo::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// In, in again and out of the top-most band: the window keeps its place and size. A destroyed
// window fails.
TEST(Win32WindowServices, StayOnTopChangesTheBandOnly) {
  HWND window = ::CreateWindowExA(0, "STATIC", "Autore", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 50,
                                  300, 160, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr) << "CreateWindowExA failed, error " << ::GetLastError();
  const auto handle = reinterpret_cast<WindowHandle>(window);
  const auto services = MakeWin32WindowServices();
  RECT before{};
  ::GetWindowRect(window, &before);
  for (bool onTop : {true, true, false}) {
    EXPECT_TRUE(services->StayOnTop(handle, onTop));
    EXPECT_EQ((::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop);
    RECT now{};
    ::GetWindowRect(window, &now);
    EXPECT_TRUE(now.left == before.left && now.top == before.top && now.right == before.right &&
                now.bottom == before.bottom);
  }
  ASSERT_TRUE(::DestroyWindow(window));
  EXPECT_FALSE(services->StayOnTop(handle, true));
}

// The shell opens a command file with its handler, which leaves a file behind.
TEST(Win32WindowServices, OpenAddressOpensTheDocumentWithItsHandler) {
  const fs::path dir =
      fs::temp_directory_path() / ("tessaldo-" + std::to_string(::GetCurrentProcessId()));
  fs::create_directories(dir);
  std::ofstream(dir / "open_me.cmd")
      << "@echo opened> \"" << (dir / "opened.txt").string() << "\"\r\n";
  MakeWin32WindowServices()->OpenAddress(0, (dir / "open_me.cmd").string());
  for (int i = 0; i < 3000 && !fs::exists(dir / "opened.txt"); ++i)
    std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(fs::exists(dir / "opened.txt"));
  std::error_code busy;  // the handler may still hold the directory for a moment
  for (int i = 0; i < 500 && fs::remove_all(dir, busy) == static_cast<std::uintmax_t>(-1); ++i)
    std::this_thread::sleep_for(20ms);
}

}  // namespace
}  // namespace tessaldo::platform
