#include "platform/local_time.h"

#include <ctime>

namespace quillary {

bool ToLocalTime(std::int64_t t, LocalTime& out, long& utcOffset) {
    if (t < kFirstCalendarTime - kConvertibleMargin || t > kLastCalendarTime + kConvertibleMargin)
        return false;
    const std::time_t value = static_cast<std::time_t>(t);
    std::tm parts{};
    if (localtime_r(&value, &parts) == nullptr)
        return false;
    const long long year = static_cast<long long>(parts.tm_year) + 1900;
    if (year < 1 || year > 9999)
        return false;
    out.year = static_cast<int>(year);
    out.month = parts.tm_mon + 1;
    out.day = parts.tm_mday;
    out.hour = parts.tm_hour;
    out.minute = parts.tm_min;
    out.second = parts.tm_sec;
    utcOffset = parts.tm_gmtoff;
    return true;
}

} // namespace quillary
