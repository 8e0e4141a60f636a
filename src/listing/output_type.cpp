#include "listing/output_type.h"

#include <string>

#include "platform/path_syntax.h"

namespace quillary {

const char* ExtensionFor(int outputType) {
    switch (outputType) {
    case kOutputHtml:
        return "html";
    case kOutputCsv:
        return "csv";
    default:
        return "txt";
    }
}

int OutputTypeFromName(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = kNativePaths.FindLastSeparator(path);
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return -1;
    std::string extension(path.substr(dot + 1));
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (extension == "txt")
        return kOutputText;
    if (extension == "html" || extension == "htm")
        return kOutputHtml;
    if (extension == "csv")
        return kOutputCsv;
    return -1;
}

} // namespace quillary
