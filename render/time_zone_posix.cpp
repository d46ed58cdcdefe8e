#include "render/time_zone.h"

#include <time.h>

long StandardTimeOffsetSeconds() {
    tzset();
    return timezone;
}
