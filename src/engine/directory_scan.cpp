#include "engine/directory_scan.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <iterator>

#include "engine/worker_threads.h"
#include "platform/file_io.h"
#include "platform/path_syntax.h"

namespace quillary {

namespace {

// Open folders kept for their queued subfolders; beyond this, subfolders are opened by their path.
constexpr int kSharedHandleBudget = 256;

// Fills the parts of a record that come from the file system.
void SetFromInfo(FileRecord& record, std::string_view name, const EntryInfo& info, bool keepIdentity) {
    record.isDirectory = info.isDirectory;
    record.isRegular = info.isRegular;
    record.size = info.size;
    record.creationTime = info.creationTime;
    record.lastAccessTime = info.lastAccessTime;
    record.lastWriteTime = info.lastWriteTime;
    record.identity.reset();
    if (keepIdentity && info.identityKnown && !info.isDirectory)
        record.identity = std::make_unique<ScannedIdentity>(
            ScannedIdentity{info.device, info.fileIndex, info.changeSeconds,
                            static_cast<std::uint32_t>(info.writeNanoseconds),
                            static_cast<std::uint32_t>(info.changeNanoseconds)});
    std::copy(std::begin(info.attributes), std::end(info.attributes), record.attributes);
    const std::size_t extension = kNativePaths.ExtensionStart(name);
    record.extensionStart = (info.isDirectory || extension == std::string_view::npos)
                                ? static_cast<std::uint32_t>(name.size() + 1)
                                : static_cast<std::uint32_t>(extension);
}

FileRecord* FindByName(std::vector<FileRecord>& entries, std::string_view name) {
    const auto at = std::lower_bound(entries.begin(), entries.end(), name,
                                     [](const FileRecord& r, std::string_view n) { return r.name < n; });
    return (at != entries.end() && at->name == name) ? &*at : nullptr;
}

RunProblem Problem(ProblemKind kind, const std::string& path, int error) {
    return {kind, kNativePaths.Showable(path), ErrorText(error)};
}

} // namespace

std::string JoinPath(const std::string& directory, std::string_view name) {
    std::string path;
    path.reserve(directory.size() + 1 + name.size());
    path += directory;
    path += kPathSeparator;
    path += name;
    return path;
}

struct DirectoryScan::FolderTask {
    std::string name;                              // the folder's own name; the selected folder's whole path
    std::shared_ptr<const DirectoryHandle> parent; // the parent folder, open; null: open by path
    DirRecord* parentNode = nullptr;               // null for the selected folder itself
    DirRecord* previousParent = nullptr;           // the parent's record in the previous run, if any
    bool withSubdirs = false;
    bool haveInfo = false; // `info` holds the folder's details, read in its parent
    EntryInfo info;

    std::string_view Name() const {
        if (parentNode != nullptr)
            return name;
        const std::size_t slash = name.rfind(kPathSeparator);
        return slash == std::string::npos ? std::string_view(name) : std::string_view(name).substr(slash + 1);
    }
};

// A root of a tree that lies below the selected folder: the walk may reach it, and then takes it in.
struct DirectoryScan::NestedRoot {
    DirRecord* root;
    std::vector<std::string> names; // of the folders from the selected folder down to the root
};

// What one worker reuses from folder to folder.
struct DirectoryScan::Worker {
    DirectoryReader reader;
    std::vector<FileRecord> found;
    std::vector<std::uint32_t> nameStarts; // where each found entry's name starts in `names`
    std::string names;
    std::vector<FolderTask> subfolders;
    std::vector<RunProblem> problems;
};

// The folders still to read, taken last in, first out: the walk goes deep first, so few folders are
// held open for their queued subfolders.
class DirectoryScan::FolderQueue {
public:
    explicit FolderQueue(const std::atomic<bool>& cancel) : m_cancel(cancel) {}

    // Moves every task in; the first of them is taken first.
    void Push(std::vector<FolderTask>& tasks) {
        {
            std::lock_guard lock(m_mutex);
            std::move(tasks.rbegin(), tasks.rend(), std::back_inserter(m_tasks));
        }
        tasks.clear();
        m_changed.notify_all();
    }

    // The next folder to read; false when the walk is over or cancelled. A true return must be
    // followed by Done once the folder is read.
    bool Pop(FolderTask& task) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_tasks.empty() || m_busy == 0 || m_cancel.load(); });
        if (m_tasks.empty() || m_cancel.load()) {
            m_changed.notify_all();
            return false;
        }
        task = std::move(m_tasks.back());
        m_tasks.pop_back();
        ++m_busy;
        return true;
    }

    void Done() {
        std::lock_guard lock(m_mutex);
        --m_busy;
        if (m_busy == 0 || m_cancel.load())
            m_changed.notify_all();
    }

    // Drops what a cancelled walk left (and the folder handles the tasks hold).
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_tasks.clear();
    }

