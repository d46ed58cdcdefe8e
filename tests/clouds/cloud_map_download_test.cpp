#include "clouds/cloud_map_download.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cloud_test_support.h"
#include "tests/render/working_folder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kFile[] = "clouds-new.jpg";

// A clock that moves only when a fake body is read: each read takes ReadTime.
struct FakeClock {
    std::chrono::steady_clock::time_point now{};
    std::chrono::milliseconds readTime{0};
};

// What one request to a fake mirror gives: a body of some length handed out in pieces of at
// most pieceSize bytes, each after `waits` reads that find nothing yet, or a failed read once
// failAfter bytes have gone; and the length its head announces, if any.
struct Answer {
    std::uint64_t length = 0;
    std::size_t pieceSize = kCloudReadPieceSize;
    std::uint64_t failAfter = UINT64_MAX;
    int waits = 0;
    std::optional<std::uint64_t> announced = std::nullopt;
};

class FakeBody final : public CloudMapBody {
  public:
    FakeBody(Answer answer, int& reads, FakeClock& clock) : answer_(answer), reads_(reads), clock_(clock) {}

    std::optional<std::uint64_t> AnnouncedLength() const override { return answer_.announced; }

    BodyRead Read(std::span<std::uint8_t> buffer) override {
        EXPECT_EQ(buffer.size(), kCloudReadPieceSize);
        ++reads_;
        clock_.now += clock_.readTime;
        if (sent_ >= answer_.failAfter) {
            return {BodyRead::Kind::Failed};
        }
        const std::uint64_t left = std::min(answer_.length, answer_.failAfter) - sent_;
        if (left == 0) {
            return {BodyRead::Kind::End};
        }
        if (waited_ < answer_.waits) {
            ++waited_;
            return {BodyRead::Kind::Waiting};
        }
        waited_ = 0;
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(left, answer_.pieceSize));
        for (std::size_t i = 0; i < length; ++i) {
            buffer[i] = PatternByte(sent_ + i);
        }
        sent_ += length;
        return {BodyRead::Kind::Piece, length};
    }

  private:
    Answer answer_;
    int& reads_;
    FakeClock& clock_;
    std::uint64_t sent_ = 0;
    int waited_ = 0;
};

// Mirrors by address; an address without an answer cannot be reached.
class FakeClient final : public CloudMapClient {
  public:
    std::map<std::string, Answer> answers;
    std::vector<std::string> asked;
    int reads = 0;
    FakeClock clock;

    std::unique_ptr<CloudMapBody> Get(const std::string& address, const GiveUpCheck& giveUp) override {
        EXPECT_FALSE(giveUp()) << "an attempt begins with time to run";
        asked.push_back(address);
        const auto found = answers.find(address);
        if (found == answers.end()) {
            return nullptr;
        }
        return std::make_unique<FakeBody>(found->second, reads, clock);
    }

    // Bounds that measure the attempts' time by this client's clock.
    CloudDownloadBounds Bounds() {
        CloudDownloadBounds bounds;
        bounds.Now = [this] { return clock.now; };
        return bounds;
    }
};

// Hands out the given numbers in turn, and counts how many were asked for.
class ScriptedRandom {
  public:
    explicit ScriptedRandom(std::deque<int> numbers) : numbers_(std::move(numbers)) {}
    std::function<int()> Source() {
        return [this] {
            EXPECT_FALSE(numbers_.empty()) << "more random picks than expected";
            if (numbers_.empty()) {
                return 0;
            }
            const int number = numbers_.front();
            numbers_.pop_front();
            return number;
        };
    }
    bool AllUsed() const { return numbers_.empty(); }

  private:
    std::deque<int> numbers_;
};

class CloudMapDownloadTest : public ::testing::Test {
  protected:
    WorkingFolder folder_;
    FakeClient client_;
    const std::vector<std::string> mirrors_{"http://a/clouds.jpg", "http://b/clouds.jpg",
                                            "http://c/clouds.jpg"};
};

