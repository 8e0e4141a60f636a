#include "writers/csv_writer.h"

#include "platform/utf8.h"

namespace quillary {

namespace {

std::string_view ValueOf(const std::optional<std::string>& field) {
    return field ? std::string_view(*field) : std::string_view();
}

// The values of the active columns, in column order, with the separator between neighbours; `name`
// stands for the name cell.
void AppendLine(std::string& out, const ColumnSet& columns, const Cells& row, std::string_view name,
                std::string_view separator, bool formulaGuard) {
    bool first = true;
    for (const ColumnDef& def : Columns()) {
        if (!columns.Has(def.column))
            continue;
        if (!first)
            out += separator;
        first = false;
        AppendCsvValue(out, def.column == Column::Name ? name : ValueOf(row[def.column]), separator,
                       formulaGuard);
    }
}

} // namespace

std::string CsvSeparator(std::string_view option) {
    if (option.empty() || option[0] == '"' || option[0] == '\r' || option[0] == '\n')
        return ";";
    return std::string(option.substr(0, Utf8CharLength(option, 0)));
}

void AppendCsvValue(std::string& out, std::string_view value, std::string_view separator, bool formulaGuard) {
    std::string guarded;
    if (formulaGuard && !value.empty() &&
        std::string_view("=+-@\t\r").find(value[0]) != std::string_view::npos) {
        guarded = std::string("'").append(value);
        value = guarded;
    }
    const bool quoted = value.find(separator) != std::string_view::npos ||
                        value.find_first_of("\"\r\n") != std::string_view::npos;
    if (!quoted) {
        out += value;
        return;
    }
    out += '"';
    for (const char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void CsvWriter::FormatHeader(const ColumnSet& columns, std::string& out) {
    if (!Options().m_bCsvColumnNames)
        return;
    bool first = true;
    for (const ColumnDef& def : Columns()) {
        if (!columns.Has(def.column))
            continue;
        if (!first)
            out += m_separator;
        first = false;
        AppendCsvValue(out, def.csvName, m_separator);
    }
}

void CsvWriter::FormatDirectoryRow(const DirectoryRow& row, std::string& out) {
    AppendLine(out, *Context().columns, row, ValueOf(row[Column::Name]), m_separator, m_formulaGuard);
}

void CsvWriter::FormatFileRow(const FileRow& row, std::string& out) {
    // Subdirectory entries show their name in angle brackets, as in the text listing.
    const std::string_view name = ValueOf(row[Column::Name]);
    const std::string bracketed = row.isDirectory ? std::string("<").append(name).append(">") : std::string();
    AppendLine(out, *Context().columns, row, row.isDirectory ? std::string_view(bracketed) : name,
               m_separator, m_formulaGuard);
}

std::string_view CsvWriter::Preamble() const {
    return Options().m_bCsvByteOrderMark ? std::string_view("\xEF\xBB\xBF") : std::string_view();
}

void CsvWriter::FormatFooter(std::string&) {}

} // namespace quillary