private:
    const std::atomic<bool>& m_cancel;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<FolderTask> m_tasks;
    unsigned m_busy = 0;
};

DirectoryScan::DirectoryScan(FolderTree& tree, FolderTree& previous, const ScanFilter& filter,
                             const std::atomic<bool>& cancel, unsigned threads)
    : m_tree(tree), m_previous(previous), m_rules(filter), m_cancel(cancel), m_threads(std::max(threads, 1u)),
      m_queue(std::make_unique<FolderQueue>(cancel)) {
    for (unsigned i = 0; i < m_threads; ++i)
        m_workers.push_back(std::make_unique<Worker>());
}

DirectoryScan::~DirectoryScan() = default;

void DirectoryScan::ScanSelection(const std::string& path, bool withSubdirs, std::size_t rootPrefixLen,
                                  const std::function<void()>& waiting) {
    if (m_cancel.load())
        return;
    m_rootPrefixLen = rootPrefixLen;
    m_order.clear();
    m_selection = m_tree.Find(path);
    m_previousSelection = m_previous.Find(path);
    m_nestedRoots.clear();
    m_previousNestedRoots.clear();
    if (withSubdirs) {
        auto nested = [&path](const FolderTree& tree, std::vector<NestedRoot>& into) {
            for (DirRecord* root : tree.RootsBelow(path)) {
                NestedRoot& nestedRoot = into.emplace_back(NestedRoot{root, {}});
                const std::string_view below = std::string_view(root->name).substr(path.size() + 1);
                for (std::size_t start = 0; start <= below.size();) {
                    std::size_t end = below.find(kPathSeparator, start);
                    if (end == std::string_view::npos)
                        end = below.size();
                    nestedRoot.names.emplace_back(below.substr(start, end - start));
                    start = end + 1;
                }
            }
        };
        nested(m_tree, m_nestedRoots);
        nested(m_previous, m_previousNestedRoots);
    }
    std::vector<FolderTask> selection(1);
    selection[0].name = path;
    selection[0].withSubdirs = withSubdirs;
    m_queue->Push(selection);
    RunWorkers(
        withSubdirs ? m_threads : 1, [this](unsigned worker) { Work(*m_workers[worker]); }, waiting);
    m_queue->Clear();
    FinishSelection();
}

void DirectoryScan::Work(Worker& worker) {
    FolderTask task;
    while (m_queue->Pop(task)) {
        ScanFolder(task, worker);
        if (m_folderHook)
            m_folderHook(TaskPath(task));
        m_queue->Done();
    }
}

void DirectoryScan::ScanFolder(FolderTask& task, Worker& worker) {
    std::shared_ptr<const DirectoryHandle> folder = OpenFolder(task);
    const bool isSelection = task.parentNode == nullptr;
    if (!folder->IsOpen() && folder->Error() == ENOENT && !isSelection)
        return; // vanished since its parent was read: simply left out
    m_folderCount.fetch_add(1, std::memory_order_relaxed);

    OldEntries old;
    DirRecord* previousRecord = nullptr;
    DirRecord& record = Register(task, old, previousRecord);
    record.rootPrefixLen = m_rootPrefixLen;

    EntryInfo own = task.info;
    bool haveOwn = task.haveInfo;
    if (!haveOwn) // the selection keeps the details of the path itself, even of a link
        haveOwn = isSelection ? StatPath(task.name, own) : folder->StatSelf(task.Name(), own);
    if (haveOwn) {
        record.creationTime = own.creationTime;
        record.lastAccessTime = own.lastAccessTime;
        record.lastWriteTime = own.lastWriteTime;
        record.attributes = own.attributes;
    }
    // A folder that cannot be read stays a folder with the entries read so far (none when it could not
    // be opened); the run reports it.
    if (!folder->IsOpen()) {
        worker.problems.push_back(Problem(ProblemKind::FolderUnreadable, TaskPath(task), folder->Error()));
        return;
    }
    record.identity = folder->Identity();
    record.selected = isSelection;
    ReadEntries(task, *folder, record, worker);
    StoreEntries(worker, record);
    if (const std::uint64_t reused = TakeOverCache(record, old))
        m_reusedEntries.fetch_add(reused, std::memory_order_relaxed);
    QueueSubfolders(std::move(folder), record, previousRecord, worker);
}

// Made only where a path is shown or a folder must be opened by it: never for every folder.
std::string DirectoryScan::TaskPath(const FolderTask& task) {
    if (task.parentNode == nullptr)
        return task.name;
    std::lock_guard lock(m_mapMutex);
    return JoinPath(PathOf(*task.parentNode), task.name);
}

