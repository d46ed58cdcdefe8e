#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/multi_string.h"

namespace {

using ::testing::ElementsAre;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(MultiString, ClosedListsNeedTheirFinalNul) {
    EXPECT_TRUE(IsClosedMultiString(Bytes(std::string(1, '\0'))));
    EXPECT_TRUE(IsClosedMultiString(Bytes(std::string("\0\0", 2))));
    EXPECT_TRUE(IsClosedMultiString(Bytes(std::string("a\0\0", 3))));
    EXPECT_FALSE(IsClosedMultiString({}));
    EXPECT_FALSE(IsClosedMultiString(Bytes("a")));
    EXPECT_FALSE(IsClosedMultiString(Bytes(std::string("a\0", 2))));
    EXPECT_FALSE(IsClosedMultiString(Bytes(std::string("a\0b\0", 4))));
}

TEST(MultiString, SplitIgnoresARunThatNoNulCloses) {
    EXPECT_THAT(SplitMultiString(Bytes(std::string("a\0bc", 4))), ElementsAre("a"));
}

TEST(MultiString, PackingStopsAtTheFirstEntryThatDoesNotFit) {
    // 16383 bytes of room: 16382 characters and a NUL fit, one more character does not.
    const std::string fits(kMultiStringBufferSize - 2, 'x');
    const std::string tooLong(kMultiStringBufferSize - 1, 'y');
    EXPECT_EQ(PackMultiString({fits}).size(), kMultiStringBufferSize);
    EXPECT_THAT(PackMultiString({tooLong, "short"}), ElementsAre(0));

    // After 16000 bytes, 383 are left: "b" entries of 382 characters fit, a 383-character one does
    // not, and the short one after it is dropped too so that the order is kept.
    const std::string first(15999, 'a');
    const std::vector<std::uint8_t> packed = PackMultiString({first, std::string(383, 'b'), "c"});
    EXPECT_EQ(packed, Bytes(first + std::string(2, '\0')));
    const std::vector<std::uint8_t> full = PackMultiString({first, std::string(382, 'b'), "c"});
    EXPECT_EQ(full.size(), kMultiStringBufferSize);
    EXPECT_THAT(SplitMultiString(full), ElementsAre(first, std::string(382, 'b')));
}

TEST(MultiString, PackingCutsAnEntryAtAnEmbeddedNul) {
    EXPECT_EQ(PackMultiString({std::string("ab\0cd", 5), "e"}), Bytes(std::string("ab\0e\0\0", 6)));
}

}  // namespace
