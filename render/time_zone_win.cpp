#include "render/time_zone.h"

#include <time.h>

// The runtime's variable rather than _get_timezone: the system C runtime that the program links
// against does not export that accessor everywhere.
long StandardTimeOffsetSeconds() {
    _tzset();
    return _timezone;
}
