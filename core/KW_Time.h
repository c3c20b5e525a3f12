// Wall-clock and processor time of the core library.
#ifndef KW_TIME_H
#define KW_TIME_H

#include <stdint.h>

struct KW_SYSTEMTIME {
    uint16_t year;
    uint16_t month;        // 1-12
    uint16_t dayOfWeek;    // 0 Sunday
    uint16_t day;          // of the month
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
};

// Note the order of day and weekday, unlike KW_SYSTEMTIME.
struct KW_CURRENTTIME {
    uint16_t year;
    uint16_t month;
    uint16_t day;
    uint16_t dayOfWeek;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
    int32_t tzHour;        // hours east of UTC
    // Minutes past tzHour, away from UTC: 30 with hours 5 is +5:30, with
    // hours -3 it is -3:30. An offset under an hour west has no hours to
    // carry its sign, so its minutes do: -30 is -0:30.
    int16_t tzMinute;
};

void KW_Time_GetSystemTime(KW_SYSTEMTIME* time);   // UTC
void KW_Time_GetLocalTime(KW_SYSTEMTIME* time);
// Processor time of the process in milliseconds (not time spent asleep).
int32_t KW_Time_GetClock();
// Sleeps the whole time, whatever the count and any signals; returns 0.
int32_t KW_Time_Sleep(uint32_t milliseconds);

// Local time now with the zone's offset; returns the offset's minutes
// (tzMinute).
int32_t KWCRT_GetCurrentSystemTime(KW_CURRENTTIME* time);
// The same for a given instant (seconds since the epoch and microseconds).
int32_t KWCRT_GetSystemTimeAt(int64_t seconds, int32_t microseconds, KW_CURRENTTIME* time);

#endif // KW_TIME_H
