#include "app/desktop_presence.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kDisplayOff = 0;

}  // namespace

PresenceChange DesktopPresence::Take(PresenceSource source, std::uint32_t value) {
    const bool seenBefore = Seen();
    const bool savingBefore = SavingEnergy();
    switch (source) {
        case PresenceSource::kDisplay:
            // On, dimmed, or a state that later systems may add: only "off" hides the desktop.
            displayOff_ = value == kDisplayOff;
            break;
        case PresenceSource::kSession:
            switch (static_cast<SessionEvent>(value)) {
                case SessionEvent::kLock:
                    locked_ = true;
                    break;
                case SessionEvent::kUnlock:
                    locked_ = false;
                    break;
                // A session taken over from the console by a remote connection is disconnected
                // from the one and connected to the other, in that order.
                case SessionEvent::kConsoleDisconnect:
                case SessionEvent::kRemoteDisconnect:
                    disconnected_ = true;
                    break;
                case SessionEvent::kConsoleConnect:
                case SessionEvent::kRemoteConnect:
                    disconnected_ = false;
                    break;
            }
            break;
        case PresenceSource::kBatterySaver:
            batterySaver_ = value != 0;
            break;
        case PresenceSource::kEnergySaver:
            energySaver_ = value != 0;
            break;
    }
    if (Seen() != seenBefore) {
        return Seen() ? PresenceChange::kSeenAgain : PresenceChange::kHidden;
    }
    return SavingEnergy() != savingBefore ? PresenceChange::kPacingChanged : PresenceChange::kNone;
}

std::uint32_t DesktopPresence::RedrawPeriod(std::uint32_t chosenMs) const {
    return SavingEnergy() ? std::max(chosenMs, kEnergySaverRedrawPeriodMs) : chosenMs;
}
