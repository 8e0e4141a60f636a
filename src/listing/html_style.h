// Colours and fonts of the HTML listing: the page background, the header, directory rows and the
// odd and even file rows. Colours are 0x00BBGGRR values (red in the low byte), as the settings files
// store them.
#pragma once

#include <cstdint>
#include <string>

namespace quillary {

using ColorRef = std::uint32_t;

// A logical font as the settings files store it (the thirteen numeric fields and the face name), plus
// the whole point size the HTML style sheet uses.
struct FontSpec {
    std::int32_t lfHeight = -11;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 400;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    std::string lfFaceName = "MS Sans Serif"; // at most 31 bytes
    int pointSize = 8;

    bool operator==(const FontSpec&) const = default;
};

// Point size of a font height at the given vertical resolution: -MulDiv(height, 72, dpi), rounded
// half away from zero, kept within 1 to 1638 points (a configuration may hold any height).
inline constexpr int kMinPointSize = 1;
inline constexpr int kMaxPointSize = 1638;
int PointSizeFromHeight(std::int32_t lfHeight, int pixelsPerInch);

// The generic CSS family that stands in for a font's face where that face is missing ("MS Sans Serif"
// on Linux): from the family and pitch bits of lfPitchAndFamily ("serif", "sans-serif", "monospace",
// "cursive", "fantasy"); a font that names no family is "monospace" when it is fixed-pitch, else
// "sans-serif".
const char* GenericFontFamily(const FontSpec& font);

struct HtmlStyle {
    ColorRef pageBackground = 0xEFEFEF;
    ColorRef headerBackground = 0x804040;
    ColorRef headerText = 0xFFFFFF;
    ColorRef directoryBackground = 0x804040;
    ColorRef directoryText = 0xFFFFFF;
    ColorRef oddBackground = 0xFFE8E8;
    ColorRef oddText = 8;
    ColorRef evenBackground = 0xFFD0D0;
    ColorRef evenText = 8;
    FontSpec headerFont;
    FontSpec directoryFont;
    FontSpec oddFont;
    FontSpec evenFont;

    bool operator==(const HtmlStyle&) const = default;
};

} // namespace quillary
