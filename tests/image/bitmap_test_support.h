// Building packed bitmaps and bitmap files byte by byte, and a scratch folder for files, for the
// image tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/dib_image.h"

BitmapInfoHeader MakeHeader(int width, int height, std::uint16_t bitCount,
                            std::uint32_t compression = kCompressionRgb);

// The header followed by the given bytes (masks, colour table, pixels).
DibBlock PackBitmap(const BitmapInfoHeader& header, const std::vector<std::uint8_t>& afterHeader);

// A packed bitmap as a file: the 14-byte file header (offset field = 14 + pixelOffset), then it.
std::vector<std::uint8_t> BmpFileOf(const DibBlock& packed, std::uint32_t pixelOffset);

// A grey ramp of the given number of entries: entry i is (i, i, i) scaled to 0..255.
std::vector<RgbQuad> GreyPalette(std::uint32_t entries);

// A folder of its own under the system's temporary folder, removed with everything in it.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const;
    std::vector<std::string> Entries() const;  // names of everything in the folder

  private:
    std::filesystem::path path_;
};

void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::string& name);
