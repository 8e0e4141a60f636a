// The listing engine: the run. It scans the selected directories in their order, keeps the totals,
// has the checksums read (checksum_pass.h) and the rows built (row_builder.h), and writes one listing
// through the writer of the chosen output type, optionally also a listing inside every processed
// directory. The scanned records stay in the engine after a run as the cache of the next one.
//
// Threading: SetRunTarget and RequestCancel are called by the front end; Run executes on the run thread
// and reaches the front end only through ListingHost. Only the cancel flag is shared while a run is
// active. The scan and the checksums of small files are read by a pool of worker threads that the run
// thread starts and waits for (see worker_threads.h); every host call is still made on the run thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/checksum_pass.h"
#include "engine/folder_tree.h"
#include "engine/listing_host.h"
#include "engine/records.h"
#include "engine/row_formatter.h"
#include "engine/run_result.h"
#include "listing/listing_options.h"
#include "listing/message_table.h"
#include "platform/file_io.h"
#include "platform/held_folder.h"
#include "writers/listing_writer.h"

namespace quillary {

// "3|path" (the directory with everything below it) or "2|path" (the directory alone); paths have no
// trailing separator, the POSIX root is "" and a Windows drive "c:" (path_syntax.h).
using CheckedDirList = std::vector<std::string>;

struct RunTarget {
    ListingOptions options;
    CheckedDirList checkedDirs;
    MessageTable messages;
    std::string outputPath; // "-" writes to standard output
    bool previewRun = false;
    std::optional<std::int64_t> headerTime; // the header's time stamp; now when not set
    unsigned threads = 0; // workers that read folders and checksums; 0: DefaultWorkerCount()
    // Called on the run thread once the tree is read (and its small files' checksums are computed),
    // before any row is written: tests change the tree there, as another user could meanwhile.
    std::function<void()> afterScan;
};

class ListingEngine {
public:
    explicit ListingEngine(ListingHost* host = nullptr);
    ListingEngine(const ListingEngine&) = delete;
    ListingEngine& operator=(const ListingEngine&) = delete;

    void SetRunTarget(RunTarget target);
    // Runs the listing on the calling thread; the result is also handed to the host's RunFinished.
    RunResult Run();
    // May be called from any thread while Run is active.
    void RequestCancel() { m_bCancel.store(true); }

    // The folders of the last run.
    const FolderTree& Folders() const { return m_folders; }

private:
    void ScanSelections();
    void LeaveOutTemporaryFile(const OutputFile& out);
    void ShowProgress(bool forced);
    void ShowChecksumProgress(const std::string& path, unsigned percent);
    bool ProgressDue();
    void WriteRows(OutputFile& out);
    bool FormatsInParallel() const;
    void WriteRowsInParallel(const std::vector<DirRecord*>& dirs, const std::vector<FileRecord*>& all,
                             OutputFile& out);
    void WriteFileRows(const std::vector<FileRecord*>& entries, OutputFile& out);
    void WriteRunFacts(std::string& text);
    void ReadDetails(FileRecord& entry);
    void ListFileRecords(std::vector<FileRecord*>& entries) const;
    void WritePerDirectoryFile(const DirRecord& dir, const std::vector<FileRecord*>& entries,
                               const OutputFile& mainOutput);
    const HeldFolder* HeldFolderOf(const DirRecord& dir);
    RunResult Finish(RunStatus status);
    void WriteLine(OutputFile& out, std::string& text);

    ListingHost* m_host;
    RunTarget m_target;
    const ListingOptions& m_options = m_target.options;
    bool m_bListingInEachDir = false;
    bool m_checksumsAllRead = false; // no row needs a checksum read while the rows are written
    unsigned m_threads = 1;
    ColumnSet m_columnSet;
    WriterContext m_writerContext;
    std::unique_ptr<ListingWriter> m_pWriter;
    std::unique_ptr<RowFormatter> m_formatter;      // the run thread's, with m_pWriter
    std::unique_ptr<ChecksumCache> m_checksumCache; // outlives m_checksums
    std::unique_ptr<ChecksumPass> m_checksums;

    std::atomic<bool> m_bCancel{false};
    int m_nLastProgressSecond = 0;
    bool m_scanComplete = false;
    RunStatistics m_stats;
    std::vector<RunProblem> m_problems;
    std::vector<std::string> m_warnings;
    std::string m_outputError; // why the output could not be opened or written
    FolderTree m_folders;
    FolderTree m_previousFolders;
    // The folders the last listings went into that have subfolders, each below the one before: the
    // next listings open their folders from them by one name. At most kHeldFolders, the lowest.
    static constexpr std::size_t kHeldFolders = 64;
    std::deque<std::pair<const DirRecord*, HeldFolder>> m_held;
};

} // namespace quillary
