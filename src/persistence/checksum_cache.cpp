#include "persistence/checksum_cache.h"

#include <ctime>

#ifdef QUILLARY_NO_CHECKSUM_CACHE

// A build without SQLite keeps no checksums between runs: every file is read, as without the option.
namespace quillary {

std::int64_t ChecksumCache::Today() {
    return static_cast<std::int64_t>(std::time(nullptr)) / 86400;
}
std::unique_ptr<ChecksumCache> ChecksumCache::Open(const std::string&, std::int64_t, std::string& warning) {
    warning.clear();
    return nullptr;
}
bool ChecksumCache::Clear(const std::string&, std::string&) {
    return true;
}
ChecksumCache::~ChecksumCache() = default;
std::unique_ptr<ChecksumCache::Reader> ChecksumCache::NewReader() {
    return nullptr;
}
ChecksumCache::Reader::~Reader() = default;
bool ChecksumCache::Reader::Find(const FileIdentity&, CachedChecksums&) {
    return false;
}
void ChecksumCache::Store(const FileIdentity&, const CachedChecksums&) {}
std::string ChecksumCache::Finish() {
    return {};
}

} // namespace quillary

#else

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <system_error>
#include <tuple>
#include <utility>

namespace quillary {

namespace {

constexpr int kBusyMilliseconds = 10000; // another program's transaction is waited for this long
// Lookups in one read transaction: each transaction takes the log's shared locks anew.
constexpr unsigned kLookupsPerTransaction = 1024;
// Rows written in one transaction at most, and the longest the writer gathers them before it writes.
constexpr std::size_t kRowsPerTransaction = 65536;
constexpr auto kLongestGathering = std::chrono::seconds(1);

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS checksums("
    " device INTEGER NOT NULL, file INTEGER NOT NULL, size INTEGER NOT NULL,"
    " write_s INTEGER NOT NULL, write_ns INTEGER NOT NULL, change_s INTEGER NOT NULL,"
    " change_ns INTEGER NOT NULL, hashes INTEGER NOT NULL, crc32 INTEGER, xxh3 INTEGER, sha256 BLOB,"
    " last_seen INTEGER NOT NULL, PRIMARY KEY(device, file)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS facts(name TEXT PRIMARY KEY, value INTEGER) WITHOUT ROWID;";
constexpr const char* kSelect =
    "SELECT size, write_s, write_ns, change_s, change_ns, hashes, crc32, xxh3, sha256, last_seen"
    " FROM checksums WHERE device = ?1 AND file = ?2";
constexpr const char* kInsert = "INSERT OR REPLACE INTO checksums VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9,"
                                " ?10, ?11, ?12)";
constexpr const char* kTouch = "UPDATE checksums SET last_seen = ?3 WHERE device = ?1 AND file = ?2";

// SQLite keeps 64-bit signed integers: the unsigned numbers are kept by their bits.
sqlite3_int64 Signed(std::uint64_t value) {
    return static_cast<sqlite3_int64>(value);
}

// A database that answers with one of these cannot be read as a checksum cache at all; any other
// failure (busy, disk full, out of memory) passes.
bool Unreadable(int code) {
    switch (code & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_ERROR: // a table of another shape
        return true;
    default:
        return false;
    }
}

std::string Message(sqlite3* db, int code) {
    return db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
}

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

// Opens a connection with the settings every connection needs; SQLITE_OK or the failure (`message`).
int Connect(const std::string& path, sqlite3*& db, std::string& message) {
    db = nullptr;
    int code = sqlite3_open_v2(path.c_str(), &db,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code == SQLITE_OK) {
        sqlite3_busy_timeout(db, kBusyMilliseconds);
        sqlite3_extended_result_codes(db, 0);
        code = sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;", nullptr, nullptr,
                            nullptr);
    }
    if (code != SQLITE_OK) {
        message = Message(db, code);
        sqlite3_close_v2(db);
        db = nullptr;
    }
    return code;
}

// Opens the database and makes its tables when they are missing; the statements are tried once, so
// that a database of another shape is found here.
int OpenDatabase(const std::string& path, sqlite3*& db, std::string& message) {
    int code = Connect(path, db, message);
    if (code != SQLITE_OK)
        return code;
    code = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
    for (const char* sql : {kSelect, kInsert, kTouch}) {
        Statement statement;
        if (code == SQLITE_OK)
            code = sqlite3_prepare_v2(db, sql, -1, &statement.handle, nullptr);
    }
    if (code != SQLITE_OK) {
        message = Message(db, code);
        sqlite3_close_v2(db);
        db = nullptr;
    }
    return code;
}

// The core's paths are UTF-8 on every system.
std::filesystem::path FileSystemPath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

// Moves a damaged database out of the way, with its log: an old log must never be applied to the new
// database.
bool SetAside(const std::string& path, const std::string& aside) {
    std::error_code error;
    if (std::filesystem::exists(FileSystemPath(path), error)) {
        std::filesystem::rename(FileSystemPath(path), FileSystemPath(aside), error);
        if (error)
            return false;
    }
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        std::filesystem::remove(FileSystemPath(path + suffix), error);
    return true;
}

std::string Unusable(const std::string& path, const std::string& message) {
    return "cannot keep checksums in '" + path + "' (" + message + "): they are read from the files";
}

} // namespace

std::int64_t ChecksumCache::Today() {
    return static_cast<std::int64_t>(std::time(nullptr)) / 86400;
}

std::unique_ptr<ChecksumCache> ChecksumCache::Open(const std::string& path, std::int64_t today,
                                                   std::string& warning) {
    warning.clear();
    if (path.empty())
        return nullptr; // no cache folder (a user without a home folder): the files are read, untold
    sqlite3* db = nullptr;
    std::string message;
    int code = OpenDatabase(path, db, message);
    if (code != SQLITE_OK && Unreadable(code)) {
        std::error_code error;
        const std::string aside = path + ".bad";
        if (!std::filesystem::exists(FileSystemPath(path), error)) {
            warning = Unusable(path, message); // nothing to set aside: the folder is the trouble
            return nullptr;
        }
        if (!SetAside(path, aside)) {
            warning = Unusable(path, message);
            return nullptr;
        }
        std::string again;
        code = OpenDatabase(path, db, again);
        if (code != SQLITE_OK) {
            warning = Unusable(path, again);
            return nullptr;
        }
        warning = "the checksum cache '" + path + "' could not be read (" + message + "); set aside as '" +
                  aside + "', a new one is started";
    } else if (code != SQLITE_OK) {
        warning = Unusable(path, message);
        return nullptr;
    }
    return std::unique_ptr<ChecksumCache>(new ChecksumCache(path, today, db));
}

bool ChecksumCache::Clear(const std::string& path, std::string& error) {
    std::error_code exists;
    if (path.empty() || !std::filesystem::exists(FileSystemPath(path), exists))
        return true;
    sqlite3* db = nullptr;
    const int code = OpenDatabase(path, db, error);
    if (code != SQLITE_OK) {
        // A database that cannot be read holds nothing worth keeping.
        if (!Unreadable(code) || !SetAside(path, path + ".bad"))
            return false;
        std::filesystem::remove(FileSystemPath(path + ".bad"), exists);
        return true;
    }
    const int cleared =
        sqlite3_exec(db, "DELETE FROM checksums; DELETE FROM facts;", nullptr, nullptr, nullptr);
    if (cleared != SQLITE_OK)
        error = sqlite3_errmsg(db);
    else
        sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr); // gives the room back; may wait for others
    sqlite3_close_v2(db);
    return cleared == SQLITE_OK;
}

