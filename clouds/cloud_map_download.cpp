#include "clouds/cloud_map_download.h"

#include <array>
#include <cstdio>

#include "image/file_io.h"

namespace {

enum class AttemptOutcome {
    Stored,
    Failed,        // the mirror, the network or the time: another attempt may fare better
    LocalFailure,  // the file, or an empty mirror list: no other attempt would fare better
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OwnedFile = std::unique_ptr<std::FILE, FileCloser>;

using ReadBuffer = std::array<std::uint8_t, kCloudReadPieceSize>;
using Moment = std::chrono::steady_clock::time_point;

// The two limits of one attempt: its deadline, and the time since anything last arrived.
class AttemptClock {
  public:
    explicit AttemptClock(const CloudDownloadBounds& bounds)
        : bounds_(bounds), deadline_(bounds.Now() + bounds.AttemptTime), lastArrival_(bounds.Now()) {}

    void Arrived() { lastArrival_ = bounds_.Now(); }
    bool GiveUp() const {
        const Moment now = bounds_.Now();
        return bounds_.StopRequested() || now >= deadline_ || now - lastArrival_ >= bounds_.StallLimit;
    }

  private:
    const CloudDownloadBounds& bounds_;
    Moment deadline_;
    Moment lastArrival_;
};

AttemptOutcome StoreBody(CloudMapBody& body, std::FILE* file, ReadBuffer& buffer, AttemptClock& clock,
                         std::uint64_t maxBytes) {
    const std::optional<std::uint64_t> announced = body.AnnouncedLength();
    if (announced && *announced > maxBytes) {
        return AttemptOutcome::Failed;
    }
    // The head has arrived.
    clock.Arrived();
    std::uint64_t total = 0;
    for (;;) {
        if (clock.GiveUp()) {
            return AttemptOutcome::Failed;
        }
        const BodyRead read = body.Read(buffer);
        if (read.Outcome == BodyRead::Kind::Waiting) {
            continue;
        }
        if (read.Outcome == BodyRead::Kind::End) {
            break;
        }
        if (read.Outcome != BodyRead::Kind::Piece || read.Length == 0 || read.Length > buffer.size()) {
            return AttemptOutcome::Failed;
        }
        clock.Arrived();
        if (std::fwrite(buffer.data(), 1, read.Length, file) != read.Length) {
            return AttemptOutcome::LocalFailure;
        }
        total += read.Length;
        // No file of the kind is this long: what came is the start of something else, or of a
        // body that would never end.
        if (total > maxBytes) {
            return AttemptOutcome::Failed;
        }
    }
    // A connection that ends before the announced length has cut the body off; one that goes on
    // beyond it carries something else.
    if (announced && total != *announced) {
        return AttemptOutcome::Failed;
    }
    return AttemptOutcome::Stored;
}

AttemptOutcome RunAttempt(int attempt, const DownloadAttempts& attempts, CloudMapClient& client,
                          const char* fileName, ReadBuffer& buffer, const CloudDownloadBounds& bounds) {
    OwnedFile file(OpenFileStream(fileName, "wb"));
    if (!file) {
        return AttemptOutcome::LocalFailure;
    }
    // Unbuffered, so that each piece is in the file as soon as it has arrived.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    const std::string* address = attempts.AddressOf(attempt);
    if (address == nullptr) {
        return AttemptOutcome::LocalFailure;
    }

    AttemptClock clock(bounds);
    AttemptOutcome outcome = AttemptOutcome::Failed;
    if (std::unique_ptr<CloudMapBody> body = client.Get(*address, [&clock] { return clock.GiveUp(); })) {
        outcome = StoreBody(*body, file.get(), buffer, clock, attempts.MaxBytes);
    }
    // The request and its connection have ended; now the file. A monthly map is put in place as
    // it came, so a body kept reaches the disk before any name of it can. A flush or a close that
    // fails may have lost the end of the body.
    const bool flushed = outcome != AttemptOutcome::Stored || FlushFileStreamToDisk(file.get());
    if ((std::fclose(file.release()) != 0 || !flushed) && outcome == AttemptOutcome::Stored) {
        return AttemptOutcome::LocalFailure;
    }
    return outcome;
}

}  // namespace

bool DownloadFile(const DownloadAttempts& attempts, CloudMapClient& client, const char* fileName,
                  const CloudDownloadBounds& bounds) {
    ReadBuffer buffer;
    for (int attempt = 0; attempt < attempts.Count && !bounds.StopRequested(); ++attempt) {
        const AttemptOutcome outcome = RunAttempt(attempt, attempts, client, fileName, buffer, bounds);
        if (outcome != AttemptOutcome::Failed) {
            return outcome == AttemptOutcome::Stored;
        }
    }
    return false;
}

bool DownloadCloudMap(const std::vector<std::string>& mirrors, CloudMapClient& client, const char* fileName,
                      const std::function<int()>& random, const CloudDownloadBounds& bounds) {
    DownloadAttempts attempts;
    attempts.Count = kMaxCloudDownloadAttempts;
    attempts.MaxBytes = kMaxCloudMapBytes;
    // The preferred mirror first, then mirrors picked at random.
    attempts.AddressOf = [&](int attempt) -> const std::string* {
        if (mirrors.empty()) {
            return nullptr;
        }
        return attempt == 0 ? &mirrors.front() : &mirrors[static_cast<std::size_t>(random()) % mirrors.size()];
    };
    return DownloadFile(attempts, client, fileName, bounds);
}
