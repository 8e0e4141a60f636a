#include "platform/case_fold.h"

#include <algorithm>

#include "platform/utf8.h"

namespace quillary {

char32_t FoldCodePoint(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    // Latin-1 supplement: À..Þ except ×.
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    if (c == 0xB5)
        return 0x3BC; // micro sign folds to Greek mu
    // Latin Extended-A: pairs, upper case at the even (or odd) position.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c + 1 : c;
    if (c == 0x178)
        return 0xFF;
    if (c == 0x17F)
        return 's';
    // Greek.
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return c + 32;
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 37;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 63;
    if (c == 0x3C2)
        return 0x3C3; // final sigma
    // Cyrillic.
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return c | 1;
    if (c == 0x4C0)
        return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE)
        return (c & 1) ? c + 1 : c;
    // Armenian.
    if (c >= 0x531 && c <= 0x556)
        return c + 48;
    // Latin Extended Additional (Vietnamese and others).
    if ((c >= 0x1E00 && c <= 0x1E95) || (c >= 0x1EA0 && c <= 0x1EFF))
        return c | 1;
    // Full-width Latin.
    if (c >= 0xFF21 && c <= 0xFF3A)
        return c + 32;
    return c;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    // Equal bytes are equal after folding too: skip the common prefix, then step back to the start of
    // the character it ends in, so that a multi-byte character is decoded whole.
    std::size_t i = 0;
    const std::size_t shorter = std::min(a.size(), b.size());
    while (i < shorter && a[i] == b[i])
        ++i;
    while (i > 0 && (static_cast<unsigned char>(a[i - 1]) & 0x80) != 0 &&
           (i == shorter || (static_cast<unsigned char>(a[i]) & 0xC0) == 0x80 ||
            (static_cast<unsigned char>(b[i]) & 0xC0) == 0x80))
        --i;
    std::size_t j = i;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        char32_t fa, fb;
        if ((ca | cb) < 0x80) {
            fa = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
            fb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
            ++i;
            ++j;
        } else {
            fa = FoldCodePoint(DecodeUtf8(a, i));
            fb = FoldCodePoint(DecodeUtf8(b, j));
        }
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

} // namespace quillary
