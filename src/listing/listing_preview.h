// What the window's Preview page needs from a listing file, without any toolkit: the lines of a text or
// CSV listing found at once (a view then draws only the lines it shows), and the first part of a big
// HTML listing as a document of its own (a browser takes minutes over hundreds of thousands of rows).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillary {

// The lines of a text. A line ends at "\n"; a "\r" before it is not part of the line. A final line end
// does not start another line, so "a\nb\n" and "a\nb" both have two lines and "" has none.
class LineIndex {
public:
    LineIndex() = default;
    explicit LineIndex(std::string text);

    std::size_t LineCount() const { return m_starts.size(); }
    // Line `line` (< LineCount()) without its line end.
    std::string_view Line(std::size_t line) const;
    // Lines [first, last) as they stand in the text, each with a "\n" after it (also the last one).
    std::string Lines(std::size_t first, std::size_t last) const;
    // The most characters (UTF-8 sequences, a stray byte counting as one) in any line.
    std::size_t WidestLine() const { return m_widest; }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    std::vector<std::size_t> m_starts; // offset of each line's first byte
    std::size_t m_widest = 0;
};

// The preview of an HTML listing: the whole document, or its first rows when it holds more.
struct HtmlPreview {
    std::string document;      // valid HTML: the head, the first rows, the end of the file
    std::size_t shownRows = 0; // listing rows in `document` (the caption row not counted)
    std::size_t totalRows = 0; // listing rows in the file
    bool IsCut() const { return shownRows < totalRows; }
};

// The listings' HTML writes every table row on a line that starts with "<tr" (a "<" in a name is
// always written as "&lt;"); the first row is the caption. With more than `maxRows` listing rows the
// document is cut at the end of row `maxRows` and closed with what follows the file's last row, so that
// it keeps the head, the style and the column elements. A document without rows is kept whole.
HtmlPreview CutHtmlListing(std::string html, std::size_t maxRows);

// A message with "%1", "%2", ... replaced by the arguments in order; other text is kept as it stands.
std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& arguments);

} // namespace quillary
