// The file version of Windows executables (.exe, .dll, ...), read from the version resource of the PE
// image without any Windows API, so that listings made on any system show it.
//
// Executables are untrusted input: every offset and length in the image is checked against the bytes
// actually present, and every walk is bounded, so a damaged or hostile file gives an empty text.
#pragma once

#include <span>
#include <string>

namespace quillary {

// The "FileVersion" text (UTF-8) of the PE image in `image`: the string of the string table named by
// the first translation, or, when that table has none, of the first table that has one. Empty for
// anything that is not a PE image with such a string.
std::string ReadFileVersionFromImage(std::span<const unsigned char> image);

// The same for a file on disk, reading only the headers and the resource ranges it needs. Empty when the
// file cannot be read, is not a regular file or has no version text; `error` (when given) receives the
// error number when the file could not be opened, else 0.
std::string GetFileVersionText(const std::string& path, int* error = nullptr);

} // namespace quillary
