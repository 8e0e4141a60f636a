// The one place where text crosses between the core (UTF-8 std::string, file names as the bytes the
// file system gave) and wxWidgets (wxString).
#pragma once

#include <string>
#include <string_view>

#include <wx/string.h>

namespace quillary {

// Bytes that are not UTF-8 (a file name written in another encoding) survive the round trip
// ToWx → ToUtf8 unchanged: they travel as private-use characters inside the wxString.
wxString ToWx(std::string_view utf8);
std::string ToUtf8(const wxString& text);

} // namespace quillary
