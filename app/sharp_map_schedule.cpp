#include "app/sharp_map_schedule.h"

#include "app/cloud_schedule.h"

int SharpMapMonth(std::int32_t sharpMaps, std::int32_t daytimeImage, int currentMonth) {
    if (sharpMaps == 0) {
        return 0;
    }
    const int month = daytimeImage == -1 ? currentMonth : daytimeImage;
    return month >= 1 && month <= 12 ? month : 0;
}

std::uint32_t SharpMapRetryDelay(std::uint32_t failedRuns) {
    return CloudRetryDelay(failedRuns, kSharpMapRetryCeilingHours);
}
