// SHA-256 (FIPS 180-4), for the downloaded monthly maps whose exact bytes are known.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::span<const std::uint8_t> data);

// The digest as 64 lower-case hexadecimal digits.
std::string HexOf(const Sha256Digest& digest);
