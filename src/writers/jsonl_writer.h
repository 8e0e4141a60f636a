// JSON Lines listings, for programs to read: one JSON object per line. First a header (program,
// version, format version, time stamp, the selection and the options that decide what is listed),
// then one object per folder and per entry with exact sizes in bytes and ISO 8601 times, then the
// problems of the run, each an object of its own, and last a summary. Display formats (size units,
// date formats, column widths, path styles) do not apply: paths are written in full.
#pragma once

#include <cstdint>

#include "writers/listing_writer.h"

namespace quillary {

// The version of the objects' layout, in the header; raised when a field changes its meaning.
inline constexpr int kJsonLinesFormatVersion = 1;

class JsonLinesWriter : public ListingWriter {
public:
    explicit JsonLinesWriter(const WriterContext& context) : ListingWriter(context) {}

    void FormatHeader(const ColumnSet& columns, std::string& out) override;
    void FormatDirectoryRow(const DirectoryRow&, std::string&) override {}
    void FormatFileRow(const FileRow&, std::string&) override {}
    void FormatFooter(std::string&) override {}

    bool TakesFacts() const override { return true; }
    void FormatFolderFacts(const EntryFacts& folder, std::string& out) override;
    void FormatEntryFacts(const EntryFacts& entry, std::string& out) override;
    void FormatRunFacts(const RunFacts& run, std::string& out) override;

private:
    void AppendCommonFields(const EntryFacts& facts, std::string& out);

    std::uint64_t m_folders = 0;
    std::uint64_t m_files = 0;
    std::uint64_t m_bytes = 0;
};

} // namespace quillary
