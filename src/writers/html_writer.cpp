#include "writers/html_writer.h"

#include <cstdio>
#include <string>

namespace quillary {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Bytes that may stand as they are in the path of a URL: the unreserved characters, "/" and the
// sub-delimiters. Everything else, ":" included (it would turn the first segment of a relative
// link into a scheme), is percent-encoded.
bool IsUrlPathByte(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return c != '\0' &&
           std::string_view("-._~/!$&'()*+,;=@").find(static_cast<char>(c)) != std::string_view::npos;
}

// Appends text as the inside of a double-quoted CSS string in a STYLE element. Character references
// mean nothing there, so quotes, back-slashes, "<" (which could close the element), ">", "&" and
// control characters are written as CSS escapes.
void AppendCssString(std::string& out, std::string_view text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '"' || c == '\\' || c == '<' || c == '>' || c == '&') {
            out += '\\';
            if (c >= 0x10)
                out += kHexDigits[c >> 4];
            out += kHexDigits[c & 0xF];
            out += ' ';
        } else {
            out += ch;
        }
    }
}

// A column of its own in the table: every cell after the name whose column is on or kept when off.
bool HasHtmlColumn(const ColumnDef& def, const ColumnSet& columns) {
    return def.layout != CellLayout::InName && (def.htmlKeptWhenOff || columns.Has(def.column));
}

const char* ColumnElement(bool shown, const char* shownElement = "<COL>") {
    return shown ? shownElement : "<COL class=\"i\">";
}

// A cell: the cell start, the escaped value (nothing when the column is off), the cell end.
void AppendCell(std::string& out, std::string_view cellStart, const std::optional<std::string>& value) {
    out += cellStart;
    if (value)
        AppendHtmlEscaped(out, *value);
    out += "</td>";
}

// The cells after the name: one for each column of the table, empty where the row has no value.
void AppendCells(std::string& out, std::string_view cellStart, const Cells& row, const ColumnSet& columns) {
    for (const ColumnDef& def : Columns()) {
        if (HasHtmlColumn(def, columns))
            AppendCell(out, cellStart, row[def.column]);
    }
}

} // namespace

std::string HtmlColorText(ColorRef color) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", static_cast<unsigned>(color & 0xFF),
                  static_cast<unsigned>((color >> 8) & 0xFF), static_cast<unsigned>((color >> 16) & 0xFF));
    return text;
}

std::string HtmlFontText(const FontSpec& font) {
    std::string text = "font-size:" + std::to_string(font.pointSize) + "pt;";
    text += "font-family:\"";
    AppendCssString(text, font.lfFaceName);
    // The generic family after the face, for browsers on systems that lack the face.
    text += "\", ";
    text += GenericFontFamily(font);
    text += ";";
    text += font.lfItalic == 1 ? "font-style:italic;" : "font-style:normal;";
    text += font.lfWeight > 500 ? "font-weight:bold;" : "font-weight:normal;";
    if (font.lfStrikeOut == 1)
        text += "text-decoration:line-through;";
    if (font.lfUnderline == 1)
        text += "text-decoration:underline;";
    return text;
}

const char* HtmlCharsetName(int charset) {
    struct Entry {
        int charset;
        const char* name;
    };
    static constexpr Entry kNames[] = {
        {0, "iso-8859-1"},     {1, "iso-8859-1"},     {2, "iso-8859-1"},     {255, "iso-8859-1"},
        {128, "shift-jis"},    {129, "ks_c_5601"},    {134, "gb2312"},       {136, "big5"},
        {161, "windows-1253"}, {162, "windows-1254"}, {163, "windows-1258"}, {177, "windows-1255"},
        {178, "windows-1256"}, {186, "windows-1257"}, {204, "windows-1251"}, {222, "windows-874"},
        {238, "windows-1250"},
    };
    for (const Entry& entry : kNames) {
        if (entry.charset == charset)
            return entry.name;
    }
    return "";
}

std::string HtmlDocumentCharset(const HtmlStyle& style, const std::string& platformCharset) {
    if (!platformCharset.empty())
        return platformCharset;
    return HtmlCharsetName(style.oddFont.lfCharSet);
}

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

std::string HtmlLinkTarget(std::string_view path, const PathSyntax& syntax) {
    if (path.empty())
        return "./";
    std::string target;
    if (const std::size_t drive = syntax.DrivePartLength(path)) {
        target = "file:///";
        target += path.substr(0, drive); // "c:" stands as it is: the URL form of a drive
        path.remove_prefix(drive);
    } else if (syntax.NetworkRootLength(path) != 0) {
        target = "file:"; // "\\server\share\x" becomes "file://server/share/x"
    } else if (!syntax.driveLetters && syntax.IsSeparator(path.front())) {
        target = "file://";
    }
    // A Windows path without a drive ("\Data\", the "No drive" style) stays a reference from the root,
    // which a browser resolves on the drive of the listing.
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (syntax.IsSeparator(ch)) {
            target += '/';
        } else if (IsUrlPathByte(c)) {
            target += ch;
        } else {
            target += '%';
            target += kHexDigits[c >> 4];
            target += kHexDigits[c & 0xF];
        }
    }
    return target;
}

