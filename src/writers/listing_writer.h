// The interface between the listing engine and the output formats. The engine decides what is
// listed and formats every field; a writer only turns the prepared texts of one row into the text of
// its format. A writer never touches a file: the engine adds the line end and writes.
//
// Threading: a writer serves one run on one thread and is never shared; a run may make several writers
// of a type that FormatsRowsAlone, one for each thread that formats rows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "listing/listing_options.h"
#include "listing/message_table.h"
#include "writers/columns.h"

namespace quillary {

// One directory line, by column: the path (in the chosen path style, ending with the separator) is its
// name cell, with its width; then the count, size, date, time and attributes when they are on.
struct DirectoryRow : Cells {
    std::string linkPath; // the link target of the path (relative paths have no leading separator), when
                          // the writer TakesLinks
    // The exact values behind the size and the date and time cells, for writers that sort by them: the
    // total of the listed files in and below the folder, and the chosen time (absent when none is).
    std::uint64_t size = 0;
    std::optional<std::int64_t> time;
};

// One entry line, a file or a subdirectory listed among the files: the file number ("7. ", absent for
// subdirectory entries), the path, the name (without its extension when that column is on), then the
// other cells of the columns that are on.
struct FileRow : Cells {
    std::string linkPath; // the link target of the containing directory, always present when the writer
                          // TakesLinks
    bool isDirectory = false;
    std::uint64_t size = 0;           // the exact size in bytes
    std::optional<std::int64_t> time; // the chosen time, seconds since 1970 (absent when none is)
};

// A folder or an entry as it is, for a writer of machine-readable listings: exact bytes and times
// instead of display texts.
struct EntryFacts {
    enum class Kind { Folder, File, Subfolder }; // a folder line, a file, a subfolder among the entries
    Kind kind = Kind::File;
    std::string_view path; // the full path as the file system gave it
    std::string_view name;
    std::string_view extension;
    std::uint64_t size = 0;      // a folder's: the total of the listed files in and below it
    std::uint32_t fileCount = 0; // a folder's listed files directly in it
    std::int64_t created = 0;
    std::int64_t accessed = 0;
    std::int64_t modified = 0;
    std::string_view attributes;
    // Each checksum whose column is on: its lowercase hexadecimal digits, "" when it could not be read.
    std::optional<std::string> crc32, xxh3, sha256;
    std::optional<std::string_view> version; // absent when the column is off
};

// A problem of the run (a folder that could not be read, ...), for the summary of such a listing.
struct ProblemFacts {
    std::string_view kind; // a short word: "folder-unreadable", "checksum-unreadable", ...
    std::string_view path;
    std::string_view reason;
};

struct RunFacts {
    std::span<const ProblemFacts> problems;
    bool cancelled = false;
};

// What every writer may read about the run besides the rows.
struct WriterContext {
    const ListingOptions* options = nullptr;
    const MessageTable* messages = nullptr;
    const ColumnSet* columns = nullptr;
    std::string timeStamp;   // "%Y-%m-%d %H:%M:%S" local time of the run
    bool filesListed = true; // file rows are written at all
    std::string charsetName; // the platform's narrow character set name for HTML ("utf-8" here)
    std::int64_t time = 0;   // the header's time stamp, seconds since 1970
    const std::vector<std::string>* selection = nullptr; // "3|path" or "2|path", as the run got them
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
    // What starts every file of this type before its first line (a byte-order mark); "" for none.
    virtual std::string_view Preamble() const { return {}; }
    // False for a writer that never reads the rows' link targets, which then are not made (a path may
    // be long).
    virtual bool TakesLinks() const { return true; }
    // True for a writer whose row texts depend on the row alone (no count or alternation from row to
    // row): the run may then format rows with several writers of this type at once and write their texts
    // in order.
    virtual bool FormatsRowsAlone() const { return false; }

    // A writer of machine-readable listings takes the facts instead of the rows: the engine then calls
    // the three calls below in place of FormatDirectoryRow, FormatFileRow and FormatFooter.
    virtual bool TakesFacts() const { return false; }
    virtual void FormatFolderFacts(const EntryFacts&, std::string&) {}
    virtual void FormatEntryFacts(const EntryFacts&, std::string&) {}
    virtual void FormatRunFacts(const RunFacts&, std::string&) {}

protected:
    const WriterContext& Context() const { return m_context; }
    const ListingOptions& Options() const { return *m_context.options; }

private:
    const WriterContext& m_context;
};

} // namespace quillary
