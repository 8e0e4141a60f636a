#include "engine/row_builder.h"

#include <algorithm>
#include <string_view>

#include "platform/path_syntax.h"

namespace quillary {

namespace {

// The directory path as rows show it, the path followed by the separator in the chosen style, made in
// `out` with a single copy of the path (which may be long).
void AssignDirectoryPath(const std::string& path, PathStyle style, std::size_t rootPrefixLen,
                         std::string& out) {
    out.reserve(path.size() + 1);
    out.assign(path);
    out += kPathSeparator;
    ApplyPathStyleTo(out, style, rootPrefixLen);
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

void AppendHex(const unsigned char* bytes, std::size_t size, std::string& out) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < size; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0xF];
    }
}

// A checksum cell: its digits, or as many spaces as it would have when the record does not hold it.
void AssignChecksum(std::optional<std::string>& field, const FileRecord& entry, HashSet which,
                    std::size_t digits) {
    if (!field)
        field.emplace();
    field->clear();
    AppendChecksumDigits(entry, which, *field);
    if (field->empty())
        field->assign(digits, ' ');
}

} // namespace

void AppendChecksumDigits(const FileRecord& entry, HashSet which, std::string& out) {
    if ((entry.hashesKnown & which) == 0)
        return;
    if (which == kHashCrc32) {
        const unsigned char bytes[4] = {
            static_cast<unsigned char>(entry.crc >> 24), static_cast<unsigned char>(entry.crc >> 16),
            static_cast<unsigned char>(entry.crc >> 8), static_cast<unsigned char>(entry.crc)};
        AppendHex(bytes, sizeof bytes, out);
    } else if (which == kHashXxh3 && entry.strong) {
        unsigned char bytes[8] = {};
        for (int i = 0; i < 8; ++i)
            bytes[i] = static_cast<unsigned char>(entry.strong->xxh3 >> (56 - 8 * i));
        AppendHex(bytes, sizeof bytes, out);
    } else if (which == kHashSha256 && entry.strong) {
        AppendHex(entry.strong->sha256.data(), entry.strong->sha256.size(), out);
    }
}

RowBuilder::RowBuilder(const ListingOptions& options, bool links)
    : m_options(options), m_formats(DeriveFieldFormats(options)), m_links(links) {}

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

void RowBuilder::BuildDirectoryRow(const DirRecord& record, const std::string& dirPath, DirectoryRow& row) {
    const ListingOptions& o = m_options;
    row = DirectoryRow{};
    for (const ColumnDef& def : Columns()) {
        if (def.dirWidth != nullptr)
            row.Width(def.column) = Width(o.*def.dirWidth);
    }
    std::string& path = row[Column::Name].emplace();
    AssignDirectoryPath(dirPath, o.m_pathStyle, record.rootPrefixLen, path);
    if (m_links)
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
    row.size = record.totalSize;
    std::int64_t t = 0;
    // A root folder has no date or time of its own: blanks as wide as them.
    if (ChosenTime(record, o.m_dateTimeKind, t)) {
        const bool root = kNativePaths.IsRootKey(dirPath);
        if (!root)
            row.time = t;
        FormatTimes(t, root, m_formats.dirDateFormat, m_formats.dirTimeFormat, row[Column::Date],
                    row[Column::Time]);
    }
    if (o.m_bDirAttributes)
        row[Column::Attributes] = record.attributes;
}

void RowBuilder::BuildFileRow(const FileRecord& entry, FolderPath& paths, std::uint64_t number,
                              FileRow& row) {
    const ListingOptions& o = m_options;
    const DirRecord& dir = *entry.parent;
    // The folder's path is made only when the rows show it or link to it.
    if (&dir != m_pathDir && (o.m_bFilePath || m_links)) {
        m_pathDir = &dir;
        AssignDirectoryPath(paths.Of(dir), o.m_pathStyle, dir.rootPrefixLen, m_dirPath);
        if (m_links)
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
    if (m_links)
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
    row.size = entry.size;
    std::int64_t t = 0;
    row.time.reset();
    if (ChosenTime(entry, o.m_dateTimeKind, t)) {
        row.time = t;
        FormatTimes(t, false, m_formats.fileDateFormat, m_formats.fileTimeFormat, row[Column::Date],
                    row[Column::Time]);
    }
    if (o.m_bFileVersion)
        AssignField(row[Column::Version], entry.isDirectory ? std::string_view() : entry.Version());
    // Only a checksum that was really computed is shown: anything else gets a blank cell.
    if (o.m_bFileCrc32)
        AssignChecksum(row[Column::Crc32], entry, kHashCrc32, 8);
    if (o.m_bFileXxh3)
        AssignChecksum(row[Column::Xxh3], entry, kHashXxh3, 16);
    if (o.m_bFileSha256)
        AssignChecksum(row[Column::Sha256], entry, kHashSha256, 64);
    if (o.m_bFileAttributes)
        AssignField(row[Column::Attributes], std::string_view(entry.attributes, 5));
}

} // namespace quillary
