#include "platform/name_mask.h"

#include "platform/case_fold.h"
#include "platform/utf8.h"

namespace quillary {

namespace {

std::u32string FoldedCodePoints(std::string_view text) {
    std::u32string folded;
    folded.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();)
        folded += FoldCodePoint(DecodeUtf8(text, pos));
    return folded;
}

// Classic wildcard match with backtracking to the last "*": linear in practice, no recursion.
bool WildcardMatch(const std::u32string& pattern, const std::u32string& name) {
    std::size_t p = 0, n = 0;
    std::size_t starPattern = std::u32string::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starPattern = p++;
            starName = n;
        } else if (starPattern != std::u32string::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

} // namespace

NameMask::NameMask(std::string_view mask) {
    if (mask == "*.*") {
        m_matchAll = true;
        return;
    }
    while (!mask.empty()) {
        const std::size_t semicolon = mask.find(';');
        std::string_view pattern = mask.substr(0, semicolon);
        mask = semicolon == std::string_view::npos ? std::string_view() : mask.substr(semicolon + 1);
        const std::size_t start = pattern.find_first_not_of(' ');
        if (start == std::string_view::npos)
            continue;
        m_patterns.push_back(FoldedCodePoints(pattern.substr(start)));
    }
}

bool NameMask::Matches(std::string_view name) const {
    if (m_matchAll)
        return true;
    if (m_patterns.empty())
        return false;
    const std::u32string folded = FoldedCodePoints(name);
    for (const std::u32string& pattern : m_patterns) {
        if (WildcardMatch(pattern, folded))
            return true;
    }
    return false;
}

} // namespace quillary
