#include "clouds/cloud_map_download.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
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

// What one request to a fake mirror gives: a body of some length handed out in pieces of at
// most pieceSize bytes, or a failed read once failAfter bytes have gone.
struct Answer {
    std::uint64_t length = 0;
    std::size_t pieceSize = kCloudReadPieceSize;
    std::uint64_t failAfter = UINT64_MAX;
};

class FakeBody final : public CloudMapBody {
  public:
    FakeBody(Answer answer, int& reads) : answer_(answer), reads_(reads) {}

    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
        EXPECT_EQ(buffer.size(), kCloudReadPieceSize);
        ++reads_;
        if (sent_ >= answer_.failAfter) {
            return std::nullopt;
        }
        const std::uint64_t left = std::min(answer_.length, answer_.failAfter) - sent_;
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(left, answer_.pieceSize));
        for (std::size_t i = 0; i < length; ++i) {
            buffer[i] = PatternByte(sent_ + i);
        }
        sent_ += length;
        return length;
    }

  private:
    Answer answer_;
    int& reads_;
    std::uint64_t sent_ = 0;
};

// Mirrors by address; an address without an answer cannot be reached.
class FakeClient final : public CloudMapClient {
  public:
    std::map<std::string, Answer> answers;
    std::vector<std::string> asked;
    int reads = 0;

    std::unique_ptr<CloudMapBody> Get(const std::string& address) override {
        asked.push_back(address);
        const auto found = answers.find(address);
        if (found == answers.end()) {
            return nullptr;
        }
        return std::make_unique<FakeBody>(found->second, reads);
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

TEST_F(CloudMapDownloadTest, ABodyIsCutAfterThePieceThatReachesTheSizeLimit) {
    // 8192-byte pieces reach the limit exactly with piece 1024; nothing more is read.
    client_.answers[mirrors_[0]] = Answer{.length = kMaxCloudMapBytes + 100000};
    ScriptedRandom random({});
    EXPECT_TRUE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    EXPECT_EQ(client_.reads, 1024);
    EXPECT_EQ(std::filesystem::file_size(kFile), kMaxCloudMapBytes);

    // 5000-byte pieces cross it with piece 1678, which is stored whole.
    FakeClient odd;
    odd.answers[mirrors_[0]] = Answer{.length = kMaxCloudMapBytes + 100000, .pieceSize = 5000};
    EXPECT_TRUE(DownloadCloudMap(mirrors_, odd, kFile, random.Source()));
    EXPECT_EQ(odd.reads, 1678);
    EXPECT_TRUE(FileText(kFile) == PatternBody(1678 * 5000)) << "the stored bytes differ from those sent";
}

TEST_F(CloudMapDownloadTest, ABodyOfExactlyTheSizeLimitIsStoredWhole) {
    client_.answers[mirrors_[0]] = Answer{.length = kMaxCloudMapBytes, .pieceSize = 3000};
    ScriptedRandom random({});
    EXPECT_TRUE(DownloadCloudMap(mirrors_, client_, kFile, random.Source()));
    // 2796 full pieces and one of 608 bytes; the end of the body is not asked for.
    EXPECT_EQ(client_.reads, 2797);
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
