// File-name patterns: case-insensitive, "*" matches any run of characters, "?" exactly one character,
// every other character itself. Several patterns are separated by ";"; leading spaces of a pattern are
// skipped, trailing ones belong to it. A mask of exactly "*.*" matches every name; inside a list "*.*"
// needs a dot like any other pattern. An empty mask matches nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillary {

class NameMask {
public:
    explicit NameMask(std::string_view mask);

    bool Matches(std::string_view name) const;

private:
    bool m_matchAll = false;
    std::vector<std::u32string> m_patterns; // case-folded code points
};

} // namespace quillary
