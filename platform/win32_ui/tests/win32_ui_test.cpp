// The Win32 UI pieces on real Win32 (under Wine, with the null graphics driver).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "tessaldo/platform/win32_ui/gdi.h"
#include "tessaldo/platform/win32_ui/picture.h"
#include "tessaldo/platform/win32_ui/text.h"
#include "tessaldo/platform/win32_ui/window.h"

namespace tessaldo::win32 {
namespace {

std::wstring BesideTest(const wchar_t* name) {
  wchar_t path[MAX_PATH]{};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return (std::filesystem::path(path).parent_path() / name).wstring();
}

// Channels of a premultiplied 0xAARRGGBB pixel.
struct Argb {
  int a, r, g, b;
};
Argb Split(std::uint32_t pixel) {
  return {int(pixel >> 24), int((pixel >> 16) & 0xFF), int((pixel >> 8) & 0xFF),
          int(pixel & 0xFF)};
}
void ExpectNear(std::uint32_t pixel, Argb expected, int tolerance, const char* where) {
  const Argb got = Split(pixel);
  EXPECT_NEAR(got.a, expected.a, tolerance) << where;
  EXPECT_NEAR(got.r, expected.r, tolerance) << where;
  EXPECT_NEAR(got.g, expected.g, tolerance) << where;
  EXPECT_NEAR(got.b, expected.b, tolerance) << where;
}

TEST(Units, TwipsAndPointsScaleWithTheDpi) {
  // MulDiv rounds to the nearest pixel as the design's conversion must.
  for (UINT dpi : {96u, 120u, 144u, 168u, 192u}) {
    for (int twips : {-150, -60, 0, 7, 8, 15, 22, 23, 240, 360, 600, 960, 1335, 4305, 4410}) {
      EXPECT_EQ(Px(twips, dpi), ::MulDiv(twips, static_cast<int>(dpi), 1440))
          << twips << " twips at " << dpi;
    }
    const RECT frame = TwipsRect(60, 0, 4305, 1335, dpi);
    EXPECT_EQ(frame.left, ::MulDiv(60, dpi, 1440));
    EXPECT_EQ(frame.right, ::MulDiv(4365, dpi, 1440)) << "edges, not the width, are rounded";
  }
  struct Case {
    double points;
    UINT dpi;
    int height;
  };
  for (const Case& c : {Case{8.25, 96, -11}, Case{14.25, 96, -19}, Case{15.75, 96, -21},
                        Case{14.25, 144, -29}, Case{12, 120, -20}, Case{15.75, 192, -42}}) {
    EXPECT_EQ(FontHeight(c.points, c.dpi), c.height) << c.points << " pt at " << c.dpi;
    if (c.points == static_cast<int>(c.points)) {
      EXPECT_EQ(c.height, -::MulDiv(static_cast<int>(c.points), c.dpi, 72));
    }
    // The font made of it has that character height.
    const Font font = MakeFont({L"Tahoma", c.points, true, true}, c.dpi);
    ASSERT_TRUE(font);
    LOGFONTW made{};
    ASSERT_TRUE(::GetObjectW(font.Get(), sizeof made, &made));
    EXPECT_EQ(made.lfHeight, c.height);
    EXPECT_EQ(made.lfWeight, FW_BOLD);
    EXPECT_TRUE(made.lfItalic);
    EXPECT_EQ(made.lfCharSet, ANSI_CHARSET);
    EXPECT_STREQ(made.lfFaceName, L"Tahoma");
    HDC dc = ::CreateCompatibleDC(nullptr);
    TEXTMETRICW metrics{};
    {
      Selected selected(dc, font.Get());
      ASSERT_TRUE(::GetTextMetricsW(dc, &metrics));
    }
    ::DeleteDC(dc);
    EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, -c.height);
  }
  EXPECT_GE(ScreenDpi(), 96u);
  EXPECT_EQ(WindowDpi(nullptr), ScreenDpi());
}

TEST(Pictures, PngAndJpegDecodeToTheirSizeAndPixels) {
  // thirds.png: 6 by 4, columns of opaque red, half-transparent green, transparent blue.
  // halves.jpg: 16 by 8, red on the left, blue on the right.
  struct Source {
    const char* what;
    Picture picture;
  };
  const HINSTANCE self = ::GetModuleHandleW(nullptr);
  Source pngs[] = {{"png file", Picture::FromFile(BesideTest(L"thirds.png"))},
                   {"png resource", Picture::FromResource(self, L"THIRDS")}};
  for (const Source& png : pngs) {
    ASSERT_TRUE(png.picture) << png.what;
    EXPECT_EQ(png.picture.Width(), 6) << png.what;
    EXPECT_EQ(png.picture.Height(), 4) << png.what;
    for (int y = 0; y < 4; ++y) {
      ExpectNear(png.picture.PixelAt(1, y), {255, 255, 0, 0}, 0, png.what);
      ExpectNear(png.picture.PixelAt(2, y), {128, 0, 128, 0}, 1, png.what);  // premultiplied
      ExpectNear(png.picture.PixelAt(5, y), {0, 0, 0, 0}, 0, png.what);
    }
    EXPECT_EQ(png.picture.PixelAt(6, 0), 0u) << "outside";
  }
  Source jpegs[] = {{"jpeg file", Picture::FromFile(BesideTest(L"halves.jpg"))},
                    {"jpeg resource", Picture::FromResource(self, L"HALVES")}};
  for (const Source& jpeg : jpegs) {
    ASSERT_TRUE(jpeg.picture) << jpeg.what;
    EXPECT_EQ(jpeg.picture.Width(), 16) << jpeg.what;
    EXPECT_EQ(jpeg.picture.Height(), 8) << jpeg.what;
    for (int y = 0; y < 8; ++y) {
      ExpectNear(jpeg.picture.PixelAt(2, y), {255, 255, 0, 0}, 8, jpeg.what);
      ExpectNear(jpeg.picture.PixelAt(13, y), {255, 0, 0, 255}, 8, jpeg.what);
    }
  }
  // Nothing to decode: an empty picture, no bitmap.
  EXPECT_FALSE(Picture::FromFile(BesideTest(L"missing.png")));
  EXPECT_FALSE(Picture::FromResource(self, L"NOT_A_PICTURE"));
  EXPECT_FALSE(Picture::FromResource(self, L"MISSING"));
  EXPECT_FALSE(DrawPicture(nullptr, Picture(), RECT{0, 0, 4, 4}));
}

TEST(Pictures, DrawnStretchedWithTheirTransparencyAndMadeIntoIcons) {
  const Picture png = Picture::FromResource(::GetModuleHandleW(nullptr), L"THIRDS");
  ASSERT_TRUE(png);
  // A white 12 by 8 target: the picture drawn at twice its size.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, 12, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  Bitmap target(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(target && bits);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  std::fill(pixels, pixels + 12 * 8, 0x00FFFFFFu);
  HDC dc = ::CreateCompatibleDC(nullptr);
  {
    Selected selected(dc, target.Get());
    EXPECT_TRUE(DrawPicture(dc, png, RECT{0, 0, 12, 8}));
  }
  ::DeleteDC(dc);
  ::GdiFlush();
  for (int y = 0; y < 8; ++y) {
    const std::uint32_t* row = pixels + y * 12;
    ExpectNear(row[1] | 0xFF000000u, {255, 255, 0, 0}, 0, "red");
    ExpectNear(row[5] | 0xFF000000u, {255, 127, 255, 127}, 2, "green over white");
    ExpectNear(row[10] | 0xFF000000u, {255, 255, 255, 255}, 0, "white shows through");
  }

  const Icon icon = MakeIcon(png);
  ASSERT_TRUE(icon.Get());
  ICONINFO iconInfo{};
  ASSERT_TRUE(::GetIconInfo(icon.Get(), &iconInfo));
  BITMAP colour{};
  ::GetObjectW(iconInfo.hbmColor, sizeof colour, &colour);
  EXPECT_EQ(colour.bmWidth, 6);
  EXPECT_EQ(colour.bmHeight, 4);
  ::DeleteObject(iconInfo.hbmColor);
  ::DeleteObject(iconInfo.hbmMask);
}

// Records what reaches its members; throws from some of them on request.
class Recorder final : public Window {
 public:
  static constexpr wchar_t kClass[] = L"TessaldoTestRecorder";
  int creates = 0, timers = 0, destroys = 0, destroyed = 0;
  std::vector<int> commands;
  std::vector<UINT> uncaught;
  bool failCreate = false, throwOnCreate = false;

