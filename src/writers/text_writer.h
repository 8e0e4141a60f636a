// Plain-text listings in fixed-width columns, for reading in a monospaced font.
#pragma once

#include "writers/listing_writer.h"

namespace quillary {

class TextWriter : public ListingWriter {
public:
    explicit TextWriter(const WriterContext& context) : ListingWriter(context, ".txt") {}

    void FormatHeader(const ColumnSet& columns, std::string& out) override;
    void FormatDirectoryRow(const DirectoryRow& row, std::string& out) override;
    void FormatFileRow(const FileRow& row, std::string& out) override;
    void FormatFooter(std::string& out) override;
};

// Column helpers, counting characters (UTF-8 code points) and never cutting inside one. Control
// characters (a newline in a file name) are written as "?" so that every row stays one line.
void AppendLeftAligned(std::string& out, std::string_view text, unsigned width);
void AppendRightAligned(std::string& out, std::string_view text, unsigned width);

} // namespace quillary