std::shared_ptr<const DirectoryHandle> DirectoryScan::OpenFolder(FolderTask& task) {
    // Counted while alive, so that the queue never keeps more than the budget of folders open.
    m_sharedHandles.fetch_add(1, std::memory_order_relaxed);
    std::shared_ptr<DirectoryHandle> folder(new DirectoryHandle, [this](DirectoryHandle* handle) {
        delete handle;
        m_sharedHandles.fetch_sub(1, std::memory_order_relaxed);
    });
    if (task.parent) {
        folder->OpenChild(*task.parent, task.name.c_str());
        task.parent.reset(); // the parent's handle is closed as soon as its last subfolder is open
    } else {
        // The selection is opened as the user named it; a subfolder never through a link.
        folder->OpenPath(TaskPath(task), task.parentNode == nullptr);
    }
    return folder;
}

DirRecord& DirectoryScan::Register(const FolderTask& task, OldEntries& old, DirRecord*& previousRecord) {
    std::lock_guard lock(m_mapMutex);
    DirRecord* record = nullptr;
    if (task.parentNode == nullptr) {
        record = m_selection;
        previousRecord = m_previousSelection;
    } else {
        const DirRecord& parent = *task.parentNode;
        record = FindSubfolder(parent, task.name);
        if (record == nullptr) {
            record = TakeNestedRoot(m_nestedRoots, parent, task.name);
            if (record != nullptr)
                m_tree.MoveUnder(*record, *task.parentNode, task.name);
        }
        if (task.previousParent != nullptr)
            previousRecord = FindSubfolder(*task.previousParent, task.name);
        if (previousRecord == nullptr)
            previousRecord = TakeNestedRoot(m_previousNestedRoots, parent, task.name);
    }
    // The previous run's entries serve as the cache, the first time the folder is reached in this run;
    // when it is reached again in this run, the earlier scan's entries are the freshest cache.
    DirRecord* cache =
        (previousRecord != nullptr && !previousRecord->entries.empty()) ? previousRecord : record;
    if (cache != nullptr) {
        old.entries = std::move(cache->entries);
        old.names = std::move(cache->names);
    }
    if (record == nullptr) {
        record = task.parentNode != nullptr ? &m_tree.AddSubfolder(*task.parentNode, task.name)
                                            : &m_tree.AddRoot(task.name);
    } else {
        // A folder reached twice in one run keeps one record: the later scan replaces what the earlier
        // one read. Its place in the tree stays, with the subfolders found before.
        DirRecord& dir = *record;
        dir.totalSize = 0;
        dir.fileCount = 0;
        dir.creationTime = dir.lastAccessTime = dir.lastWriteTime = 0;
        dir.attributes.clear();
        dir.entries.clear();
        dir.names.reset();
        dir.rootPrefixLen = 0;
        dir.identity = {};
        dir.selected = false;
    }
    if (task.parentNode == nullptr)
        m_selection = record;
    m_order.emplace_back(record, task.parentNode);
    return *record;
}

// The root among `roots` that is the folder `name` in `parent`, taken out of the list; or null.
DirRecord* DirectoryScan::TakeNestedRoot(std::vector<NestedRoot>& roots, const DirRecord& parent,
                                         std::string_view name) {
    for (auto it = roots.begin(); it != roots.end(); ++it) {
        if (it->names.back() != name)
            continue;
        const DirRecord* at = &parent;
        std::size_t i = it->names.size() - 1;
        while (i > 0 && at != nullptr && at != m_selection && at->name == it->names[i - 1]) {
            at = at->parent;
            --i;
        }
        if (i == 0 && at == m_selection) {
            DirRecord* root = it->root;
            roots.erase(it);
            return root;
        }
    }
    return nullptr;
}

