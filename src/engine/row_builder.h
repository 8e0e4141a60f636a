// Rows from scanned records: the display text of every field of a directory line or an entry line, by
// the run's options (path style, sizes and counts, dates and times, the name split at its extension,
// version, checksum and attribute cells). It reads nothing from the disk: the run computes checksums and
// versions into the records before it asks for their rows.
//
// Threading: one builder serves one run on the run thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/field_format.h"
#include "engine/folder_tree.h"
#include "engine/records.h"
#include "listing/listing_options.h"
#include "platform/local_time.h"
#include "writers/listing_writer.h"

namespace quillary {

// Appends the checksum `which` (one of kHashCrc32, kHashXxh3, kHashSha256) of `entry` in lower-case
// hexadecimal digits (8, 16 or 64 of them); appends nothing when the record does not hold it.
void AppendChecksumDigits(const FileRecord& entry, HashSet which, std::string& out);

class RowBuilder {
public:
    // `links`: the rows carry their link targets.
    RowBuilder(const ListingOptions& options, bool links);
    RowBuilder(const RowBuilder&) = delete;
    RowBuilder& operator=(const RowBuilder&) = delete;

    // `path` is the folder's path (folder_tree.h).
    void BuildDirectoryRow(const DirRecord& dir, const std::string& path, DirectoryRow& row);
    // Fills `row` for one entry; its folder's path is asked of `paths` only when the row shows it or
    // links to it. `number` is a file's place in its list (counted from 1), shown when numbering is on.
    // The row may be the one built for the previous entry: its strings are assigned into, which keeps
    // their buffers, so long paths are not allocated again for every file.
    void BuildFileRow(const FileRecord& entry, FolderPath& paths, std::uint64_t number, FileRow& row);

private:
    void FormatTimes(std::int64_t t, bool blank, const std::string& dateFormat, const std::string& timeFormat,
                     std::optional<std::string>& date, std::optional<std::string>& time);

    const ListingOptions& m_options;
    FieldFormats m_formats;
    LocalTimeCache m_timeCache;
    const DirRecord* m_pathDir = nullptr; // the directory m_dirPath and m_linkPath were made for
    bool m_links;
    std::string m_dirPath, m_linkPath;
};

} // namespace quillary
