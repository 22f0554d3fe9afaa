#include "tessaldo/platform/win32_ui/picture.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace tessaldo::win32 {
namespace {

// Releases a COM interface.
template <class Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }
  Interface** Out() { return &pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

// COM for the decoding on this thread, when the thread has not set it up otherwise.
class ComScope {
 public:
  ComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }

 private:
  HRESULT result_;
};

// The size PNG or JPEG data claims in its header, read without decoding: a WIC decoder may decode
// the whole picture as soon as it is made (Wine's do). Nothing for other data; a JPEG without a
// frame header claims nothing to decode.
std::optional<std::pair<UINT, UINT>> ClaimedSize(const BYTE* data, std::size_t size) {
  auto be16 = [&](std::size_t at) { return UINT(data[at]) << 8 | data[at + 1]; };
  if (size >= 24 && std::memcmp(data, "\x89PNG\r\n\x1A\n", 8) == 0) {
    return std::pair{be16(16) << 16 | be16(18), be16(20) << 16 | be16(22)};
  }
  if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
  for (std::size_t at = 2; at + 9 <= size && data[at] == 0xFF; at += 2 + be16(at + 2)) {
    const BYTE marker = data[at + 1];  // SOF0 to SOF15, but for DHT, JPG and DAC
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      return std::pair{be16(at + 7), be16(at + 5)};
    }
  }
  return std::pair{0u, 0u};
}

bool WithinBound(UINT width, UINT height) {
  return width > 0 && height > 0 && width <= UINT{Picture::kMaxSide} &&
         height <= UINT{Picture::kMaxSide};
}

}  // namespace

// Decodes the first frame of PNG, JPEG, BMP, GIF … data into a Picture, once the size its header
// claims is known to be within the bound.
class PictureDecoder {
 public:
  static Picture Decode(const BYTE* data, std::size_t size) {
    Picture picture;
    const auto claimed = ClaimedSize(data, size);
    if (claimed && !WithinBound(claimed->first, claimed->second)) return picture;
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(factory.Out()))) ||
        FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height)) ||
        !WithinBound(width, height) || FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
      return picture;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::Bitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) return picture;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
      return picture;
    }
    picture.width_ = static_cast<int>(width);
    picture.height_ = static_cast<int>(height);
    picture.bits_ = static_cast<std::uint32_t*>(bits);
    picture.bitmap_ = std::move(bitmap);
    return picture;
  }
};

std::uint32_t Picture::PixelAt(int x, int y) const {
  if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  ::GdiFlush();
  return bits_[static_cast<std::size_t>(y) * width_ + x];
}

Picture Picture::FromFile(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Picture();
  // At most twice the bytes of the largest picture's pixels.
  LARGE_INTEGER size{};
  std::vector<BYTE> data;
  DWORD read = 0;
  if (::GetFileSizeEx(file, &size) && size.QuadPart <= 8LL * kMaxSide * kMaxSide) {
    data.resize(static_cast<std::size_t>(size.QuadPart));
    if (!::ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr)) read = 0;
  }
  ::CloseHandle(file);
  return read == 0 ? Picture() : PictureDecoder::Decode(data.data(), read);
}

Picture Picture::FromResource(HINSTANCE module, const wchar_t* name, const wchar_t* type) {
  HRSRC found = ::FindResourceW(module, name, type);
  HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  const DWORD size = found != nullptr ? ::SizeofResource(module, found) : 0;
  if (data == nullptr || size == 0) return Picture();
  return PictureDecoder::Decode(static_cast<const BYTE*>(data), size);
}

bool DrawPicture(HDC dc, const Picture& picture, const RECT& target) {
  if (!picture) return false;
  HDC source = ::CreateCompatibleDC(dc);
  if (source == nullptr) return false;
  bool drawn = false;
  {
    Selected selected(source, picture.Bitmap());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    drawn = ::GdiAlphaBlend(dc, target.left, target.top, target.right - target.left,
                            target.bottom - target.top, source, 0, 0, picture.Width(),
                            picture.Height(), blend) != FALSE;
  }
  ::DeleteDC(source);
  return drawn;
}

Icon MakeIcon(const Picture& picture) {
  if (!picture) return Icon();
  // Icons take straight alpha: undo the premultiplication.
  std::vector<std::uint32_t> straight;
  straight.reserve(static_cast<std::size_t>(picture.Width()) * picture.Height());
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      const std::uint32_t pixel = picture.PixelAt(x, y);
      const std::uint32_t alpha = pixel >> 24;
      if (alpha == 0 || alpha == 255) {
        straight.push_back(alpha == 0 ? 0 : pixel);
        continue;
      }
      auto channel = [&](int shift) {
        const std::uint32_t value = (((pixel >> shift) & 0xFF) * 255 + alpha / 2) / alpha;
        return (value > 255 ? 255u : value) << shift;
      };
      straight.push_back((alpha << 24) | channel(16) | channel(8) | channel(0));
    }
  }
  win32::Bitmap colour(::CreateBitmap(picture.Width(), picture.Height(), 1, 32, straight.data()));
  // The alpha decides; the mask is cleared (rows of whole 16-bit words).
  const std::vector<BYTE> clear(static_cast<std::size_t>((picture.Width() + 15) / 16 * 2) *
                                picture.Height());
  win32::Bitmap mask(::CreateBitmap(picture.Width(), picture.Height(), 1, 1, clear.data()));
  if (!colour || !mask) return Icon();
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colour.Get();
  info.hbmMask = mask.Get();
  return Icon(::CreateIconIndirect(&info));
}

}  // namespace tessaldo::win32
