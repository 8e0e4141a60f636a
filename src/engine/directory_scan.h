// Reads the selected folders into the folder tree with a small pool of workers that share one queue
// of folders to read.
//
// What the scan builds never depends on the workers' timing: each folder's entries and subfolders are
// sorted by name, totals are summed once a selection has been read, and problems are sorted by path.
// Folders are opened relative to their parent's handle and a queued folder holds its own name only, so
// neither the depth of a tree nor the length of its paths has a limit or a cost beyond that.
//
// The cache: the record a folder had in the previous run (or from an earlier selection of this run)
// lends its checksums and versions to the entries whose last-write time and size are unchanged.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/folder_tree.h"
#include "engine/records.h"
#include "engine/run_result.h"
#include "engine/scan_filter.h"
#include "platform/directory_reader.h"

namespace quillary {

// A folder's path (the root is "", a drive "c:") joined with an entry name by the separator:
// "/dir/name", "c:\name".
std::string JoinPath(const std::string& directory, std::string_view name);

class DirectoryScan {
public:
    // The scan adds to `tree` and takes the entries it reuses out of the records of `previous`; it reads
    // with `threads` workers (at least one).
    DirectoryScan(FolderTree& tree, FolderTree& previous, const ScanFilter& filter,
                  const std::atomic<bool>& cancel, unsigned threads);
    ~DirectoryScan();
    DirectoryScan(const DirectoryScan&) = delete;
    DirectoryScan& operator=(const DirectoryScan&) = delete;

    // Reads one selected folder (path without a trailing separator, "" the root, "c:" a drive), and
    // everything below it when `withSubdirs`. A later selection that reaches a folder again replaces its
    // record. `waiting` is called on the calling thread while the workers read, about ten times a second.
    void ScanSelection(const std::string& path, bool withSubdirs, std::size_t rootPrefixLen,
                       const std::function<void()>& waiting);

    // Called with a folder's path on the worker that read it, as soon as the folder is read (tests stop
    // a scan at a known point through it). Set before the first ScanSelection.
    void SetFolderHook(std::function<void(const std::string& path)> hook) { m_folderHook = std::move(hook); }

    // Progress so far; may be read on any thread.
    int FolderCount() const { return m_folderCount.load(std::memory_order_relaxed); }
    int EntryCount() const { return m_entryCount.load(std::memory_order_relaxed); }
    std::uint64_t ReusedEntries() const { return m_reusedEntries.load(std::memory_order_relaxed); }

    // The folders and entries that could not be read so far, sorted by path.
    std::vector<RunProblem> TakeProblems();

private:
    struct FolderTask;
    struct Worker;
    class FolderQueue;
    struct NestedRoot;
    // What a record held before this scan read its folder again: the cache of its entries.
    struct OldEntries {
        std::vector<FileRecord> entries;
        std::unique_ptr<char[]> names;
    };

    void Work(Worker& worker);
    void ScanFolder(FolderTask& task, Worker& worker);
    std::string TaskPath(const FolderTask& task);
    std::shared_ptr<const DirectoryHandle> OpenFolder(FolderTask& task);
    DirRecord& Register(const FolderTask& task, OldEntries& old, DirRecord*& previousRecord);
    DirRecord* TakeNestedRoot(std::vector<NestedRoot>& roots, const DirRecord& parent, std::string_view name);
    void ReadEntries(const FolderTask& task, const DirectoryHandle& folder, DirRecord& record,
                     Worker& worker);
    static void StoreEntries(Worker& worker, DirRecord& record);
    std::uint64_t TakeOverCache(DirRecord& record, OldEntries& old);
    void QueueSubfolders(std::shared_ptr<const DirectoryHandle> folder, DirRecord& record,
                         DirRecord* previousRecord, Worker& worker);
    void FinishSelection();

    FolderTree& m_tree;
    FolderTree& m_previous;
    const ScanRules m_rules;
    const std::atomic<bool>& m_cancel;
    unsigned m_threads;
    std::size_t m_rootPrefixLen = 0;
    std::function<void(const std::string&)> m_folderHook;

    std::unique_ptr<FolderQueue> m_queue;
    std::vector<std::unique_ptr<Worker>> m_workers;

    // Guards both trees, the selection's fields below and m_order while workers run.
    std::mutex m_mapMutex;
    DirRecord* m_selection = nullptr;         // the selected folder's record, once made
    DirRecord* m_previousSelection = nullptr; // its record in the previous run
    std::vector<NestedRoot> m_nestedRoots;    // roots of both trees below the selected folder
    std::vector<NestedRoot> m_previousNestedRoots;
    // Each folder of the current selection with the folder it was reached from (null for the
    // selection), in the order they were registered: a folder always comes after its parent.
    std::vector<std::pair<DirRecord*, DirRecord*>> m_order;

    std::atomic<int> m_folderCount{0};
    std::atomic<int> m_entryCount{0};
    std::atomic<std::uint64_t> m_reusedEntries{0};
    std::atomic<int> m_sharedHandles{0}; // open folders kept for subfolders still in the queue
};

} // namespace quillary
