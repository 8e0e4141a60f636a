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

// False for a kind that names no time: the row then shows none.
template <typename Record> bool ChosenTime(const Record& record, TimeKind kind, std::int64_t& t) {
    switch (kind) {
    case TimeKind::Creation:
        t = record.creationTime;
        return true;
    case TimeKind::LastWrite:
        t = record.lastWriteTime;
        return true;
    case TimeKind::LastAccess:
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

// A digest in lower-case hexadecimal digits, or as many spaces when it is not known.
void AssignHex(std::optional<std::string>& field, const unsigned char* bytes, std::size_t size, bool known) {
    static constexpr char kDigits[] = "0123456789abcdef";
    if (!field)
        field.emplace();
    field->assign(size * 2, ' ');
    for (std::size_t i = 0; known && i < size; ++i) {
        (*field)[2 * i] = kDigits[bytes[i] >> 4];
        (*field)[2 * i + 1] = kDigits[bytes[i] & 0xF];
    }
}

} // namespace

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
    for (const ColumnDef& def : Columns()) {
        if (def.dirWidth != nullptr)
            row.Width(def.column) = Width(o.*def.dirWidth);
    }
    const std::string& path = row[Column::Name].emplace(
        ApplyPathStyle(DirectoryPathText(dir.first), o.m_pathStyle, record.rootPrefixLen));
    row.linkPath = LinkPathFor(path, o.m_pathStyle);
    if (o.m_bFileCountInDirName)
        row[Column::Count] = FormatCount(record.fileCount, m_formats.numberFormat);
    if (o.m_bDirSize)
        row[Column::Size] =
            FormatSize(record.totalSize, o.m_sizeDisplay, o.m_nSizePrecision, m_formats.numberFormat);
    if (o.m_bDirDate)
        row[Column::Date].emplace();
    if (o.m_bDirTime)
        row[Column::Time].emplace();
    std::int64_t t = 0;
    // A root folder has no date or time of its own: blanks as wide as them.
    if (ChosenTime(record, o.m_dateTimeKind, t))
        FormatTimes(t, kNativePaths.IsRootKey(dir.first), m_formats.dirDateFormat, m_formats.dirTimeFormat,
                    row[Column::Date], row[Column::Time]);
    if (o.m_bDirAttributes)
        row[Column::Attributes] = record.attributes;
}

void RowBuilder::BuildFileRow(const FileRecord& entry, std::uint64_t number, FileRow& row) {
    const ListingOptions& o = m_options;
    const DirMapEntry& dir = *entry.parent;
    if (&dir != m_pathDir) {
        m_pathDir = &dir;
        m_dirPath = ApplyPathStyle(DirectoryPathText(dir.first), o.m_pathStyle, dir.second.rootPrefixLen);
        m_linkPath = LinkPathFor(m_dirPath, o.m_pathStyle);
    }
    for (const ColumnDef& def : Columns()) {
        if (def.fileWidth != nullptr)
            row.Width(def.column) = Width(o.*def.fileWidth);
    }
    row.isDirectory = entry.isDirectory;
    if (o.m_bFileNumber && !entry.isDirectory)
        AssignField(row[Column::Number],
                    FormatSize(number, SizeDisplay::Bytes, 0, m_formats.numberFormat) + ". ");
    else
        row[Column::Number].reset();
    row.linkPath = m_linkPath;
    if (o.m_bFilePath)
        AssignField(row[Column::Path], m_dirPath);
    if (o.m_bFileExtension && entry.HasExtension())
        AssignField(row[Column::Extension], entry.Extension());
    else
        row[Column::Extension].reset();
    AssignField(row[Column::Name], o.m_bFileExtension ? entry.BaseName() : std::string_view(entry.name));
    if (o.m_bFileSize) {
        if (entry.isDirectory)
            AssignField(row[Column::Size], "<DIR>");
        else
            AssignField(row[Column::Size],
                        FormatSize(entry.size, o.m_sizeDisplay, o.m_nSizePrecision, m_formats.numberFormat));
    }
    if (o.m_bFileDate)
        AssignField(row[Column::Date], "");
    if (o.m_bFileTime)
        AssignField(row[Column::Time], "");
    std::int64_t t = 0;
    if (ChosenTime(entry, o.m_dateTimeKind, t))
        FormatTimes(t, false, m_formats.fileDateFormat, m_formats.fileTimeFormat, row[Column::Date],
                    row[Column::Time]);
    if (o.m_bFileVersion)
        AssignField(row[Column::Version],
                    entry.isDirectory ? std::string_view() : std::string_view(entry.version));
    if (o.m_bFileCrc32) {
        // Only a checksum that was really computed is shown: anything else gets an empty cell.
        char hex[9] = "        ";
        if (entry.hashesKnown & kHashCrc32)
            std::snprintf(hex, sizeof hex, "%08x", entry.crc);
        AssignField(row[Column::Crc32], std::string_view(hex, 8));
    }
    if (o.m_bFileXxh3) {
        unsigned char bytes[8] = {};
        const bool known = (entry.hashesKnown & kHashXxh3) && entry.strong;
        for (int i = 0; known && i < 8; ++i)
            bytes[i] = static_cast<unsigned char>(entry.strong->xxh3 >> (56 - 8 * i));
        AssignHex(row[Column::Xxh3], bytes, sizeof bytes, known);
    }
    if (o.m_bFileSha256) {
        const bool known = (entry.hashesKnown & kHashSha256) && entry.strong;
        AssignHex(row[Column::Sha256], known ? entry.strong->sha256.data() : nullptr, 32, known);
    }
    if (o.m_bFileAttributes)
        AssignField(row[Column::Attributes], std::string_view(entry.attributes, 5));
}

} // namespace quillary
