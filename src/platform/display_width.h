// How many columns text takes in a terminal or a fixed-width listing: East Asian wide and full-width
// characters (CJK, Hangul, full-width forms, emoji) take two, combining marks and zero-width characters
// none, everything else one. Our own table of the main ranges, independent of the process locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillary {

// Columns of one code point: 0, 1 or 2. A byte that is not UTF-8 (decoded as 0x80-0xFF) takes one.
int CharacterWidth(char32_t codePoint);

// Columns of a UTF-8 text.
std::size_t DisplayWidth(std::string_view text);

// The longest start of text that takes at most `columns` columns, never ending inside a character;
// zero-width characters stay with the character before them. `used` receives its width.
std::string_view DisplayPrefix(std::string_view text, std::size_t columns, std::size_t& used);

} // namespace quillary
