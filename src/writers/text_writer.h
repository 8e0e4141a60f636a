// Plain-text listings in fixed-width columns, for reading in a monospaced font.
#pragma once

#include "writers/listing_writer.h"

namespace quillary {

class TextWriter : public ListingWriter {
public:
    explicit TextWriter(const WriterContext& context) : ListingWriter(context) {}

    void FormatHeader(const ColumnSet& columns, std::string& out) override;
    void FormatDirectoryRow(const DirectoryRow& row, std::string& out) override;
    void FormatFileRow(const FileRow& row, std::string& out) override;
    void FormatFooter(std::string& out) override;
    bool TakesLinks() const override { return false; }
    bool FormatsRowsAlone() const override { return true; }
};

// Column helpers, counting display columns (a CJK character takes two, a combining mark none) and
// never cutting inside a character. Control characters (a newline or an escape in a file name) are
// written as "?" so that every row stays one line and a terminal showing it does not act on it.
// Texts are cut to their column; AppendNumber never cuts (a size shown in part reads as another
// size), a number wider than its column makes the row longer.
void AppendLeftAligned(std::string& out, std::string_view text, unsigned width);
void AppendRightAligned(std::string& out, std::string_view text, unsigned width);
void AppendNumber(std::string& out, std::string_view text, unsigned width);

} // namespace quillary
