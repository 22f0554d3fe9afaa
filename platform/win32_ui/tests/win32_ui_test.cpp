// The Win32 UI pieces on real Win32 (under Wine, with the null graphics driver).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "tessaldo/platform/win32_ui/gdi.h"
#include "tessaldo/platform/win32_ui/picture.h"
#include "tessaldo/platform/win32_ui/text.h"
#include "tessaldo/platform/win32_ui/window.h"

namespace tessaldo::win32 {
namespace {

// The largest difference between the channels of two 0xAARRGGBB pixels.
int Off(std::uint32_t pixel, std::uint32_t expected) {
  int most = 0;
  for (int shift = 0; shift < 32; shift += 8)
    most = std::max(most, std::abs(int(pixel >> shift & 0xFF) - int(expected >> shift & 0xFF)));
  return most;
}

// Fonts from points, fractions too, asked for by their character height, bold and italic.
TEST(Units, PointsScaleWithTheDpi) {
  for (auto [points, dpi, height] :
       {std::tuple{8.25, 96u, -11}, {15.75, 96u, -21}, {14.25, 144u, -29}, {15.75, 192u, -42}}) {
    LOGFONTW made{};
    const Font font = MakeFont(design::Font{"Tahoma", points, true, true}, dpi);
    ASSERT_TRUE(::GetObjectW(font.Get(), sizeof made, &made));
    EXPECT_TRUE(made.lfHeight == height && made.lfWeight == FW_BOLD && made.lfItalic) << points;
  }
}

// thirds.png: 6 by 4, columns of opaque red, half-transparent green, transparent blue.
// halves.jpg: 16 by 8, red on the left, blue on the right. Both from files (in the working
// directory, the test's folder) and resources; halves.jpg with its frame header claiming 16384 by
// 16384 pixels is refused before it is decoded.
TEST(Pictures, PngAndJpegDecodeToTheirSizeAndPixels) {
  const HINSTANCE self = ::GetModuleHandleW(nullptr);
  for (const Picture& png :
       {Picture::FromFile(L"thirds.png"), Picture::FromResource(self, L"THIRDS")}) {
    ASSERT_TRUE(png.Width() == 6 && png.Height() == 4);
    for (int y = 0; y < 4; ++y) {
      EXPECT_TRUE(png.PixelAt(1, y) == 0xFFFF0000 && png.PixelAt(5, y) == 0) << y;
      EXPECT_LE(Off(png.PixelAt(2, y), 0x80008000), 1) << "green, premultiplied";
    }
    EXPECT_EQ(png.PixelAt(6, 0), 0u) << "outside";
  }
  for (const Picture& jpeg :
       {Picture::FromFile(L"halves.jpg"), Picture::FromResource(self, L"HALVES")}) {
    ASSERT_TRUE(jpeg.Width() == 16 && jpeg.Height() == 8);
    for (int y = 0; y < 8; ++y)
      EXPECT_LE(std::max(Off(jpeg.PixelAt(2, y), 0xFFFF0000), Off(jpeg.PixelAt(13, y), 0xFF0000FF)),
                8);
  }
  EXPECT_FALSE(Picture::FromFile(L"missing.png") || Picture::FromResource(self, L"NOT_A_PICTURE") ||
               Picture::FromResource(self, L"MISSING") ||
               DrawPicture(nullptr, Picture(), RECT{0, 0, 4, 4}));
  std::ifstream in("halves.jpg", std::ios::binary);
  std::string jpeg{std::istreambuf_iterator<char>(in), {}};
  const std::size_t frame = jpeg.find("\xFF\xC0");  // SOF0: length, precision, height, width
  ASSERT_NE(frame, std::string::npos);
  std::ofstream("huge.jpg", std::ios::binary)
      << jpeg.replace(frame + 5, 4, std::string("\x40\x00\x40\x00", 4));
  EXPECT_FALSE(Picture::FromFile(L"huge.jpg"));
}

// Drawn at twice its size over white, with its transparency; an icon of its size.
TEST(Pictures, DrawnStretchedWithTheirTransparencyAndMadeIntoIcons) {
  const Picture png = Picture::FromResource(::GetModuleHandleW(nullptr), L"THIRDS");
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, 12, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  Bitmap target(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* pixels = static_cast<std::uint32_t*>(bits);
  std::fill(pixels, pixels + 12 * 8, 0xFFFFFFFFu);
  HDC dc = ::CreateCompatibleDC(nullptr);
  {
    Selected selected(dc, target.Get());
    EXPECT_TRUE(DrawPicture(dc, png, RECT{0, 0, 12, 8}));
  }
  ::DeleteDC(dc);
  ::GdiFlush();
  for (int y = 0; y < 8; ++y) {
    EXPECT_TRUE((pixels[y * 12 + 1] | 0xFF000000u) == 0xFFFF0000 &&
                (pixels[y * 12 + 10] | 0xFF000000u) == ~0u);
    EXPECT_LE(Off(pixels[y * 12 + 5] | 0xFF000000u, 0xFF7FFF7F), 2) << "green over white";
  }
  const Icon icon = MakeIcon(png);
  ICONINFO iconInfo{};
  ASSERT_TRUE(::GetIconInfo(icon.Get(), &iconInfo));
  BITMAP colour{};
  ::GetObjectW(iconInfo.hbmColor, sizeof colour, &colour);
  EXPECT_TRUE(colour.bmWidth == 6 && colour.bmHeight == 4);
  ::DeleteObject(iconInfo.hbmColor);
  ::DeleteObject(iconInfo.hbmMask);
}

// Records what reaches its members; some of them throw.
class Recorder : public Window {
 public:
  std::vector<int> seen;  // commands, timers as 1000 + id, destroys as -1 and -2
  std::vector<UINT> uncaught;
  bool failCreate = false, throwOnCreate = false;

  HWND Open(HWND parent = nullptr) {
    RegisterWindowClass(::GetModuleHandleW(nullptr), L"TessaldoTest", 0, nullptr, nullptr, nullptr);
    return Create(::GetModuleHandleW(nullptr), L"TessaldoTest", 0, L"",
                  parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, 7);
  }

 protected:
  bool OnCreate() override {
    if (throwOnCreate) throw std::runtime_error("create");
    return !failCreate;
  }
  void OnTimer(UINT_PTR id) override { seen.push_back(1000 + int(id)); }
  bool OnCommand(int id, int, HWND) override {
    if (id == 13) throw std::runtime_error("thirteen");
    if (id == 14) throw 14;
    seen.push_back(id);
    return true;
  }
  void OnDestroy() override { seen.push_back(-1); }
  void OnDestroyed() override { seen.push_back(-2); }
  void OnUncaught(UINT message, std::exception_ptr) noexcept override {
    uncaught.push_back(message);
  }
};

TEST(Window, DispatchesMessagesToMembersAndKeepsWhatTheyThrowInside) {
  Recorder window;
  const HWND hwnd = window.Open();
  ASSERT_TRUE(hwnd && window.Handle() == hwnd);
  for (WPARAM id : {5, 13, 14, 6}) ::SendMessageW(hwnd, WM_COMMAND, id, 0);
  ::SendMessageW(hwnd, WM_TIMER, 3, 0);
  EXPECT_EQ(window.uncaught, (std::vector<UINT>{WM_COMMAND, WM_COMMAND}));
  ASSERT_TRUE(::IsWindow(hwnd) && ::DestroyWindow(hwnd));
  EXPECT_EQ(window.seen, (std::vector<int>{5, 6, 1003, -1, -2}));
  EXPECT_EQ(window.Handle(), nullptr);
  // A creation refused or thrown leaves no window.
  Recorder refused, broken;
  refused.failCreate = broken.throwOnCreate = true;
  EXPECT_TRUE(refused.Open() == nullptr && broken.Open() == nullptr);
  EXPECT_EQ(broken.uncaught, (std::vector<UINT>{WM_CREATE}));
}

TEST(Window, DestroysItsWindowWhenReleased) {
  HWND hwnd = nullptr;
  {
    Recorder window, inner;
    hwnd = window.Open();
    const HWND child = inner.Open(hwnd);
    ASSERT_TRUE(child && ::GetDlgCtrlID(child) == 7);
    ASSERT_TRUE(::DestroyWindow(hwnd));  // the child's object hears its window go
    EXPECT_TRUE(inner.seen == (std::vector<int>{-1, -2}) && inner.Handle() == nullptr);
    hwnd = window.Open();
  }
  EXPECT_FALSE(::IsWindow(hwnd)) << "the object's end destroys its window";
}

TEST(Text, Utf8AndUtf16RoundTrip) {
  for (auto [utf8, utf16] : {std::pair{"", L""},
                             {"Citt\xC3\xA0 \xE2\x82\xAC", L"Citt\u00E0 \u20AC"},
                             {"\xF0\x9F\x98\x80", L"\U0001F600"}}) {
    EXPECT_TRUE(Widen(utf8) == utf16 && Narrow(utf16) == utf8);
  }
  EXPECT_EQ(Widen("\xFF\xC3"), L"\uFFFD\uFFFD");
  // A block without its terminating null ends at the block's end: one shrunk in place, more of
  // its characters lying past its end.
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, 80 * sizeof(wchar_t));
  std::fill_n(static_cast<wchar_t*>(::GlobalLock(block)), 80, L'1');
  ::GlobalUnlock(block);
  block = ::GlobalReAlloc(block, 40 * sizeof(wchar_t), 0);
  EXPECT_EQ(BlockText(block), std::wstring(40, L'1'));
  ::GlobalFree(block);
}

}  // namespace
}  // namespace tessaldo::win32