  HWND Open(HWND parent = nullptr) {
    Window::RegisterWindowClass(::GetModuleHandleW(nullptr), kClass, 0, nullptr, nullptr,
                                nullptr);
    return Create(::GetModuleHandleW(nullptr), kClass, 0, L"Recorder",
                  parent != nullptr ? WS_CHILD : WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, parent, 7);
  }

 protected:
  bool OnCreate() override {
    ++creates;
    if (throwOnCreate) throw std::runtime_error("create");
    return !failCreate;
  }
  void OnTimer(UINT_PTR id) override { timers += static_cast<int>(id); }
  bool OnCommand(int id, int, HWND) override {
    if (id == 13) throw std::runtime_error("thirteen");
    if (id == 14) throw 14;  // not even an exception
    commands.push_back(id);
    return true;
  }
  void OnDestroy() override { ++destroys; }
  void OnDestroyed() override { ++destroyed; }
  void OnUncaught(UINT message, std::exception_ptr) noexcept override {
    uncaught.push_back(message);
  }
};

TEST(Window, DispatchesMessagesToMembersAndKeepsWhatTheyThrowInside) {
  Recorder window;
  HWND hwnd = window.Open();
  ASSERT_TRUE(hwnd);
  EXPECT_EQ(window.Handle(), hwnd);
  EXPECT_EQ(window.creates, 1);
  EXPECT_EQ(::SendMessageW(hwnd, WM_COMMAND, 5, 0), 0);
  ::SendMessageW(hwnd, WM_TIMER, 3, 0);
  ::SendMessageW(hwnd, WM_COMMAND, 13, 0);  // thrown: the window lives on
  ::SendMessageW(hwnd, WM_COMMAND, 14, 0);
  ::SendMessageW(hwnd, WM_COMMAND, 6, 0);
  EXPECT_EQ(window.commands, (std::vector<int>{5, 6}));
  EXPECT_EQ(window.timers, 3);
  EXPECT_EQ(window.uncaught, (std::vector<UINT>{WM_COMMAND, WM_COMMAND}));
  EXPECT_TRUE(::IsWindow(hwnd));
  // Destroyed by the system: the members hear it, the object forgets the handle.
  ASSERT_TRUE(::DestroyWindow(hwnd));
  EXPECT_EQ(window.destroys, 1);
  EXPECT_EQ(window.destroyed, 1);
  EXPECT_EQ(window.Handle(), nullptr);
  // A class registered once serves a second window; a failed creation leaves no window.
  Recorder refused;
  refused.failCreate = true;
  EXPECT_EQ(refused.Open(), nullptr);
  EXPECT_EQ(refused.Handle(), nullptr);
  Recorder broken;
  broken.throwOnCreate = true;
  EXPECT_EQ(broken.Open(), nullptr) << "a creation that throws fails";
  EXPECT_EQ(broken.uncaught, (std::vector<UINT>{WM_CREATE}));
}

TEST(Window, DestroysItsWindowAndChildrenWhenReleased) {
  HWND hwnd = nullptr, child = nullptr;
  {
    Recorder window;
    Recorder inner;
    hwnd = window.Open();
    child = inner.Open(hwnd);
    ASSERT_TRUE(hwnd && child);
    EXPECT_EQ(::GetDlgCtrlID(child), 7);
    // The parent goes first: the child's object hears its window go.
    ASSERT_TRUE(::DestroyWindow(hwnd));
    EXPECT_EQ(inner.destroyed, 1);
    EXPECT_EQ(inner.Handle(), nullptr);
    hwnd = window.Open();
  }
  EXPECT_FALSE(::IsWindow(hwnd)) << "the object's end destroys its window";
  // A window released in its own OnDestroyed: nothing of it is touched afterwards.
  class SelfReleasing final : public Window {
   public:
    explicit SelfReleasing(bool& gone) : gone_(gone) {}
    ~SelfReleasing() override { gone_ = true; }
    HWND Open() {
      Window::RegisterWindowClass(::GetModuleHandleW(nullptr), L"TessaldoTestSelf", 0, nullptr,
                                  nullptr, nullptr);
      return Create(::GetModuleHandleW(nullptr), L"TessaldoTestSelf", 0, L"", WS_POPUP, 0, 0, 1,
                    1, nullptr);
    }

   protected:
    void OnDestroyed() override { delete this; }

   private:
    bool& gone_;
  };
  bool gone = false;
  HWND self = (new SelfReleasing(gone))->Open();
  ASSERT_TRUE(self);
  ::DestroyWindow(self);
  EXPECT_TRUE(gone);
}

TEST(Text, Utf8AndUtf16RoundTrip) {
  struct Case {
    const char* utf8;
    const wchar_t* utf16;
  };
  for (const Case& c : {Case{"", L""}, Case{"Autore", L"Autore"},
                        Case{"Citt\xC3\xA0 \xE2\x82\xAC", L"Citt\u00E0 \u20AC"},
                        Case{"\xF0\x9F\x98\x80", L"\U0001F600"}}) {
    EXPECT_EQ(Widen(c.utf8), c.utf16);
    EXPECT_EQ(Narrow(c.utf16), c.utf8);
  }
  EXPECT_EQ(Widen("a\xFF"
                  "b"),
            L"a\uFFFDb");
}

}  // namespace
}  // namespace tessaldo::win32
