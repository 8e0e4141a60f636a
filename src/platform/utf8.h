// UTF-8 helpers for laying out names in columns. Names are the bytes the file system gave; a byte that
// does not start a valid sequence counts as one character of its own, so nothing is ever cut inside a
// multi-byte character and invalid names still line up.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillary {

// Length in bytes of the character that starts at text[pos] (1 for an invalid byte).
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

// Number of characters (code points, invalid bytes counted one each).
std::size_t Utf8Length(std::string_view text);

// The first `count` characters of text (all of it when it is shorter).
std::string_view Utf8Prefix(std::string_view text, std::size_t count);

// The longest start of text that is at most maxBytes long and does not end inside a character.
std::string_view Utf8CutToBytes(std::string_view text, std::size_t maxBytes);

// Decodes the character at text[pos] and advances pos past it. An invalid byte decodes to itself
// (0x80..0xFF) and advances by one.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);

// Appends the UTF-8 encoding of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace quillary
