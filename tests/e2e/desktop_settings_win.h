// The desktop's settings as a user or the system changes them, from another process on the
// same Wine desktop: a text value of the registry (through the wide functions, from UTF-8, so
// that names in any alphabet pass whole), the display's size, and the broadcast that the system
// sends when it wakes from sleep.
#pragma once

#include <string>

// Stores text (UTF-8) as a REG_SZ value under HKEY_CURRENT_USER, making the key if need be.
bool WriteUserTextUtf8(const std::string& key, const std::string& name, const std::string& text);

// Changes the display's width and height as a user's display settings do; in a Wine virtual
// desktop the desktop takes that size. False when the system refuses.
bool ChangeDisplaySize(int width, int height);

// Sends the system's wake broadcast to every top-level window: PBT_APMRESUMEAUTOMATIC, then
// PBT_APMRESUMESUSPEND, as after a wake that the user causes. False when a send failed.
bool BroadcastResume();

// The wall clock, in seconds since 1970 (UTC) with the system's fraction, as the file times
// that Linux shows for the prefix's files count it.
double UnixTimeNow();
