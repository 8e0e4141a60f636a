#include "writers/browsable_html_writer.h"

#include <algorithm>
#include <cstring>

#include "listing/product.h"
#include "platform/hashes.h"
#include "platform/path_syntax.h"
#include "platform/utf8.h"
#include "writers/html_writer.h"
#include "writers/json_text.h"

namespace quillary {

namespace {

// How the page compares a column's values when it sorts by it.
std::string_view ColumnKind(Column column) {
    switch (column) {
    case Column::Number:
        return "number";
    case Column::Size:
        return "size";
    case Column::Date:
    case Column::Time:
        return "time";
    default:
        return "text";
    }
}

std::string Base64(const unsigned char* bytes, std::size_t size) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < size; i += 3) {
        const std::uint32_t group = (std::uint32_t{bytes[i]} << 16) |
                                    (i + 1 < size ? std::uint32_t{bytes[i + 1]} << 8 : 0) |
                                    (i + 2 < size ? std::uint32_t{bytes[i + 2]} : 0);
        text += kDigits[(group >> 18) & 63];
        text += kDigits[(group >> 12) & 63];
        text += i + 1 < size ? kDigits[(group >> 6) & 63] : '=';
        text += i + 2 < size ? kDigits[group & 63] : '=';
    }
    return text;
}

// The script-src source that allows exactly the page's own script: its SHA-256, or every inline
// script where the system's hash provider failed.
std::string ScriptSource() {
    Sha256Hasher hasher;
    hasher.Update(kBrowseScript, std::strlen(kBrowseScript));
    const Sha256Digest digest = hasher.Digest();
    if (hasher.Failed())
        return "'unsafe-inline'";
    return "'sha256-" + Base64(digest.data(), digest.size()) + "'";
}

void AppendCellValue(std::string& out, const std::optional<std::string>& cell) {
    AppendScriptJsonString(out, cell ? std::string_view(*cell) : std::string_view());
}

// Columns whose texts repeat from entry to entry (a folder's path, extensions, dates, times,
// versions, attributes): written once into the table of texts and referred to by number.
bool RepeatsOften(Column column) {
    switch (column) {
    case Column::Path:
    case Column::Extension:
    case Column::Date:
    case Column::Time:
    case Column::Version:
    case Column::Attributes:
        return true;
    default:
        return false;
    }
}

} // namespace

void AppendScriptJsonString(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    AppendJsonString(out, text);
    const std::string_view added = std::string_view(out).substr(start);
    const auto special = [](char c) { return c == '<' || c == '>' || c == '&' || (c & 0x80) != 0; };
    if (std::none_of(added.begin(), added.end(), special))
        return;
    // The JSON text is valid UTF-8 by now (AppendJsonString replaced the invalid bytes).
    std::string escaped;
    escaped.reserve(added.size() + 32);
    const auto escape = [&escaped](char32_t unit) {
        static constexpr char kDigits[] = "0123456789abcdef";
        escaped += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4)
            escaped += kDigits[(unit >> shift) & 0xF];
    };
    for (std::size_t pos = 0; pos < added.size();) {
        const char c = added[pos];
        if (!special(c)) {
            escaped += c;
            ++pos;
            continue;
        }
        const char32_t code = DecodeUtf8(added, pos);
        if (code >= 0x10000) {
            escape(0xD800 + ((code - 0x10000) >> 10));
            escape(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            escape(code);
        }
    }
    out.resize(start);
    out += escaped;
}

