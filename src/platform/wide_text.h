// Windows only: the conversions between the core's UTF-8 and the system's UTF-16, and the long-path
// form of a path. Every Windows body of the platform layer speaks to the system through these.
#pragma once

#include <string>
#include <string_view>

namespace quillary {

// UTF-8 to UTF-16; bytes that are not UTF-8 become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
// The path as the wide-character file functions take it without the 260-character limit: an absolute
// drive path "c:\x" becomes "\\?\c:\x", a network path "\\server\share" becomes "\\?\UNC\server\share";
// "/" is turned into "\". A relative path is returned converted but otherwise as it is.
std::wstring SystemPath(std::string_view path);

} // namespace quillary
