// CSV listings: one line per directory and per entry with the values of the active columns, joined by
// the separator the user chose, optionally after a line of column names. Values are quoted the RFC 4180
// way, so any name reads back as it was. For spreadsheets, the file may start with a UTF-8 byte-order
// mark, and cells that a spreadsheet would run as a formula may be guarded with a leading "'".
#pragma once

#include <string>
#include <string_view>

#include "writers/listing_writer.h"

namespace quillary {

// The separator of a run: the first character of the separator option, or ";" when the option is empty
// or holds a character that cannot separate values (a double quote, CR or LF).
std::string CsvSeparator(std::string_view option);

class CsvWriter : public ListingWriter {
public:
    explicit CsvWriter(const WriterContext& context)
        : ListingWriter(context), m_separator(CsvSeparator(context.options->m_strCsvSeparator)),
          m_formulaGuard(context.options->m_bCsvFormulaGuard) {}

    std::string_view Preamble() const override;
    bool TakesLinks() const override { return false; }
    bool FormatsRowsAlone() const override { return true; }

    void FormatHeader(const ColumnSet& columns, std::string& out) override;
    void FormatDirectoryRow(const DirectoryRow& row, std::string& out) override;
    void FormatFileRow(const FileRow& row, std::string& out) override;
    void FormatFooter(std::string& out) override;

private:
    std::string m_separator; // settled once for the run
    bool m_formulaGuard;
};

// Appends a value, in double quotes with its own double quotes doubled when it contains the separator,
// a double quote, CR or LF. With `formulaGuard`, a value that starts with "=", "+", "-", "@", a tab or
// a CR gets a "'" in front, so that a spreadsheet shows it as text instead of running it.
void AppendCsvValue(std::string& out, std::string_view value, std::string_view separator,
                    bool formulaGuard = false);

} // namespace quillary
