#include "ui/wx_string.h"

#include <wx/strconv.h>

namespace quillary {

namespace {

const wxMBConvUTF8& Conversion() {
    static const wxMBConvUTF8 conversion(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conversion;
}

} // namespace

wxString ToWx(std::string_view utf8) {
    return wxString(utf8.data(), Conversion(), utf8.size());
}

std::string ToUtf8(const wxString& text) {
    const wxScopedCharBuffer buffer = text.mb_str(Conversion());
    return std::string(buffer.data(), buffer.length());
}

} // namespace quillary
