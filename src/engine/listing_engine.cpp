#include "engine/listing_engine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>

#include "engine/sorting.h"
#include "platform/directory_reader.h"
#include "platform/file_io.h"
#include "platform/pe_version.h"
#include "writers/writer_factory.h"

namespace quillary {

namespace {

constexpr char kSeparator = '/';

// The directory path as rows show it: the map key followed by the separator.
std::string DirectoryPathText(const std::string& key) {
    return key + kSeparator;
}

std::string JoinPath(const std::string& directory, std::string_view name) {
    std::string path;
    path.reserve(directory.size() + 1 + name.size());
    path += directory;
    path += kSeparator;
    path += name;
    return path;
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

// A per-directory listing name must be a plain file name, so that a shared configuration can never
// make a run write outside the processed directories.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find(kSeparator) == std::string::npos;
}

// Fills the parts of a record that come from the file system.
void SetFromInfo(FileRecord& record, std::string_view name, const EntryInfo& info) {
    record.isDirectory = info.isDirectory;
    record.size = info.size;
    record.creationTime = info.creationTime;
    record.lastAccessTime = info.lastAccessTime;
    record.lastWriteTime = info.lastWriteTime;
    std::copy(std::begin(info.attributes), std::end(info.attributes), record.attributes);
    // A leading dot marks a hidden file, not an extension: ".profile" has none, ".profile.bak" has "bak".
    const std::size_t dot = name.rfind('.');
    record.extensionStart = (info.isDirectory || dot == std::string_view::npos || dot == 0)
                                ? static_cast<std::uint32_t>(name.size() + 1)
                                : static_cast<std::uint32_t>(dot + 1);
}

const FileRecord* FindByName(const std::vector<FileRecord>& entries, std::string_view name) {
    const auto at = std::lower_bound(entries.begin(), entries.end(), name,
                                     [](const FileRecord& r, std::string_view n) { return r.name < n; });
    return (at != entries.end() && at->name == name) ? &*at : nullptr;
}

} // namespace

ListingEngine::ListingEngine(ListingHost* host) : m_host(host) {}

void ListingEngine::SetRunTarget(RunTarget target) {
    m_target = std::move(target);
}

RunResult ListingEngine::Finish(RunStatus status) {
    RunResult result;
    result.status = status;
    result.outputPath = m_target.outputPath;
    result.previewRun = m_target.previewRun;
    result.statistics = m_stats;
    result.problems = std::move(m_problems);
    m_problems.clear();
    if (m_host)
        m_host->RunFinished(result);
    return result;
}

void ListingEngine::AddProblem(ProblemKind kind, std::string path, int error) {
    AddProblem(kind, std::move(path), error != 0 ? ErrorText(error) : std::string());
}

void ListingEngine::AddProblem(ProblemKind kind, std::string path, std::string reason) {
    m_problems.push_back({kind, std::move(path), std::move(reason)});
}

RunResult ListingEngine::Run() {
    m_stats = RunStatistics{};
    m_problems.clear();
    if (m_target.outputPath.empty())
        return Finish(RunStatus::NoOutputPath);
    m_formats = DeriveFieldFormats(m_options);
    m_mask = std::make_unique<NameMask>(m_options.m_strMask);
    m_bListingInEachDir = m_options.m_bListingInEachDir && IsPlainFileName(m_options.m_strListingName);
    // "/dev/null" or a FIFO is written as named; only a file name gets the output type's extension.
    if (m_target.outputPath != "-" && m_target.outputPath.find('.') == std::string::npos &&
        !NamesSpecialFile(m_target.outputPath))
        m_target.outputPath += std::string(".") + ExtensionFor(m_options.m_nOutputType);

    OutputFile out;
    if (!out.Open(m_target.outputPath))
        return Finish(RunStatus::OpenFailed);
    m_bCancel.store(false);
    if (m_host)
        m_host->EnterBusyState();

    // The previous run's records serve as the cache of this scan.
    m_timeCache = LocalTimeCache{};
    m_prevDirMap = std::move(m_dirMap);
    m_dirMap.clear();
    for (auto it = m_target.checkedDirs.rbegin(); it != m_target.checkedDirs.rend() && !m_bCancel.load();
         ++it) {
        const std::string& entry = *it;
        if (entry.size() < 2)
            continue;
        const std::string path = entry.substr(2);
        const std::size_t slash = path.rfind(kSeparator);
        const std::size_t parentLength = slash == std::string::npos ? path.size() : slash;
        ScanDirectory(path, entry[0] != '2', parentLength);
    }
    ShowProgress(true);
    m_prevDirMap.clear();

    m_columnSet = ColumnSet{};
    m_columnSet.number = m_options.m_bFileNumber;
    m_columnSet.path = m_options.m_bFilePath;
    m_columnSet.name = true;
    m_columnSet.count = m_options.m_bFileCountInDirName;
    m_columnSet.ext = m_options.m_bFileExtension;
    m_columnSet.size = m_options.m_bDirSize || m_options.m_bFileSize;
    m_columnSet.date = m_options.m_bDirDate || m_options.m_bFileDate;
    m_columnSet.time = m_options.m_bDirTime || m_options.m_bFileTime;
    m_columnSet.version = m_options.m_bFileVersion;
    m_columnSet.crc32 = m_options.m_bFileCrc32;
    m_columnSet.attr = m_options.m_bDirAttributes || m_options.m_bFileAttributes;

    m_writerContext = WriterContext{};
    m_writerContext.options = &m_options;
    m_writerContext.messages = &m_target.messages;
    m_writerContext.columns = &m_columnSet;
    m_writerContext.filesListed = m_options.m_bFileName;
    m_writerContext.charsetName = "utf-8";
    LocalTime now;
    ToLocalTime(m_target.headerTime.value_or(CurrentTime()), now);
    m_writerContext.timeStamp = FormatLocalTime(now, "%Y-%m-%d %H:%M:%S");
    m_pWriter = CreateWriter(m_options.m_nOutputType, m_writerContext);

    std::string text;
    m_pWriter->FormatHeader(m_columnSet, text);
    if (!text.empty())
        WriteLine(out, text);
    WriteRows(out);
    text.clear();
    m_pWriter->FormatFooter(text);
    if (!text.empty())
        WriteLine(out, text);

    m_pWriter.reset();
    const bool written = out.Close();
    if (m_host)
        m_host->LeaveBusyState();
    if (!written)
        return Finish(RunStatus::WriteFailed);
    return Finish(m_bCancel.load() ? RunStatus::Cancelled : RunStatus::Written);
}

std::uint64_t ListingEngine::ScanDirectory(const std::string& path, bool withSubdirs,
                                           std::size_t rootPrefixLen, const EntryInfo* self) {
    if (m_bCancel.load(std::memory_order_relaxed))
        return 0;
    ++m_stats.dirCount;

    DirRecord previous;
    if (auto found = m_prevDirMap.find(path); found != m_prevDirMap.end()) {
        previous = std::move(found->second);
        m_prevDirMap.erase(found);
    } else if (auto again = m_dirMap.find(path); again != m_dirMap.end()) {
        // Reached a second time in this run: the first scan's records are the freshest cache.
        previous = std::move(again->second);
    }
    // A directory reached twice in one run keeps one record: the later scan replaces the earlier one.
    DirMapEntry& node = *m_dirMap.insert_or_assign(path, DirRecord{}).first;
    DirRecord& record = node.second;
    record.rootPrefixLen = rootPrefixLen;

    EntryInfo ownInfo;
    if (self != nullptr || StatPath(path, ownInfo)) {
        const EntryInfo& info = self != nullptr ? *self : ownInfo;
        record.creationTime = info.creationTime;
        record.lastAccessTime = info.lastAccessTime;
        record.lastWriteTime = info.lastWriteTime;
        record.attributes = info.attributes;
    }

    struct Subdirectory {
        std::string name;
        EntryInfo info;
        bool haveInfo;
    };
    std::vector<Subdirectory> subdirectories;
    // Entries are collected in a reused buffer and then moved into a vector of exactly the right size:
    // one allocation per directory instead of one per doubling.
    std::vector<FileRecord>& found = m_scanBuffer;
    found.clear();
    {
        DirectoryReader reader;
        reader.Open(path);
        // A folder that cannot be read stays a folder with the entries read so far (none when it could
        // not be opened); the run reports it.
        struct ReportError {
            ListingEngine& engine;
            const DirectoryReader& reader;
            const std::string& path;
            ~ReportError() {
                if (reader.Error() != 0)
                    engine.AddProblem(ProblemKind::FolderUnreadable, path.empty() ? "/" : path,
                                      reader.Error());
            }
        } reportError{*this, reader, path};
        std::string_view name;
        EntryKind kind;
        EntryInfo info;
        while (!m_bCancel.load(std::memory_order_relaxed) && reader.Next(name, kind)) {
            const bool matches = m_mask->Matches(name);
            bool isDirectory = kind == EntryKind::Directory;
            bool haveInfo = false;
            if (matches || kind == EntryKind::Unknown) {
                haveInfo = reader.Stat(name.data(), info); // name is NUL-terminated by readdir
                if (!haveInfo) {
                    if (kind == EntryKind::Unknown)
                        continue; // vanished since it was listed
                    info = EntryInfo{};
                    info.isDirectory = isDirectory;
                }
                isDirectory = info.isDirectory;
                if (matches) {
                    FileRecord& entry = found.emplace_back();
                    entry.name = name;
                    SetFromInfo(entry, name, info);
                    entry.parent = &node;
                    if (!isDirectory) {
                        ++record.fileCount;
                        record.totalSize = SaturatingAdd(record.totalSize, info.size);
                    }
                    ++m_stats.entryCount;
                    ShowProgress(false);
                }
            }
            if (isDirectory && withSubdirs)
                subdirectories.push_back({std::string(name), info, haveInfo});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const FileRecord& a, const FileRecord& b) { return a.name < b.name; });
    record.entries.reserve(found.size());
    std::move(found.begin(), found.end(), std::back_inserter(record.entries));
    found.clear();

    // Take over what was computed for entries whose last-write time is unchanged.
    if (!previous.entries.empty()) {
        for (FileRecord& entry : record.entries) {
            const FileRecord* old = FindByName(previous.entries, entry.name);
            if (old == nullptr || old->lastWriteTime != entry.lastWriteTime)
                continue;
            entry.crc = old->crc;
            entry.crcKnown = old->crcKnown;
            entry.version = old->version;
            entry.versionKnown = old->versionKnown;
            ++m_stats.reusedEntries;
        }
    }

    // Subdirectories are scanned after this directory's handle is closed, so that a deep tree never
    // holds more than one directory open.
    std::uint64_t total = record.totalSize;
    for (const Subdirectory& subdirectory : subdirectories) {
        total = SaturatingAdd(total, ScanDirectory(JoinPath(path, subdirectory.name), true, rootPrefixLen,
                                                   subdirectory.haveInfo ? &subdirectory.info : nullptr));
    }
    // The map node may have been replaced if a subdirectory scan reached this path again; the
    // record reference stays valid because map nodes never move.
    record.totalSize = total;
    return total;
}

void ListingEngine::ShowProgress(bool forced) {
    const int second = static_cast<int>(CurrentTime() % 60);
    if (!forced && second == m_nLastProgressSecond)
        return;
    m_nLastProgressSecond = second;
    if (!m_host)
        return;
    const MessageTable& messages = m_target.messages;
    m_host->ShowProgress(std::string(kProductName) + " " + kVersionText + ", " + messages.Get(MSG_DIRS) +
                         ":" + std::to_string(m_stats.dirCount) + ", " + messages.Get(MSG_FILES) + ":" +
                         std::to_string(m_stats.entryCount));
}

void ListingEngine::ShowChecksumProgress(const std::string& path, std::uint64_t done, std::uint64_t size) {
    const int second = static_cast<int>(CurrentTime() % 60);
    if (second == m_nLastProgressSecond)
        return;
    m_nLastProgressSecond = second;
    if (!m_host || size == 0)
        return;
    m_host->ShowProgress(std::string(kProductName) + " " + kVersionText + ", CRC (" + path + ") " +
                         std::to_string(done * 100 / size) + "%");
}

void ListingEngine::WriteLine(OutputFile& out, std::string& text) {
    text += '\n';
    out.Write(text);
}

void ListingEngine::SortFileRecords(std::vector<FileRecord*>& entries) const {
    SortEntries(entries, m_options.m_nSortFilesBy, m_options.m_bSortFilesDescending,
                m_options.m_nDateTimeKind);
}

void ListingEngine::WritePerDirectoryFile(const DirMapEntry& dir, const std::vector<FileRecord*>& entries,
                                          const OutputFile& mainOutput) {
    const std::string path = JoinPath(dir.first, m_options.m_strListingName + m_pWriter->Extension());
    // Two listings written into one file would leave neither.
    if (mainOutput.IsSameFile(path)) {
        AddProblem(ProblemKind::ListingFileSkipped, path, "it is the main output");
        return;
    }
    // The folder's owner may have put a link to another file (or a FIFO) there: never written through.
    OutputFile file;
    if (!file.Open(path, OutputTarget::RegularFileOnly)) {
        AddProblem(file.Refused() ? ProblemKind::ListingFileSkipped : ProblemKind::ListingFileFailed, path,
                   file.Error());
        return;
    }
    WriteFileRows(entries, file);
    if (!file.Close())
        AddProblem(ProblemKind::ListingFileFailed, path, file.Error());
}

void ListingEngine::WriteRows(OutputFile& out) {
    std::vector<DirMapEntry*> dirs;
    dirs.reserve(m_dirMap.size());
    for (DirMapEntry& dir : m_dirMap)
        dirs.push_back(&dir);

    auto entriesOf = [](DirMapEntry& dir, std::vector<FileRecord*>& into) {
        for (FileRecord& entry : dir.second.entries)
            into.push_back(&entry);
    };

    if (m_options.m_bFilesAllTogether) {
        std::vector<FileRecord*> all;
        std::vector<std::size_t> starts; // where each directory's entries begin in `all`
        if (!m_bCancel.load()) {
            for (DirMapEntry* dir : dirs) {
                starts.push_back(all.size());
                entriesOf(*dir, all);
            }
        }
        starts.push_back(all.size());
        if (m_bListingInEachDir && m_options.m_bFileName) {
            for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
                std::vector<FileRecord*> part(all.begin() + static_cast<std::ptrdiff_t>(starts[i]),
                                              all.begin() + static_cast<std::ptrdiff_t>(starts[i + 1]));
                SortFileRecords(part);
                WritePerDirectoryFile(*dirs[i], part, out);
            }
        }
        if (m_options.m_bFileName) {
            SortFileRecords(all);
            WriteFileRows(all, out);
        }
        return;
    }

