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

namespace quillary {

// The eleven column flags of a run, in their fixed order (also the CSV column order).
struct ColumnSet {
    bool number = false;
    bool path = false;
    bool name = true;
    bool count = false;
    bool ext = false;
    bool size = false;
    bool date = false;
    bool time = false;
    bool version = false;
    bool crc32 = false;
    bool attr = false;
};

// One directory line. An absent optional means the column is switched off.
struct DirectoryRow {
    std::string path;                 // in the chosen path style, ending with the separator
    std::string linkPath;             // the link target of `path` (relative paths have no leading separator)
    std::optional<std::string> count; // the file count, grouped, without brackets
    unsigned pathWidth = 0;
    std::optional<std::string> size;
    unsigned sizeWidth = 0;
    std::optional<std::string> date;
    std::optional<std::string> time;
    std::optional<std::string> attributes;
};

// One entry line: a file, or a subdirectory listed among the files.
struct FileRow {
    std::optional<std::string> number; // "7. " for files; absent for subdirectory entries
    std::optional<std::string> pathPrefix;
    std::string name;
    std::optional<std::string> extension;
    unsigned nameWidth = 0;
    std::string linkPath; // the link target of the containing directory, always present
    std::optional<std::string> size;
    unsigned sizeWidth = 0;
    std::optional<std::string> date;
    std::optional<std::string> time;
    std::optional<std::string> version;
    unsigned versionWidth = 0;
    std::optional<std::string> crc;
    std::optional<std::string> attributes;
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
