// DibImage: the program's in-memory picture. It owns one packed device-independent bitmap
// (see dib_layout.h) in a byte block of its own, plus a table of row pointers so that pixel
// access needs neither a multiplication by the stride nor bottom-up arithmetic: row 0 is always
// the top row of the picture, whatever order the rows are stored in.
//
// Depths of 1, 2, 4, 8, 16, 24 and 32 bits per pixel are handled. The renderer works at 32.
//
// Results follow the toolkit's convention: 1 for success, 0 for failure (or an invalid value),
// with the reason in the thread's last-error code (last_error.h). No exception leaves here.
//
// The GDI side (conversion from and to GDI bitmaps, and loading a bitmap file as a DIB section)
// lives in dib_image_gdi.h, on Windows only.
#pragma once

#include <cstdint>
#include <vector>

#include "image/dib_layout.h"

// Colour values passed between parts of the program: red in bits 0-7, green in 8-15, blue in
// 16-23 (the Windows COLORREF layout).
using ColourValue = std::uint32_t;

// What pixel reads return for a position outside the image (or an unreadable depth): all bits
// set. The compositor relies on this reading as 255 in every channel.
constexpr std::uint32_t kNoPixel = 0xFFFFFFFFu;

// The packed bitmap: header, masks, colour table, pixels.
using DibBlock = std::vector<std::uint8_t>;

class DibImage {
  public:
    DibImage() = default;
    ~DibImage() = default;
    DibImage(const DibImage&) = delete;
    DibImage& operator=(const DibImage&) = delete;
    DibImage(DibImage&& other) noexcept;
    DibImage& operator=(DibImage&& other) noexcept;

    // Takes ownership of a block holding a packed bitmap and fills every field. Refuses an image
    // that already holds a block, a block smaller than a header, a header that is not 40 bytes,
    // and a block smaller than its layout (header, masks, colour table and every pixel row).
    // On failure the block is dropped and the image stays as it was.
    int Attach(DibBlock block);
    // Hands the block back; the image becomes empty.
    DibBlock Detach();
    // Frees everything; the image becomes empty. Always succeeds.
    void Destroy();
    // Makes this (empty) image a byte-for-byte copy of source. On failure it stays empty.
    int Copy(const DibImage& source);

    bool HasPixels() const { return !block_.empty(); }

    // Header and derived values; all zero for an empty image.
    const BitmapInfoHeader* Header() const;
    int Width() const;
    int Height() const;  // |height|: the number of rows
    std::uint16_t BitsPerPixel() const { return bitsPerPixel_; }
    std::uint32_t PaletteEntries() const { return paletteEntries_; }
    std::uint32_t RedMask() const { return redMask_; }
    std::uint32_t GreenMask() const { return greenMask_; }
    std::uint32_t BlueMask() const { return blueMask_; }
    std::uint16_t RedShift() const { return redShift_; }
    std::uint16_t GreenShift() const { return greenShift_; }
    std::uint16_t BlueShift() const { return blueShift_; }
    std::uint16_t RedLoss() const { return redLoss_; }
    std::uint16_t GreenLoss() const { return greenLoss_; }
    std::uint16_t BlueLoss() const { return blueLoss_; }
    std::uint64_t PixelDataOffset() const;  // header + masks + colour table
    std::uint64_t PackedSize() const;       // offset + image size
    const DibBlock& Block() const { return block_; }

    // Row y from the top (0 <= y < Height()), or nullptr.
    const std::uint8_t* Row(int y) const;
    std::uint8_t* Row(int y);

    // Raw stored bits of a pixel (x column, y row from the top), or kNoPixel. For 24 and 32
    // bits: blue in bits 0-7, green 8-15, red 16-23; the fourth byte is not part of the value.
    std::uint32_t GetRawPixel(int x, int y) const;
    int SetRawPixel(int x, int y, std::uint32_t raw);
    // A pixel as a colour value, or kNoPixel.
    ColourValue GetPixelColour(int x, int y) const;
    // Refuses the colour kNoPixel; palette images take the nearest palette entry.
    int SetPixelColour(int x, int y, ColourValue colour);

    int GetPaletteEntry(std::uint32_t index, RgbQuad& entry) const;
    int SetPalette(std::uint32_t count, const RgbQuad* entries);
    // Index of the palette entry nearest to colour (sum of channel differences; the first of
    // equals wins), or -1 without a colour table.
    int NearestPaletteIndex(ColourValue colour) const;

    // Replaces a 2-bit image by the same picture at 4 bits: the same indexes and the same colour
    // table. GDI cannot make 2-bit DIB sections. Refuses an image of any other depth.
    int WidenTwoBitToFourBit();

    // Reads a bitmap file into this empty image. RLE-compressed files are expanded to plain
    // rows. A file that is not a bitmap, or that is truncated or inconsistent, loads nothing.
    int ReadBmpFile(const char* name);
    // The same for a bitmap file's bytes already in memory.
    int ReadBmpBytes(std::vector<std::uint8_t> fileBytes);
    // Writes the image as a bitmap file. The file is written under a temporary name beside the
    // target and then put in place in one step, so a reader never sees a half-written file and
    // a failed write leaves the previous file intact.
    int SaveBmpFile(const char* name) const;

  private:
    // Takes a packed bitmap read from a file (after its file header): RLE pixels expanded,
    // an understated image size corrected, then attached.
    int AttachPacked(DibBlock packed);
    void Reset();
    void TakeMasks(const DibLayout& layout);
    bool Contains(int x, int y) const;
    ColourValue ColourOfMaskedPixel(std::uint32_t raw) const;
    std::uint32_t MaskedPixelOfColour(ColourValue colour) const;

    DibBlock block_;
    DibLayout layout_{};                        // of the header in block_
    const BitmapInfoHeader* header_ = nullptr;  // into block_
    std::uint8_t* bits_ = nullptr;              // into block_
    std::vector<std::uint8_t*> rows_;           // into block_; rows_[0] is the top row
    RgbQuad* colourTable_ = nullptr;            // into block_, or nullptr
    std::uint16_t bitsPerPixel_ = 0;
    std::uint32_t paletteEntries_ = 0;
    std::uint32_t redMask_ = 0, greenMask_ = 0, blueMask_ = 0;
    std::uint16_t redShift_ = 0, greenShift_ = 0, blueShift_ = 0;
    std::uint16_t redLoss_ = 0, greenLoss_ = 0, blueLoss_ = 0;
};