TEST_F(CloudMapDownloadTest, TheFirstAttemptAsksThePreferredMirrorOnly) {
    client_.answers[mirrors_[0]] = Answer{.length = 20000};
    client_.answers[mirrors_[1]] = Answer{.length = 10};
    ScriptedRandom random({});

    EXPECT_TRUE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    EXPECT_THAT(client_.asked, ElementsAre(mirrors_[0]));
    EXPECT_EQ(FileText(kFile), PatternBody(20000));
}

TEST_F(CloudMapDownloadTest, UnreachableMirrorsGetThreeMoreAttemptsPickedAtRandom) {
    ScriptedRandom random({4, 2, 7});
    EXPECT_FALSE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    EXPECT_THAT(client_.asked, ElementsAre(mirrors_[0], mirrors_[1], mirrors_[2], mirrors_[1]));
    EXPECT_TRUE(random.AllUsed());
    EXPECT_TRUE(std::filesystem::exists(kFile));
    EXPECT_THAT(FileText(kFile), IsEmpty());

    // A single mirror is asked all four times.
    FakeClient single;
    ScriptedRandom any({9, 0, 3});
    EXPECT_FALSE(DownloadCloudMap({mirrors_[2]}, single, kFile, any.Source()));
    EXPECT_THAT(single.asked, ElementsAre(mirrors_[2], mirrors_[2], mirrors_[2], mirrors_[2]));
}

TEST_F(CloudMapDownloadTest, AMirrorThatAnswersEndsTheRetries) {
    client_.answers[mirrors_[1]] = Answer{.length = 300};
    ScriptedRandom random({1});
    EXPECT_TRUE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    EXPECT_THAT(client_.asked, ElementsAre(mirrors_[0], mirrors_[1]));
    EXPECT_EQ(FileText(kFile), PatternBody(300));
}

TEST_F(CloudMapDownloadTest, AFailedReadIsANetworkErrorAndTheNextAttemptStartsAFreshFile) {
    client_.answers[mirrors_[0]] = Answer{.length = 50000, .pieceSize = 1000, .failAfter = 7000};
    client_.answers[mirrors_[2]] = Answer{.length = 500};
    ScriptedRandom random({2});
    EXPECT_TRUE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    EXPECT_THAT(client_.asked, ElementsAre(mirrors_[0], mirrors_[2]));
    EXPECT_EQ(FileText(kFile), PatternBody(500));

    // When every attempt breaks off, the file keeps what the last one received.
    FakeClient breaking;
    breaking.answers[mirrors_[0]] = Answer{.length = 50000, .pieceSize = 1000, .failAfter = 3000};
    ScriptedRandom first({0, 0, 0});
    EXPECT_FALSE(DownloadCloudMap({mirrors_[0]}, breaking, kFile, first.Source()));
    EXPECT_EQ(breaking.asked.size(), 4u);
    EXPECT_EQ(FileText(kFile), PatternBody(3000));
}

TEST_F(CloudMapDownloadTest, AnEmptyMirrorListMakesNoRequestButLeavesAnEmptyFile) {
    std::ofstream(kFile) << "an earlier download";
    ScriptedRandom random({});
    EXPECT_FALSE(DownloadCloudMap({}, client_, kFile, random.Source()));
    EXPECT_THAT(client_.asked, IsEmpty());
    EXPECT_TRUE(std::filesystem::exists(kFile));
    EXPECT_THAT(FileText(kFile), IsEmpty());
}

TEST_F(CloudMapDownloadTest, AFileThatCannotBeCreatedEndsTheRunBeforeAnyRequest) {
    std::filesystem::create_directory(kFile);
    client_.answers[mirrors_[0]] = Answer{.length = 100};
    ScriptedRandom random({});
    EXPECT_FALSE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    EXPECT_THAT(client_.asked, IsEmpty());
}

