// Local dates of times across the whole calendar, in UTC (set for every test): the exact conversion
// and the cache agree on every date, before the first and after the last date the system's own
// calendar types can hold (1601 and 1970 on Windows, 2038 for 32-bit times). Times beyond the years
// 1 to 9999 have no date rather than a wrong one (and never undefined behaviour).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <random>
#include <string>

#include "platform/local_time.h"
#include "support/environment.h"
#include "support/system.h"

namespace quillary {
namespace {

TEST(LocalTimeTest, DatesAcrossTheWholeCalendar) {
    const struct {
        std::int64_t time;
        const char* date; // nullptr: no date
    } rows[] = {
        {INT64_MIN, nullptr},
        {INT64_MIN + 899, nullptr},
        {kFirstCalendarTime - 1, nullptr},
        {kFirstCalendarTime, "0001-01-01 00:00:00"},
        {-11644473601, "1600-12-31 23:59:59"},
        {-11644473600, "1601-01-01 00:00:00"},
        {-2209030155, "1899-12-31 12:30:45"},
        {-1, "1969-12-31 23:59:59"},
        {951782400, "2000-02-29 00:00:00"},
        {2147483648, "2038-01-19 03:14:08"},
        {4107542399, "2100-02-28 23:59:59"},
        {4107542400, "2100-03-01 00:00:00"},
        {kLastCalendarTime + 1, nullptr},
        {67768036191676799, nullptr}, // the year just fits a 32-bit int
        {67768036191676800, nullptr},
        {INT64_MAX - 450, nullptr},
        {INT64_MAX, nullptr},
        // After times it could not convert the cache still converts the last date.
        {kLastCalendarTime, "9999-12-31 23:59:59"},
    };
    static_assert(kFirstCalendarTime == -62135596800 && kLastCalendarTime == 253402300799);
    LocalTimeCache cache;
    for (const auto& row : rows) {
        LocalTime exact, cached;
        long offset = -1;
        // A header's time stamp: blank, as wide as a time, where there is no date.
        EXPECT_EQ(FormatTimeOrBlank(row.time, "%Y-%m-%d %H:%M:%S"),
                  row.date != nullptr ? std::string(row.date) : std::string(19, ' '))
            << row.time;
        if (row.date == nullptr) {
            EXPECT_FALSE(ToLocalTime(row.time, exact, offset)) << row.time;
            EXPECT_FALSE(ToLocalTime(row.time, exact)) << row.time;
            EXPECT_FALSE(cache.Convert(row.time, cached)) << row.time;
            continue;
        }
        ASSERT_TRUE(ToLocalTime(row.time, exact, offset)) << row.time;
        EXPECT_EQ(FormatLocalTime(exact, "%Y-%m-%d %H:%M:%S"), row.date);
        EXPECT_EQ(offset, 0) << row.time;
        ASSERT_TRUE(ToLocalTime(row.time, exact)) << row.time;
        EXPECT_EQ(FormatLocalTime(exact, "%Y-%m-%d %H:%M:%S"), row.date);
        ASSERT_TRUE(cache.Convert(row.time, cached)) << row.time;
        EXPECT_EQ(FormatLocalTime(cached, "%Y-%m-%d %H:%M:%S"), row.date);
    }
}

// The cache works a day's times out from the offset it read at the day's start: in zones with summer
// time, offsets of half and quarter hours, and summer time of half an hour, it gives the library's own
// answer for every time, also in the hours around each change of the offset.
TEST(LocalTimeTest, TheCacheAgreesWithTheLibraryInZonesWithChangingAndOddOffsets) {
    if (test::kOnWindows)
        GTEST_SKIP() << "the zone comes from the system's settings there, not from TZ";
    const char* const zones[] = {
        "CET-1CEST,M3.5.0,M10.5.0/3",           // central Europe
        "NST3:30NDT,M3.2.0,M11.1.0",            // Newfoundland: half an hour west
        "<+0545>-5:45",                         // Nepal: a quarter hour
        "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", // Lord Howe Island: summer time of half an hour
        "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1",     // changes at negative hours, the day before
    };
    const char* old = std::getenv("TZ");
    const std::optional<std::string> saved = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    std::mt19937_64 random(11);
    std::uniform_int_distribution<std::int64_t> anyTime(kFirstCalendarTime, kLastCalendarTime);
    std::uniform_int_distribution<std::int64_t> recent(-2208988800, 4102444800); // 1900 to 2100
    for (const char* zone : zones) {
        test::SetEnvironment("TZ", zone);
        tzset();
        LocalTimeCache cache;
        const auto check = [&](std::int64_t t) {
            LocalTime exact, cached;
            const bool converted = ToLocalTime(t, exact);
            ASSERT_EQ(cache.Convert(t, cached), converted) << zone << " " << t;
            if (converted) {
                ASSERT_EQ(FormatLocalTime(cached, "%Y-%m-%d %H:%M:%S"),
                          FormatLocalTime(exact, "%Y-%m-%d %H:%M:%S"))
                    << zone << " " << t;
            }
        };
        for (int i = 0; i < 20000; ++i)
            check(i % 4 == 0 ? anyTime(random) : recent(random));
        // Times an hour apart through the months in which this century's offsets change.
        for (std::int64_t year = 2000; year < 2030; ++year) {
            const std::int64_t yearStart = (year - 1970) * 31556952;
            for (std::int64_t t = yearStart + 60 * 86400; t < yearStart + 120 * 86400; t += 3607)
                check(t);
            for (std::int64_t t = yearStart + 260 * 86400; t < yearStart + 320 * 86400; t += 3607)
                check(t);
        }
    }
    if (saved)
        test::SetEnvironment("TZ", *saved);
    else
        test::UnsetEnvironment("TZ");
    tzset();
}

} // namespace
} // namespace quillary
