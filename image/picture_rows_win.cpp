#include "image/picture_rows.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <climits>

#include "framework/com_owners_win.h"
#include "framework/wide_text_win.h"
#include "image/en_bitmap_win.h"
#include "image/gdi_pixels_win.h"
#include "image/image_type.h"
#include "image/last_error.h"

namespace {

// The full path is limited to this many characters, as for the picture loader.
constexpr DWORD kMaxPathCharacters = 1024;

// A JPEG file as the imaging component decodes it, converted to 32 bits a band at a time. COM
// stays initialised on the thread for as long as the object lives, which is the one operation
// that reads it; the scope is declared first, so that it ends after the interfaces are released.
class WicRows final : public PictureRows {
  public:
    WicRows(std::unique_ptr<ComScope> com, OwnedComInterface<IWICImagingFactory> factory,
            OwnedComInterface<IWICBitmapDecoder> decoder, OwnedComInterface<IWICBitmapSource> source,
            ImageSize size)
        : PictureRows(size),
          com_(std::move(com)),
          factory_(std::move(factory)),
          decoder_(std::move(decoder)),
          source_(std::move(source)) {}

    bool Read(int first, int count, std::span<std::uint32_t> into) override {
        const ImageSize size = Size();
        const std::uint64_t bytes = std::uint64_t(count) * std::uint64_t(size.width) * 4;
        if (first < 0 || count < 0 || first > size.height - count || into.size() * 4 < bytes ||
            bytes > UINT_MAX) {
            SetImageLastError(LastError::InvalidParameter);
            return false;
        }
        const WICRect band{0, first, size.width, count};
        if (FAILED(source_->CopyPixels(&band, UINT(size.width) * 4, UINT(bytes),
                                       reinterpret_cast<BYTE*>(into.data())))) {
            SetImageLastError(LastError::BadDriverLevel);
            return false;
        }
        std::for_each(into.begin(), into.begin() + std::ptrdiff_t(bytes / 4),
                      [](std::uint32_t& pixel) { pixel &= 0x00FFFFFFu; });
        return true;
    }

  private:
    std::unique_ptr<ComScope> com_;
    OwnedComInterface<IWICImagingFactory> factory_;
    OwnedComInterface<IWICBitmapDecoder> decoder_;
    OwnedComInterface<IWICBitmapSource> source_;
};

std::unique_ptr<PictureRows> OpenJpegRows(const char* file) {
    wchar_t path[kMaxPathCharacters];
    const DWORD length = GetFullPathNameW(WideFromUtf8(file).c_str(), kMaxPathCharacters, path, nullptr);
    if (length == 0 || length >= kMaxPathCharacters) {
        return nullptr;
    }
    // A thread already in the multithreaded apartment can decode as well.
    auto com = std::make_unique<ComScope>();
    if (!*com && com->Result() != RPC_E_CHANGED_MODE) {
        return nullptr;
    }
    OwnedComInterface<IWICImagingFactory> factory;
    OwnedComInterface<IWICBitmapDecoder> decoder;
    OwnedComInterface<IWICBitmapFrameDecode> frame;
    OwnedComInterface<IWICBitmapSource> source;
    UINT width = 0, height = 0;
    const bool opened =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, factory.Receive())) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                     reinterpret_cast<IWICBitmapDecoder**>(decoder.Receive()))) &&
        SUCCEEDED(decoder->GetFrame(0, reinterpret_cast<IWICBitmapFrameDecode**>(frame.Receive()))) &&
        SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.Get(),
                                         reinterpret_cast<IWICBitmapSource**>(source.Receive()))) &&
        SUCCEEDED(source->GetSize(&width, &height));
    if (!opened || width < 1 || height < 1 || width > INT_MAX || height > INT_MAX ||
        !CheckedPixelCount(int(width), int(height))) {
        SetImageLastError(LastError::InvalidParameter);
        return nullptr;
    }
    return std::make_unique<WicRows>(std::move(com), std::move(factory), std::move(decoder), std::move(source),
                                     ImageSize{int(width), int(height)});
}

}  // namespace

std::unique_ptr<PictureRows> OpenPictureRows(const char* file) {
    if (file == nullptr) {
        SetImageLastError(LastError::InvalidParameter);
        return nullptr;
    }
    if (ImageTypeOf(file) == kImageJpeg) {
        return OpenJpegRows(file);
    }
    // Decoded over CEnBitmap's background, white, and read the way ResizeImage reads it.
    CEnBitmap bitmap;
    PixelBuffer pixels;
    if (!bitmap.LoadImageFile(file) || !ReadBitmapPixels(bitmap.GetSafeHandle(), pixels)) {
        return nullptr;
    }
    return PictureRowsOf(std::move(pixels));
}
