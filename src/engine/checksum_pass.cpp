#include "engine/checksum_pass.h"

#include <algorithm>
#include <iterator>

#include "engine/directory_scan.h"
#include "engine/sorting.h"
#include "engine/worker_threads.h"
#include "platform/directory_reader.h"
#include "platform/file_identity.h"
#include "platform/file_io.h"
#include "platform/path_syntax.h"

namespace quillary {

namespace {

// Keeps a checksum's outcome in the file's record; true when a checksum was computed.
bool StoreChecksum(FileRecord& entry, HashSet hashes, const FileChecksummer::Result& result,
                   const std::string& path, std::vector<RunProblem>& problems) {
    using Outcome = FileChecksummer::Outcome;
    switch (result.outcome) {
    case Outcome::Complete:
        // Those held before stay: the record is of the same unchanged file.
        if (hashes & kHashCrc32)
            entry.crc = result.crc;
        if ((hashes & (kHashXxh3 | kHashSha256)) && !entry.strong)
            entry.strong = std::make_unique<StrongHashes>();
        if (hashes & kHashXxh3)
            entry.strong->xxh3 = result.xxh3;
        if (hashes & kHashSha256)
            entry.strong->sha256 = result.sha256;
        entry.hashesKnown |= hashes;
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
        return false; // tried again by the next run
    }
    entry.checksumTried = true;
    return false;
}

constexpr HashSet kEveryHash = kHashCrc32 | kHashXxh3 | kHashSha256;

void TakeCached(FileRecord& entry, const CachedChecksums& kept) {
    const HashSet hashes = kept.hashes & kEveryHash;
    if (hashes & kHashCrc32)
        entry.crc = kept.crc;
    if ((hashes & (kHashXxh3 | kHashSha256)) && !entry.strong)
        entry.strong = std::make_unique<StrongHashes>();
    if (hashes & kHashXxh3)
        entry.strong->xxh3 = kept.xxh3;
    if (hashes & kHashSha256)
        entry.strong->sha256 = kept.sha256;
    entry.hashesKnown |= hashes;
}

// The identity the scan read with the entry's details, when the system told it there.
bool IdentityFromScan(const FileRecord& entry, FileIdentity& identity) {
    const ScannedIdentity* scanned = entry.identity.get();
    if (scanned == nullptr)
        return false;
    identity = {scanned->device,           scanned->fileIndex,        entry.size,
                entry.lastWriteTime,       scanned->writeNanoseconds, scanned->changeSeconds,
                scanned->changeNanoseconds};
    return true;
}

// One file of a folder whose row has been looked up: its identity (from the scan, or read by
// `identify`), the row's entry of the same identity, and what is to be kept of it.
class CachedLookup {
public:
    // True when the row holds every checksum of `hashes` for this very file; the record then holds them.
    // Only an identity of the listed size and time is looked up.
    template <typename Identify>
    bool Find(const CachedFolder& row, FileRecord& entry, HashSet hashes, Identify identify) {
        m_identified = (IdentityFromScan(entry, m_identity) || identify(m_identity)) &&
                       m_identity.size == entry.size && m_identity.writeSeconds == entry.lastWriteTime;
        if (!m_identified)
            return false;
        const CachedFile* kept = row.Find(m_identity);
        if (kept == nullptr || kept->identity != m_identity)
            return false;
        m_kept = kept;
        if ((hashes & ~kept->checksums.hashes) != 0)
            return false;
        TakeCached(entry, kept->checksums);
        return true;
    }
    // After the file was read: its entry, seen on `day`, with the checksums just computed and those the
    // row held, when the file read (`read`, the identity of the open file after its last byte) is still
    // the one identified before (by the scan, perhaps long before).
    bool Computed(const FileRecord& entry, HashSet hashes, const FileIdentity& read, std::int64_t day,
                  CachedFile& file) const {
        if (!m_identified || read != m_identity)
            return false;
        file = CachedFile{m_identity, m_kept != nullptr ? m_kept->checksums : CachedChecksums{}, day};
        CachedChecksums& row = file.checksums;
        row.hashes = static_cast<std::uint8_t>((row.hashes | hashes) & kEveryHash);
        if (hashes & kHashCrc32)
            row.crc = entry.crc;
        if (hashes & kHashXxh3)
            row.xxh3 = entry.strong->xxh3;
        if (hashes & kHashSha256)
            row.sha256 = entry.strong->sha256;
        return true;
    }
    // The row's entry of this identity, once Find has found it (valid while the row is).
    const CachedFile* Found() const { return m_kept; }

private:
    FileIdentity m_identity;
    bool m_identified = false;
    const CachedFile* m_kept = nullptr; // the row's entry of this identity
};

} // namespace

bool UsesChecksumCache(const ListingOptions& options) {
    return ChosenHashes(options) != 0 && options.m_bFileName && options.m_bKeepChecksums;
}

HashSet ChosenHashes(const ListingOptions& options) {
    HashSet hashes = 0;
    if (options.m_bFileCrc32)
        hashes |= kHashCrc32;
    if (options.m_bFileXxh3)
        hashes |= kHashXxh3;
    if (options.m_bFileSha256)
        hashes |= kHashSha256;
    return hashes;
}

bool NeedsChecksum(const FileRecord& entry, HashSet hashes) {
    return entry.isRegular && !entry.checksumTried && (hashes & ~entry.hashesKnown) != 0;
}

void ChecksumPass::ComputeSmallFiles(FolderTree& folders, unsigned threads,
                                     const std::function<void()>& waiting) {
    if (m_cancel.load())
        return;
    auto needed = [this](const FileRecord& entry) {
        return NeedsChecksum(entry, m_hashes) && entry.size <= FileChecksummer::kChunkSize;
    };
    // In path order, so that each worker opens its next folder from one it has open.
    std::vector<DirRecord*> withFiles = FoldersByPath(folders, false);
    withFiles.erase(std::remove_if(withFiles.begin(), withFiles.end(),
                                   [&](const DirRecord* dir) {
                                       return std::none_of(dir->entries.begin(), dir->entries.end(), needed);
                                   }),
                    withFiles.end());
    if (withFiles.empty())
        return;
    const auto workers =
        static_cast<unsigned>(std::clamp<std::size_t>(withFiles.size(), 1, std::max(threads, 1u)));
    std::vector<FileChecksummer> checksummers;
    checksummers.reserve(workers);
    for (unsigned i = 0; i < workers; ++i)
        checksummers.emplace_back(m_hashes, m_cache != nullptr);
    std::vector<std::vector<RunProblem>> problems(workers);
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> computed{0};
    // Each folder is taken by one worker, which alone writes the records of its files.
    auto work = [&](unsigned worker) {
        std::string name, path;
        FolderWalk walk;
        FolderPath paths;
        // Each worker looks rows up through a connection of its own.
        const std::unique_ptr<ChecksumCache::Reader> reader = m_cache ? m_cache->NewReader() : nullptr;
        CachedFolder row;
        std::vector<CachedFile> known;          // this folder's files read, for its row
        std::vector<const CachedFile*> matched; // and those found in its row
        for (std::size_t i = 0; !m_cancel.load(std::memory_order_relaxed) &&
                                (i = next.fetch_add(1, std::memory_order_relaxed)) < withFiles.size();) {
            DirRecord& dir = *withFiles[i];
            // The folder is opened, and a file's path made, only for a file that is read or looked at:
            // a folder whose files are all in the cache is not opened at all.
            const DirectoryHandle* open = nullptr;
            bool tried = false;
            auto folder = [&]() -> const DirectoryHandle* {
                if (!tried)
                    open = walk.Open(dir);
                tried = true;
                return open;
            };
            // One lookup for the folder's files; its row is written again only when it gains something:
            // a file read, or one seen on an earlier day.
            const bool keeps = reader != nullptr && dir.identity.known;
            if (keeps)
                reader->FindFolder(dir.identity, row);
            bool gained = false;
            known.clear();
            matched.clear();
            for (FileRecord& entry : dir.entries) {
                if (!needed(entry))
                    continue;
                bool named = false;
                auto nameAndPath = [&] {
                    if (!named) {
                        name.assign(entry.name);
                        path = JoinPath(paths.Of(dir), entry.name);
                    }
                    named = true;
                };
                auto identify = [&](FileIdentity& identity) {
                    nameAndPath();
                    const DirectoryHandle* handle = folder();
                    return handle != nullptr ? ReadFileIdentity(*handle, name.c_str(), identity)
                                             : ReadFileIdentity(path, identity);
                };
                CachedLookup lookup;
                if (keeps && lookup.Find(row, entry, m_hashes, identify)) {
                    matched.push_back(lookup.Found());
                    gained |= lookup.Found()->seen < m_cache->RunDay();
                    continue;
                }
                nameAndPath();
                // A folder that cannot be opened leaves each file to say why it cannot be read.
                const DirectoryHandle* handle = folder();
                const auto result =
                    handle != nullptr
                        ? checksummers[worker].ComputeIn(*handle, name.c_str(), entry.size,
                                                         entry.lastWriteTime, m_cancel)
                        : checksummers[worker].Compute(path, entry.size, entry.lastWriteTime, m_cancel, {});
                if (StoreChecksum(entry, m_hashes, result, path, problems[worker])) {
                    computed.fetch_add(1, std::memory_order_relaxed);
                    CachedFile file;
                    if (keeps && lookup.Computed(entry, m_hashes, result.identity, m_cache->RunDay(), file)) {
                        known.push_back(file);
                        gained = true;
                    }
                }
            }
            if (gained) {
                for (const CachedFile* file : matched)
                    known.push_back(CachedFile{file->identity, file->checksums, m_cache->RunDay()});
                m_cache->StoreFolder(dir.identity, EncodeFolderFiles(known));
            }
        }
    };
    RunWorkers(workers, work, waiting);
    if (m_cache != nullptr)
        m_cache->Flush();
    m_computed += computed.load();
    std::vector<RunProblem> found;
    for (std::vector<RunProblem>& part : problems)
        std::move(part.begin(), part.end(), std::back_inserter(found));
    std::sort(found.begin(), found.end(),
              [](const RunProblem& a, const RunProblem& b) { return a.path < b.path; });
    std::move(found.begin(), found.end(), std::back_inserter(m_problems));
}

void ChecksumPass::Compute(FileRecord& entry, const std::string& path,
                           const std::function<void(unsigned)>& progress) {
    if (m_cache && !m_reader)
        m_reader = m_cache->NewReader();
    // The files of one folder come one after another: its row is looked up once for them.
    const DirRecord* dir = entry.parent;
    const bool keeps = m_reader != nullptr && dir != nullptr && dir->identity.known;
    if (keeps && m_rowOf != dir) {
        m_reader->FindFolder(dir->identity, m_row);
        m_rowOf = dir;
    }
    auto identify = [&path](FileIdentity& identity) { return ReadFileIdentity(path, identity); };
    CachedLookup lookup;
    if (keeps && lookup.Find(m_row, entry, m_hashes, identify)) {
        if (const CachedFile* found = lookup.Found(); found->seen < m_cache->RunDay())
            m_cache->StoreFolder(
                dir->identity,
                EncodeFolderFiles({CachedFile{found->identity, found->checksums, m_cache->RunDay()}}));
        return;
    }
    const std::uint64_t size = entry.size;
    const auto result =
        m_checksummer.Compute(path, size, entry.lastWriteTime, m_cancel, [&](std::uint64_t done) {
            if (progress && size != 0)
                progress(static_cast<unsigned>(done * 100 / size));
        });
    if (StoreChecksum(entry, m_hashes, result, path, m_problems)) {
        ++m_computed;
        CachedFile file;
        if (keeps && lookup.Computed(entry, m_hashes, result.identity, m_cache->RunDay(), file))
            m_cache->StoreFolder(dir->identity, EncodeFolderFiles({file}));
    }
}

} // namespace quillary
