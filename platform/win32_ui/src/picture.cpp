#include "tessaldo/platform/win32_ui/picture.h"

#include <objbase.h>
#include <wincodec.h>

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

}  // namespace

// Decodes the first frame of what a WIC decoder reads into a Picture.
class PictureDecoder {
 public:
  static Picture Decode(IWICImagingFactory* factory, IWICBitmapDecoder* decoder) {
    Picture picture;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(decoder->GetFrame(0, frame.Out())) ||
        FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width > 0x4000 || height > 0x4000) {
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

  template <class MakeDecoder>
  static Picture Load(MakeDecoder&& makeDecoder) {
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(factory.Out())))) {
      return Picture();
    }
    ComPtr<IWICBitmapDecoder> decoder;
    if (!makeDecoder(factory.Get(), decoder.Out())) return Picture();
    return Decode(factory.Get(), decoder.Get());
  }
};

std::uint32_t Picture::PixelAt(int x, int y) const {
  if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  ::GdiFlush();
  return bits_[static_cast<std::size_t>(y) * width_ + x];
}

Picture Picture::FromFile(const std::wstring& path) {
  return PictureDecoder::Load([&](IWICImagingFactory* factory, IWICBitmapDecoder** decoder) {
    return SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                        WICDecodeMetadataCacheOnDemand, decoder));
  });
}

Picture Picture::FromResource(HINSTANCE module, const wchar_t* name, const wchar_t* type) {
  HRSRC found = ::FindResourceW(module, name, type);
  HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  const DWORD size = found != nullptr ? ::SizeofResource(module, found) : 0;
  if (data == nullptr || size == 0) return Picture();
  return PictureDecoder::Load([&](IWICImagingFactory* factory, IWICBitmapDecoder** decoder) {
    // The stream reads the resource in place; it lives as long as the module.
    ComPtr<IWICStream> stream;
    return SUCCEEDED(factory->CreateStream(stream.Out())) &&
           SUCCEEDED(
               stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), size)) &&
           SUCCEEDED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                      WICDecodeMetadataCacheOnLoad, decoder));
  });
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
