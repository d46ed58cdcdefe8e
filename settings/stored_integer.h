// Integer values are stored little-endian, lowest byte first. A stored value may be shorter than
// the field it is loaded into (the type of a stored value is not trusted, only its length): its
// bytes then replace the field's lowest bytes and the rest of the field keeps what it held.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

// field with its lowest bytes replaced by bytes, lowest first; bytes beyond the field's width are
// not looked at.
template <typename Field>
constexpr Field OverlayLowBytes(Field field, std::span<const std::uint8_t> bytes) {
    using Bits = std::make_unsigned_t<Field>;
    auto bits = static_cast<Bits>(field);
    for (std::size_t i = 0; i < bytes.size() && i < sizeof(Field); ++i) {
        const std::size_t shift = 8 * i;
        bits = static_cast<Bits>((bits & ~(Bits{0xFF} << shift)) | (Bits{bytes[i]} << shift));
    }
    return static_cast<Field>(bits);
}

// The stored form of field: all its bytes, lowest first.
template <typename Field>
constexpr std::array<std::uint8_t, sizeof(Field)> LittleEndianBytes(Field field) {
    auto bits = static_cast<std::make_unsigned_t<Field>>(field);
    std::array<std::uint8_t, sizeof(Field)> bytes{};
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(bits & 0xFFu);
        bits = static_cast<std::make_unsigned_t<Field>>(bits >> 8);
    }
    return bytes;
}
