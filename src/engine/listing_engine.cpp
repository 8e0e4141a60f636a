#include "engine/listing_engine.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <span>

#include "engine/directory_scan.h"
#include "engine/ordered_windows.h"
#include "engine/scan_filter.h"
#include "engine/sorting.h"
#include "engine/worker_threads.h"
#include "platform/held_folder.h"
#include "platform/local_time.h"
#include "platform/path_syntax.h"
#include "platform/pe_version.h"
#include "platform/program_files.h"
#include "writers/output_types.h"

namespace quillary {

namespace {

// True when no file of the tree has a checksum still to read: the pass over the small files read them
// all, or found them in the cache of earlier runs.
bool EveryChecksumRead(const FolderTree& folders, HashSet hashes) {
    for (const DirRecord& dir : folders) {
        for (const FileRecord& entry : dir.entries) {
            if (NeedsChecksum(entry, hashes))
                return false;
        }
    }
    return true;
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
    m_formatter.reset();
    m_checksums.reset();
    std::vector<std::string> warnings = std::move(m_warnings);
    m_warnings.clear();
    if (m_checksumCache) {
        if (std::string warning = m_checksumCache->Finish(); !warning.empty())
            warnings.push_back(std::move(warning));
        m_checksumCache.reset();
    }
    RunResult result;
    result.status = status;
    result.outputPath = m_target.outputPath;
    result.outputError = std::move(m_outputError);
    m_outputError.clear();
    result.previewRun = m_target.previewRun;
    result.statistics = m_stats;
    result.problems = std::move(m_problems);
    m_problems.clear();
    result.warnings = std::move(warnings);
    if (m_host)
        m_host->RunFinished(result);
    return result;
}

RunResult ListingEngine::Run() {
    m_stats = RunStatistics{};
    m_problems.clear();
    m_warnings.clear();
    m_scanComplete = false;
    if (m_target.outputPath.empty())
        return Finish(RunStatus::NoOutputPath);
    m_threads = m_target.threads != 0 ? m_target.threads : DefaultWorkerCount();
    m_bListingInEachDir = m_options.m_bListingInEachDir;
    // A listing name that is not a plain file name (a shared configuration may hold anything) could
    // write outside the processed folders: no folder gets a listing then.
    const std::string listingName =
        m_options.m_strListingName + "." + std::string(OutputTypeRow(m_options.m_outputType).extension);
    if (m_bListingInEachDir &&
        !(kNativePaths.CanNameFile(m_options.m_strListingName) && kNativePaths.CanNameFile(listingName))) {
        m_bListingInEachDir = false;
        m_problems.push_back(
            {ProblemKind::ListingNameUnusable, listingName, "a file in a folder cannot have this name"});
    }
    // A folder's name would only get a hidden file ".txt" inside the folder.
    if (m_target.outputPath != "-" && kNativePaths.NamesOnlyFolder(m_target.outputPath)) {
        m_outputError = "it names a folder";
        return Finish(RunStatus::OpenFailed);
    }
    // "/dev/null" or a FIFO is written as named; only a file name gets the output type's extension.
    if (m_target.outputPath != "-" && m_target.outputPath.find('.') == std::string::npos &&
        !NamesSpecialFile(m_target.outputPath))
        m_target.outputPath += "." + std::string(OutputTypeRow(m_options.m_outputType).extension);
    if (m_target.outputPath != "-" && IsDirectory(m_target.outputPath)) {
        m_outputError = "it is a folder";
        return Finish(RunStatus::OpenFailed);
    }

    OutputFile out;
    if (!out.Open(m_target.outputPath)) {
        m_outputError = out.Error();
        return Finish(RunStatus::OpenFailed);
    }
    if (m_host)
        m_host->EnterBusyState();

    // The previous run's records serve as the cache of this scan.
    m_previousFolders = std::move(m_folders);
    m_folders.clear();
    ScanSelections();
    LeaveOutTemporaryFile(out);
    m_scanComplete = true;
    ShowProgress(true);
    m_previousFolders.clear();

    m_columnSet = ColumnsFor(m_options);
    m_writerContext = WriterContext{};
    m_writerContext.options = &m_options;
    m_writerContext.messages = &m_target.messages;
    m_writerContext.columns = &m_columnSet;
    m_writerContext.filesListed = m_options.m_bFileName;
    m_writerContext.charsetName = "utf-8";
    m_writerContext.timeStamp =
        FormatTimeOrBlank(m_target.headerTime.value_or(CurrentTime()), "%Y-%m-%d %H:%M:%S");
    m_writerContext.time = m_target.headerTime.value_or(CurrentTime());
    m_writerContext.selection = &m_target.checkedDirs;
    m_pWriter = OutputTypeRow(m_options.m_outputType).makeWriter(m_writerContext);
    m_formatter = std::make_unique<RowFormatter>(m_options, *m_pWriter);
    // Checksums of earlier runs, when the listing shows any: a cache that cannot be used is told about
    // and the files are read.
    if (UsesChecksumCache(m_options)) {
        std::string warning;
        m_checksumCache = ChecksumCache::Open(ChecksumCacheFile(), ChecksumCache::Today(), warning);
        if (!warning.empty())
            m_warnings.push_back(std::move(warning));
    }
    m_checksums =
        std::make_unique<ChecksumPass>(m_bCancel, m_problems, ChosenHashes(m_options), m_checksumCache.get());

    out.Write(m_pWriter->Preamble());
    std::string text;
    m_pWriter->FormatHeader(m_columnSet, text);
    if (!text.empty())
        WriteLine(out, text);
    m_checksumsAllRead = ChosenHashes(m_options) == 0;
    if (ChosenHashes(m_options) != 0 && m_options.m_bFileName) {
        m_checksums->ComputeSmallFiles(m_folders, m_threads, [this] { ShowProgress(false); });
        m_checksumsAllRead = !m_bCancel.load() && EveryChecksumRead(m_folders, ChosenHashes(m_options));
    }
    if (m_target.afterScan)
        m_target.afterScan();
    WriteRows(out);
    m_held.clear();
    text.clear();
    if (m_pWriter->TakesFacts())
        WriteRunFacts(text);
    else
        m_pWriter->FormatFooter(text);
    if (!text.empty())
        WriteLine(out, text);
    m_stats.checksumsComputed = m_checksums->Computed();

    m_pWriter.reset();
    const bool written = out.Close();
    if (m_host)
        m_host->LeaveBusyState();
    if (!written) {
        m_outputError = out.Error();
        return Finish(RunStatus::WriteFailed);
    }
    return Finish(m_bCancel.load() ? RunStatus::Cancelled : RunStatus::Written);
}

// A regular file is written under a hidden new name in its own folder until it is complete (where the
// system cannot keep it nameless); a scan of that folder has found it, empty, and must not list it.
void ListingEngine::LeaveOutTemporaryFile(const OutputFile& out) {
    const std::string name = out.TemporaryName();
    if (name.empty())
        return;
    for (DirRecord& dir : m_folders) {
        std::vector<FileRecord>& entries = dir.entries;
        const auto at =
            std::lower_bound(entries.begin(), entries.end(), name,
                             [](const FileRecord& r, const std::string& n) { return r.name < n; });
        if (at == entries.end() || at->name != name || at->isDirectory ||
            !out.IsTemporaryFile(JoinPath(PathOf(dir), name)))
            continue;
        entries.erase(at);
        if (dir.fileCount > 0)
            --dir.fileCount;
        if (m_stats.entryCount > 0)
            --m_stats.entryCount;
    }
}

// The selections are read last to first: a folder reached by several keeps the record of the one
// listed first.
void ListingEngine::ScanSelections() {
    DirectoryScan scan(m_folders, m_previousFolders, ScanFilterFor(m_options), m_bCancel, m_threads);
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

// True once a second: progress is shown when the clock's second has moved on since the last time.
bool ListingEngine::ProgressDue() {
    const int second = static_cast<int>(CurrentTime() % 60);
    if (second == m_nLastProgressSecond)
        return false;
    m_nLastProgressSecond = second;
    return true;
}

void ListingEngine::ShowProgress(bool forced) {
    if (!ProgressDue() && !forced)
        return;
    if (!m_host)
        return;
    RunProgress progress;
    progress.folders = m_stats.dirCount;
    progress.entries = m_stats.entryCount;
    progress.scanComplete = m_scanComplete;
    m_host->ShowProgress(progress);
}

void ListingEngine::ShowChecksumProgress(const std::string& path, unsigned percent) {
    if (!ProgressDue() || !m_host)
        return;
    RunProgress progress;
    progress.folders = m_stats.dirCount;
    progress.entries = m_stats.entryCount;
    progress.scanComplete = true;
    progress.checksumFile = path;
    progress.checksumPercent = percent;
    m_host->ShowProgress(progress);
}

void ListingEngine::WriteLine(OutputFile& out, std::string& text) {
    text += '\n';
    out.Write(text);
}

void ListingEngine::WritePerDirectoryFile(const DirRecord& dir, const std::vector<FileRecord*>& entries,
                                          const OutputFile& mainOutput) {
    // A folder the scan could not open (already a problem of its own) gets no listing.
    if (!dir.identity.known)
        return;
    const std::string name =
        m_options.m_strListingName + "." + std::string(OutputTypeRow(m_options.m_outputType).extension);
    const std::string dirPath = m_formatter->Paths().Of(dir);
    const std::string path = JoinPath(dirPath, name);
    // The listing goes into the very folder the scan read, through a handle to it: its owner may have
    // put a link to someone else's folder (or another folder) in its place since, so its path alone
    // could lead anywhere. A subfolder is held without following a link, as the scan opened it, and
    // opened by its name in its parent's handle when the parent is held.
    constexpr const char* kReplaced = "the folder was replaced during the run";
    const HeldFolder* parent = (dir.parent != nullptr && !dir.selected) ? HeldFolderOf(*dir.parent) : nullptr;
    auto open = [&](HeldFolder& folder) {
        return parent != nullptr ? folder.OpenChild(*parent, dir.name) : folder.Open(dirPath, dir.selected);
    };
    HeldFolder folder;
    if (!open(folder)) {
        const int error = folder.Error();
        if (error == ELOOP || error == ENOTDIR)
            m_problems.push_back({ProblemKind::ListingFileSkipped, path, kReplaced});
        else
            m_problems.push_back({ProblemKind::ListingFileFailed, path, ErrorText(error)});
        return;
    }
    if (folder.Identity() != dir.identity) {
        m_problems.push_back({ProblemKind::ListingFileSkipped, path, kReplaced});
        return;
    }
    // Held for the listings of its subfolders, which come next (in path order).
    if (!dir.subfolders.empty()) {
        if (parent == nullptr)
            m_held.clear();
        HeldFolder held;
        if (open(held) && held.Identity() == dir.identity) {
            m_held.emplace_back(&dir, std::move(held));
            if (m_held.size() > kHeldFolders)
                m_held.pop_front();
        }
    }
    // Two listings written into one file would leave neither.
    if (mainOutput.IsSameFile(folder, name)) {
        m_problems.push_back({ProblemKind::ListingFileSkipped, path, "it is the main output"});
        return;
    }
    // The folder's owner may have put a link to another file (or a FIFO) there: never written through.
    OutputFile file;
    if (!file.Open(std::move(folder), name, OutputTarget::RegularFileOnly)) {
        m_problems.push_back(
            {file.Refused() ? ProblemKind::ListingFileSkipped : ProblemKind::ListingFileFailed, path,
             file.Error()});
        return;
    }
    file.Write(m_pWriter->Preamble());
    WriteFileRows(entries, file);
    if (!file.Close())
        m_problems.push_back({ProblemKind::ListingFileFailed, path, file.Error()});
}

// The held folder `dir` from the folders held for the listings, with the folders below it dropped; made
// from the uppermost held folder by steps up ("..", each checked to be the folder the scan read) when
// `dir` lies above it. Null when `dir` lies elsewhere.
const HeldFolder* ListingEngine::HeldFolderOf(const DirRecord& dir) {
    for (std::size_t i = m_held.size(); i-- > 0;) {
        if (m_held[i].first == &dir) {
            m_held.resize(i + 1);
            return &m_held.back().second;
        }
    }
    const DirRecord* top = m_held.empty() ? nullptr : m_held.front().first;
    if (top == nullptr || dir.depth >= top->depth) {
        m_held.clear();
        return nullptr;
    }
    const DirRecord* above = top;
    while (above != nullptr && above->depth > dir.depth)
        above = above->parent;
    if (above != &dir) {
        m_held.clear();
        return nullptr;
    }
    while (m_held.front().first != &dir) {
        const DirRecord& up = *m_held.front().first->parent;
        HeldFolder folder;
        if (!up.identity.known || !folder.OpenParent(m_held.front().second) ||
            folder.Identity() != up.identity) {
            m_held.clear();
            return nullptr;
        }
        m_held.emplace_front(&up, std::move(folder));
        m_held.resize(std::min(m_held.size(), kHeldFolders));
    }
    m_held.resize(1);
    return &m_held.front().second;
}

// The entries of a folder (or of all folders) sorted and in the order they are listed.
void ListingEngine::ListFileRecords(std::vector<FileRecord*>& entries) const {
    SortEntries(entries, m_options.m_sortFilesBy, m_options.m_bSortFilesDescending, m_options.m_dateTimeKind);
    if (m_options.m_bSortFilesDescending)
        std::reverse(entries.begin(), entries.end());
}

namespace {

void AppendEntriesOf(DirRecord& dir, std::vector<FileRecord*>& into) {
    for (FileRecord& entry : dir.entries)
        into.push_back(&entry);
}

} // namespace

// The order of the rows: directories sorted, each followed by its sorted entries; or all entries
// sorted together, without directory rows.
void ListingEngine::WriteRows(OutputFile& out) {
    if (m_options.m_bFilesAllTogether) {
        // The entries are gathered folder by folder in the byte order of the folders' paths before they
        // are sorted together, so that entries that sort alike keep one order from run to run.
        const std::vector<DirRecord*> dirs = FoldersByPath(m_folders, false);
        std::vector<FileRecord*> all;
        std::vector<std::size_t> starts; // where each directory's entries begin in `all`
        if (!m_bCancel.load()) {
            for (DirRecord* dir : dirs) {
                starts.push_back(all.size());
                AppendEntriesOf(*dir, all);
            }
        }
        starts.push_back(all.size());
        if (m_bListingInEachDir && m_options.m_bFileName) {
            for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
                std::vector<FileRecord*> part(all.begin() + static_cast<std::ptrdiff_t>(starts[i]),
                                              all.begin() + static_cast<std::ptrdiff_t>(starts[i + 1]));
                ListFileRecords(part);
                WritePerDirectoryFile(*dirs[i], part, out);
            }
        }
        if (m_options.m_bFileName) {
            ListFileRecords(all);
            if (FormatsInParallel())
                WriteRowsInParallel({}, all, out);
            else
                WriteFileRows(all, out);
        }
        return;
    }

    std::vector<DirRecord*> dirs = SortedFolders(m_folders, m_options.m_sortDirsBy, m_options.m_dateTimeKind);
    if (m_options.m_bSortDirsDescending)
        std::reverse(dirs.begin(), dirs.end());
    if (FormatsInParallel()) {
        WriteRowsInParallel(dirs, {}, out);
        return;
    }
    std::vector<FileRecord*> entries;
    std::string text;
    for (DirRecord* dir : dirs) {
        if (m_options.m_bDirName) {
            text.clear();
            m_formatter->AppendFolder(*dir, text);
            out.Write(text);
        }
        if (!m_options.m_bFileName)
            continue;
        entries.clear();
        AppendEntriesOf(*dir, entries);
        ListFileRecords(entries);
        WriteFileRows(entries, out);
        if (m_bListingInEachDir)
            WritePerDirectoryFile(*dir, entries, out);
    }
}

// Rows are formatted on several threads when nothing is read from the disk for them (versions, the
// checksums of files larger than the pass over the small ones reads), no folder gets a listing of its
// own (whose problems come in folder order) and the writer's rows depend on the row alone.
bool ListingEngine::FormatsInParallel() const {
    return m_threads > 1 && m_pWriter->FormatsRowsAlone() && !m_bListingInEachDir &&
           !m_options.m_bFileVersion && m_checksumsAllRead;
}

namespace {

// About this many lines make a window: enough to keep the threads' hand-overs rare, few enough that
// the windows waiting to be written take little memory.
constexpr std::size_t kWindowLines = 2048;

// The rows of a window: the folders dirs[firstDir, endDir), each with its line and its sorted entries;
// or a slice of entries sorted beforehand (of one large folder, or of all entries sorted together),
// after the line of `lineDir` when it is set.
struct RowWindow {
    std::size_t firstDir = 0, endDir = 0;
    const DirRecord* lineDir = nullptr;
    std::span<FileRecord* const> slice;
    std::uint64_t firstNumber = 1; // of the slice's first file
};

// Cuts `listed` (entries in the order they are listed) into windows, numbering files from 1; the first
// window starts with the line of `lineDir` when it is set.
void AppendSlices(const std::vector<FileRecord*>& listed, const DirRecord* lineDir,
                  std::vector<RowWindow>& windows) {
    std::uint64_t number = 1;
    std::size_t begin = 0;
    do {
        RowWindow& window = windows.emplace_back();
        window.lineDir = begin == 0 ? lineDir : nullptr;
        const std::size_t size = std::min(kWindowLines, listed.size() - begin);
        window.slice = std::span<FileRecord* const>(listed).subspan(begin, size);
        window.firstNumber = number;
        for (const FileRecord* entry : window.slice)
            number += entry->isDirectory ? 0 : 1;
        begin += size;
    } while (begin < listed.size());
}

} // namespace

// The rows of `dirs` (each folder's line and entries), or the entries `all` already in the order they
// are listed, formatted by window on the workers and the run thread and written in order. Folders larger
// than a window are sorted here and cut into windows of their own.
void ListingEngine::WriteRowsInParallel(const std::vector<DirRecord*>& dirs,
                                        const std::vector<FileRecord*>& all, OutputFile& out) {
    std::vector<RowWindow> windows;
    std::deque<std::vector<FileRecord*>> large; // the sorted entries of the large folders
    if (dirs.empty()) {
        AppendSlices(all, nullptr, windows);
    } else {
        std::size_t lines = 0;
        for (std::size_t i = 0; i < dirs.size(); ++i) {
            const std::size_t entries = m_options.m_bFileName ? dirs[i]->entries.size() : 0;
            if (entries >= kWindowLines) {
                lines = 0; // the next folders start a window of their own
                std::vector<FileRecord*>& listed = large.emplace_back();
                AppendEntriesOf(*dirs[i], listed);
                ListFileRecords(listed);
                AppendSlices(listed, m_options.m_bDirName ? dirs[i] : nullptr, windows);
                continue;
            }
            if (lines == 0)
                windows.push_back({i, i, nullptr, {}, 1});
            windows.back().endDir = i + 1;
            lines += entries + 1;
            if (lines >= kWindowLines)
                lines = 0;
        }
    }

    // One formatter for each thread, each with a writer of its own but the run thread's.
    const unsigned helpers = m_threads - 1;
    std::vector<std::unique_ptr<ListingWriter>> writers;
    std::vector<std::unique_ptr<RowFormatter>> formatters;
    for (unsigned i = 0; i < helpers; ++i) {
        writers.push_back(OutputTypeRow(m_options.m_outputType).makeWriter(m_writerContext));
        formatters.push_back(std::make_unique<RowFormatter>(m_options, *writers.back()));
    }
    std::vector<std::vector<FileRecord*>> scratch(helpers + 1);
    auto format = [&](unsigned formatter, std::size_t index, std::string& text) {
        RowFormatter& rows = formatter < helpers ? *formatters[formatter] : *m_formatter;
        const RowWindow& window = windows[index];
        if (window.lineDir != nullptr)
            rows.AppendFolder(*window.lineDir, text);
        if (!window.slice.empty())
            rows.AppendEntries(window.slice, text, {}, window.firstNumber);
        std::vector<FileRecord*>& entries = scratch[formatter];
        for (std::size_t i = window.firstDir; i < window.endDir; ++i) {
            if (m_options.m_bDirName)
                rows.AppendFolder(*dirs[i], text);
            if (!m_options.m_bFileName)
                continue;
            entries.clear();
            AppendEntriesOf(*dirs[i], entries);
            ListFileRecords(entries);
            rows.AppendEntries(entries, text);
        }
    };
    FormatWindowsInOrder(windows.size(), helpers, 2 * static_cast<std::size_t>(m_threads), format,
                         [&](std::string& text) { out.Write(text); });
}

void ListingEngine::WriteRunFacts(std::string& text) {
    std::vector<ProblemFacts> problems;
    problems.reserve(m_problems.size());
    for (const RunProblem& problem : m_problems)
        problems.push_back({ProblemKindWord(problem.kind), problem.path, problem.reason});
    RunFacts run;
    run.problems = problems;
    run.cancelled = m_bCancel.load();
    m_pWriter->FormatRunFacts(run, text);
}

// The version and the checksum a file's row shows, read once per run (a version that could not be read
// is tried again by the next run).
void ListingEngine::ReadDetails(FileRecord& entry) {
    // Like the checksum, a version is read from a regular file only: a link has none.
    const bool version = m_options.m_bFileVersion && entry.isRegular && !entry.versionKnown;
    const bool checksum = NeedsChecksum(entry, ChosenHashes(m_options));
    if (!version && !checksum)
        return;
    const std::string path = JoinPath(m_formatter->Paths().Of(*entry.parent), entry.name);
    if (version) {
        int error = 0;
        std::string text = GetFileVersionText(path, &error);
        entry.version = text.empty() ? nullptr : std::make_unique<std::string>(std::move(text));
        entry.versionKnown = error == 0;
        if (error != 0)
            m_problems.push_back({ProblemKind::VersionUnreadable, path, ErrorText(error)});
        ++m_stats.versionsComputed;
    }
    if (checksum)
        m_checksums->Compute(entry, path, [&](unsigned percent) { ShowChecksumProgress(path, percent); });
}

void ListingEngine::WriteFileRows(const std::vector<FileRecord*>& entries, OutputFile& out) {
    std::string text;
    m_formatter->AppendEntries(
        entries, text, [this](FileRecord& entry) { ReadDetails(entry); }, 1,
        [&out](std::string& full) { out.Write(full); });
    out.Write(text);
}

} // namespace quillary
