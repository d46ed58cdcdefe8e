#include "app/desktop_presence.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::uint32_t kOff = 0;
constexpr std::uint32_t kOn = 1;
constexpr std::uint32_t kDimmed = 2;

std::uint32_t Event(SessionEvent event) {
    return static_cast<std::uint32_t>(event);
}

TEST(DesktopPresence, NobodySeesWhileTheDisplayIsOffOrTheSessionIsLockedOrDisconnected) {
    DesktopPresence presence;
    EXPECT_TRUE(presence.Seen()) << "seen until a notice says otherwise";

    // The display: dimmed is still seen; each notice that changes nothing says so.
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, kDimmed), PresenceChange::kNone);
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, kOff), PresenceChange::kHidden);
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, kOff), PresenceChange::kNone);
    EXPECT_FALSE(presence.Seen());
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, kDimmed), PresenceChange::kSeenAgain);
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, kOn), PresenceChange::kNone);
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, 7), PresenceChange::kNone) << "a later state";

    // Locked and switched off at once: seen again only when unlocked and on.
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kLock)), PresenceChange::kHidden);
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, kOff), PresenceChange::kNone);
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, kOn), PresenceChange::kNone) << "the lock screen";
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kUnlock)),
              PresenceChange::kSeenAgain);

    // The user switches to another account, and back: locked and disconnected at once.
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kConsoleDisconnect)),
              PresenceChange::kHidden);
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kLock)), PresenceChange::kNone);
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kConsoleConnect)),
              PresenceChange::kNone);
    EXPECT_FALSE(presence.Seen());
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kUnlock)),
              PresenceChange::kSeenAgain);

    // A remote session left without logging off, then taken over from the console by a remote
    // connection: disconnected from the one, connected to the other.
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kRemoteDisconnect)),
              PresenceChange::kHidden);
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kRemoteConnect)),
              PresenceChange::kSeenAgain);
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kConsoleDisconnect)),
              PresenceChange::kHidden);
    EXPECT_EQ(presence.Take(PresenceSource::kSession, Event(SessionEvent::kRemoteConnect)),
              PresenceChange::kSeenAgain);

    // Logon, logoff, remote control and numbers the system may add count for nothing, and so
    // does a source that is not known.
    for (const std::uint32_t other : {0u, 5u, 6u, 9u, 10u, 0xFFFFFFFFu}) {
        EXPECT_EQ(presence.Take(PresenceSource::kSession, other), PresenceChange::kNone) << other;
    }
    EXPECT_EQ(presence.Take(static_cast<PresenceSource>(99), kOff), PresenceChange::kNone);
    EXPECT_TRUE(presence.Seen());
    EXPECT_FALSE(presence.SavingEnergy());
}

TEST(DesktopPresence, EitherEnergySaverPacesTheRedrawsToAQuarterOfAnHourAtMost) {
    constexpr std::uint32_t kFiveMinutes = 300000;
    constexpr std::uint32_t kHour = 3600000;
    DesktopPresence presence;
    EXPECT_EQ(presence.RedrawPeriod(kFiveMinutes), kFiveMinutes);

    EXPECT_EQ(presence.Take(PresenceSource::kBatterySaver, 1), PresenceChange::kPacingChanged);
    EXPECT_EQ(presence.RedrawPeriod(kFiveMinutes), kEnergySaverRedrawPeriodMs);
    EXPECT_EQ(presence.RedrawPeriod(kHour), kHour) << "a longer period stays";
    // Windows 11's saver in its high-savings mode as well; the battery saver's end leaves it on.
    EXPECT_EQ(presence.Take(PresenceSource::kEnergySaver, 2), PresenceChange::kNone);
    EXPECT_EQ(presence.Take(PresenceSource::kBatterySaver, 0), PresenceChange::kNone);
    EXPECT_TRUE(presence.SavingEnergy());
    EXPECT_EQ(presence.Take(PresenceSource::kEnergySaver, 0), PresenceChange::kPacingChanged);
    EXPECT_EQ(presence.RedrawPeriod(kFiveMinutes), kFiveMinutes);

    // A saver that starts while nobody sees: the desktop's return is what counts.
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, kOff), PresenceChange::kHidden);
    EXPECT_EQ(presence.Take(PresenceSource::kEnergySaver, 1), PresenceChange::kPacingChanged);
    EXPECT_EQ(presence.Take(PresenceSource::kDisplay, kOn), PresenceChange::kSeenAgain);
    EXPECT_EQ(presence.RedrawPeriod(kFiveMinutes), kEnergySaverRedrawPeriodMs);
}

}  // namespace
