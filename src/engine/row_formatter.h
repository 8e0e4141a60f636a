// The text of a listing's lines: a folder's line and the lines of its entries, each ending with "\n",
// made by the row builder and a writer (or the facts for a writer that takes them). It reads nothing
// from the disk: versions and checksums are read into the records before their rows are made.
//
// Threading: one formatter is used by one thread at a time. Several formatters may format rows of one
// run at once, each with a writer of its own, when the writer's rows depend on the row alone
// (ListingWriter::FormatsRowsAlone).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "engine/folder_tree.h"
#include "engine/records.h"
#include "engine/row_builder.h"
#include "listing/listing_options.h"
#include "writers/listing_writer.h"

namespace quillary {

class RowFormatter {
public:
    RowFormatter(const ListingOptions& options, ListingWriter& writer);
    RowFormatter(const RowFormatter&) = delete;
    RowFormatter& operator=(const RowFormatter&) = delete;

    // Appends the folder's line.
    void AppendFolder(const DirRecord& dir, std::string& out);
    // Appends the lines of `entries`, given in the order they are listed (subfolder entries are left
    // out unless they are listed), files numbered from `firstNumber` on. `details` (when set) is called
    // for each listed entry before its row is made; `flush` (when set) is handed `out` whenever it holds
    // kFlushSize bytes or more, and `out` is cleared after.
    void AppendEntries(std::span<FileRecord* const> entries, std::string& out,
                       const std::function<void(FileRecord&)>& details = {}, std::uint64_t firstNumber = 1,
                       const std::function<void(std::string&)>& flush = {});

    static constexpr std::size_t kFlushSize = 64 * 1024;

    // The paths of the folders this formatter was asked for, made one after another (folder_tree.h).
    FolderPath& Paths() { return m_paths; }

private:
    void AppendEntryFacts(const FileRecord& entry, std::string& out);

    const ListingOptions& m_options;
    ListingWriter& m_writer;
    RowBuilder m_rows;
    FolderPath m_paths;
    FileRow m_row;
    std::string m_text;
};

} // namespace quillary
