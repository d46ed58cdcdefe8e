// A bitmap file read one pixel row at a time, for frames too large to hold several of at once.
// Only the form the renderer's prepared files take is read this way: 32 bits per pixel, plain
// RGB or bit fields with the masks 0xFF0000, 0xFF00 and 0xFF, no compression, and an image size
// of 0 or exactly the rows. Any other file, and any file DibImage::ReadBmpFile would refuse, does
// not open here; DibImage reads those whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "image/dib_layout.h"
#include "image/file_io.h"

// The 14-byte header of a bitmap file whose packed bitmap (header, masks, colour table and
// pixels) takes packedSize bytes, its pixels starting pixelOffset bytes into it.
inline constexpr std::size_t kBmpFileHeaderSize = 14;
std::array<std::uint8_t, kBmpFileHeaderSize> BmpFileHeader(std::uint64_t packedSize,
                                                           std::uint64_t pixelOffset);

class BmpRowFile {
  public:
    // Opens the file and checks its headers; false when it is missing, unreadable or not of the
    // form above.
    bool Open(const char* name);

    int Width() const { return header_.width; }
    int Height() const { return static_cast<int>(layout_.rowCount); }
    // The packed bitmap's bytes before its pixels: header, masks and any colour table.
    std::span<const std::uint8_t> HeaderBytes() const { return headerBytes_; }

    // Reads into.size() / 4 pixels of row y, counted from the top, as stored, from column
    // firstColumn on (they must lie within Width()). Safe to call from several threads at once.
    bool ReadRow(int y, std::span<std::uint8_t> into, int firstColumn = 0);

    // How many bytes follow the pixel rows (a record the writer appended, or stray ones).
    std::uint64_t TrailerSize() const { return trailerSize_; }
    // Reads the bytes that follow the pixel rows, when exactly into.size() of them end the file;
    // false otherwise.
    bool ReadTrailer(std::span<std::uint8_t> into);

  private:
    std::optional<InputFile> file_;
    BitmapInfoHeader header_{};
    DibLayout layout_{};
    std::vector<std::uint8_t> headerBytes_;
    std::uint64_t trailerSize_ = 0;
};
