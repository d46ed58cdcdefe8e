#include "bitmap_test_support.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>

BitmapInfoHeader MakeHeader(int width, int height, std::uint16_t bitCount, std::uint32_t compression) {
    BitmapInfoHeader header{};
    header.size = kInfoHeaderSize;
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitCount = bitCount;
    header.compression = compression;
    return header;
}

DibBlock PackBitmap(const BitmapInfoHeader& header, const std::vector<std::uint8_t>& afterHeader) {
    DibBlock block(sizeof header);
    std::memcpy(block.data(), &header, sizeof header);
    block.insert(block.end(), afterHeader.begin(), afterHeader.end());
    return block;
}

std::vector<std::uint8_t> BmpFileOf(const DibBlock& packed, std::uint32_t pixelOffset) {
    const std::uint32_t fileSize = static_cast<std::uint32_t>(14 + packed.size());
    const std::uint32_t offset = 14 + pixelOffset;
    std::vector<std::uint8_t> file = {'B', 'M'};
    for (std::uint32_t value : {fileSize, std::uint32_t{0}, offset}) {
        for (int i = 0; i < 4; ++i) {
            file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    file.insert(file.end(), packed.begin(), packed.end());
    return file;
}

std::vector<RgbQuad> GreyPalette(std::uint32_t entries) {
    std::vector<RgbQuad> palette(entries);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const auto level = static_cast<std::uint8_t>(entries == 1 ? 0 : i * 255 / (entries - 1));
        palette[i] = {level, level, level, 0};
    }
    return palette;
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("orbiscape-image-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::File(const std::string& name) const {
    return (path_ / name).string();
}

std::vector<std::string> ScratchFolder::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
