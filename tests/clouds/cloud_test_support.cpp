#include "cloud_test_support.h"

#include <fstream>
#include <iterator>

#include "image/dib_image.h"

std::string FileText(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint8_t PatternByte(std::uint64_t i) {
    return static_cast<std::uint8_t>(i * 31 % 251);
}

std::string PatternBody(std::uint64_t length) {
    std::string body(length, '\0');
    for (std::uint64_t i = 0; i < length; ++i) {
        body[i] = static_cast<char>(PatternByte(i));
    }
    return body;
}

PixelSize BitmapFileSize(const char* name) {
    DibImage image;
    if (!image.ReadBmpFile(name)) {
        return {};
    }
    return {image.Width(), image.Height()};
}

std::uint64_t StoredLastUpdated(const MemorySettingsStore& store) {
    const StoredValue* value = store.Find("CloudsLastUpdated");
    if (value == nullptr || value->type != SettingsValueType::Qword || value->data.size() != 8) {
        return 0;
    }
    std::uint64_t time = 0;
    for (auto byte = value->data.rbegin(); byte != value->data.rend(); ++byte) {
        time = time << 8 | *byte;
    }
    return time;
}
