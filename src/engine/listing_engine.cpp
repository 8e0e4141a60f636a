#include "engine/listing_engine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>

#include "engine/directory_scan.h"
#include "engine/sorting.h"
#include "engine/worker_threads.h"
#include "platform/directory_reader.h"
#include "platform/file_io.h"
#include "platform/path_syntax.h"
#include "platform/pe_version.h"
#include "writers/writer_factory.h"

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

// A per-directory listing name must be a plain file name, so that a shared configuration can never
// make a run write outside the processed directories. On Windows a ":" would name a drive or a stream
// of another file.
bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return kNativePaths.IsSeparator(c) || (kNativePaths.driveLetters && c == ':');
    });
}

// Checksums are read for regular files only, once per run: a file that failed is not tried again for
// the per-folder listing.
bool NeedsChecksum(const FileRecord& entry) {
    return entry.isRegular && !entry.crcKnown && !entry.crcTried;
}

// Keeps a checksum's outcome in the file's record; true when a checksum was computed. Only a complete
// checksum is kept (and cached for the next run); a failure is reported and not retried in this run.
bool StoreChecksum(FileRecord& entry, const FileChecksummer::Result& result, const std::string& path,
                   std::vector<RunProblem>& problems) {
    using Outcome = FileChecksummer::Outcome;
    switch (result.outcome) {
    case Outcome::Complete:
        entry.crc = result.crc;
        entry.crcKnown = true;
        return true;
    case Outcome::Failed:
        problems.push_back({ProblemKind::ChecksumUnreadable, path, ErrorText(result.error)});
        break;
    case Outcome::Changed:
        problems.push_back({ProblemKind::ChecksumUnreadable, path, "the file changed while it was read"});
        break;
    case Outcome::NotRegular:
        break;
    case Outcome::Cancelled:
        return false;
    }
    entry.crcTried = true;
    return false;
}

} // namespace

ListingEngine::ListingEngine(ListingHost* host) : m_host(host) {}

void ListingEngine::SetRunTarget(RunTarget target) {
    m_target = std::move(target);
    // Cleared here, before the run thread starts, so that a cancel requested as soon as the thread
    // exists is never lost.
    m_bCancel.store(false);
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
    if (m_host)
        m_host->EnterBusyState();

    // The previous run's records serve as the cache of this scan.
    m_timeCache = LocalTimeCache{};
    m_prevDirMap = std::move(m_dirMap);
    m_dirMap.clear();
    ScanSelections();
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
    ComputeChecksumsInParallel();
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

void ListingEngine::ScanSelections() {
    m_threads = WorkerThreadCount();
    DirectoryScan scan(m_dirMap, m_prevDirMap, *m_mask, m_bCancel, m_threads);
    auto showProgress = [&] {
        m_stats.dirCount = scan.FolderCount();
        m_stats.entryCount = scan.EntryCount();
        ShowProgress(false);
    };
    for (auto it = m_target.checkedDirs.rbegin(); it != m_target.checkedDirs.rend() && !m_bCancel.load();
         ++it) {
        const std::string& entry = *it;
        if (entry.size() < 2)
            continue;
        const std::string path = entry.substr(2);
        // "From top-checked dir" keeps what follows the selected folder's parent: "/home/me" drops
        // "/home", a drive "c:" (like the root "") drops itself.
        const std::size_t slash = kNativePaths.FindLastSeparator(path);
        const std::size_t parentLength = slash == std::string::npos ? path.size() : slash;
        scan.ScanSelection(path, entry[0] != '2', parentLength, showProgress);
    }
    m_stats.dirCount = scan.FolderCount();
    m_stats.entryCount = scan.EntryCount();
    m_stats.reusedEntries = scan.ReusedEntries();
    for (RunProblem& problem : scan.TakeProblems())
        m_problems.push_back(std::move(problem));
}

// The checksums of files up to one chunk are read by the workers before any row is written, a folder
// at a time, each file opened in its open folder; larger files are read one at a time as their rows
// are written, with their progress shown.
void ListingEngine::ComputeChecksumsInParallel() {
    if (!m_options.m_bFileCrc32 || !m_options.m_bFileName || m_bCancel.load())
        return;
    auto needed = [](const FileRecord& entry) {
        return NeedsChecksum(entry) && entry.size <= FileChecksummer::kChunkSize;
    };
    std::vector<DirMapEntry*> folders;
    for (DirMapEntry& dir : m_dirMap) {
        if (std::any_of(dir.second.entries.begin(), dir.second.entries.end(), needed))
            folders.push_back(&dir);
    }
    if (folders.empty())
        return;
    const auto threads = static_cast<unsigned>(std::min<std::size_t>(m_threads, folders.size()));
    std::vector<FileChecksummer> checksummers(threads);
    std::vector<std::vector<RunProblem>> problems(threads);
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> computed{0};
    // Each folder is taken by one worker, which alone writes the records of its files.
    auto work = [&](unsigned worker) {
        std::string name, path;
        DirectoryHandle folder;
        for (std::size_t i = 0; !m_bCancel.load(std::memory_order_relaxed) &&
                                (i = next.fetch_add(1, std::memory_order_relaxed)) < folders.size();) {
            const DirMapEntry& dir = *folders[i];
            // A selected folder may be a link to a folder; one found below it never is.
            const bool selected =
                dir.first.find(kPathSeparator, dir.second.rootPrefixLen + 1) == std::string::npos;
            const bool opened = folder.OpenPath(dir.first, selected);
            for (FileRecord& entry : folders[i]->second.entries) {
                if (!needed(entry))
                    continue;
                name.assign(entry.name);
                path = JoinPath(dir.first, entry.name);
                // A folder that cannot be opened leaves each file to say why it cannot be read.
                const auto result = opened ? checksummers[worker].ComputeIn(folder, name.c_str(), entry.size,
                                                                            entry.lastWriteTime, m_bCancel)
                                           : checksummers[worker].Compute(path, entry.size,
                                                                          entry.lastWriteTime, m_bCancel, {});
                if (StoreChecksum(entry, result, path, problems[worker]))
                    computed.fetch_add(1, std::memory_order_relaxed);
            }
        }
    };
    RunWorkers(threads, work, [this] { ShowProgress(false); });
    m_stats.checksumsComputed += computed.load();
    std::vector<RunProblem> found;
    for (std::vector<RunProblem>& part : problems)
        std::move(part.begin(), part.end(), std::back_inserter(found));
    std::sort(found.begin(), found.end(),
              [](const RunProblem& a, const RunProblem& b) { return a.path < b.path; });
    std::move(found.begin(), found.end(), std::back_inserter(m_problems));
}

void ListingEngine::ComputeChecksum(FileRecord& entry, const std::string& path) {
    const std::uint64_t size = entry.size;
    const auto result =
        m_checksummer.Compute(path, size, entry.lastWriteTime, m_bCancel,
                              [&](std::uint64_t done) { ShowChecksumProgress(path, done, size); });
    if (StoreChecksum(entry, result, path, m_problems))
        ++m_stats.checksumsComputed;
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
        FormatTimes(t, kNativePaths.IsRootKey(dir.first), m_formats.dirDateFormat, m_formats.dirTimeFormat,
                    row.date, row.time);
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

        const bool needsPath = (o.m_bFileCrc32 && NeedsChecksum(entry)) ||
                               (o.m_bFileVersion && !entry.isDirectory && !entry.versionKnown);
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
            if (NeedsChecksum(entry))
                ComputeChecksum(entry, path);
            // Only a checksum that was really computed is shown: anything else gets an empty cell.
            char hex[9] = "        ";
            if (entry.crcKnown)
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