void HtmlWriter::FormatHeader(const ColumnSet& columns, std::string& out) {
    const HtmlStyle& style = Options().m_htmlStyle;
    const MessageTable& messages = *Context().messages;
    const auto color = [](ColorRef value) { return std::string("#").append(HtmlColorText(value)); };

    out += "<HTML>\n<HEAD>\n";
    out += "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=";
    AppendHtmlEscaped(out, HtmlDocumentCharset(style, Context().charsetName));
    out += "\">\n";
    out += "<TITLE>";
    out += kProductName;
    out += ' ';
    out += kVersionText;
    out += " listing</TITLE>\n";

    out += "<STYLE TYPE=\"text/css\">\n<!--\n";
    out += "BODY{background:" + color(style.pageBackground) + ";}\n";
    out += "TABLE{border-collapse:collapse;border:1px solid black;}\n";
    out += "A{text-decoration:none;color:" + color(style.headerBackground) + ";}\n";
    out += "TD{background-color:" + color(style.evenBackground) + ";color:" + color(style.evenText) + ";" +
           HtmlFontText(style.evenFont) +
           "white-space:nowrap;border:solid #000000;border-top-width:0px;border-right-width:1px;"
           "border-bottom-width:0px;border-left-width:1px;}\n";
    out += ".o{background-color:" + color(style.oddBackground) + ";color:" + color(style.oddText) + ";" +
           HtmlFontText(style.oddFont) + "}\n";
    out += ".p{color:" + color(style.oddText) + ";}\n";
    out += ".q{color:" + color(style.evenText) + ";}\n";
    // Browsers apply only a few properties of a column element to its cells, text-align not among them:
    // the size cells (always the second of a row) are right-aligned by their own rule.
    out += ".r,TD:nth-child(2){text-align:right;}\n";
    out += ".h{background-color:" + color(style.headerBackground) + ";color:" + color(style.headerText) +
           ";text-align:center;" + HtmlFontText(style.headerFont) + "}\n";
    out += ".d{background-color:" + color(style.directoryBackground) +
           ";color:" + color(style.directoryText) + ";border:1px solid #000000;" +
           HtmlFontText(style.directoryFont) + "}\n";
    out += ".a{color:" + color(style.directoryText) + ";}\n";
    // Switched-off columns collapse; "display:none" on a column element would leave its cells showing.
    out += ".i{visibility:collapse;}\n";
    out += "-->\n</STYLE>\n</HEAD>\n<BODY>\n<TABLE>\n";

    // The name column, then one column for each cell after the name.
    out += ColumnElement(columns.Has(Column::Name));
    out += '\n';
    int tableColumns = 1;
    for (const ColumnDef& def : Columns()) {
        if (!HasHtmlColumn(def, columns))
            continue;
        out += ColumnElement(columns.Has(def.column),
                             def.layout == CellLayout::Number ? "<COL class=\"r\">" : "<COL>");
        out += '\n';
        ++tableColumns;
    }

    out += "<tr>\n<td colspan=" + std::to_string(tableColumns) + " class=\"h\">\n";
    AppendHtmlEscaped(out, messages.Get(MSG_GENERATED_ON));
    out += ' ';
    AppendHtmlEscaped(out, Context().timeStamp);
    out += ' ';
    AppendHtmlEscaped(out, messages.Get(MSG_BY));
    out += " <A class=\"h\" HREF=\"";
    out += kHomePageAddress;
    out += "\">";
    out += kProductName;
    out += "</a> ";
    out += kVersionText;
    out += "\n</td>\n</tr>\n";

    m_oddRow = true;
}

void HtmlWriter::FormatDirectoryRow(const DirectoryRow& row, std::string& out) {
    m_oddRow = true;
    out += "<tr><td class=\"d\">";
    const bool link = Options().m_bHtmlLinksToDirs;
    if (link) {
        out += "<a class=\"a\" href=\"";
        AppendHtmlEscaped(out, HtmlLinkTarget(row.linkPath));
        out += "\">";
    }
    if (row[Column::Name])
        AppendHtmlEscaped(out, *row[Column::Name]);
    if (row[Column::Count]) {
        out += ' ';
        out += '(';
        AppendHtmlEscaped(out, *row[Column::Count]);
        out += ')';
    }
    if (link)
        out += "</a>";
    out += "</td>";

    // Version and checksums never apply to directories: their cells stay empty.
    AppendCells(out, "<td class=\"d\">", row, *Context().columns);
    out += "</tr>";
}

void HtmlWriter::FormatFileRow(const FileRow& row, std::string& out) {
    const std::string_view cell = m_oddRow ? "<td class=\"o\">" : "<td>";
    out += "<tr>";
    out += cell;

    const bool link = Options().m_bHtmlLinksToFiles;
    if (link) {
        std::string path(row.linkPath);
        if (row[Column::Name])
            path += *row[Column::Name];
        if (row[Column::Extension]) {
            path += '.';
            path += *row[Column::Extension];
        }
        out += m_oddRow ? "<a class=\"p\" href=\"" : "<a class=\"q\" href=\"";
        AppendHtmlEscaped(out, HtmlLinkTarget(path));
        out += "\">";
    }
    if (row.isDirectory)
        out += "&lt;";
    for (Column part : {Column::Number, Column::Path, Column::Name}) {
        if (row[part])
            AppendHtmlEscaped(out, *row[part]);
    }
    if (row[Column::Extension]) {
        out += '.';
        AppendHtmlEscaped(out, *row[Column::Extension]);
    }
    if (row.isDirectory)
        out += "&gt;";
    if (link)
        out += "</a>";
    out += "</td>";

    AppendCells(out, cell, row, *Context().columns);
    out += "</tr>";
    m_oddRow = !m_oddRow;
}

void HtmlWriter::FormatFooter(std::string& out) {
    out += "</TABLE>\n</BODY>\n</HTML>";
}

} // namespace quillary
