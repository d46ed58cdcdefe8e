// Fetching the cloud map from the mirror list into a file. The first attempt asks the preferred
// mirror, the first of the list; when an attempt fails, up to three more attempts each ask a
// mirror picked at random, which may be the one that just failed. An attempt fails when its
// mirror cannot be reached, answers anything but a whole body under a 200 status (see
// cloud_map_client.h), or has not delivered all of it within kCloudAttemptTime. What a 200
// answer brings is stored, whatever it is: only the conversion that follows can tell a picture.
//
// The body goes to the file piece by piece as it arrives, through one buffer of
// kCloudReadPieceSize bytes, so that the picture is never held in memory, and no more than about
// kMaxCloudMapBytes are taken from one mirror.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "clouds/cloud_map_client.h"

inline constexpr std::size_t kCloudReadPieceSize = 8192;
// Reading stops at the piece that brings a body to this size or beyond; that piece is still
// stored whole, so a stored body is at most kCloudReadPieceSize - 1 bytes longer. A body
// announced longer than this could never be stored whole, and fails its attempt at once.
inline constexpr std::uint64_t kMaxCloudMapBytes = 8 * 1024 * 1024;
inline constexpr int kMaxCloudDownloadAttempts = 4;
// The whole of one attempt, from the first request to the last byte of the body.
inline constexpr std::chrono::milliseconds kCloudAttemptTime{30000};

// What bounds a run: the time each attempt may take, the clock that measures it, and a request
// to stop from outside, which ends the run at the next check (within about a second).
struct CloudDownloadBounds {
    std::chrono::milliseconds AttemptTime = kCloudAttemptTime;
    std::function<std::chrono::steady_clock::time_point()> Now = [] {
        return std::chrono::steady_clock::now();
    };
    std::function<bool()> StopRequested = [] { return false; };
};

// Runs the attempts. Each one first creates fileName anew (empty), then asks its mirror and
// stores the body. A failed attempt moves on to the next one. The run ends at once, with nothing
// downloaded, when fileName cannot be created or written, when there is no mirror at all (the
// empty file stays), or when a stop is requested (no attempt starts after that). random gives
// the non-negative numbers, taken modulo the number of mirrors, that pick the mirrors of the
// later attempts. Returns true when a body was stored: all of it, as long as announced, or up to
// the size limit.
bool DownloadCloudMap(const std::vector<std::string>& mirrors, CloudMapClient& client, const char* fileName,
                      const std::function<int()>& random, const CloudDownloadBounds& bounds = {});
