// Display texts of the values of scanned records: sizes and counts, dates and times, paths in the
// three path styles.
#pragma once

#include <cstdint>
#include <string>

#include "listing/listing_options.h"
#include "platform/local_time.h"
#include "platform/number_format.h"
#include "platform/path_syntax.h"

namespace quillary {

// The formats a run derives from its options.
struct FieldFormats {
    NumberFormat numberFormat; // numDigits is set per call
    std::string fileDateFormat, dirDateFormat, fileTimeFormat, dirTimeFormat;
};

FieldFormats DeriveFieldFormats(const ListingOptions& options);
std::string DateFormatFor(int index);
std::string TimeFormatFor(int index);

// A size in one of the five displays; an unknown display counts as gigabytes.
std::string FormatSize(std::uint64_t value, SizeDisplay display, int precision,
                       const NumberFormat& numberFormat);

// "1 234": a count grouped like a byte count (the text and HTML writers put it in brackets).
std::string FormatCount(std::uint64_t count, const NumberFormat& numberFormat);

// A directory path ending with the separator, reduced by the path style: "No drive" drops the drive part
// ("c:\Data\" gives "\Data\"; POSIX paths have none), "From top-checked dir" the first
// `rootPrefixLen` characters (the text before the selected folder's last separator).
std::string ApplyPathStyle(const std::string& directoryPathWithSeparator, PathStyle pathStyle,
                           std::size_t rootPrefixLen, const PathSyntax& syntax = kNativePaths);
// The same in place, without a copy of the (possibly long) path.
void ApplyPathStyleTo(std::string& directoryPathWithSeparator, PathStyle pathStyle, std::size_t rootPrefixLen,
                      const PathSyntax& syntax = kNativePaths);

// The link target of a directory path made by ApplyPathStyle: paths relative to the top checked folder
// lose their leading separator, so that they are relative links from a listing saved beside it.
std::string LinkPathFor(const std::string& styledPath, PathStyle pathStyle);

} // namespace quillary
