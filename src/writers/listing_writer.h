// The interface between the listing engine and the three output formats. The engine decides what is
// listed and formats every field; a writer only turns the prepared texts of one row into the text of
// its format. A writer never touches a file: the engine adds the line end and writes.
//
// Threading: a writer lives on the run thread for one run and is never shared.
#pragma once

#include <optional>
#include <string>

#include "listing/listing_options.h"
#include "listing/message_table.h"
#include "writers/columns.h"

namespace quillary {

// One directory line, by column: the path (in the chosen path style, ending with the separator) is its
// name cell, with its width; then the count, size, date, time and attributes when they are on.
struct DirectoryRow : Cells {
    std::string linkPath; // the link target of the path (relative paths have no leading separator)
};

// One entry line, a file or a subdirectory listed among the files: the file number ("7. ", absent for
// subdirectory entries), the path, the name (without its extension when that column is on), then the
// other cells of the columns that are on.
struct FileRow : Cells {
    std::string linkPath; // the link target of the containing directory, always present
    bool isDirectory = false;
};

// What every writer may read about the run besides the rows.
struct WriterContext {
    const ListingOptions* options = nullptr;
    const MessageTable* messages = nullptr;
    const ColumnSet* columns = nullptr;
    std::string timeStamp;   // "%Y-%m-%d %H:%M:%S" local time of the run
    bool filesListed = true; // file rows are written at all
    std::string charsetName; // the platform's narrow character set name for HTML ("utf-8" here)
};

class ListingWriter {
public:
    explicit ListingWriter(const WriterContext& context) : m_context(context) {}
    virtual ~ListingWriter() = default;
    ListingWriter(const ListingWriter&) = delete;
    ListingWriter& operator=(const ListingWriter&) = delete;

    // Each call receives an empty string and leaves its text there, without a final line end.
    virtual void FormatHeader(const ColumnSet& columns, std::string& out) = 0;
    virtual void FormatDirectoryRow(const DirectoryRow& row, std::string& out) = 0;
    virtual void FormatFileRow(const FileRow& row, std::string& out) = 0;
    virtual void FormatFooter(std::string& out) = 0;

protected:
    const WriterContext& Context() const { return m_context; }
    const ListingOptions& Options() const { return *m_context.options; }

private:
    const WriterContext& m_context;
};

} // namespace quillary
