// Numbers from outside that must be in range: a header time from the environment must be a time of
// the calendar (its dates are in local_time_test.cpp), and font sizes stay within what HTML shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "listing/html_style.h"
#include "platform/local_time.h"
#include "session/listing_session.h"
#include "support/environment.h"

namespace quillary {
namespace {

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
