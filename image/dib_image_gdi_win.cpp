#include "image/dib_image_gdi.h"

#include <cstring>
#include <new>
#include <utility>

#include "framework/gdi_owners_win.h"
#include "image/last_error.h"

namespace {

BitmapInfoHeader HeaderOf(const DibBlock& block) {
    BitmapInfoHeader header;
    std::memcpy(&header, block.data(), sizeof header);
    return header;
}

// The header a device-dependent bitmap converts to: its own size, bottom row first, one plane,
// and bit fields at 16 and 32 bits so that the system says where it keeps the channels.
BitmapInfoHeader HeaderForDeviceBitmap(const BITMAP& bitmap) {
    BitmapInfoHeader header{};
    header.size = kInfoHeaderSize;
    header.width = bitmap.bmWidth;
    header.height = bitmap.bmHeight;
    header.planes = 1;
    header.bitCount = NormaliseDepth(std::uint32_t{bitmap.bmPlanes} * bitmap.bmBitsPixel);
    header.compression =
        header.bitCount == 16 || header.bitCount == 32 ? kCompressionBitfields : kCompressionRgb;
    header.clrUsed = header.bitCount <= 8 ? 1u << header.bitCount : 0;
    return header;
}

// The header a DIB section lends. GDI makes no RLE sections, but should one report RLE its
// memory holds plain rows all the same, so the pixels are asked for as plain rows.
BitmapInfoHeader HeaderForSection(const DIBSECTION& section) {
    BitmapInfoHeader header;
    std::memcpy(&header, &section.dsBmih, sizeof header);
    header.size = kInfoHeaderSize;
    if (header.compression == kCompressionRle8 || header.compression == kCompressionRle4) {
        header.compression = kCompressionRgb;
        header.sizeImage = 0;
    }
    return header;
}

// A GetDIBits failure that left no reason of its own.
void ReportDriverFailure() {
    if (GetLastError() == ERROR_SUCCESS) {
        SetImageLastError(LastError::BadDriverLevel);
    }
}

bool Allocate(DibBlock& block, std::uint64_t size) {
    try {
        block.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return false;
    }
}

// Completes the header in the block with a first GetDIBits call, then reads the pixels behind
// it with a second. The block may grow when the system asks for more than the header said.
bool ReadPixels(HDC dc, HBITMAP bitmap, DibBlock& block) {
    const UINT rows = static_cast<UINT>(ComputeDibLayout(HeaderOf(block))->rowCount);
    SetLastError(ERROR_SUCCESS);
    if (GetDIBits(dc, bitmap, 0, rows, nullptr, reinterpret_cast<BITMAPINFO*>(block.data()),
                  DIB_RGB_COLORS) == 0 ||
        HeaderOf(block).sizeImage == 0) {
        ReportDriverFailure();
        return false;
    }
    BitmapInfoHeader completed = HeaderOf(block);
    if (completed.compression == kCompressionRle8 || completed.compression == kCompressionRle4) {
        // Plain rows, never a compressed stream: the image in memory is always uncompressed.
        completed.compression = kCompressionRgb;
        completed.sizeImage = 0;
        std::memcpy(block.data(), &completed, sizeof completed);
        SetLastError(ERROR_SUCCESS);
        if (GetDIBits(dc, bitmap, 0, rows, nullptr, reinterpret_cast<BITMAPINFO*>(block.data()),
                      DIB_RGB_COLORS) == 0) {
            ReportDriverFailure();
            return false;
        }
        completed = HeaderOf(block);
    }
    const std::optional<DibLayout> layout = ComputeDibLayout(completed);
    if (!layout) {
        SetImageLastError(LastError::InvalidParameter);
        return false;
    }
    if (layout->heldSize > block.size() && !Allocate(block, layout->heldSize)) {
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    if (GetDIBits(dc, bitmap, 0, rows, block.data() + layout->pixelOffset,
                  reinterpret_cast<BITMAPINFO*>(block.data()), DIB_RGB_COLORS) == 0) {
        ReportDriverFailure();
        return false;
    }
    block.resize(layout->heldSize);
    return true;
}

// A DIB section with the image's header, colour table and pixels.
HBITMAP SectionOf(const DibImage& image) {
    void* bits = nullptr;
    OwnedBitmap section(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(image.Block().data()),
                                         DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr) {
        ReportDriverFailure();
        return nullptr;
    }
    // The section's memory has the layout of the very header it was made from, so a copy of the
    // rows is exact, where SetDIBits would convert.
    const std::uint64_t rowBytes = ComputeDibLayout(*image.Header())->rowBytes;
    GdiFlush();
    std::memcpy(bits, image.Block().data() + image.PixelDataOffset(), rowBytes);
    return section.Release();
}

}  // namespace

int FromGdiBitmap(DibImage& image, HBITMAP bitmap) {
    if (image.HasPixels()) {
        SetImageLastError(LastError::AlreadyInitialized);
        return 0;
    }
    if (bitmap == nullptr) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    DIBSECTION section{};
    const int described =
        GetObjectType(bitmap) == OBJ_BITMAP ? GetObjectA(bitmap, sizeof section, &section) : 0;
    if (described != sizeof(DIBSECTION) && described != sizeof(BITMAP)) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    const bool isSection = described == sizeof(DIBSECTION);
    const BitmapInfoHeader header =
        isSection ? HeaderForSection(section) : HeaderForDeviceBitmap(section.dsBm);
    const std::optional<DibLayout> layout = ComputeDibLayout(header);
    if (!layout) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    // Room for masks beyond the layout: the system may answer with bit fields where the header
    // asked for none.
    DibBlock block;
    if (!Allocate(block, layout->heldSize + kMaskBytes)) {
        return 0;
    }
    std::memcpy(block.data(), &header, sizeof header);
    if (isSection && header.compression == kCompressionBitfields) {
        std::memcpy(block.data() + kInfoHeaderSize, section.dsBitfields, kMaskBytes);
    }

    OwnedMemoryDc dc;
    if (!dc) {
        ReportDriverFailure();
        return 0;
    }
    if (isSection && layout->colourTableEntries != 0 && header.bitCount <= 8) {
        // A selection of its own: GetDIBits wants the bitmap selected nowhere.
        ScopedSelection selection(dc.Get(), bitmap);
        GetDIBColorTable(dc.Get(), 0, static_cast<UINT>(layout->colourTableEntries),
                         reinterpret_cast<RGBQUAD*>(block.data() + kInfoHeaderSize + layout->maskBytes));
    }
    if (!ReadPixels(dc.Get(), bitmap, block)) {
        return 0;
    }
    return image.Attach(std::move(block));
}

HBITMAP ToGdiBitmap(DibImage& image) {
    if (!image.HasPixels()) {
        SetImageLastError(LastError::InvalidHandle);
        return nullptr;
    }
    if (image.BitsPerPixel() != 2) {
        return SectionOf(image);
    }
    // The image is replaced only once the section exists; a failure leaves it as it was.
    DibImage widened;
    if (!widened.Copy(image) || !widened.WidenTwoBitToFourBit()) {
        return nullptr;
    }
    HBITMAP section = SectionOf(widened);
    if (section != nullptr) {
        image = std::move(widened);
    }
    return section;
}

HBITMAP LoadBmpFile(DibImage& image, const char* name) {
    // The section is made from the block already read rather than by opening the file again:
    // another thread may replace the file in between, and the two would then disagree.
    if (!image.ReadBmpFile(name)) {
        return nullptr;
    }
    HBITMAP section = ToGdiBitmap(image);
    if (section == nullptr) {
        image.Destroy();
    }
    return section;
}
