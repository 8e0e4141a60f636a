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

} // namespace

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
    // Floor division so that times before 1970 fall into the right bucket.
    std::int64_t bucket = t / kBucketSeconds;
    if (t % kBucketSeconds < 0)
        --bucket;
    Slot& slot = m_slots[static_cast<std::size_t>(bucket) % m_slots.size()];
    if (slot.bucket != bucket) {
        long startOffset = 0, endOffset = 0;
        LocalTime end;
        if (!ToLocalTime(bucket * kBucketSeconds, slot.start, startOffset))
            return ToLocalTime(t, out);
        // A zone change inside the quarter hour (rare) makes the bucket convert every time exactly.
        slot.uniform = ToLocalTime(bucket * kBucketSeconds + kBucketSeconds - 1, end, endOffset) &&
                       startOffset == endOffset && end.hour == slot.start.hour;
        slot.bucket = bucket;
    }
    if (!slot.uniform)
        return ToLocalTime(t, out);
    const int offset = static_cast<int>(t - bucket * kBucketSeconds); // 0..899
    out = slot.start;
    int seconds = out.second + offset;
    out.minute += seconds / 60;
    out.second = seconds % 60;
    // The bucket starts on a quarter hour in every zone with whole-quarter-hour offsets; otherwise
    // the minutes may spill into the next hour, which the exact path handles.
    if (out.minute >= 60)
        return ToLocalTime(t, out);
    return true;
}

} // namespace quillary
