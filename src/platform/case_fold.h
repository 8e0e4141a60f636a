// Case-insensitive comparison of UTF-8 names by simple case folding of code points (the one-to-one
// mappings of the Unicode case folding, all scripts). A byte that does not start a valid UTF-8
// character compares as that byte and never equals a character. No allocation; ASCII takes a fast path.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillary {

// The simple case folding of one code point (mostly its lower case); other code points unchanged.
char32_t FoldCodePoint(char32_t codePoint);

// <0, 0 or >0 as a sorts before, equal to or after b when both are folded. Bytes that are not valid
// UTF-8 sort after every character, in byte order.
int CompareNoCase(std::string_view a, std::string_view b);

// The folded characters of a text, for hashing names that compare ignoring case: two texts are
// EqualsNoCase exactly when their FoldCase values are equal. A byte that starts no valid character
// stands for itself above the last code point.
std::u32string FoldCase(std::string_view text);

// Appends the sort key of a text to `out`: its folded characters as bytes (UTF-8; a byte that starts
// no valid character as 0xF8 and the byte, above every character), so that keys compared byte by byte
// order texts as CompareNoCase does, and two keys are equal exactly when the texts are EqualsNoCase.
// The key of a text is the keys of its parts appended one after another, when it is cut where a
// character starts (after an ASCII character, say).
void AppendFoldedKey(std::string_view text, std::string& out);

// The first eight bytes of the text's key as one number (big-endian; zeros after a shorter key): two
// texts whose heads differ compare as their heads do; equal heads leave the order to CompareNoCase.
std::uint64_t FoldedKeyHead(std::string_view text);

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    return CompareNoCase(a, b) == 0;
}

} // namespace quillary
