#include "listing/html_style.h"

#include <algorithm>
#include <cstdlib>

namespace quillary {

int PointSizeFromHeight(std::int32_t lfHeight, int pixelsPerInch) {
    if (pixelsPerInch == 0)
        return kMinPointSize;
    // MulDiv: 64-bit product, rounded half away from zero.
    const std::int64_t product = static_cast<std::int64_t>(lfHeight) * 72;
    const std::int64_t half = std::llabs(pixelsPerInch) / 2;
    std::int64_t quotient = (std::llabs(product) + half) / std::llabs(pixelsPerInch);
    if ((product < 0) != (pixelsPerInch < 0))
        quotient = -quotient;
    return static_cast<int>(std::clamp<std::int64_t>(-quotient, kMinPointSize, kMaxPointSize));
}

const char* GenericFontFamily(const FontSpec& font) {
    switch (font.lfPitchAndFamily & 0xF0) {
    case 0x10: // FF_ROMAN
        return "serif";
    case 0x20: // FF_SWISS
        return "sans-serif";
    case 0x30: // FF_MODERN
        return "monospace";
    case 0x40: // FF_SCRIPT
        return "cursive";
    case 0x50: // FF_DECORATIVE
        return "fantasy";
    default:
        return (font.lfPitchAndFamily & 0x03) == 1 ? "monospace" : "sans-serif"; // FIXED_PITCH
    }
}

} // namespace quillary
