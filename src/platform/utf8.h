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

// True for a character that a terminal acts on instead of showing: the C0 and C1 controls, DEL, and
// the bidirectional embeddings, overrides and isolates (U+202A-U+202E, U+2066-U+2069), which can make
// a name read differently from what it is ("evil\u202Etxt.exe").
bool IsControlCharacter(char32_t codePoint);

// The text with each control character replaced by "?", so that a file name or a language text can be
// shown on a terminal or in a text listing without acting on it. A byte 0x80-0x9F that is not part
// of a UTF-8 sequence is replaced too (an 8-bit terminal takes it for a C1 control); other bytes that
// are not UTF-8 are kept.
std::string ShowableText(std::string_view text);

// How many of the first `limit` bytes of `text` are printable ASCII (space to "~"): characters of one
// column each that are shown as they are, which the fast paths of the text listing take whole.
inline std::size_t PrintableAsciiPrefix(std::string_view text, std::size_t limit) {
    const std::size_t end = text.size() < limit ? text.size() : limit;
    std::size_t length = 0;
    while (length < end && static_cast<unsigned char>(text[length]) - 0x20u < 0x5Fu)
        ++length;
    return length;
}

} // namespace quillary
