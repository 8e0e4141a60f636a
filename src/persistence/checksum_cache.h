// Checksums kept between runs in an SQLite database (checksums.sqlite in the user's cache folder), so
// that a file whose identity has not changed since a run read it is not read again. A row is keyed by
// the file (device and index) and holds the size and times it was read at, the checksums it knows and
// the day it was last seen; a row whose file differs in any of them is not used, and is replaced once
// the file is read again.
//
// Several programs may use one database at once (write-ahead log, waiting for one another's locks);
// rows are written in transactions of up to 65,536 rows, at least once a second, so a killed run loses
// only its last ones. A
// database that cannot be read is set aside (renamed to "...bad") and a new one is made; when even that
// fails, the run goes without the cache. Rows not seen for kKeepDays days are dropped at the end of a
// run (once a day).
//
// Threading: Store and Finish may be called from any thread; each thread that looks rows up has a Reader
// of its own. Rows are written by a thread of the cache's own while the run goes on.
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

class ChecksumCache {
public:
    static constexpr std::int64_t kKeepDays = 90;
    // Rows handed to the writer thread at once.
    static constexpr std::size_t kBatchRows = 4096;

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

    class Reader {
    public:
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;
        // The row of this very file: true when one is kept with the same identity (it may hold fewer
        // checksums than wanted). A row last seen before today is marked seen.
        bool Find(const FileIdentity& identity, CachedChecksums& found);

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

    // Keeps the checksums of a file just read (written with the next batch).
    void Store(const FileIdentity& identity, const CachedChecksums& checksums);
    // Writes what is still to be written and drops old rows. The warning when the database turned out
    // to be damaged meanwhile (it is then set aside), else "".
    std::string Finish();

private:
    struct Row {
        FileIdentity identity;
        CachedChecksums checksums;
        bool seenOnly = false; // only the day it was seen changes
    };

    ChecksumCache(std::string path, std::int64_t today, sqlite3* db);
    void Add(Row row);
    void WriteRows();
    void Write(const std::vector<Row>& rows);
    void NoteDamage(int code);

    std::string m_path;
    std::int64_t m_today;
    sqlite3* m_db;      // the connection that writes
    std::mutex m_mutex; // guards m_pending, m_batches and m_finishing
    std::condition_variable m_batchReady;
    std::vector<Row> m_pending;
    std::deque<std::vector<Row>> m_batches; // for the writer
    bool m_finishing = false;
    std::thread m_writer; // alone writes through m_db until Finish joins it
    std::atomic<bool> m_damaged{false};
};

} // namespace quillary