ChecksumCache::ChecksumCache(std::string path, std::int64_t today, sqlite3* db)
    : m_path(std::move(path)), m_today(today), m_db(db) {
    // A larger page cache and fewer checkpoints for the many rows of a first run.
    sqlite3_exec(m_db, "PRAGMA cache_size = -16384; PRAGMA wal_autocheckpoint = 4000;", nullptr, nullptr,
                 nullptr);
    m_writer = std::thread([this] { WriteRows(); });
}

ChecksumCache::~ChecksumCache() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finishing = true;
    }
    m_batchReady.notify_one();
    if (m_writer.joinable())
        m_writer.join();
    sqlite3_close_v2(m_db);
}

std::unique_ptr<ChecksumCache::Reader> ChecksumCache::NewReader() {
    if (m_damaged.load())
        return nullptr;
    sqlite3* db = nullptr;
    std::string message;
    if (Connect(m_path, db, message) != SQLITE_OK)
        return nullptr;
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v3(db, kSelect, -1, SQLITE_PREPARE_PERSISTENT, &select, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    return std::unique_ptr<Reader>(new Reader(*this, db, select));
}

ChecksumCache::Reader::Reader(ChecksumCache& cache, sqlite3* db, sqlite3_stmt* select)
    : m_cache(cache), m_db(db), m_select(select) {}

ChecksumCache::Reader::~Reader() {
    if (m_lookups != 0)
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(m_select);
    sqlite3_close_v2(m_db);
}

bool ChecksumCache::Reader::Find(const FileIdentity& identity, CachedChecksums& found) {
    if (m_lookups == kLookupsPerTransaction) {
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        m_lookups = 0;
    }
    if (m_lookups++ == 0)
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_bind_int64(m_select, 1, Signed(identity.device));
    sqlite3_bind_int64(m_select, 2, Signed(identity.index));
    const int code = sqlite3_step(m_select);
    bool same = false;
    if (code == SQLITE_ROW) {
        FileIdentity kept = identity;
        kept.size = static_cast<std::uint64_t>(sqlite3_column_int64(m_select, 0));
        kept.writeSeconds = sqlite3_column_int64(m_select, 1);
        kept.writeNanoseconds = sqlite3_column_int64(m_select, 2);
        kept.changeSeconds = sqlite3_column_int64(m_select, 3);
        kept.changeNanoseconds = sqlite3_column_int64(m_select, 4);
        same = kept == identity;
        if (same) {
            found = CachedChecksums{};
            found.hashes = static_cast<std::uint8_t>(sqlite3_column_int64(m_select, 5));
            found.crc = static_cast<std::uint32_t>(sqlite3_column_int64(m_select, 6));
            found.xxh3 = static_cast<std::uint64_t>(sqlite3_column_int64(m_select, 7));
            const void* digest = sqlite3_column_blob(m_select, 8);
            if (digest != nullptr &&
                sqlite3_column_bytes(m_select, 8) == static_cast<int>(found.sha256.size()))
                std::memcpy(found.sha256.data(), digest, found.sha256.size());
            else
                found.hashes &=
                    static_cast<std::uint8_t>(~(1u << 2)); // a SHA-256 of the wrong length is none
            if (sqlite3_column_int64(m_select, 9) < m_cache.m_today)
                m_cache.Add(Row{identity, {}, true});
        }
    } else if (code != SQLITE_DONE) {
        m_cache.NoteDamage(code);
    }
    sqlite3_reset(m_select);
    return same;
}

void ChecksumCache::Store(const FileIdentity& identity, const CachedChecksums& checksums) {
    Add(Row{identity, checksums, false});
}

void ChecksumCache::Add(Row row) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending.push_back(std::move(row));
        if (m_pending.size() < kBatchRows)
            return;
        m_batches.push_back(std::move(m_pending));
        m_pending = {};
    }
    m_batchReady.notify_one();
}

