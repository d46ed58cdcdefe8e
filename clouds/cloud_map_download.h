// Fetching the cloud map from the mirror list into a file. The first attempt asks the preferred
// mirror, the first of the list; when an attempt fails, up to three more attempts each ask a
// mirror picked at random, which may be the one that just failed. An attempt fails when its
// mirror cannot be reached, answers anything but a whole body under a 200 status (see
// cloud_map_client.h), sends nothing for kCloudStallLimit (before its answer, or in the middle
// of the body), or has not delivered all of it within kCloudAttemptTime. Slow mirrors are
// waited for: what bounds an attempt is the progress it makes. What a 200 answer brings is
// stored, whatever it is: only the conversion that follows can tell a picture.
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
// No map is longer: a body announced longer fails its attempt at once, and one that goes on
// beyond it (without a length announced) fails at the piece that takes it there, which is the
// last one read and stored; a stored body is then at most kCloudReadPieceSize bytes longer.
inline constexpr std::uint64_t kMaxCloudMapBytes = 8 * 1024 * 1024;
inline constexpr int kMaxCloudDownloadAttempts = 4;
// The whole of one attempt, from the first request to the last byte of the body: time for the
// largest map at 32 KiB a second (256 s), after a mirror's silence and a pause of 20 s each.
inline constexpr std::chrono::milliseconds kCloudAttemptTime{300000};

// What bounds a run: the time each attempt may take, the time in which something must arrive,
// the clock that measures both, and a request to stop from outside, which ends the run at the
// next check (within about kCloudWaitSlice).
struct CloudDownloadBounds {
    std::chrono::milliseconds AttemptTime = kCloudAttemptTime;
    std::chrono::milliseconds StallLimit = kCloudStallLimit;
    std::function<std::chrono::steady_clock::time_point()> Now = [] {
        return std::chrono::steady_clock::now();
    };
    std::function<bool()> StopRequested = [] { return false; };
};

// One download of a file into fileName, of which the cloud map's is one kind: Count attempts
// at most, the address of each (from 0 on) given by AddressOf, or nullptr when there is none,
// and no body kept that runs beyond MaxBytes (see kMaxCloudMapBytes for how that limit holds).
struct DownloadAttempts {
    int Count = 0;
    std::function<const std::string*(int attempt)> AddressOf;
    std::uint64_t MaxBytes = 0;
};

// Runs the attempts as DownloadCloudMap describes for its mirrors: each one creates fileName
// anew, asks its address and stores the body; the run ends at the first stored body, when
// fileName cannot be created or written, when an attempt has no address, or when a stop is
// requested. True when a whole body was stored.
bool DownloadFile(const DownloadAttempts& attempts, CloudMapClient& client, const char* fileName,
                  const CloudDownloadBounds& bounds = {});

// Runs the attempts. Each one first creates fileName anew (empty), then asks its mirror and
// stores the body. A failed attempt moves on to the next one. The run ends at once, with nothing
// downloaded, when fileName cannot be created or written, when there is no mirror at all (the
// empty file stays), or when a stop is requested (no attempt starts after that). random gives
// the non-negative numbers, taken modulo the number of mirrors, that pick the mirrors of the
// later attempts. Returns true when a whole body was stored: as long as announced, or, without
// an announcement, up to its end within the size limit.
bool DownloadCloudMap(const std::vector<std::string>& mirrors, CloudMapClient& client, const char* fileName,
                      const std::function<int()>& random, const CloudDownloadBounds& bounds = {});
