// Case-insensitive comparison of UTF-8 names by simple case folding of code points. Bytes that are not
// valid UTF-8 compare as themselves. No allocation; ASCII takes a fast path.
#pragma once

#include <string_view>

namespace quillary {

// The simple case folding of one code point (lower case for the scripts a file name usually uses:
// Latin, Greek, Cyrillic, Armenian, full-width Latin).
char32_t FoldCodePoint(char32_t codePoint);

// <0, 0 or >0 as a is before, equal to or after b, comparing folded code points.
int CompareNoCase(std::string_view a, std::string_view b);

inline bool EqualsNoCase(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }

} // namespace quillary
