// The formats of dates and times and the cache of conversions; the conversion itself is in
// local_time_posix.cpp and local_time_win32.cpp.
#include "platform/local_time.h"

#include <ctime>

namespace quillary {

namespace {

void AppendNumber(std::string& out, int value, int width) {
    char digits[16];
    int length = 0;
    const bool negative = value < 0;
    unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 && length < 15);
    if (negative)
        out += '-';
    for (int pad = length; pad < width; ++pad)
        out += '0';
    while (length > 0)
        out += digits[--length];
}

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor) {
    std::int64_t quotient = value / divisor;
    if (value % divisor < 0)
        --quotient;
    return quotient;
}

} // namespace

// Days to a civil date as in H. Hinnant's algorithm.
bool CalendarTime(std::int64_t seconds, LocalTime& out) {
    const std::int64_t days = FloorDivide(seconds, 86400);
    const auto ofDay = static_cast<int>(seconds - days * 86400);
    const std::int64_t shifted = days + 719468; // days from 0000-03-01
    const std::int64_t era = FloorDivide(shifted, 146097);
    const auto dayOfEra = static_cast<unsigned>(shifted - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthFromMarch = (5 * dayOfYear + 2) / 153;
    const auto month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 1 || year > 9999)
        return false;
    out.year = static_cast<int>(year);
    out.month = month;
    out.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    out.hour = ofDay / 3600;
    out.minute = ofDay / 60 % 60;
    out.second = ofDay % 60;
    return true;
}

bool ToLocalTime(std::int64_t secondsSinceEpoch, LocalTime& out) {
    long offset = 0;
    return ToLocalTime(secondsSinceEpoch, out, offset);
}

std::string FormatLocalTime(const LocalTime& time, std::string_view format) {
    std::string out; // dates and times fit the short-string buffer: no allocation
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        switch (format[++i]) {
        case 'Y':
            AppendNumber(out, time.year, 4);
            break;
        case 'm':
            AppendNumber(out, time.month, 2);
            break;
        case 'd':
            AppendNumber(out, time.day, 2);
            break;
        case 'H':
            AppendNumber(out, time.hour, 2);
            break;
        case 'M':
            AppendNumber(out, time.minute, 2);
            break;
        case 'S':
            AppendNumber(out, time.second, 2);
            break;
        case '%':
            out += '%';
            break;
        default:
            out += '%';
            out += format[i];
        }
    }
    return out;
}

std::string FormatTimeOrBlank(std::int64_t t, std::string_view format) {
    LocalTime local;
    if (ToLocalTime(t, local))
        return FormatLocalTime(local, format);
    std::string text = FormatLocalTime(LocalTime{}, format);
    text.assign(text.size(), ' ');
    return text;
}

std::int64_t CurrentTime() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

bool LocalTimeCache::Convert(std::int64_t t, LocalTime& out) {
    // Also keeps the bucket arithmetic below far from the 64-bit limits.
    if (t < kFirstCalendarTime - kConvertibleMargin || t > kLastCalendarTime + kConvertibleMargin)
        return false;
    const std::int64_t bucket = FloorDivide(t, kBucketSeconds);
    Slot& slot = m_slots[static_cast<std::size_t>(bucket) % m_slots.size()];
    if (slot.bucket != bucket) {
        // The offset at the day's start must give the library's own answer at its middle and its end
        // too; otherwise (a change of the zone's offset that day, leap seconds counted in the times, a
        // date outside the calendar) every time of the day is converted exactly.
        const std::int64_t start = bucket * kBucketSeconds;
        LocalTime exact;
        slot.bucket = bucket;
        slot.uniform = ToLocalTime(start, exact, slot.utcOffset);
        for (const std::int64_t probe : {start + kBucketSeconds / 2, start + kBucketSeconds - 1}) {
            LocalTime computed;
            slot.uniform = slot.uniform && ToLocalTime(probe, exact) &&
                           CalendarTime(probe + slot.utcOffset, computed) && computed == exact;
        }
    }
    if (!slot.uniform)
        return ToLocalTime(t, out);
    return CalendarTime(t + slot.utcOffset, out);
}

} // namespace quillary
