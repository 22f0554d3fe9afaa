// The window services on real Win32 windows. Under Wine the windows need a window driver: the
// test command gives the Wine prefix the null graphics driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "tessaldo/platform/window_services.h"

namespace tessaldo::platform {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kStayFlags = kSwpNoSize | kSwpNoMove | kSwpNoRedraw;  // 11

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class Win32WindowServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = ::CreateWindowExA(0, "STATIC", "Autore", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 50,
                                300, 160, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr) << "CreateWindowExA failed, error " << ::GetLastError()
                                << " (under Wine: is a graphics driver set?)";
  }
  void TearDown() override {
    if (window_ != nullptr) ::DestroyWindow(window_);
  }

  WindowHandle Handle() const { return reinterpret_cast<WindowHandle>(window_); }
  bool TopMost() const { return (::GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
  RECT Rect() const {
    RECT rect{};
    ::GetWindowRect(window_, &rect);
    return rect;
  }

  std::unique_ptr<WindowServices> services_ = MakeSystemWindowServices();
  HWND window_ = nullptr;
};

TEST_F(Win32WindowServicesTest, TopMostBandKeepsPlaceAndSize) {
  EXPECT_EQ(kStayFlags, 11u);
  const RECT before = Rect();
  ASSERT_FALSE(TopMost());

  EXPECT_TRUE(services_->SetWindowPos(Handle(), kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  EXPECT_TRUE(TopMost());
  EXPECT_TRUE(Rect() == before);

  // Once more in the band: still a success.
  EXPECT_TRUE(services_->SetWindowPos(Handle(), kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  EXPECT_TRUE(TopMost());

  EXPECT_TRUE(services_->SetWindowPos(Handle(), kHwndNoTopMost, 0, 0, 0, 0, kStayFlags));
  EXPECT_FALSE(TopMost());
  EXPECT_TRUE(Rect() == before);
}

TEST_F(Win32WindowServicesTest, MovesAndSizesOutsideTheBand) {
  EXPECT_TRUE(services_->SetWindowPos(Handle(), kHwndTopMost, 70, 80, 250, 120,
                                      kSwpNoZOrder | kSwpNoActivate));
  const RECT after = Rect();
  EXPECT_EQ(after.left, 70);
  EXPECT_EQ(after.top, 80);
  EXPECT_EQ(after.right - after.left, 250);
  EXPECT_EQ(after.bottom - after.top, 120);
  // kSwpNoZOrder leaves the band alone, whatever the insert-after says.
  EXPECT_FALSE(TopMost());
}

TEST_F(Win32WindowServicesTest, DestroyedWindowFails) {
  const WindowHandle gone = Handle();
  ASSERT_TRUE(::DestroyWindow(window_));
  window_ = nullptr;
  EXPECT_FALSE(services_->SetWindowPos(gone, kHwndTopMost, 0, 0, 0, 0, kStayFlags));
  EXPECT_FALSE(services_->SetWindowPos(gone, kHwndNoTopMost, 0, 0, 0, 0, kStayFlags));
}

// The shell opens a command file with its handler, which leaves a file behind.
TEST(Win32ShellOpen, OpensTheDocumentWithItsHandler) {
  const fs::path dir =
      fs::temp_directory_path() / ("tessaldo-shell-" + std::to_string(::GetCurrentProcessId()));
  fs::create_directories(dir);
  const fs::path script = dir / "open_me.cmd";
  const fs::path marker = dir / "opened.txt";
  {
    std::ofstream out(script);
    out << "@echo opened> \"" << marker.string() << "\"\r\n";
  }
  auto services = MakeSystemWindowServices();
  services->ShellOpen(0, script.string(), kSwShowMinimized);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!fs::exists(marker) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(fs::exists(marker));

  std::error_code ignored;
  const auto cleanup = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (fs::remove_all(dir, ignored) == static_cast<std::uintmax_t>(-1) &&
         std::chrono::steady_clock::now() < cleanup) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace
}  // namespace tessaldo::platform