// The writer thread: each batch as it comes, until Finish (or the destructor) says there are no more.
void ChecksumCache::WriteRows() {
    for (;;) {
        std::vector<Row> rows;
        bool last = false;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            auto ready = [this] { return m_finishing || !m_batches.empty(); };
            m_batchReady.wait(lock, ready);
            // Batches are gathered into one transaction of many rows: a transaction writes each page of
            // the table it touches, and the files of one folder are spread over the whole table.
            const auto deadline = std::chrono::steady_clock::now() + kLongestGathering;
            for (;;) {
                for (; !m_batches.empty(); m_batches.pop_front())
                    std::move(m_batches.front().begin(), m_batches.front().end(), std::back_inserter(rows));
                if (m_finishing || rows.size() >= kRowsPerTransaction ||
                    !m_batchReady.wait_until(lock, deadline, ready))
                    break;
            }
            last = m_finishing && m_batches.empty();
        }
        // In key order the inserts walk the table's pages once instead of jumping between them.
        std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            return std::tie(a.identity.device, a.identity.index) <
                   std::tie(b.identity.device, b.identity.index);
        });
        Write(rows);
        if (last)
            return;
    }
}

void ChecksumCache::NoteDamage(int code) {
    if ((code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB)
        m_damaged.store(true);
}

// One transaction; when another program holds the database longer than the busy timeout, the rows are
// dropped (they are read again by a later run).
void ChecksumCache::Write(const std::vector<Row>& rows) {
    if (rows.empty() || m_damaged.load())
        return;
    int code = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        NoteDamage(code);
        return;
    }
    Statement insert, touch;
    code = sqlite3_prepare_v2(m_db, kInsert, -1, &insert.handle, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_prepare_v2(m_db, kTouch, -1, &touch.handle, nullptr);
    for (const Row& row : rows) {
        if (code != SQLITE_OK)
            break;
        const FileIdentity& id = row.identity;
        sqlite3_stmt* statement = row.seenOnly ? touch.handle : insert.handle;
        sqlite3_bind_int64(statement, 1, Signed(id.device));
        sqlite3_bind_int64(statement, 2, Signed(id.index));
        if (row.seenOnly) {
            sqlite3_bind_int64(statement, 3, m_today);
        } else {
            const CachedChecksums& sums = row.checksums;
            sqlite3_bind_int64(statement, 3, Signed(id.size));
            sqlite3_bind_int64(statement, 4, id.writeSeconds);
            sqlite3_bind_int64(statement, 5, id.writeNanoseconds);
            sqlite3_bind_int64(statement, 6, id.changeSeconds);
            sqlite3_bind_int64(statement, 7, id.changeNanoseconds);
            sqlite3_bind_int64(statement, 8, sums.hashes);
            sqlite3_bind_int64(statement, 9, sums.crc);
            sqlite3_bind_int64(statement, 10, Signed(sums.xxh3));
            if (sums.hashes & (1u << 2))
                sqlite3_bind_blob(statement, 11, sums.sha256.data(), static_cast<int>(sums.sha256.size()),
                                  SQLITE_STATIC);
            else
                sqlite3_bind_null(statement, 11);
            sqlite3_bind_int64(statement, 12, m_today);
        }
        code = sqlite3_step(statement);
        code = code == SQLITE_DONE ? SQLITE_OK : code;
        sqlite3_reset(statement);
    }
    if (code == SQLITE_OK)
        code = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        NoteDamage(code);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

std::string ChecksumCache::Finish() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_finishing)
            return {};
        m_batches.push_back(std::move(m_pending));
        m_pending = {};
        m_finishing = true;
    }
    m_batchReady.notify_one();
    m_writer.join(); // the rest is written on this thread
    if (!m_damaged.load()) {
        // Rows are dropped once a day at most: the first run of a day looks for them.
        Statement pruned, prune, noted;
        bool due = true;
        if (sqlite3_prepare_v2(m_db, "SELECT value FROM facts WHERE name = 'pruned'", -1, &pruned.handle,
                               nullptr) == SQLITE_OK &&
            sqlite3_step(pruned.handle) == SQLITE_ROW)
            due = sqlite3_column_int64(pruned.handle, 0) != m_today;
        sqlite3_reset(pruned.handle);
        if (due &&
            sqlite3_prepare_v2(m_db, "DELETE FROM checksums WHERE last_seen < ?1", -1, &prune.handle,
                               nullptr) == SQLITE_OK &&
            sqlite3_prepare_v2(m_db, "INSERT OR REPLACE INTO facts VALUES('pruned', ?1)", -1, &noted.handle,
                               nullptr) == SQLITE_OK) {
            sqlite3_bind_int64(prune.handle, 1, m_today - kKeepDays);
            sqlite3_bind_int64(noted.handle, 1, m_today);
            const int code = sqlite3_step(prune.handle);
            if (code == SQLITE_DONE)
                sqlite3_step(noted.handle);
            else
                NoteDamage(code);
        }
    }
    if (!m_damaged.load())
        return {};
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    const std::string aside = m_path + ".bad";
    if (!SetAside(m_path, aside))
        return "the checksum cache '" + m_path + "' is damaged and could not be set aside";
    return "the checksum cache '" + m_path + "' is damaged; set aside as '" + aside +
           "', a new one is started by the next run";
}

} // namespace quillary

#endif
