// Local dates of times across the whole calendar, in UTC (set for every test): the exact conversion
// and the cache agree on every date, before the first and after the last date the system's own
// calendar types can hold (1601 and 1970 on Windows, 2038 for 32-bit times). Times beyond the years
// 1 to 9999 have no date rather than a wrong one (and never undefined behaviour).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/local_time.h"

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

} // namespace
} // namespace quillary
