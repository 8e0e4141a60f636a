// Times at and beyond the ends of the calendar: no date rather than a wrong one (and never undefined
// behaviour), and a header time from the environment that must be a time in range.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "listing/html_style.h"
#include "platform/local_time.h"
#include "session/listing_session.h"
#include "support/environment.h"

namespace quillary {
namespace {

TEST(TimeLimitsTest, TimesOutsideTheCalendarHaveNoDate) {
    // TZ=UTC (set for every test).
    LocalTime out;
    ASSERT_TRUE(ToLocalTime(kLastCalendarTime, out));
    EXPECT_EQ(FormatLocalTime(out, "%Y-%m-%d %H:%M:%S"), "9999-12-31 23:59:59");
    ASSERT_TRUE(ToLocalTime(kFirstCalendarTime, out));
    EXPECT_EQ(FormatLocalTime(out, "%Y-%m-%d"), "0001-01-01");
    LocalTimeCache cache;
    for (const std::int64_t t :
         {kLastCalendarTime + 1, kFirstCalendarTime - 1,
          std::int64_t{67768036191676799}, // the year just fits a 32-bit int
          std::int64_t{67768036191676800}, INT64_MAX, INT64_MAX - 450, INT64_MIN, INT64_MIN + 899}) {
        EXPECT_FALSE(ToLocalTime(t, out)) << t;
        EXPECT_FALSE(cache.Convert(t, out)) << t;
    }
    ASSERT_TRUE(cache.Convert(kLastCalendarTime, out));
    EXPECT_EQ(out.year, 9999);
}

TEST(TimeLimitsTest, SourceDateEpochMustBeATimeInRange) {
    struct Row {
        const char* value; // nullptr: unset
        bool accepted;
        std::optional<std::int64_t> time;
    } rows[] = {
        {nullptr, true, std::nullopt},
        {"", true, std::nullopt},
        {"1083827289", true, 1083827289},
        {"0", true, 0},
        {"253402300799", true, kLastCalendarTime},
        {"253402300800", false, std::nullopt},
        {"67768036191676799", false, std::nullopt},
        {"99999999999999999999", false, std::nullopt},
        {"-1", false, std::nullopt},
        {"yesterday", false, std::nullopt},
        {"12abc", false, std::nullopt},
        {" 12", false, std::nullopt},
    };
    for (const Row& row : rows) {
        if (row.value == nullptr)
            test::UnsetEnvironment("SOURCE_DATE_EPOCH");
        else
            test::SetEnvironment("SOURCE_DATE_EPOCH", row.value);
        std::optional<std::int64_t> time = 5;
        EXPECT_EQ(HeaderTimeFromEnvironment(time), row.accepted) << (row.value ? row.value : "unset");
        EXPECT_EQ(time, row.time) << (row.value ? row.value : "unset");
    }
    test::UnsetEnvironment("SOURCE_DATE_EPOCH");
}

TEST(TimeLimitsTest, FontSizesStayBetweenOneAnd1638Points) {
    EXPECT_EQ(PointSizeFromHeight(-11, 96), 8);
    EXPECT_EQ(PointSizeFromHeight(INT32_MIN, 96), 1638);
    EXPECT_EQ(PointSizeFromHeight(INT32_MIN, 1), 1638);
    EXPECT_EQ(PointSizeFromHeight(INT32_MAX, 1), 1);
    EXPECT_EQ(PointSizeFromHeight(0, 96), 1);
    EXPECT_EQ(PointSizeFromHeight(-2184, 96), 1638);
    EXPECT_EQ(PointSizeFromHeight(-11, 0), 1);
}

} // namespace
} // namespace quillary
