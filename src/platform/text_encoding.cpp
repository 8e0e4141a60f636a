#include "platform/text_encoding.h"

#include "platform/utf8.h"

namespace quillary {

namespace {

// Code points of the bytes 0x80..0x9F; the rest of Windows-1252 equals Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = Utf8CharLength(text, pos);
        if (length == 1) // a byte of its own above 0x7F starts no valid sequence
            return false;
        pos += length;
    }
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out += c;
        else if (byte < 0xA0)
            AppendUtf8(out, kCp1252High[byte - 0x80]);
        else
            AppendUtf8(out, byte);
    }
    return out;
}

std::string DecodeProgramFileText(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Cp1252ToUtf8(bytes);
}

} // namespace quillary
