// Case-insensitive comparison of UTF-8 names by simple case folding of code points (the one-to-one
// mappings of the Unicode case folding, all scripts). A byte that does not start a valid UTF-8
// character compares as that byte and never equals a character. No allocation; ASCII takes a fast path.
#pragma once

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

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    return CompareNoCase(a, b) == 0;
}

} // namespace quillary