TEST_F(CloudMapDownloadTest, AFileThatCannotBeWrittenEndsTheRunWithoutAnotherAttempt) {
    // A device that refuses every write as a full disk would.
    constexpr char kFullDisk[] = "/dev/full";
    if (!std::filesystem::exists(kFullDisk)) {
        GTEST_SKIP() << "no " << kFullDisk << " here";
    }
    client_.answers[mirrors_[0]] = Answer{.length = 100};
    ScriptedRandom random({});
    EXPECT_FALSE(DownloadCloudMap(mirrors_, client_, kFullDisk, random.Source()));
    EXPECT_THAT(client_.asked, ElementsAre(mirrors_[0]));
}

TEST_F(CloudMapDownloadTest, ABodyThatGoesBeyondTheSizeLimitFailsAtThePieceThatTakesItThere) {
    // Without a length announced, 8192-byte pieces reach the limit exactly with piece 1024; the
    // next one goes beyond it. Every attempt fails so, and the last one's bytes stay.
    client_.answers[mirrors_[0]] = Answer{.length = kMaxCloudMapBytes + 100000};
    ScriptedRandom zeros({0, 0, 0});
    EXPECT_FALSE(DownloadCloudMap(mirrors_, client_, kFile, zeros.Source()));
    EXPECT_EQ(client_.asked.size(), 4u);
    EXPECT_EQ(client_.reads, 4 * 1025);
    EXPECT_EQ(std::filesystem::file_size(kFile), kMaxCloudMapBytes + kCloudReadPieceSize);

    // 5000-byte pieces cross it with piece 1678, the last one read.
    FakeClient odd;
    odd.answers[mirrors_[0]] = Answer{.length = kMaxCloudMapBytes + 100000, .pieceSize = 5000};
    odd.answers[mirrors_[1]] = Answer{.length = 600};
    ScriptedRandom one({1});
    EXPECT_TRUE(DownloadCloudMap(mirrors_, odd, kFile, one.Source()));
    EXPECT_EQ(odd.reads, 1678 + 2);
    EXPECT_EQ(FileText(kFile), PatternBody(600)) << "the next attempt starts a fresh file";
}

TEST_F(CloudMapDownloadTest, ABodyOfExactlyTheSizeLimitIsStoredWhole) {
    client_.answers[mirrors_[0]] = Answer{.length = kMaxCloudMapBytes, .pieceSize = 3000};
    ScriptedRandom random({});
    EXPECT_TRUE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    // 2796 full pieces, one of 608 bytes, and the end of the body, which tells that nothing more
    // comes.
    EXPECT_EQ(client_.reads, 2798);
    EXPECT_TRUE(FileText(kFile) == PatternBody(kMaxCloudMapBytes))
        << "the stored bytes differ from those sent";
}

TEST_F(CloudMapDownloadTest, AnEmptyBodyIsStoredAsAnEmptyFile) {
    client_.answers[mirrors_[0]] = Answer{.length = 0};
    ScriptedRandom random({});
    EXPECT_TRUE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    EXPECT_EQ(client_.reads, 1);
    EXPECT_THAT(FileText(kFile), IsEmpty());
}

}  // namespace