    SortDirectories(dirs, m_options.m_nSortDirsBy, m_options.m_nDateTimeKind);
    if (m_options.m_bSortDirsDescending)
        std::reverse(dirs.begin(), dirs.end());
    std::vector<FileRecord*> entries;
    for (DirMapEntry* dir : dirs) {
        if (m_options.m_bDirName)
            WriteDirectoryRow(*dir, out);
        if (!m_options.m_bFileName)
            continue;
        entries.clear();
        entriesOf(*dir, entries);
        SortFileRecords(entries);
        WriteFileRows(entries, out);
        if (m_bListingInEachDir)
            WritePerDirectoryFile(*dir, entries, out);
    }
}

void ListingEngine::FormatTimes(std::int64_t t, bool blank, const std::string& dateFormat,
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

void ListingEngine::WriteDirectoryRow(const DirMapEntry& dir, OutputFile& out) {
    const DirRecord& record = dir.second;
    DirectoryRow row;
    row.path = ApplyPathStyle(DirectoryPathText(dir.first), m_options.m_nPathStyle, record.rootPrefixLen);
    row.linkPath = LinkPathFor(row.path, m_options.m_nPathStyle);
    if (m_options.m_bFileCountInDirName)
        row.count = FormatCount(record.fileCount, m_formats.numberFormat);
    row.pathWidth = static_cast<unsigned>(std::max(0, m_options.m_nDirNameWidth));
    if (m_options.m_bDirSize)
        row.size = FormatSize(record.totalSize, m_options.m_nSizeDisplay, m_options.m_nSizePrecision,
                              m_formats.numberFormat);
    row.sizeWidth = static_cast<unsigned>(std::max(0, m_options.m_nDirSizeWidth));
    if (m_options.m_bDirDate)
        row.date.emplace();
    if (m_options.m_bDirTime)
        row.time.emplace();
    std::int64_t t = 0;
    if (ChosenTime(record, m_options.m_nDateTimeKind, t))
        FormatTimes(t, dir.first.empty(), m_formats.dirDateFormat, m_formats.dirTimeFormat, row.date,
                    row.time);
    if (m_options.m_bDirAttributes)
        row.attributes = record.attributes;
    std::string text;
    m_pWriter->FormatDirectoryRow(row, text);
    WriteLine(out, text);
}

void ListingEngine::WriteFileRows(const std::vector<FileRecord*>& entries, OutputFile& out) {
    const ListingOptions& o = m_options;
    FileRow row;
    std::string text;
    std::uint64_t number = 0;
    const std::size_t count = entries.size();
    const DirMapEntry* linkDir = nullptr; // the directory `dirPath` was made for
    std::string dirPath, linkPath;
    for (std::size_t i = 0; i < count; ++i) {
        FileRecord& entry = *entries[o.m_bSortFilesDescending ? count - 1 - i : i];
        if (entry.isDirectory && !o.m_bSubdirs)
            continue;
        const DirMapEntry& dir = *entry.parent;
        if (&dir != linkDir) {
            linkDir = &dir;
            dirPath = ApplyPathStyle(DirectoryPathText(dir.first), o.m_nPathStyle, dir.second.rootPrefixLen);
            linkPath = LinkPathFor(dirPath, o.m_nPathStyle);
        }
        // The row is reused from entry to entry: assigning into its strings keeps their buffers, so
        // long paths are not allocated again for every file.
        row.isDirectory = entry.isDirectory;
        if (o.m_bFileNumber && !entry.isDirectory)
            AssignField(row.number, FormatSize(++number, kSizeBytes, 0, m_formats.numberFormat) + ". ");
        else
            row.number.reset();
        row.linkPath = linkPath;
        if (o.m_bFilePath)
            AssignField(row.pathPrefix, dirPath);
        if (o.m_bFileExtension && entry.HasExtension())
            AssignField(row.extension, entry.Extension());
        else
            row.extension.reset();
        row.name = o.m_bFileExtension ? entry.BaseName() : std::string_view(entry.name);
        row.nameWidth = static_cast<unsigned>(std::max(0, o.m_nFileNameWidth));
        if (o.m_bFileSize) {
            if (entry.isDirectory)
                AssignField(row.size, "<DIR>");
            else
                AssignField(row.size, FormatSize(entry.size, o.m_nSizeDisplay, o.m_nSizePrecision,
                                                 m_formats.numberFormat));
            row.sizeWidth = static_cast<unsigned>(std::max(0, o.m_nFileSizeWidth));
        }
        if (o.m_bFileDate)
            AssignField(row.date, "");
        if (o.m_bFileTime)
            AssignField(row.time, "");
        std::int64_t t = 0;
        if (ChosenTime(entry, o.m_nDateTimeKind, t))
            FormatTimes(t, false, m_formats.fileDateFormat, m_formats.fileTimeFormat, row.date, row.time);

        const bool needsPath = !entry.isDirectory && ((o.m_bFileCrc32 && !entry.crcKnown) ||
                                                      (o.m_bFileVersion && !entry.versionKnown));
        const std::string path = needsPath ? JoinPath(dir.first, entry.name) : std::string();
        if (o.m_bFileVersion) {
            if (!entry.isDirectory && !entry.versionKnown) {
                int error = 0;
                entry.version = GetFileVersionText(path, &error);
                // A file that could not be read is tried again by the next run.
                entry.versionKnown = error == 0;
                if (error != 0)
                    AddProblem(ProblemKind::VersionUnreadable, path, error);
                ++m_stats.versionsComputed;
            }
            AssignField(row.version,
                        entry.isDirectory ? std::string_view() : std::string_view(entry.version));
            row.versionWidth = static_cast<unsigned>(std::max(0, o.m_nFileVersionWidth));
        }
        if (o.m_bFileCrc32) {
            bool known = entry.crcKnown;
            if (!entry.isDirectory && !known) {
                const std::uint64_t size = entry.size;
                const auto result = m_checksummer.Compute(path, size, m_bCancel, [&](std::uint64_t done) {
                    ShowChecksumProgress(path, done, size);
                });
                using Outcome = FileChecksummer::Outcome;
                if (result.outcome == Outcome::Complete) {
                    entry.crc = result.crc;
                    entry.crcKnown = known = true;
                    ++m_stats.checksumsComputed;
                } else if (result.outcome == Outcome::Failed) {
                    AddProblem(ProblemKind::ChecksumUnreadable, path, result.error);
                }
            }
            // Only a checksum that was really computed is shown: anything else gets an empty cell.
            char hex[9] = "        ";
            if (known)
                std::snprintf(hex, sizeof hex, "%08x", entry.crc);
            AssignField(row.crc, std::string_view(hex, 8));
        }
        if (o.m_bFileAttributes)
            AssignField(row.attributes, std::string_view(entry.attributes, 5));
        text.clear();
        m_pWriter->FormatFileRow(row, text);
        WriteLine(out, text);
    }
}

} // namespace quillary
