// Checksums kept between runs in an SQLite database (checksums.sqlite in the user's cache folder), so
// that a file whose identity has not changed since a run read it is not read again. A row is kept per
// folder, keyed by the folder (device and index), and holds its files in one compact blob: each file's
// identity (device and index, size, last-write and change times to the nanosecond) as it was read,
// the checksums it knows and the day it was last seen. A file is found in its folder's row by its
// device and index (its name is not needed: an equal identity is the same contents under any name); one
// whose identity differs in any other part is not taken from the row, and once it is read again its
// entry is replaced. One lookup serves a whole folder, and a run writes one row per folder instead of
// one per file.
//
// Several programs may use one database at once (write-ahead log, waiting for one another's locks).
// What a run knows of a folder is merged into the row as it is in the database when it is written, so
// two runs at once each keep what they read: an entry of this run replaces the row's entry of the
// same file, the row's other entries stay. Rows are written in transactions of up to 4,096 folders,
// at least once a second, so a killed run loses only its last ones. A database that cannot be read
// is set aside (renamed to "...bad") and a new one is made; when even that fails, the run goes without
// the cache. Rows not written for kKeepDays days are dropped once the small files are read (once a
// day), and so are the entries of a row rewritten after they were last seen that long ago (files
// deleted since).
//
// The database's layout has a number (SQLite's user_version); a database of another number is a cache
// of another layout, and its tables are dropped and made anew.
//
// Threading: StoreFolder and Finish may be called from any thread; each thread that looks rows up has a
// Reader of its own. Rows are written by a thread of the cache's own while the run goes on.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/directory_reader.h"
#include "platform/file_identity.h"
#include "platform/hashes.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quillary {

struct CachedChecksums {
    std::uint8_t hashes = 0; // the checksums held, as the engine's HashSet bits
    std::uint32_t crc = 0;
    std::uint64_t xxh3 = 0;
    Sha256Digest sha256{};
};

// One file of a folder's row.
struct CachedFile {
    FileIdentity identity;
    CachedChecksums checksums;
    std::int64_t seen = 0; // the day (since 1970) a run last listed the file as it is here
};

// The files of a folder's row, in the order of their device and index, each file once.
class CachedFolder {
public:
    // The entry of the file with the device and index of `identity` (its other parts may differ), or
    // nullptr.
    const CachedFile* Find(const FileIdentity& identity) const;
    const std::vector<CachedFile>& Files() const { return m_files; }
    void Clear() { m_files.clear(); }

private:
    friend bool DecodeFolderFiles(std::string_view blob, CachedFolder& folder);
    std::vector<CachedFile> m_files;
};

// Makes the row's blob of a folder's files, added in the order of their device and index.
class FolderFilesEncoder {
public:
    // Adds a file; false, adding nothing, when it does not come after the last one.
    bool Add(const CachedFile& file);
    const std::string& Blob() const { return m_blob; }
    bool Empty() const { return m_count == 0; }
    // Starts again with no files (keeping the room).
    void Clear();

private:
    std::string m_blob;
    std::size_t m_count = 0;
    FileIdentity m_previous;
    std::int64_t m_previousSeen = 0;
};

// The row's blob of `files`, in any order (of two entries of one file, such as two names of one file in
// a folder, one is kept); sorts them.
std::string EncodeFolderFiles(std::vector<CachedFile>& files);
std::string EncodeFolderFiles(std::vector<CachedFile>&& files);
// False for a blob that is not one FolderFilesEncoder makes (cut short, too long, out of order): such a
// row is taken as none and replaced.
bool DecodeFolderFiles(std::string_view blob, CachedFolder& folder);

class ChecksumCache {
public:
    static constexpr std::int64_t kKeepDays = 90;
    // Folders handed to the writer thread at once.
    static constexpr std::size_t kBatchFolders = 256;

    // Opens the database at `path` (made when missing) for a run on day `today` (days since 1970).
    // nullptr when it cannot be used; `warning` says what went wrong when the run should be told (a
    // damaged database set aside, or one that cannot be used), else stays empty ("" as `path`: none).
    static std::unique_ptr<ChecksumCache> Open(const std::string& path, std::int64_t today,
                                               std::string& warning);
    // Empties the database at `path`; false (with `error`) when it cannot be done.
    static bool Clear(const std::string& path, std::string& error);
    // Today as the cache counts days.
    static std::int64_t Today();

    ~ChecksumCache();
    ChecksumCache(const ChecksumCache&) = delete;
    ChecksumCache& operator=(const ChecksumCache&) = delete;

    // The day of this run, which entries written by it are seen on.
    std::int64_t RunDay() const { return m_today; }

    class Reader {
    public:
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;
        // The row of the folder: true when one is kept (its entries may be of other files or
        // versions: only an entry of the same identity is the file's).
        bool FindFolder(const FolderIdentity& folder, CachedFolder& found);

    private:
        friend class ChecksumCache;
        Reader(ChecksumCache& cache, sqlite3* db, sqlite3_stmt* select);

        ChecksumCache& m_cache;
        sqlite3* m_db;
        sqlite3_stmt* m_select;
        unsigned m_lookups = 0; // in the current read transaction
    };
    // A lookup connection for one thread; nullptr when none can be opened (then nothing is found).
    std::unique_ptr<Reader> NewReader();

    // Keeps what this run knows of files of the folder, a blob of FolderFilesEncoder (written with the
    // next batch): each file replaces the row's entry of the same device and index.
    void StoreFolder(const FolderIdentity& folder, std::string files);
    // Writes what is kept so far without waiting for more, then drops old rows and copies the log into
    // the database, all on the writer thread (the run has read most files, and goes on writing its
    // listing meanwhile).
    void Flush();
    // Writes what is still to be written and drops old rows. The warning when the database turned out
    // to be damaged meanwhile (it is then set aside), else "".
    std::string Finish();

private:
    struct Update {
        std::uint64_t device = 0;
        std::uint64_t folder = 0;
        std::string files; // FolderFilesEncoder
    };

    ChecksumCache(std::string path, std::int64_t today, sqlite3* db);
    void WriteRows();
    void Write(const std::vector<Update>& updates);
    void Prune();
    void NoteDamage(int code);

    std::string m_path;
    std::int64_t m_today;
    sqlite3* m_db;      // the connection that writes
    std::mutex m_mutex; // guards m_pending, m_batches, m_flushing and m_finishing
    std::condition_variable m_batchReady;
    std::vector<Update> m_pending;
    std::deque<std::vector<Update>> m_batches; // for the writer
    bool m_flushing = false;
    bool m_finishing = false;
    bool m_pruned = false; // by the writer thread
    std::thread m_writer;  // alone writes through m_db until Finish joins it
    std::atomic<bool> m_damaged{false};
};

} // namespace quillary