namespace {

TEST_F(CloudMapDownloadTest, ABodyMustReachItsAnnouncedLengthAndMayNotBeAnnouncedBeyondTheLimit) {
    // Cut short of its announcement: a failed attempt, and the next mirror is asked.
    client_.answers[mirrors_[0]] = Answer{.length = 1000, .announced = 5000};
    client_.answers[mirrors_[1]] = Answer{.length = 700, .announced = 700};
    ScriptedRandom random({1});
    EXPECT_TRUE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    EXPECT_THAT(client_.asked, ElementsAre(mirrors_[0], mirrors_[1]));
    EXPECT_EQ(FileText(kFile), PatternBody(700));

    // Announced beyond what would ever be kept: failed before a byte is read.
    FakeClient huge;
    huge.answers[mirrors_[0]] = Answer{.length = kMaxCloudMapBytes + 1, .announced = std::uint64_t{1} << 40};
    ScriptedRandom zeros({0, 0, 0});
    EXPECT_FALSE(DownloadCloudMap(mirrors_, huge, kFile, zeros.Source()));
    EXPECT_EQ(huge.asked.size(), 4u);
    EXPECT_EQ(huge.reads, 0);
    EXPECT_THAT(FileText(kFile), IsEmpty());

    // Exactly the limit, announced, is stored whole.
    FakeClient exact;
    exact.answers[mirrors_[0]] = Answer{.length = kMaxCloudMapBytes, .announced = kMaxCloudMapBytes};
    EXPECT_TRUE(DownloadCloudMap(mirrors_, exact, kFile, random.Source()));
    EXPECT_EQ(std::filesystem::file_size(kFile), kMaxCloudMapBytes);
}

TEST_F(CloudMapDownloadTest, AnAttemptEndsWhenNothingArrivesForTheStallLimitOrAtItsDeadline) {
    using std::chrono::milliseconds;
    // Each read takes a second. The time that four failed attempts at a mirror answering so
    // take, by the client's clock.
    const auto fourAttempts = [this](FakeClient& client, Answer answer) {
        client.clock.readTime = milliseconds(1000);
        client.answers[mirrors_[0]] = answer;
        ScriptedRandom zeros({0, 0, 0});
        const auto started = client.clock.now;
        EXPECT_FALSE(DownloadCloudMap(mirrors_, client, kFile, zeros.Source(), client.Bounds()));
        EXPECT_EQ(client.asked.size(), 4u);
        return client.clock.now - started;
    };

    // A mirror that sends its head, then nothing: each attempt ends once nothing has come for
    // the stall limit.
    FakeClient silent;
    EXPECT_EQ(fourAttempts(silent, Answer{.length = 20000, .pieceSize = 1000, .waits = 1000}),
              4 * kCloudStallLimit);

    // One byte every other second never stalls, and takes each attempt to its deadline.
    FakeClient trickling;
    EXPECT_EQ(fourAttempts(trickling, Answer{.length = 100000, .pieceSize = 1, .waits = 1}),
              4 * kCloudAttemptTime);
    const auto bytesPerAttempt = static_cast<std::uint64_t>(kCloudAttemptTime / milliseconds(2000));
    EXPECT_EQ(FileText(kFile), PatternBody(bytesPerAttempt)) << "the last attempt's bytes stay";

    // A pause just short of the stall limit in the middle, and a slow start: one attempt.
    FakeClient pausing;
    pausing.clock.readTime = milliseconds(1000);
    const int pauseReads = static_cast<int>(kCloudStallLimit / milliseconds(1000)) - 1;
    pausing.answers[mirrors_[0]] = Answer{.length = 10000, .pieceSize = 5000, .waits = pauseReads};
    ScriptedRandom none({});
    EXPECT_TRUE(DownloadCloudMap(mirrors_, pausing, kFile, none.Source(), pausing.Bounds()));
    EXPECT_THAT(pausing.asked, ElementsAre(mirrors_[0]));
    EXPECT_EQ(FileText(kFile), PatternBody(10000));
}

TEST_F(CloudMapDownloadTest, AStopEndsTheRunWithinAReadAndStartsNoFurtherAttempt) {
    FakeClient silent;
    silent.answers[mirrors_[0]] = Answer{.length = 20000, .pieceSize = 1000, .waits = 1000};
    CloudDownloadBounds bounds = silent.Bounds();
    bounds.StopRequested = [&silent] { return silent.reads >= 3; };
    ScriptedRandom none({});
    EXPECT_FALSE(DownloadCloudMap(mirrors_, silent, kFile, none.Source(), bounds));
    EXPECT_THAT(silent.asked, ElementsAre(mirrors_[0]));
    EXPECT_EQ(silent.reads, 3);

    // Asked before the run: no file, no request.
    std::filesystem::remove(kFile);
    bounds.StopRequested = [] { return true; };
    EXPECT_FALSE(DownloadCloudMap(mirrors_, silent, kFile, none.Source(), bounds));
    EXPECT_EQ(silent.asked.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(kFile));
}

}  // namespace
