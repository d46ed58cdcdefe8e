// A bitmap file's pixels as the system's own loader reads them, not the program's reader, so that
// the files the program writes are judged by a second pair of eyes. Rows run from the top.
#pragma once

#include <cstdint>
#include <vector>

struct MeanColour {
    double red;
    double green;
    double blue;
};

class BitmapFilePixels {
  public:
    // False when the file is missing or not a bitmap that the system can load.
    bool Load(const char* path);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // The mean of each channel over the part of the rectangle that lies inside the picture;
    // false when no part of it does.
    bool Mean(int left, int top, int width, int height, MeanColour& mean) const;

    // How many pixels of a width x height rectangle at (left, top) differ in some channel by more
    // than threshold from the pixels of other's rectangle at (otherLeft, otherTop). Only pixels
    // inside both pictures are compared; total receives their number.
    long DifferingPixels(int left, int top, const BitmapFilePixels& other, int otherLeft, int otherTop,
                         int width, int height, int threshold, long& total) const;

  private:
    const std::uint32_t* PixelAt(int x, int y) const;  // nullptr outside the picture

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, row after row from the top
};
