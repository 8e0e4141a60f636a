// Local-time conversion and the strftime-style formats of the date and time columns. Times are 64-bit
// seconds since 1970, so dates after 2038 work.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillary {

struct LocalTime {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalTime&) const = default;
};

// The times whose date has a four-digit year (0001-01-01 to 9999-12-31 in UTC); a time outside them
// has no date to show.
inline constexpr std::int64_t kFirstCalendarTime = -62135596800;
inline constexpr std::int64_t kLastCalendarTime = 253402300799;

// Converts with the system's time zone (localtime_r on POSIX, where TZ applies; the zone of the
// system's settings on Windows). Returns false for a time whose local year is outside 1 to 9999.
bool ToLocalTime(std::int64_t secondsSinceEpoch, LocalTime& out);
// The same, also giving the zone's offset from UTC at that time in seconds (east of Greenwich > 0).
bool ToLocalTime(std::int64_t secondsSinceEpoch, LocalTime& out, long& utcOffset);

// Times this far outside the calendar's limits are still converted: a local date may lie a day either
// side of the UTC date.
inline constexpr std::int64_t kConvertibleMargin = 2 * 86400;

// The date and time of a count of seconds since 1970-01-01 00:00 of the same clock (a local time once
// the zone's offset is added), in the proleptic Gregorian calendar; false outside the years 1 to 9999.
bool CalendarTime(std::int64_t seconds, LocalTime& out);

// Formats with %Y, %m, %d, %H, %M, %S and %%; other characters are copied.
std::string FormatLocalTime(const LocalTime& time, std::string_view format);

// The local time `secondsSinceEpoch` in `format`; spaces as wide as a formatted time when its local
// year is outside 1 to 9999, as dates outside the calendar are shown everywhere.
std::string FormatTimeOrBlank(std::int64_t secondsSinceEpoch, std::string_view format);

// Seconds since 1970 now.
std::int64_t CurrentTime();

// A converter that remembers the zone's offset from UTC for recent days: listing many files asks the C
// library (which takes a lock and searches the zone's transitions) three times per day of file times,
// and works out the date from the offset otherwise. A day whose offset at its middle or its end is not
// the one at its start (a change of the zone's offset that day) is converted exactly for every time.
// Not thread-safe; one per thread.
class LocalTimeCache {
public:
    bool Convert(std::int64_t secondsSinceEpoch, LocalTime& out);

private:
    static constexpr std::int64_t kBucketSeconds = 86400;
    struct Slot {
        std::int64_t bucket = INT64_MIN;
        long utcOffset = 0;
        bool uniform = false; // the offset holds for the whole day
    };
    std::array<Slot, 16384> m_slots{}; // about 45 years of days
};

} // namespace quillary
