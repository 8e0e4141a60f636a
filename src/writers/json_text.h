// JSON text for the machine-readable listings: strings escaped so that every line is valid JSON
// whatever bytes a name holds, ISO 8601 times with their offset, and a reader of the flat objects a
// JSON Lines listing is made of.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillary {

// Appends `text` as a JSON string in double quotes. A byte that is not part of a valid UTF-8 sequence
// becomes U+FFFD; returns false when that happened (the caller then adds the exact bytes, HexBytes).
bool AppendJsonString(std::string& out, std::string_view text);

// The bytes of `text` as lowercase hexadecimal digits, two per byte.
std::string HexBytes(std::string_view text);
// The bytes hexadecimal digits stand for; nullopt when `hex` is not an even run of hex digits.
std::optional<std::string> BytesFromHex(std::string_view hex);

// Appends `,"key":`, a member after the first one (keys are plain ASCII names: nothing to escape).
void AppendJsonKey(std::string& out, std::string_view key);

// Appends `"key":` and the string value, and `,"keyHex":"..."` when the value is not valid UTF-8.
void AppendJsonField(std::string& out, std::string_view key, std::string_view value);

// A time in local time with its offset from UTC, "2024-05-01T12:00:00+02:00"; `null` when the time is
// outside the years 1 to 9999.
void AppendJsonTime(std::string& out, std::int64_t secondsSinceEpoch);

// The top-level members of one JSON object: strings decoded, numbers, true, false and null as their
// literal text, objects and arrays checked and kept as their JSON text (GetNested) for another reader.
// One reader serves many lines and keeps its buffers from line to line.
class JsonObjectReader {
public:
    // False when the line is not one well-formed JSON object (nothing but white space after it).
    bool Parse(std::string_view line);
    // The value of a member, or nullopt when the object has none (or it is an object or an array).
    std::optional<std::string_view> Get(std::string_view key) const;
    // The JSON text of a member that is an object or an array, or nullopt.
    std::optional<std::string_view> GetNested(std::string_view key) const;
    // The JSON texts of the elements of an array's text; false when it is not a well-formed array.
    static bool SplitArray(std::string_view array, std::vector<std::string_view>& elements);

private:
    struct Member {
        std::string key;
        std::string value;
        bool nested = false;
    };
    bool ParseValue(std::string_view line, std::size_t& pos, std::string* into, int depth);
    bool ParseString(std::string_view line, std::size_t& pos, std::string& into);

    std::vector<Member> m_members;
    std::size_t m_count = 0;
    std::string m_scratch;
};

} // namespace quillary
