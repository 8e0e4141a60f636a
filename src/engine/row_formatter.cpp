#include "engine/row_formatter.h"

#include "engine/directory_scan.h"
#include "platform/path_syntax.h"

namespace quillary {

RowFormatter::RowFormatter(const ListingOptions& options, ListingWriter& writer)
    : m_options(options), m_writer(writer), m_rows(options, writer.TakesLinks()) {}

void RowFormatter::AppendFolder(const DirRecord& dir, std::string& out) {
    m_text.clear();
    const std::string& dirPath = m_paths.Of(dir);
    if (m_writer.TakesFacts()) {
        const std::string path = kNativePaths.Showable(dirPath);
        const std::size_t slash = kNativePaths.FindLastSeparator(dirPath);
        EntryFacts facts;
        facts.kind = EntryFacts::Kind::Folder;
        facts.path = path;
        facts.name =
            slash == std::string::npos ? std::string_view(path) : std::string_view(dirPath).substr(slash + 1);
        facts.size = dir.totalSize;
        facts.fileCount = dir.fileCount;
        facts.created = dir.creationTime;
        facts.accessed = dir.lastAccessTime;
        facts.modified = dir.lastWriteTime;
        facts.attributes = dir.attributes;
        m_writer.FormatFolderFacts(facts, m_text);
    } else {
        DirectoryRow row;
        m_rows.BuildDirectoryRow(dir, dirPath, row);
        m_writer.FormatDirectoryRow(row, m_text);
    }
    out += m_text;
    out += '\n';
}

void RowFormatter::AppendEntryFacts(const FileRecord& entry, std::string& out) {
    const std::string path = JoinPath(m_paths.Of(*entry.parent), entry.name);
    EntryFacts facts;
    facts.kind = entry.isDirectory ? EntryFacts::Kind::Subfolder : EntryFacts::Kind::File;
    facts.path = path;
    facts.name = entry.name;
    facts.extension = entry.Extension();
    facts.size = entry.size;
    facts.created = entry.creationTime;
    facts.accessed = entry.lastAccessTime;
    facts.modified = entry.lastWriteTime;
    facts.attributes = std::string_view(entry.attributes, 5);
    if (!entry.isDirectory) {
        if (m_options.m_bFileCrc32)
            AppendChecksumDigits(entry, kHashCrc32, facts.crc32.emplace());
        if (m_options.m_bFileXxh3)
            AppendChecksumDigits(entry, kHashXxh3, facts.xxh3.emplace());
        if (m_options.m_bFileSha256)
            AppendChecksumDigits(entry, kHashSha256, facts.sha256.emplace());
    }
    if (m_options.m_bFileVersion)
        facts.version = entry.Version();
    m_writer.FormatEntryFacts(facts, out);
}

void RowFormatter::AppendEntries(std::span<FileRecord* const> entries, std::string& out,
                                 const std::function<void(FileRecord&)>& details, std::uint64_t firstNumber,
                                 const std::function<void(std::string&)>& flush) {
    std::uint64_t number = firstNumber - 1;
    for (FileRecord* listed : entries) {
        FileRecord& entry = *listed;
        if (entry.isDirectory && !m_options.m_bSubdirs)
            continue;
        if (!entry.isDirectory)
            ++number;
        if (details)
            details(entry);
        m_text.clear();
        if (m_writer.TakesFacts()) {
            AppendEntryFacts(entry, m_text);
        } else {
            m_rows.BuildFileRow(entry, m_paths, number, m_row);
            m_writer.FormatFileRow(m_row, m_text);
        }
        out += m_text;
        out += '\n';
        if (flush && out.size() >= kFlushSize) {
            flush(out);
            out.clear();
        }
    }
}

} // namespace quillary
