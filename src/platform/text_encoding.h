// Character encodings of the program's own files. Files written by this program are UTF-8; files from
// older Windows installations are usually in the Windows-1252 code page, so a file that is not valid
// UTF-8 is taken as Windows-1252 and converted.
#pragma once

#include <string>
#include <string_view>

namespace quillary {

// True when every byte sequence is a well-formed UTF-8 character (no overlong forms, no surrogates,
// nothing above U+10FFFF). NUL bytes are valid.
bool IsValidUtf8(std::string_view text);

// Converts Windows-1252 bytes to UTF-8. The five bytes that code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number, as Windows converts them.
std::string Cp1252ToUtf8(std::string_view bytes);

// The text of a program file as UTF-8: a leading UTF-8 byte order mark is dropped, valid UTF-8 is
// kept as it is, anything else is converted from Windows-1252.
std::string DecodeProgramFileText(std::string_view bytes);

} // namespace quillary