void BrowsableHtmlWriter::FormatHeader(const ColumnSet& columns, std::string& out) {
    // The count belongs to folder lines, which the page shows in its tree and above the table.
    std::vector<Column> shown;
    for (const ColumnDef& def : Columns()) {
        if (columns.Has(def.column) && def.column != Column::Count)
            shown.push_back(def.column);
    }
    // An entry holds the name first and the extension next, so the page reads them for its search
    // without parsing the rest; then the other columns in their order.
    m_columns.clear();
    for (Column first : {Column::Name, Column::Extension}) {
        if (std::find(shown.begin(), shown.end(), first) != shown.end())
            m_columns.push_back(first);
    }
    for (Column column : shown) {
        if (column != Column::Name && column != Column::Extension)
            m_columns.push_back(column);
    }
    const MessageTable& messages = *Context().messages;
    std::string caption = messages.Get(MSG_GENERATED_ON);
    caption += ' ';
    caption += Context().timeStamp;
    caption += ' ';
    caption += messages.Get(MSG_BY);
    caption += ' ';
    caption += kProductName;
    caption += ' ';
    caption += kVersionText;

    out += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n";
    out += "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src "
           "'unsafe-inline'; script-src ";
    out += ScriptSource();
    out += "\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    out += kProductName;
    out += ' ';
    out += kVersionText;
    out += " listing</title>\n<style>\n";
    out += kBrowseStyle;
    out += "</style>\n</head>\n<body>\n";
    out += "<header><span id=\"q-caption\">";
    AppendHtmlEscaped(out, caption);
    out += "</span><input id=\"q-search\" type=\"search\" placeholder=\"Name: * and ? as in masks\" "
           "aria-label=\"Search by name\"><span id=\"q-count\"></span></header>\n";
    out += "<main><nav id=\"q-tree\" aria-label=\"Folders\"></nav><section id=\"q-files\">"
           "<div id=\"q-folder\">Reading the listing... (it needs a current web browser with "
           "JavaScript)</div><div id=\"q-scroll\" tabindex=\"0\"><div id=\"q-head\"></div>"
           "<div id=\"q-spacer\"></div><div id=\"q-rows\"></div></div></section></main>\n";
    out += "<noscript>This listing needs JavaScript.</noscript>\n";

    out += "<script type=\"application/json\" id=\"q-meta\">{\"format\":1,\"caption\":";
    AppendScriptJsonString(out, caption);
    out += ",\"separator\":";
    AppendScriptJsonString(out, std::string_view(&kPathSeparator, 1));
    out += ",\"columns\":[";
    for (std::size_t i = 0; i < shown.size(); ++i) {
        out += i == 0 ? "{\"name\":" : ",{\"name\":";
        AppendScriptJsonString(out, ColumnRow(shown[i]).csvName);
        out += ",\"kind\":\"";
        out += ColumnKind(shown[i]);
        out += "\"}";
    }
    out += "]}</script>\n<script type=\"application/json\" id=\"q-data\">[";
}

void BrowsableHtmlWriter::AppendExact(std::uint64_t size, const std::optional<std::int64_t>& time,
                                      std::string& out) const {
    out += ',';
    out += std::to_string(size);
    out += ',';
    out += time ? std::to_string(*time) : std::string("null");
    out += "],";
}

void BrowsableHtmlWriter::FormatDirectoryRow(const DirectoryRow& row, std::string& out) {
    const std::uint32_t folder = m_nextFolder++;
    m_folders[row.linkPath] = folder;
    m_haveLast = false;
    out += "[0,";
    out += std::to_string(folder);
    for (Column column :
         {Column::Name, Column::Count, Column::Size, Column::Date, Column::Time, Column::Attributes}) {
        out += ',';
        AppendCellValue(out, row[column]);
    }
    AppendExact(row.size, row.time, out);
}

void BrowsableHtmlWriter::FormatFileRow(const FileRow& row, std::string& out) {
    if (!m_haveLast || row.linkPath != m_lastLink) {
        const auto [at, added] = m_folders.try_emplace(row.linkPath, m_nextFolder);
        if (added) {
            ++m_nextFolder;
            // The folder's path as folder lines show it: the path column's text when it is on, else
            // made from the link path (which drops the leading separator of paths from the top folder).
            std::string path = row[Column::Path] ? *row[Column::Path] : row.linkPath;
            if (!row[Column::Path] && Options().m_pathStyle == PathStyle::FromTopChecked && !path.empty())
                path.insert(path.begin(), kPathSeparator);
            m_entryFolders.emplace_back(at->second, std::move(path));
        }
        m_lastLink = row.linkPath;
        m_lastFolder = at->second;
        m_haveLast = true;
    }
    out += row.isDirectory ? "[2," : "[1,";
    out += std::to_string(m_lastFolder);
    for (Column column : m_columns) {
        out += ',';
        const std::optional<std::string>& cell = row[column];
        if (RepeatsOften(column) || (column == Column::Size && row.isDirectory)) {
            const std::string_view text = cell ? std::string_view(*cell) : std::string_view();
            const auto [at, added] =
                m_texts.try_emplace(std::string(text), static_cast<std::uint32_t>(m_texts.size()));
            if (added)
                m_textOrder.push_back(&at->first);
            out += std::to_string(at->second);
        } else {
            AppendCellValue(out, cell);
        }
    }
    AppendExact(row.size, row.time, out);
}

void BrowsableHtmlWriter::FormatFooter(std::string& out) {
    out += "null]</script>\n<script type=\"application/json\" id=\"q-folders\">[";
    for (std::size_t i = 0; i < m_entryFolders.size(); ++i) {
        out += i == 0 ? "[" : ",[";
        out += std::to_string(m_entryFolders[i].first);
        out += ',';
        AppendScriptJsonString(out, m_entryFolders[i].second);
        out += ']';
    }
    out += "]</script>\n<script type=\"application/json\" id=\"q-texts\">[";
    for (std::size_t i = 0; i < m_textOrder.size(); ++i) {
        if (i > 0)
            out += ',';
        AppendScriptJsonString(out, *m_textOrder[i]);
    }
    out += "]</script>\n<script>";
    out += kBrowseScript;
    out += "</script>\n</body>\n</html>";
}

} // namespace quillary
