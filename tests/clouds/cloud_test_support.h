// Helpers shared by the cloud tests: reading back what a download stored or installed.
#pragma once

#include <cstdint>
#include <string>

#include "tests/settings/memory_settings_store.h"

// The whole file, empty when it cannot be read.
std::string FileText(const char* name);

// Byte i of the bodies that the tests' mirrors send, and the first length of them, so that a
// stored prefix can be checked byte for byte.
std::uint8_t PatternByte(std::uint64_t i);
std::string PatternBody(std::uint64_t length);

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The size of a bitmap file; 0 x 0 when it cannot be read.
PixelSize BitmapFileSize(const char* name);

// CloudsLastUpdated as the download stored it (an 8-byte REG_QWORD, low byte first); 0 when
// there is no such value.
std::uint64_t StoredLastUpdated(const MemorySettingsStore& store);
