#include "writers/csv_writer.h"

#include <array>

#include "platform/utf8.h"

namespace quillary {

namespace {

constexpr std::size_t kColumnCount = 11;
constexpr std::array<const char*, kColumnCount> kColumnNames = {
    "NUMBER", "PATH", "NAME", "COUNT", "EXT", "SIZE", "DATE", "TIME", "VERSION", "CRC32", "ATTR"};
enum Column { kNumber, kPath, kName, kCount, kExt, kSize, kDate, kTime, kVersion, kCrc32, kAttr };

std::array<bool, kColumnCount> ActiveColumns(const ColumnSet& c) {
    return {c.number, c.path, c.name, c.count, c.ext, c.size, c.date, c.time, c.version, c.crc32, c.attr};
}

using LineValues = std::array<std::string_view, kColumnCount>;

std::string_view ValueOf(const std::optional<std::string>& field) {
    return field ? std::string_view(*field) : std::string_view();
}

// The values of the active columns, in column order, with the separator between neighbours.
void AppendLine(std::string& out, const ColumnSet& columns, const LineValues& values,
                std::string_view separator) {
    const std::array<bool, kColumnCount> active = ActiveColumns(columns);
    bool first = true;
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        if (!active[i])
            continue;
        if (!first)
            out += separator;
        first = false;
        AppendCsvValue(out, values[i], separator);
    }
}

} // namespace

std::string CsvSeparator(std::string_view option) {
    if (option.empty() || option[0] == '"' || option[0] == '\r' || option[0] == '\n')
        return ";";
    return std::string(option.substr(0, Utf8CharLength(option, 0)));
}

void AppendCsvValue(std::string& out, std::string_view value, std::string_view separator) {
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
    LineValues names;
    for (std::size_t i = 0; i < kColumnCount; ++i)
        names[i] = kColumnNames[i];
    AppendLine(out, columns, names, m_separator);
}

void CsvWriter::FormatDirectoryRow(const DirectoryRow& row, std::string& out) {
    LineValues values;
    values[kName] = row.path;
    if (row.count)
        values[kCount] = *row.count;
    values[kSize] = ValueOf(row.size);
    values[kDate] = ValueOf(row.date);
    values[kTime] = ValueOf(row.time);
    values[kAttr] = ValueOf(row.attributes);
    AppendLine(out, *Context().columns, values, m_separator);
}

void CsvWriter::FormatFileRow(const FileRow& row, std::string& out) {
    // Subdirectory entries show their name in angle brackets, as in the text listing.
    const std::string bracketed = row.isDirectory ? "<" + row.name + ">" : std::string();
    LineValues values;
    values[kNumber] = ValueOf(row.number);
    values[kPath] = ValueOf(row.pathPrefix);
    values[kName] = row.isDirectory ? std::string_view(bracketed) : std::string_view(row.name);
    values[kExt] = ValueOf(row.extension);
    values[kSize] = ValueOf(row.size);
    values[kDate] = ValueOf(row.date);
    values[kTime] = ValueOf(row.time);
    values[kVersion] = ValueOf(row.version);
    values[kCrc32] = ValueOf(row.crc);
    values[kAttr] = ValueOf(row.attributes);
    AppendLine(out, *Context().columns, values, m_separator);
}

void CsvWriter::FormatFooter(std::string&) {}

} // namespace quillary
