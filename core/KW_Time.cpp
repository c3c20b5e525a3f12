#include "KW_Time.h"

#include "KW_PlatformThread.h"

#include <stdlib.h>
#include <string.h>

namespace {

template <typename Record>
void CopyParts(const struct tm& parts, int32_t microseconds, Record* out)
{
    out->year = static_cast<uint16_t>(parts.tm_year + 1900);
    out->month = static_cast<uint16_t>(parts.tm_mon + 1);
    out->dayOfWeek = static_cast<uint16_t>(parts.tm_wday);
    out->day = static_cast<uint16_t>(parts.tm_mday);
    out->hour = static_cast<uint16_t>(parts.tm_hour);
    out->minute = static_cast<uint16_t>(parts.tm_min);
    out->second = static_cast<uint16_t>(parts.tm_sec);
    out->milliseconds = static_cast<uint16_t>(microseconds / 1000);
}

void FillSystemTime(bool local, KW_SYSTEMTIME* out)
{
    if (!out)
        return;
    int64_t seconds = 0;
    int32_t microseconds = 0;
    KWPLAT_GetTimeOfDay(&seconds, &microseconds);
    struct tm parts;
    if (KWPLAT_BreakDown(seconds, local, &parts))
        CopyParts(parts, microseconds, out);
}

} // namespace

void KW_Time_GetSystemTime(KW_SYSTEMTIME* time)
{
    FillSystemTime(false, time);
}

void KW_Time_GetLocalTime(KW_SYSTEMTIME* time)
{
    FillSystemTime(true, time);
}

int32_t KW_Time_GetClock()
{
    return static_cast<int32_t>(KWPLAT_ProcessorMilliseconds());
}

int32_t KW_Time_Sleep(uint32_t milliseconds)
{
    KWPLAT_SleepMilliseconds(milliseconds);
    return 0;
}

int32_t KWCRT_GetSystemTimeAt(int64_t seconds, int32_t microseconds, KW_CURRENTTIME* out)
{
    if (!out)
        return 0;
    memset(out, 0, sizeof(*out));
    struct tm parts;
    if (!KWPLAT_BreakDown(seconds, true, &parts))
        return 0;
    CopyParts(parts, microseconds, out);
    // The offset of this very breakdown, so that summer time counts.
    const long offset = parts.tm_gmtoff;
    out->tzHour = static_cast<int32_t>(offset / 3600);
    int minutes = static_cast<int>((labs(offset) % 3600) / 60);
    if (offset < 0 && out->tzHour == 0)
        minutes = -minutes;   // the hours cannot say "west"
    out->tzMinute = static_cast<int16_t>(minutes);
    return out->tzMinute;
}

int32_t KWCRT_GetCurrentSystemTime(KW_CURRENTTIME* time)
{
    int64_t seconds = 0;
    int32_t microseconds = 0;
    KWPLAT_GetTimeOfDay(&seconds, &microseconds);
    return KWCRT_GetSystemTimeAt(seconds, microseconds, time);
}
