#include "listing/listing_preview.h"

#include <algorithm>
#include <cstring>

namespace quillary {

namespace {

// Characters in bytes [begin, end): every byte that does not continue a UTF-8 sequence starts one.
std::size_t CharacterCount(const char* begin, const char* end) {
    std::size_t count = 0;
    for (const char* at = begin; at != end; ++at)
        count += (static_cast<unsigned char>(*at) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

// Offsets of the lines that start with "<tr".
std::vector<std::size_t> RowStarts(std::string_view html) {
    std::vector<std::size_t> rows;
    std::size_t line = 0;
    while (line < html.size()) {
        if (html.compare(line, 3, "<tr") == 0)
            rows.push_back(line);
        const void* end = std::memchr(html.data() + line, '\n', html.size() - line);
        if (end == nullptr)
            break;
        line = static_cast<std::size_t>(static_cast<const char*>(end) - html.data()) + 1;
    }
    return rows;
}

} // namespace

LineIndex::LineIndex(std::string text) : m_text(std::move(text)) {
    const char* const begin = m_text.data();
    const char* const end = begin + m_text.size();
    const char* line = begin;
    while (line != end) {
        m_starts.push_back(static_cast<std::size_t>(line - begin));
        const auto* lineEnd =
            static_cast<const char*>(std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
        const char* next = lineEnd != nullptr ? lineEnd + 1 : end;
        // Counting is only needed for lines that could be the widest: a line has at most as many
        // characters as bytes.
        const auto bytes = static_cast<std::size_t>(next - line);
        if (bytes > m_widest) {
            std::size_t length = bytes;
            if (length > 0 && line[length - 1] == '\n')
                --length;
            if (length > 0 && line[length - 1] == '\r')
                --length;
            if (length > m_widest)
                m_widest = std::max(m_widest, CharacterCount(line, line + length));
        }
        line = next;
    }
}

std::string_view LineIndex::Line(std::size_t line) const {
    const std::size_t start = m_starts.at(line);
    std::size_t end = line + 1 < m_starts.size() ? m_starts[line + 1] : m_text.size();
    if (end > start && m_text[end - 1] == '\n')
        --end;
    if (end > start && m_text[end - 1] == '\r')
        --end;
    return std::string_view(m_text).substr(start, end - start);
}

std::string LineIndex::Lines(std::size_t first, std::size_t last) const {
    std::string lines;
    last = std::min(last, LineCount());
    for (std::size_t line = first; line < last; ++line) {
        lines += Line(line);
        lines += '\n';
    }
    return lines;
}

HtmlPreview CutHtmlListing(std::string html, std::size_t maxRows) {
    HtmlPreview preview;
    const std::vector<std::size_t> rows = RowStarts(html);
    preview.totalRows = rows.empty() ? 0 : rows.size() - 1;
    preview.shownRows = std::min(preview.totalRows, maxRows);
    if (preview.IsCut()) {
        // The rest of the file after the last row's end: the table's, the body's and the document's.
        const std::size_t lastEnd = html.find("</tr>", rows.back());
        // Row maxRows + 1 (the caption is row 0) starts the part left out; its line end goes too.
        std::size_t cut = rows[maxRows + 1];
        if (cut > 0 && html[cut - 1] == '\n')
            --cut;
        if (cut > 0 && html[cut - 1] == '\r')
            --cut;
        if (lastEnd == std::string::npos) {
            preview.shownRows = preview.totalRows; // not a listing's document: shown as it is
        } else {
            html.replace(cut, lastEnd + 5 - cut, std::string_view());
        }
    }
    preview.document = std::move(html);
    return preview;
}

std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& arguments) {
    std::string filled;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '%' && at + 1 < text.size() && text[at + 1] >= '1' && text[at + 1] <= '9') {
            const auto index = static_cast<std::size_t>(text[at + 1] - '1');
            if (index < arguments.size()) {
                filled += arguments[index];
                ++at;
                continue;
            }
        }
        filled += text[at];
    }
    return filled;
}

} // namespace quillary
