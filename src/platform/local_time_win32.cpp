#include "platform/local_time.h"

#include <windows.h>

namespace quillary {

namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

std::int64_t SecondsOf(const SYSTEMTIME& time) {
    return DaysFromCivil(time.wYear, time.wMonth, time.wDay) * 86400 + time.wHour * 3600 + time.wMinute * 60 +
           time.wSecond;
}

// The first second a FILETIME can hold (1601-01-01 00:00 UTC), and a point a few days later whose
// local time is on the calendar in every zone.
constexpr std::int64_t kFirstFileTime = -11644473600;
constexpr std::int64_t kEarliestZoneQuestion = kFirstFileTime + kConvertibleMargin;

// The offset of the system's time zone from UTC at time t (daylight saving time included), asked of
// the system's zone rules for that date.
bool ZoneOffset(std::int64_t t, long& offset) {
    const std::uint64_t ticks = static_cast<std::uint64_t>(t - kFirstFileTime) * 10000000u;
    FILETIME fileTime{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{}, local{};
    if (FileTimeToSystemTime(&fileTime, &utc) == 0 ||
        SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) == 0)
        return false;
    offset = static_cast<long>(SecondsOf(local) - SecondsOf(utc));
    return true;
}

} // namespace

// The system's zone rules are asked for the offset only: the date itself is computed here, so that the
// whole range of the calendar converts. Times before 1601, which the system cannot convert, take the
// zone's offset of early 1601.
bool ToLocalTime(std::int64_t t, LocalTime& out, long& utcOffset) {
    if (t < kFirstCalendarTime - kConvertibleMargin || t > kLastCalendarTime + kConvertibleMargin)
        return false;
    long offset = 0;
    if (!ZoneOffset(t < kEarliestZoneQuestion ? kEarliestZoneQuestion : t, offset))
        return false;
    if (!CalendarTime(t + offset, out))
        return false;
    utcOffset = offset;
    return true;
}

} // namespace quillary
