// Feeds arbitrary bytes to the PE version reader: it must neither crash, read outside the input, nor
// hang, and its text must be valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/pe_version.h"
#include "platform/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = quillary::ReadFileVersionFromImage(std::span<const unsigned char>(data, size));
    if (text.find('\0') != std::string::npos)
        std::abort(); // the text ends at the value's first NUL
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = quillary::Utf8CharLength(text, pos);
        if (length == 1 && static_cast<unsigned char>(text[pos]) >= 0x80)
            std::abort(); // an invalid UTF-8 byte
        pos += length;
    }
    return 0;
}
