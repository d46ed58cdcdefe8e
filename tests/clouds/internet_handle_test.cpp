#include "clouds/internet_handle_win.h"

#include <utility>

#include <gtest/gtest.h>

namespace {

// A session handle; a direct one, which touches no network and no proxy settings.
HINTERNET OpenSession() {
    return InternetOpenA("internet_handle_test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
}

TEST(OwnedInternetHandle, ClosesWhatItHoldsExactlyOnce) {
    OwnedInternetHandle session(OpenSession());
    ASSERT_TRUE(session);
    const HINTERNET held = session.Get();
    {
        OwnedInternetHandle moved(std::move(session));
        EXPECT_FALSE(session);
        EXPECT_EQ(moved.Get(), held);
    }
    // Closed by the owner it was moved to: closing it again is refused.
    EXPECT_FALSE(InternetCloseHandle(held));
}

TEST(OwnedInternetHandle, LeavesAReleasedHandleOpen) {
    HINTERNET released = nullptr;
    {
        OwnedInternetHandle session(OpenSession());
        ASSERT_TRUE(session);
        released = session.Release();
        EXPECT_FALSE(session);
    }
    EXPECT_TRUE(InternetCloseHandle(released));
}

TEST(OwnedInternetHandle, ResetClosesTheOldHandleAndTakesTheNewOne) {
    OwnedInternetHandle session(OpenSession());
    const HINTERNET first = session.Get();
    const HINTERNET second = OpenSession();
    session.Reset(second);
    EXPECT_EQ(session.Get(), second);
    EXPECT_FALSE(InternetCloseHandle(first));
}

}  // namespace
