#include "writers/json_text.h"

#include <cstdio>
#include <cstdlib>

#include "platform/local_time.h"
#include "platform/utf8.h"

namespace quillary {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr int kMaxDepth = 64; // nesting beyond this is refused rather than followed

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void SkipSpace(std::string_view line, std::size_t& pos) {
    while (pos < line.size() &&
           (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r' || line[pos] == '\n'))
        ++pos;
}

bool ReadHex4(std::string_view line, std::size_t pos, char32_t& value) {
    if (pos + 4 > line.size())
        return false;
    value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const int digit = HexValue(line[pos + i]);
        if (digit < 0)
            return false;
        value = (value << 4) | static_cast<char32_t>(digit);
    }
    return true;
}

} // namespace

bool AppendJsonString(std::string& out, std::string_view text) {
    bool valid = true;
    out += '"';
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte >= 0x80) {
            const std::size_t length = Utf8CharLength(text, pos);
            if (length == 1) {
                out += "\xEF\xBF\xBD"; // U+FFFD
                valid = false;
            } else {
                out.append(text.substr(pos, length));
            }
            pos += length;
            continue;
        }
        ++pos;
        switch (byte) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                out += "\\u00";
                out += kHexDigits[byte >> 4];
                out += kHexDigits[byte & 0xF];
            } else {
                out += static_cast<char>(byte);
            }
        }
    }
    out += '"';
    return valid;
}

std::string HexBytes(std::string_view text) {
    std::string hex;
    hex.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kHexDigits[byte >> 4];
        hex += kHexDigits[byte & 0xF];
    }
    return hex;
}

std::optional<std::string> BytesFromHex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

void AppendJsonKey(std::string& out, std::string_view key) {
    out += ",\"";
    out += key;
    out += "\":";
}

void AppendJsonField(std::string& out, std::string_view key, std::string_view value) {
    out += '"';
    out += key;
    out += "\":";
    if (AppendJsonString(out, value))
        return;
    out += ",\"";
    out += key;
    out += "Hex\":\"";
    out += HexBytes(value);
    out += '"';
}

void AppendJsonTime(std::string& out, std::int64_t secondsSinceEpoch) {
    LocalTime local;
    long offset = 0;
    if (secondsSinceEpoch < kFirstCalendarTime - kConvertibleMargin ||
        secondsSinceEpoch > kLastCalendarTime + kConvertibleMargin ||
        !ToLocalTime(secondsSinceEpoch, local, offset)) {
        out += "null";
        return;
    }
    const char sign = offset < 0 ? '-' : '+';
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char text[40];
    const int length = std::snprintf(text, sizeof text, "\"%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld\"",
                                     local.year, local.month, local.day, local.hour, local.minute,
                                     local.second, sign, minutes / 60, minutes % 60);
    out.append(text, static_cast<std::size_t>(length));
}

bool JsonObjectReader::Parse(std::string_view line) {
    m_count = 0;
    std::size_t pos = 0;
    SkipSpace(line, pos);
    if (pos >= line.size() || line[pos] != '{')
        return false;
    if (!ParseValue(line, pos, nullptr, 0))
        return false;
    SkipSpace(line, pos);
    return pos == line.size();
}

std::optional<std::string_view> JsonObjectReader::Get(std::string_view key) const {
    for (std::size_t i = 0; i < m_count; ++i) {
        if (m_members[i].key == key && !m_members[i].nested)
            return std::string_view(m_members[i].value);
    }
    return std::nullopt;
}

std::optional<std::string_view> JsonObjectReader::GetNested(std::string_view key) const {
    for (std::size_t i = 0; i < m_count; ++i) {
        if (m_members[i].key == key && m_members[i].nested)
            return std::string_view(m_members[i].value);
    }
    return std::nullopt;
}

bool JsonObjectReader::SplitArray(std::string_view array, std::vector<std::string_view>& elements) {
    elements.clear();
    JsonObjectReader reader;
    std::size_t pos = 0;
    SkipSpace(array, pos);
    if (pos >= array.size() || array[pos] != '[')
        return false;
    ++pos;
    SkipSpace(array, pos);
    if (pos < array.size() && array[pos] == ']')
        return true;
    while (true) {
        SkipSpace(array, pos);
        const std::size_t start = pos;
        if (!reader.ParseValue(array, pos, nullptr, 1))
            return false;
        elements.push_back(array.substr(start, pos - start));
        SkipSpace(array, pos);
        if (pos >= array.size())
            return false;
        if (array[pos] == ']')
            return true;
        if (array[pos] != ',')
            return false;
        ++pos;
    }
}

