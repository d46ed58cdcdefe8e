#include "framework/thread_message_map.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

constexpr unsigned int kCommand = 0x0111;
constexpr unsigned int kNotice = 0x0400;

struct Call {
    unsigned int message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const Call&) const = default;
};

}  // namespace

TEST(ThreadMessageMap, RunsTheHandlerOfEachMappedMessageWithItsParameters) {
    ThreadMessageMap map;
    std::vector<Call> calls;
    map.Map(kCommand, [&](std::uintptr_t w, std::intptr_t l) { calls.push_back({kCommand, w, l}); });
    map.Map(kNotice, [&](std::uintptr_t w, std::intptr_t l) { calls.push_back({kNotice, w, l}); });

    EXPECT_TRUE(map.Dispatch(kCommand, 57665, 0));
    EXPECT_TRUE(map.Dispatch(kNotice, ~std::uintptr_t{0}, -1));
    EXPECT_EQ(calls, (std::vector<Call>{{kCommand, 57665, 0}, {kNotice, ~std::uintptr_t{0}, -1}}));
}

TEST(ThreadMessageMap, IgnoresUnmappedMessages) {
    ThreadMessageMap map;
    int calls = 0;
    map.Map(kCommand, [&](std::uintptr_t, std::intptr_t) { ++calls; });

    EXPECT_FALSE(map.Handles(kNotice));
    EXPECT_FALSE(map.Dispatch(kNotice, 1, 2));
    EXPECT_EQ(calls, 0);
}

TEST(ThreadMessageMap, ReplacesAndRemovesHandlers) {
    ThreadMessageMap map;
    int first = 0;
    int second = 0;
    map.Map(kCommand, [&](std::uintptr_t, std::intptr_t) { ++first; });
    map.Map(kCommand, [&](std::uintptr_t, std::intptr_t) { ++second; });
    map.Dispatch(kCommand, 0, 0);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);

    map.Map(kCommand, nullptr);
    EXPECT_FALSE(map.Handles(kCommand));
    EXPECT_FALSE(map.Dispatch(kCommand, 0, 0));
}

TEST(ThreadMessageMap, AHandlerMayReplaceItselfWhileItRuns) {
    ThreadMessageMap map;
    std::vector<int> seen;
    map.Map(kCommand, [&](std::uintptr_t, std::intptr_t) {
        const std::vector<int> captured(100, 7);  // something the replaced function object owns
        map.Map(kCommand, [&](std::uintptr_t, std::intptr_t) { seen.push_back(2); });
        seen.push_back(captured[99] == 7 ? 1 : -1);
    });
    map.Dispatch(kCommand, 0, 0);
    map.Dispatch(kCommand, 0, 0);
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

TEST(ThreadMessageMap, DropsAnExceptionFromAHandlerAndStaysUsable) {
    ThreadMessageMap map;
    int calls = 0;
    map.Map(kCommand, [](std::uintptr_t, std::intptr_t) { throw std::runtime_error("handler failed"); });
    map.Map(kNotice, [](std::uintptr_t, std::intptr_t) { throw 42; });
    map.Map(kNotice + 1, [&](std::uintptr_t, std::intptr_t) { ++calls; });

    EXPECT_TRUE(map.Dispatch(kCommand, 0, 0));
    EXPECT_TRUE(map.Dispatch(kNotice, 0, 0));
    EXPECT_TRUE(map.Dispatch(kNotice + 1, 0, 0));
    EXPECT_EQ(calls, 1);
}