void DirectoryScan::ReadEntries(const FolderTask& task, const DirectoryHandle& folder, DirRecord& record,
                                Worker& worker) {
    worker.found.clear();
    worker.nameStarts.clear();
    worker.names.clear();
    worker.subfolders.clear();
    worker.reader.Start(folder);
    std::string_view name;
    EntryKind kind;
    EntryInfo info;
    while (!m_cancel.load(std::memory_order_relaxed) && worker.reader.Next(name, kind)) {
        // A folder excluded by its name is left out before anything else is asked of it.
        if (kind == EntryKind::Directory && m_rules.LeavesOut(name, nullptr))
            continue;
        const bool matches = m_rules.Lists(name);
        bool isDirectory = kind == EntryKind::Directory;
        bool haveInfo = false;
        // Details are read only for entries that are listed or that may be folders, and for folders
        // when their attributes decide whether they are left out.
        if (matches || kind == EntryKind::Unknown || (isDirectory && m_rules.NeedsFolderAttributes())) {
            if (const int error = worker.reader.StatEntry(name.data(), info); error != 0) {
                // An entry that vanished is simply left out; one whose details cannot be read is left
                // out and reported, never listed with made-up details.
                if (error != ENOENT)
                    worker.problems.push_back(
                        Problem(ProblemKind::EntryUnreadable, JoinPath(TaskPath(task), name), error));
                continue;
            }
            haveInfo = true;
            isDirectory = info.isDirectory;
        }
        // An excluded folder is neither listed nor opened, so nothing below it is read.
        if (isDirectory && m_rules.LeavesOut(name, haveInfo ? info.attributes : nullptr))
            continue;
        if (matches) {
            FileRecord& entry = worker.found.emplace_back();
            worker.nameStarts.push_back(static_cast<std::uint32_t>(worker.names.size()));
            worker.names += name;
            SetFromInfo(entry, name, info, m_rules.KeepsIdentities());
            entry.parent = &record;
            if (!isDirectory) {
                ++record.fileCount;
                record.totalSize = SaturatingAdd(record.totalSize, info.size);
            }
        }
        if (isDirectory && task.withSubdirs) {
            FolderTask& subfolder = worker.subfolders.emplace_back();
            subfolder.name = name;
            subfolder.withSubdirs = true;
            subfolder.haveInfo = haveInfo;
            if (haveInfo)
                subfolder.info = info;
        }
    }
    if (worker.reader.Error() != 0)
        worker.problems.push_back(
            Problem(ProblemKind::FolderUnreadable, TaskPath(task), worker.reader.Error()));
    m_entryCount.fetch_add(static_cast<int>(worker.found.size()), std::memory_order_relaxed);
}

void DirectoryScan::StoreEntries(Worker& worker, DirRecord& record) {
    // One block for all names and a vector of exactly the right size: two allocations per folder.
    const std::size_t count = worker.found.size();
    record.names = std::make_unique_for_overwrite<char[]>(worker.names.size());
    std::memcpy(record.names.get(), worker.names.data(), worker.names.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t end = i + 1 < count ? worker.nameStarts[i + 1] : worker.names.size();
        worker.found[i].name =
            std::string_view(record.names.get() + worker.nameStarts[i], end - worker.nameStarts[i]);
    }
    std::sort(worker.found.begin(), worker.found.end(),
              [](const FileRecord& a, const FileRecord& b) { return a.name < b.name; });
    record.entries.reserve(count);
    std::move(worker.found.begin(), worker.found.end(), std::back_inserter(record.entries));
    worker.found.clear();
}

std::uint64_t DirectoryScan::TakeOverCache(DirRecord& record, OldEntries& previous) {
    std::uint64_t reused = 0;
    if (previous.entries.empty())
        return reused;
    for (FileRecord& entry : record.entries) {
        // The size is compared too: a file rewritten with its old time kept must not show the old
        // checksum.
        FileRecord* old = FindByName(previous.entries, entry.name);
        if (old == nullptr || old->lastWriteTime != entry.lastWriteTime || old->size != entry.size)
            continue;
        entry.crc = old->crc;
        entry.hashesKnown = old->hashesKnown;
        entry.strong = std::move(old->strong);
        entry.version = std::move(old->version);
        entry.versionKnown = old->versionKnown;
        ++reused;
    }
    return reused;
}

void DirectoryScan::QueueSubfolders(std::shared_ptr<const DirectoryHandle> folder, DirRecord& record,
                                    DirRecord* previousRecord, Worker& worker) {
    if (worker.subfolders.empty())
        return;
    const bool share = m_sharedHandles.load(std::memory_order_relaxed) <= kSharedHandleBudget;
    for (FolderTask& subfolder : worker.subfolders) {
        subfolder.parentNode = &record;
        subfolder.previousParent = previousRecord;
        if (share)
            subfolder.parent = folder;
    }
    m_queue->Push(worker.subfolders);
}

void DirectoryScan::FinishSelection() {
    // Backwards, every folder comes before the folder it was reached from, so its total is complete
    // when it is added to its parent's.
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        if (DirRecord* parent = it->second)
            parent->totalSize = SaturatingAdd(parent->totalSize, it->first->totalSize);
        FolderTree::SortSubfolders(*it->first);
    }
    m_order.clear();
    m_selection = m_previousSelection = nullptr;
    m_nestedRoots.clear();
    m_previousNestedRoots.clear();
}

std::vector<RunProblem> DirectoryScan::TakeProblems() {
    std::vector<RunProblem> problems;
    for (const std::unique_ptr<Worker>& worker : m_workers) {
        std::move(worker->problems.begin(), worker->problems.end(), std::back_inserter(problems));
        worker->problems.clear();
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const RunProblem& a, const RunProblem& b) { return a.path < b.path; });
    return problems;
}

} // namespace quillary
