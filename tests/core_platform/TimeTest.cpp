// Clocks: zone offsets from POSIX TZ strings (no time-zone database needed),
// the record layouts, processor time against sleep.
#include "KW_Time.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include <time.h>

namespace {

class TimeZone {
public:
    explicit TimeZone(const char* tz)
    {
        const char* old = getenv("TZ");
        m_had = old != nullptr;
        if (old)
            m_old = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~TimeZone()
    {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

TEST(Time, ZoneOffsetOfTheInstantItself)
{
    struct Case {
        const char* tz;
        int64_t instant;   // seconds since the epoch
        int32_t hours;
        int16_t minutes;
        uint16_t localHour;
    };
    const int64_t january = 1704110400;   // 2024-01-01 12:00:00 UTC
    const int64_t july = 1720872000;      // 2024-07-13 12:00:00 UTC
    const Case cases[] = {
        {"IST-5:30", january, 5, 30, 17},
        {"CET-1CEST,M3.5.0,M10.5.0/3", january, 1, 0, 13},
        {"CET-1CEST,M3.5.0,M10.5.0/3", july, 2, 0, 14},   // summer time counts
        {"XST3:30", january, -3, 30, 8},
        {"XXX0:30", january, 0, -30, 11},   // under an hour west: the minutes say so
        {"YYY-0:45", january, 0, 45, 12},
        {"UTC0", july, 0, 0, 12},
    };
    for (const Case& c : cases) {
        TimeZone zone(c.tz);
        KW_CURRENTTIME t;
        EXPECT_EQ(KWCRT_GetSystemTimeAt(c.instant, 250999, &t), c.minutes) << c.tz;
        EXPECT_EQ(t.tzHour, c.hours) << c.tz;
        EXPECT_EQ(t.tzMinute, c.minutes) << c.tz;
        EXPECT_EQ(t.hour, c.localHour) << c.tz;
        EXPECT_EQ(t.milliseconds, 250) << c.tz;
    }
    TimeZone utc("UTC0");
    KW_CURRENTTIME t;
    KWCRT_GetSystemTimeAt(july, 0, &t);
    EXPECT_EQ(t.year, 2024);
    EXPECT_EQ(t.month, 7);
    EXPECT_EQ(t.day, 13);
    EXPECT_EQ(t.dayOfWeek, 6);   // a Saturday
}

TEST(Time, SystemAndLocalTimeFollowTheClock)
{
    TimeZone zone("IST-5:30");
    KW_SYSTEMTIME utc, local;
    KW_Time_GetSystemTime(&utc);
    KW_Time_GetLocalTime(&local);
    KW_Time_GetSystemTime(nullptr);
    const time_t now = time(nullptr);
    struct tm parts;
    gmtime_r(&now, &parts);
    EXPECT_EQ(utc.year, parts.tm_year + 1900);
    EXPECT_EQ(utc.dayOfWeek, parts.tm_wday);
    const int utcMinutes = utc.hour * 60 + utc.minute, localMinutes = local.hour * 60 + local.minute;
    EXPECT_EQ((localMinutes - utcMinutes + 24 * 60) % (24 * 60), 5 * 60 + 30);
    EXPECT_LT(utc.milliseconds, 1000);
}

TEST(Time, ClockCountsProcessorTimeNotSleep)
{
    const int32_t before = KW_Time_GetClock();
    EXPECT_EQ(KW_Time_Sleep(300), 0);
    EXPECT_LT(KW_Time_GetClock() - before, 150);

    const int32_t busyStart = KW_Time_GetClock();
    volatile uint64_t sink = 0;
    while (KW_Time_GetClock() - busyStart < 50)
        sink = sink + 1;
    EXPECT_GE(KW_Time_GetClock() - busyStart, 50);
}

TEST(Time, SleepLastsTheWholeTime)
{
    timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    KW_Time_Sleep(1200);   // more than a second: usleep's limit does not apply
    clock_gettime(CLOCK_MONOTONIC, &end);
    const int64_t elapsed = (end.tv_sec - start.tv_sec) * 1000 + (end.tv_nsec - start.tv_nsec) / 1000000;
    EXPECT_GE(elapsed, 1200);
}

} // namespace
