// Locale-independent number layout: the decimal text of a number ("1234567", "1.500000") rounded half
// away from zero to a number of decimals, digits grouped by three, a leading zero kept.
#pragma once

#include <string>
#include <string_view>

namespace quillary {

struct NumberFormat {
    unsigned numDigits = 0; // decimals after rounding
    std::string decimalSep = ".";
    std::string thousandSep = " "; // empty: no grouping
};

// Longest text the layout may produce; longer results count as a failure.
inline constexpr std::size_t kMaxNumberText = 31;

// Lays out `decimalText` (optional "-", digits, optional "." and digits). Returns false, leaving `out`
// unspecified, when the input is not such a number or the result is longer than kMaxNumberText.
// A negative number is written in brackets: "(1 234)".
bool FormatNumber(std::string_view decimalText, const NumberFormat& format, std::string& out);

} // namespace quillary
