// Fetching the cloud map from the mirror list into a file. The first attempt asks the preferred
// mirror, the first of the list; when a mirror cannot be reached, up to three more attempts each
// ask a mirror picked at random, which may be the one that just failed. Whatever body a mirror
// sends is stored, an error page too: only the conversion that follows can tell a picture.
//
// The body goes to the file piece by piece as it arrives, through one buffer of
// kCloudReadPieceSize bytes, so that the picture is never held in memory, and no more than about
// kMaxCloudMapBytes are taken from one mirror.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "clouds/cloud_map_client.h"

inline constexpr std::size_t kCloudReadPieceSize = 8192;
// Reading stops at the piece that brings a body to this size or beyond; that piece is still
// stored whole, so a stored body is at most kCloudReadPieceSize - 1 bytes longer.
inline constexpr std::uint64_t kMaxCloudMapBytes = 8 * 1024 * 1024;
inline constexpr int kMaxCloudDownloadAttempts = 4;

// Runs the attempts. Each one first creates fileName anew (empty), then asks its mirror and
// stores the body. A network error (client.Get gives no body, or a read fails) moves on to the
// next attempt. The run ends at once, with nothing downloaded, when fileName cannot be created
// or written, or when there is no mirror at all (the empty file stays). random gives the
// non-negative numbers, taken modulo the number of mirrors, that pick the mirrors of the later
// attempts. Returns true when a body was stored (all of it, or up to the size limit).
bool DownloadCloudMap(const std::vector<std::string>& mirrors, CloudMapClient& client, const char* fileName,
                      const std::function<int()>& random);
