// HTML listings: one table whose colours and fonts come from the run's HtmlStyle. Every row has a name
// cell and then the cells of size, date, time, version, CRC32 and attributes, switched-off ones hidden
// by the table's column elements, not left out of the rows; the XXH3 and SHA-256 cells are in the
// table only when their columns are on.
//
// Every name, path and text is HTML-escaped, and link targets are percent-encoded, so a file name can
// neither inject markup into the listing nor break its link.
#pragma once

#include <string>
#include <string_view>

#include "listing/html_style.h"
#include "platform/path_syntax.h"
#include "writers/listing_writer.h"

namespace quillary {

// The product home page linked from the caption row.
inline constexpr const char* kHomePageAddress = "https://quillary.example.org/";

class HtmlWriter : public ListingWriter {
public:
    explicit HtmlWriter(const WriterContext& context) : ListingWriter(context) {}

    void FormatHeader(const ColumnSet& columns, std::string& out) override;
    void FormatDirectoryRow(const DirectoryRow& row, std::string& out) override;
    void FormatFileRow(const FileRow& row, std::string& out) override;
    void FormatFooter(std::string& out) override;

private:
    // A directory path as the rows carry it, in the form links are built from.

    // True when the next file row is an odd one. The header and every directory row start a new run of
    // rows with an odd one; the flag carries over into per-directory files written by this object.
    bool m_oddRow = true;
};

// "rrggbb" in lower-case hexadecimal for a 0x00BBGGRR colour.
std::string HtmlColorText(ColorRef color);

// The style declarations of a font: size, family, style, weight and decorations. With both underline
// and strike-out, line-through comes first, so the later underline declaration is the one that shows.
std::string HtmlFontText(const FontSpec& font);

// The HTML name of a font character-set value, or "" for a value without one.
const char* HtmlCharsetName(int charset);

// The charset the document declares: the platform's narrow character set when it is known (all texts
// are written in it, whatever the fonts say), otherwise the name of the odd-row font's character set.
std::string HtmlDocumentCharset(const HtmlStyle& style, const std::string& platformCharset);

// Appends text with &, <, > and " replaced by their character references.
void AppendHtmlEscaped(std::string& out, std::string_view text);

// The href value (before HTML escaping) for a file or directory path. Separators become "/" and bytes
// a URL path cannot carry are percent-encoded; an absolute path becomes a file URL so that the link
// works from wherever the listing is opened ("/data/x" gives "file:///data/x", "c:\Data\x"
// "file:///c:/Data/x", "\\server\share\x" "file://server/share/x"); a relative path stays relative
// to the listing's folder, and an empty one becomes "./" (that folder itself) rather than a link back to
// the listing.
std::string HtmlLinkTarget(std::string_view path, const PathSyntax& syntax = kNativePaths);

} // namespace quillary
