#include "clouds/cloud_map_download.h"

#include <array>
#include <cstdio>

namespace {

enum class AttemptOutcome {
    Stored,
    NetworkError,
    LocalFailure,  // the file, or an empty mirror list: no other attempt would fare better
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OwnedFile = std::unique_ptr<std::FILE, FileCloser>;

using ReadBuffer = std::array<std::uint8_t, kCloudReadPieceSize>;

const std::string& MirrorOfAttempt(int attempt, const std::vector<std::string>& mirrors,
                                   const std::function<int()>& random) {
    if (attempt == 0) {
        return mirrors.front();
    }
    return mirrors[static_cast<std::size_t>(random()) % mirrors.size()];
}

AttemptOutcome StoreBody(CloudMapBody& body, std::FILE* file, ReadBuffer& buffer) {
    std::uint64_t total = 0;
    while (total < kMaxCloudMapBytes) {
        const std::optional<std::size_t> length = body.Read(buffer);
        if (!length || *length > buffer.size()) {
            return AttemptOutcome::NetworkError;
        }
        if (*length == 0) {
            break;
        }
        if (std::fwrite(buffer.data(), 1, *length, file) != *length) {
            return AttemptOutcome::LocalFailure;
        }
        total += *length;
    }
    return AttemptOutcome::Stored;
}

AttemptOutcome RunAttempt(int attempt, const std::vector<std::string>& mirrors, CloudMapClient& client,
                          const char* fileName, const std::function<int()>& random, ReadBuffer& buffer) {
    OwnedFile file(std::fopen(fileName, "wb"));
    if (!file) {
        return AttemptOutcome::LocalFailure;
    }
    // Unbuffered, so that each piece is in the file as soon as it has arrived.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    if (mirrors.empty()) {
        return AttemptOutcome::LocalFailure;
    }

    AttemptOutcome outcome = AttemptOutcome::NetworkError;
    if (std::unique_ptr<CloudMapBody> body = client.Get(MirrorOfAttempt(attempt, mirrors, random))) {
        outcome = StoreBody(*body, file.get(), buffer);
    }
    // The request and its connection have ended; now the file. A close that fails may have lost
    // the end of the body.
    if (std::fclose(file.release()) != 0 && outcome == AttemptOutcome::Stored) {
        return AttemptOutcome::LocalFailure;
    }
    return outcome;
}

}  // namespace

bool DownloadCloudMap(const std::vector<std::string>& mirrors, CloudMapClient& client, const char* fileName,
                      const std::function<int()>& random) {
    ReadBuffer buffer;
    for (int attempt = 0; attempt < kMaxCloudDownloadAttempts; ++attempt) {
        const AttemptOutcome outcome = RunAttempt(attempt, mirrors, client, fileName, random, buffer);
        if (outcome != AttemptOutcome::NetworkError) {
            return outcome == AttemptOutcome::Stored;
        }
    }
    return false;
}
