#include "engine/field_format.h"

#include <charconv>

namespace quillary {

std::string DateFormatFor(int index) {
    switch (index) {
    case 1:
        return "%Y-%d-%m";
    case 2:
        return "%d-%m-%Y";
    case 3:
        return "%m-%d-%Y";
    default:
        return "%Y-%m-%d";
    }
}

std::string TimeFormatFor(int index) {
    return index == 1 ? "%H:%M:%S" : "%H:%M";
}

FieldFormats DeriveFieldFormats(const ListingOptions& options) {
    FieldFormats formats;
    switch (options.m_nThousandSeparator) {
    case 0:
        formats.numberFormat.thousandSep = "";
        break;
    case 2:
        formats.numberFormat.thousandSep = ",";
        break;
    case 3:
        formats.numberFormat.thousandSep = ".";
        break;
    default:
        formats.numberFormat.thousandSep = " ";
        break;
    }
    formats.numberFormat.decimalSep = options.m_nDecimalSeparator == 1 ? "," : ".";
    formats.fileDateFormat = DateFormatFor(options.m_nFileDateFormat);
    formats.dirDateFormat = DateFormatFor(options.m_nDirDateFormat);
    formats.fileTimeFormat = TimeFormatFor(options.m_nFileTimeFormat);
    formats.dirTimeFormat = TimeFormatFor(options.m_nDirTimeFormat);
    return formats;
}

namespace {

std::string FormatBytes(std::uint64_t value, const NumberFormat& numberFormat) {
    char raw[32];
    const std::string_view digits(
        raw, static_cast<std::size_t>(std::to_chars(raw, raw + sizeof raw, value).ptr - raw));
    NumberFormat format = numberFormat;
    format.numDigits = 0;
    std::string text;
    return FormatNumber(digits, format, text) ? text : std::string(digits);
}

std::string FormatScaled(std::uint64_t value, int shift, int precision, const char* unit,
                         const NumberFormat& numberFormat) {
    // The "%f" text: six decimals, correctly rounded.
    char raw[64];
    const double scaled = static_cast<double>(value) / static_cast<double>(1ull << shift);
    const std::string_view digits(
        raw, static_cast<std::size_t>(
                 std::to_chars(raw, raw + sizeof raw, scaled, std::chars_format::fixed, 6).ptr - raw));
    NumberFormat format = numberFormat;
    format.numDigits = precision < 0 ? 0u : static_cast<unsigned>(precision);
    std::string text;
    if (!FormatNumber(digits, format, text))
        text = digits;
    return text + unit;
}

} // namespace

std::string FormatSize(std::uint64_t value, SizeDisplay display, int precision,
                       const NumberFormat& numberFormat) {
    switch (display) {
    case SizeDisplay::Bytes:
        return FormatBytes(value, numberFormat);
    case SizeDisplay::Kilobytes:
        return FormatScaled(value, 10, precision, " KB", numberFormat);
    case SizeDisplay::Megabytes:
        return FormatScaled(value, 20, precision, " MB", numberFormat);
    case SizeDisplay::Dynamic:
        if (value < 1024)
            return FormatBytes(value, numberFormat) + " B";
        if (value < 0x100000)
            return FormatScaled(value, 10, precision, " KB", numberFormat);
        if (value < 0x40000000)
            return FormatScaled(value, 20, precision, " MB", numberFormat);
        return FormatScaled(value, 30, precision, " GB", numberFormat);
    default:
        return FormatScaled(value, 30, precision, " GB", numberFormat);
    }
}

std::string FormatCount(std::uint64_t count, const NumberFormat& numberFormat) {
    return FormatBytes(count, numberFormat);
}

void ApplyPathStyleTo(std::string& path, PathStyle pathStyle, std::size_t rootPrefixLen,
                      const PathSyntax& syntax) {
    switch (pathStyle) {
    case PathStyle::NoDrive:
        path.erase(0, syntax.DrivePartLength(path));
        break;
    case PathStyle::FromTopChecked:
        path.erase(0, rootPrefixLen);
        break;
    default:
        break;
    }
}

std::string ApplyPathStyle(const std::string& path, PathStyle pathStyle, std::size_t rootPrefixLen,
                           const PathSyntax& syntax) {
    std::string styled = path;
    ApplyPathStyleTo(styled, pathStyle, rootPrefixLen, syntax);
    return styled;
}

std::string LinkPathFor(const std::string& styledPath, PathStyle pathStyle) {
    if (pathStyle == PathStyle::FromTopChecked && !styledPath.empty())
        return styledPath.substr(1);
    return styledPath;
}

} // namespace quillary
