#include "platform/number_format.h"

#include <algorithm>

namespace quillary {

namespace {

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Adds one to the last digit of `digits`, carrying to the left; returns true when a new leading digit
// is needed.
bool IncrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

} // namespace

bool FormatNumber(std::string_view decimalText, const NumberFormat& format, std::string& out) {
    bool negative = false;
    if (!decimalText.empty() && decimalText.front() == '-') {
        negative = true;
        decimalText.remove_prefix(1);
    }
    const std::size_t dot = decimalText.find('.');
    std::string integerPart(decimalText.substr(0, dot));
    std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : decimalText.substr(dot + 1);
    if ((integerPart.empty() && fraction.empty()) || !AllDigits(integerPart) || !AllDigits(fraction))
        return false;
    if (format.numDigits > kMaxNumberText)
        return false;

    // Round the decimal text itself, half away from zero.
    std::string kept(fraction.substr(0, std::min<std::size_t>(fraction.size(), format.numDigits)));
    kept.resize(format.numDigits, '0');
    const bool roundUp = fraction.size() > format.numDigits && fraction[format.numDigits] >= '5';
    if (roundUp) {
        std::string all = integerPart + kept;
        if (IncrementDigits(all))
            all.insert(all.begin(), '1');
        integerPart = all.substr(0, all.size() - kept.size());
        kept = all.substr(all.size() - kept.size());
    }
    // Leading zero kept, other leading zeros dropped.
    const std::size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);

    std::string text;
    if (negative)
        text += '(';
    for (std::size_t i = 0; i < integerPart.size(); ++i) {
        if (i > 0 && (integerPart.size() - i) % 3 == 0)
            text += format.thousandSep;
        text += integerPart[i];
    }
    if (format.numDigits > 0) {
        text += format.decimalSep;
        text += kept;
    }
    if (negative)
        text += ')';
    if (text.size() > kMaxNumberText)
        return false;
    out = std::move(text);
    return true;
}

} // namespace quillary
