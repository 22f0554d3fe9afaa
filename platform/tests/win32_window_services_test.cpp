// The window services on real Win32 windows. Under Wine the windows need a window driver: the
// test command gives the Wine prefix the null graphics driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tessaldo/platform/window_services.h"

namespace tessaldo::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr unsigned kStay = kSwpNoSize | kSwpNoMove | kSwpNoRedraw;  // FormPrimoPiano's 11

// Into the top-most band, again, and out of it: the window keeps its place and size; a
// destroyed window fails.
TEST(Win32WindowServices, SetWindowPosMovesTheWindowIntoAndOutOfTheTopMostBand) {
  HWND window = ::CreateWindowExA(0, "STATIC", "Autore", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 50,
                                  300, 160, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr) << "CreateWindowExA failed, error " << ::GetLastError()
                             << " (under Wine: is a graphics driver set?)";
  const auto handle = reinterpret_cast<WindowHandle>(window);
  const auto services = MakeSystemWindowServices();
  RECT before{};
  ::GetWindowRect(window, &before);
  for (const auto& [after, onTop] : {std::pair{kHwndTopMost, true}, std::pair{kHwndTopMost, true},
                                     std::pair{kHwndNoTopMost, false}}) {
    EXPECT_TRUE(services->SetWindowPos(handle, after, 0, 0, 0, 0, kStay)) << after;
    EXPECT_EQ((::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop) << after;
    RECT now{};
    ::GetWindowRect(window, &now);
    EXPECT_TRUE(now.left == before.left && now.top == before.top && now.right == before.right &&
                now.bottom == before.bottom);
  }
  ASSERT_TRUE(::DestroyWindow(window));
  EXPECT_FALSE(services->SetWindowPos(handle, kHwndTopMost, 0, 0, 0, 0, kStay));
}

// The shell opens a command file with its handler, which leaves a file behind.
TEST(Win32WindowServices, ShellOpenOpensTheDocumentWithItsHandler) {
  const fs::path dir =
      fs::temp_directory_path() / ("tessaldo-shell-" + std::to_string(::GetCurrentProcessId()));
  fs::create_directories(dir);
  const fs::path marker = dir / "opened.txt";
  std::ofstream(dir / "open_me.cmd") << "@echo opened> \"" << marker.string() << "\"\r\n";
  MakeSystemWindowServices()->ShellOpen(0, (dir / "open_me.cmd").string(), kSwShowMinimized);
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!fs::exists(marker) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_TRUE(fs::exists(marker));
  // The handler may still hold the directory for a moment.
  std::error_code ignored;
  for (int i = 0; i < 500 && fs::remove_all(dir, ignored) == static_cast<std::uintmax_t>(-1); ++i) {
    std::this_thread::sleep_for(20ms);
  }
}

}  // namespace
}  // namespace tessaldo::platform
