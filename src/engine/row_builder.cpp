#include "engine/row_builder.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/path_syntax.h"

namespace quillary {

namespace {

// The directory path as rows show it: the map key followed by the separator.
std::string DirectoryPathText(const std::string& key) {
    return key + kPathSeparator;
}

template <typename Record> bool ChosenTime(const Record& record, int kind, std::int64_t& t) {
    switch (kind) {
    case 0:
        t = record.creationTime;
        return true;
    case 1:
        t = record.lastWriteTime;
        return true;
    case 2:
        t = record.lastAccessTime;
        return true;
    default:
        return false;
    }
}

void AssignField(std::optional<std::string>& field, std::string_view value) {
    if (field)
        field->assign(value);
    else
        field.emplace(value);
}

unsigned Width(int option) {
    return static_cast<unsigned>(std::max(0, option));
}

} // namespace

ColumnSet ColumnsFor(const ListingOptions& o) {
    ColumnSet columns;
    columns.number = o.m_bFileNumber;
    columns.path = o.m_bFilePath;
    columns.name = true;
    columns.count = o.m_bFileCountInDirName;
    columns.ext = o.m_bFileExtension;
    columns.size = o.m_bDirSize || o.m_bFileSize;
    columns.date = o.m_bDirDate || o.m_bFileDate;
    columns.time = o.m_bDirTime || o.m_bFileTime;
    columns.version = o.m_bFileVersion;
    columns.crc32 = o.m_bFileCrc32;
    columns.attr = o.m_bDirAttributes || o.m_bFileAttributes;
    return columns;
}

RowBuilder::RowBuilder(const ListingOptions& options)
    : m_options(options), m_formats(DeriveFieldFormats(options)) {}

void RowBuilder::FormatTimes(std::int64_t t, bool blank, const std::string& dateFormat,
                             const std::string& timeFormat, std::optional<std::string>& date,
                             std::optional<std::string>& time) {
    LocalTime local;
    // A time outside the calendar is shown blank, as wide as a date and time would be.
    if (!m_timeCache.Convert(t, local)) {
        local = LocalTime{};
        blank = true;
    }
    if (date)
        *date = FormatLocalTime(local, dateFormat);
    if (time)
        *time = FormatLocalTime(local, timeFormat);
    if (blank) {
        if (date)
            date->assign(date->size(), ' ');
        if (time)
            time->assign(time->size(), ' ');
    }
}

void RowBuilder::BuildDirectoryRow(const DirMapEntry& dir, DirectoryRow& row) {
    const ListingOptions& o = m_options;
    const DirRecord& record = dir.second;
    row = DirectoryRow{};
    row.path = ApplyPathStyle(DirectoryPathText(dir.first), o.m_nPathStyle, record.rootPrefixLen);
    row.linkPath = LinkPathFor(row.path, o.m_nPathStyle);
    if (o.m_bFileCountInDirName)
        row.count = FormatCount(record.fileCount, m_formats.numberFormat);
    row.pathWidth = Width(o.m_nDirNameWidth);
    if (o.m_bDirSize)
        row.size = FormatSize(record.totalSize, o.m_nSizeDisplay, o.m_nSizePrecision, m_formats.numberFormat);
    row.sizeWidth = Width(o.m_nDirSizeWidth);
    if (o.m_bDirDate)
        row.date.emplace();
    if (o.m_bDirTime)
        row.time.emplace();
    std::int64_t t = 0;
    // A root folder has no date or time of its own: blanks as wide as them.
    if (ChosenTime(record, o.m_nDateTimeKind, t))
        FormatTimes(t, kNativePaths.IsRootKey(dir.first), m_formats.dirDateFormat, m_formats.dirTimeFormat,
                    row.date, row.time);
    if (o.m_bDirAttributes)
        row.attributes = record.attributes;
}

void RowBuilder::BuildFileRow(const FileRecord& entry, std::uint64_t number, FileRow& row) {
    const ListingOptions& o = m_options;
    const DirMapEntry& dir = *entry.parent;
    if (&dir != m_pathDir) {
        m_pathDir = &dir;
        m_dirPath = ApplyPathStyle(DirectoryPathText(dir.first), o.m_nPathStyle, dir.second.rootPrefixLen);
        m_linkPath = LinkPathFor(m_dirPath, o.m_nPathStyle);
    }
    row.isDirectory = entry.isDirectory;
    if (o.m_bFileNumber && !entry.isDirectory)
        AssignField(row.number, FormatSize(number, kSizeBytes, 0, m_formats.numberFormat) + ". ");
    else
        row.number.reset();
    row.linkPath = m_linkPath;
    if (o.m_bFilePath)
        AssignField(row.pathPrefix, m_dirPath);
    if (o.m_bFileExtension && entry.HasExtension())
        AssignField(row.extension, entry.Extension());
    else
        row.extension.reset();
    row.name = o.m_bFileExtension ? entry.BaseName() : std::string_view(entry.name);
    row.nameWidth = Width(o.m_nFileNameWidth);
    if (o.m_bFileSize) {
        if (entry.isDirectory)
            AssignField(row.size, "<DIR>");
        else
            AssignField(row.size,
                        FormatSize(entry.size, o.m_nSizeDisplay, o.m_nSizePrecision, m_formats.numberFormat));
        row.sizeWidth = Width(o.m_nFileSizeWidth);
    }
    if (o.m_bFileDate)
        AssignField(row.date, "");
    if (o.m_bFileTime)
        AssignField(row.time, "");
    std::int64_t t = 0;
    if (ChosenTime(entry, o.m_nDateTimeKind, t))
        FormatTimes(t, false, m_formats.fileDateFormat, m_formats.fileTimeFormat, row.date, row.time);
    if (o.m_bFileVersion) {
        AssignField(row.version, entry.isDirectory ? std::string_view() : std::string_view(entry.version));
        row.versionWidth = Width(o.m_nFileVersionWidth);
    }
    if (o.m_bFileCrc32) {
        // Only a checksum that was really computed is shown: anything else gets an empty cell.
        char hex[9] = "        ";
        if (entry.crcKnown)
            std::snprintf(hex, sizeof hex, "%08x", entry.crc);
        AssignField(row.crc, std::string_view(hex, 8));
    }
    if (o.m_bFileAttributes)
        AssignField(row.attributes, std::string_view(entry.attributes, 5));
}

} // namespace quillary
