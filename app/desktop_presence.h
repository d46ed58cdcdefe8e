// Whether anybody can see the desktop, as the system's notices tell it, and how fast the work
// that nobody asked for may go. Nobody can see it while the display is off, or while the session
// is locked or disconnected (its user switched to another account, or left a remote session
// without logging off); a dimmed display is still seen. Locked and disconnected are kept apart,
// since a session may be both and is seen again only when it is neither.
//
// Until a notice says otherwise the desktop counts as seen: the program starts at a login, in
// front of its user, and the system tells the display's state as soon as it is asked to report
// it. While the system saves energy (battery saver, energy saver), the timed redraws come at
// most every kEnergySaverRedrawPeriodMs.
//
// The Windows side only passes the notices on; the numbers are the system's own.
#pragma once

#include <cstdint>

// Which notice a value comes from.
enum class PresenceSource : std::uint32_t {
    // The display of the program's session: 0 off, 1 on, 2 dimmed.
    kDisplay = 1,
    // A session change of the program's session: one of the SessionEvent numbers, others ignored.
    kSession = 2,
    // Windows 10's battery saver: 0 off, 1 on.
    kBatterySaver = 3,
    // Windows 11's energy saver: 0 off, 1 standard, 2 high savings.
    kEnergySaver = 4,
};

// The session changes that count, numbered as the system numbers them (WTS_CONSOLE_CONNECT and
// the others).
enum class SessionEvent : std::uint32_t {
    kConsoleConnect = 1,
    kConsoleDisconnect = 2,
    kRemoteConnect = 3,
    kRemoteDisconnect = 4,
    kLock = 7,
    kUnlock = 8,
};

// What a notice changed.
enum class PresenceChange {
    kNone,
    // Nobody can see the desktop any more.
    kHidden,
    // Somebody can see it again.
    kSeenAgain,
    // The energy saving began or ended; the desktop is seen or not as before.
    kPacingChanged,
};

// While the system saves energy, the timed redraws come at most this often.
inline constexpr std::uint32_t kEnergySaverRedrawPeriodMs = 15 * 60 * 1000;

class DesktopPresence {
  public:
    // Takes one notice. A source or a session event that is not known changes nothing.
    PresenceChange Take(PresenceSource source, std::uint32_t value);

    // Whether somebody may see the desktop: the answer to "may work that nobody asked for (a
    // timed redraw, a download) run now?".
    bool Seen() const { return !displayOff_ && !locked_ && !disconnected_; }
    bool SavingEnergy() const { return batterySaver_ || energySaver_; }

    // The redraw timer's period for the chosen one (milliseconds): as chosen, or
    // kEnergySaverRedrawPeriodMs while the system saves energy, if that is longer.
    std::uint32_t RedrawPeriod(std::uint32_t chosenMs) const;

  private:
    bool displayOff_ = false;
    bool locked_ = false;
    bool disconnected_ = false;
    bool batterySaver_ = false;
    bool energySaver_ = false;
};