// Parses a string at line[pos] (the opening quote) into `into`, decoding escapes; surrogate pairs
// become one code point, a lone surrogate U+FFFD.
bool JsonObjectReader::ParseString(std::string_view line, std::size_t& pos, std::string& into) {
    into.clear();
    ++pos;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
        if (c != '\\') {
            into += c;
            ++pos;
            continue;
        }
        if (pos + 1 >= line.size())
            return false;
        const char escape = line[pos + 1];
        pos += 2;
        switch (escape) {
        case '"':
        case '\\':
        case '/':
            into += escape;
            break;
        case 'b':
            into += '\b';
            break;
        case 'f':
            into += '\f';
            break;
        case 'n':
            into += '\n';
            break;
        case 'r':
            into += '\r';
            break;
        case 't':
            into += '\t';
            break;
        case 'u': {
            char32_t unit = 0;
            if (!ReadHex4(line, pos, unit))
                return false;
            pos += 4;
            if (unit >= 0xD800 && unit <= 0xDBFF && pos + 6 <= line.size() && line[pos] == '\\' &&
                line[pos + 1] == 'u') {
                char32_t low = 0;
                if (ReadHex4(line, pos + 2, low) && low >= 0xDC00 && low <= 0xDFFF) {
                    pos += 6;
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                }
            }
            AppendUtf8(into, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
            break;
        }
        default:
            return false;
        }
    }
    return false;
}

// Parses the value at line[pos]. A scalar goes to `into` (when given); an object's members are kept
// only at the top level (depth 0), deeper ones and arrays are checked and dropped.
bool JsonObjectReader::ParseValue(std::string_view line, std::size_t& pos, std::string* into, int depth) {
    SkipSpace(line, pos);
    if (pos >= line.size() || depth > kMaxDepth)
        return false;
    const char c = line[pos];
    if (c == '"') {
        if (into != nullptr)
            return ParseString(line, pos, *into);
        return ParseString(line, pos, m_scratch);
    }
    if (c == '{' || c == '[') {
        const char close = c == '{' ? '}' : ']';
        ++pos;
        SkipSpace(line, pos);
        if (pos < line.size() && line[pos] == close) {
            ++pos;
            return true;
        }
        while (true) {
            std::string* value = nullptr;
            if (c == '{') {
                SkipSpace(line, pos);
                if (pos >= line.size() || line[pos] != '"')
                    return false;
                if (depth == 0) {
                    if (m_count == m_members.size())
                        m_members.emplace_back();
                    Member& member = m_members[m_count];
                    if (!ParseString(line, pos, member.key))
                        return false;
                    value = &member.value;
                } else if (!ParseString(line, pos, m_scratch)) {
                    return false;
                }
                SkipSpace(line, pos);
                if (pos >= line.size() || line[pos] != ':')
                    return false;
                ++pos;
            }
            SkipSpace(line, pos);
            const bool nested = pos < line.size() && (line[pos] == '{' || line[pos] == '[');
            const std::size_t start = pos;
            if (!ParseValue(line, pos, nested ? nullptr : value, depth + 1))
                return false;
            if (value != nullptr) {
                // A top-level member is kept: a scalar decoded, an object or array as its text.
                if (nested)
                    value->assign(line.substr(start, pos - start));
                m_members[m_count].nested = nested;
                ++m_count;
            }
            SkipSpace(line, pos);
            if (pos >= line.size())
                return false;
            if (line[pos] == close) {
                ++pos;
                return true;
            }
            if (line[pos] != ',')
                return false;
            ++pos;
        }
    }
    // A number or a literal: its text up to the next delimiter, checked by its first character.
    const std::size_t start = pos;
    while (pos < line.size() && line[pos] != ',' && line[pos] != '}' && line[pos] != ']' &&
           line[pos] != ' ' && line[pos] != '\t' && line[pos] != '\r' && line[pos] != '\n')
        ++pos;
    const std::string_view literal = line.substr(start, pos - start);
    const bool number = !literal.empty() && (literal[0] == '-' || (literal[0] >= '0' && literal[0] <= '9'));
    if (!number && literal != "true" && literal != "false" && literal != "null")
        return false;
    if (into != nullptr)
        into->assign(literal);
    return true;
}

} // namespace quillary
