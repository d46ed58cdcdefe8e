// The local time zone as the C runtime sees it, for centring the map on the user's zone.
#pragma once

// The standard-time offset of the local zone in seconds WEST of UTC, as the C runtime's
// timezone variable holds it (UTC+05:30 gives -19800), after the runtime has (re)read the
// system's zone: a change of zone, or of the TZ variable, shows at the next call. Daylight
// saving time plays no part.
long StandardTimeOffsetSeconds();
