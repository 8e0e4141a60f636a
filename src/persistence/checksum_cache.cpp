#include "persistence/checksum_cache.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace quillary {

namespace {

constexpr std::uint8_t kCrc32Bit = 1u << 0, kXxh3Bit = 1u << 1, kSha256Bit = 1u << 2;
constexpr std::uint8_t kEveryHash = kCrc32Bit | kXxh3Bit | kSha256Bit;

// The most bytes an entry takes: eight numbers, the checksums' byte and the checksums.
constexpr std::size_t kLongestEntry = 8 * 10 + 1 + 4 + 8 + 32;

// Numbers are kept in seven-bit groups, low first, the high bit marking that another follows; each
// writer returns where the next byte goes.
char* PutNumber(char* out, std::uint64_t value) {
    for (; value >= 0x80; value >>= 7)
        *out++ = static_cast<char>((value & 0x7f) | 0x80);
    *out++ = static_cast<char>(value);
    return out;
}
// A difference (modulo 2^64) folded so that small ones either way stay short.
char* PutDifference(char* out, std::uint64_t value, std::uint64_t from) {
    const auto difference = static_cast<std::int64_t>(value - from);
    return PutNumber(out, (static_cast<std::uint64_t>(difference) << 1) ^
                              static_cast<std::uint64_t>(difference >> 63));
}
template <typename Unsigned> char* PutFixed(char* out, Unsigned value) {
    for (std::size_t i = 0; i < sizeof value; ++i)
        *out++ = static_cast<char>((value >> (8 * i)) & 0xff);
    return out;
}

// Reads a blob front to back; every read fails once the blob is cut short or malformed.
class BlobReader {
public:
    explicit BlobReader(std::string_view blob) : m_rest(blob) {}
    bool Number(std::uint64_t& value) {
        value = 0;
        for (unsigned shift = 0; shift < 64; shift += 7) {
            if (m_rest.empty())
                return false;
            const auto byte = static_cast<unsigned char>(m_rest.front());
            m_rest.remove_prefix(1);
            if (shift == 63 && byte > 1)
                return false; // more than 64 bits
            value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0)
                return true;
        }
        return false;
    }
    template <typename Value> bool Difference(Value& value, Value from) {
        std::uint64_t folded = 0;
        if (!Number(folded))
            return false;
        const std::uint64_t difference = (folded >> 1) ^ (~(folded & 1) + 1);
        value = static_cast<Value>(static_cast<std::uint64_t>(from) + difference);
        return true;
    }
    template <typename Unsigned> bool Fixed(Unsigned& value) {
        if (m_rest.size() < sizeof value)
            return false;
        value = 0;
        for (std::size_t i = 0; i < sizeof value; ++i)
            value |= static_cast<Unsigned>(static_cast<Unsigned>(static_cast<unsigned char>(m_rest[i]))
                                           << (8 * i));
        m_rest.remove_prefix(sizeof value);
        return true;
    }
    bool Bytes(std::size_t count, std::string_view& bytes) {
        if (m_rest.size() < count)
            return false;
        bytes = m_rest.substr(0, count);
        m_rest.remove_prefix(count);
        return true;
    }
    bool AtEnd() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

} // namespace

// Entries are in the order of their file's device and index.
bool Before(const FileIdentity& a, const FileIdentity& b) {
    return a.device < b.device || (a.device == b.device && a.index < b.index);
}
bool SameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.index == b.index;
}

const CachedFile* CachedFolder::Find(const FileIdentity& identity) const {
    const auto at = std::lower_bound(
        m_files.begin(), m_files.end(), identity,
        [](const CachedFile& file, const FileIdentity& id) { return Before(file.identity, id); });
    return at != m_files.end() && SameFile(at->identity, identity) ? &*at : nullptr;
}

// Each entry: device, index, size, the times and the day, most as the difference from the entry
// before (files of one folder are alike in them); the checksums held and each of them.
bool FolderFilesEncoder::Add(const CachedFile& file) {
    const FileIdentity& id = file.identity;
    if (m_count != 0 && !Before(m_previous, id))
        return false;
    const std::size_t start = m_blob.size();
    m_blob.resize(start + kLongestEntry);
    char* const first = m_blob.data();
    char* out = PutDifference(first + start, id.device, m_previous.device);
    out = PutDifference(out, id.index, m_previous.index);
    out = PutNumber(out, id.size);
    out = PutDifference(out, static_cast<std::uint64_t>(id.writeSeconds),
                        static_cast<std::uint64_t>(m_previous.writeSeconds));
    out = PutDifference(out, static_cast<std::uint64_t>(id.writeNanoseconds), 0);
    out = PutDifference(out, static_cast<std::uint64_t>(id.changeSeconds),
                        static_cast<std::uint64_t>(m_previous.changeSeconds));
    out = PutDifference(out, static_cast<std::uint64_t>(id.changeNanoseconds), 0);
    out =
        PutDifference(out, static_cast<std::uint64_t>(file.seen), static_cast<std::uint64_t>(m_previousSeen));
    const std::uint8_t hashes = file.checksums.hashes & kEveryHash;
    *out++ = static_cast<char>(hashes);
    if (hashes & kCrc32Bit)
        out = PutFixed(out, file.checksums.crc);
    if (hashes & kXxh3Bit)
        out = PutFixed(out, file.checksums.xxh3);
    if (hashes & kSha256Bit)
        out = std::copy(file.checksums.sha256.begin(), file.checksums.sha256.end(), out);
    m_blob.resize(static_cast<std::size_t>(out - first));
    m_previous = id;
    m_previousSeen = file.seen;
    ++m_count;
    return true;
}

void FolderFilesEncoder::Clear() {
    m_blob.clear();
    m_count = 0;
    m_previous = {};
    m_previousSeen = 0;
}

std::string EncodeFolderFiles(std::vector<CachedFile>& files) {
    std::sort(files.begin(), files.end(),
              [](const CachedFile& a, const CachedFile& b) { return Before(a.identity, b.identity); });
    FolderFilesEncoder encoder;
    for (std::size_t i = 0; i < files.size(); ++i)
        encoder.Add(files[i]); // the first of entries of one file
    return encoder.Blob();
}

std::string EncodeFolderFiles(std::vector<CachedFile>&& files) {
    return EncodeFolderFiles(files);
}

bool DecodeFolderFiles(std::string_view blob, CachedFolder& folder) {
    folder.m_files.clear();
    folder.m_files.reserve(blob.size() / 16);
    BlobReader in(blob);
    FileIdentity previous;
    std::int64_t previousSeen = 0;
    bool good = true;
    while (good && !in.AtEnd()) {
        CachedFile file;
        FileIdentity& id = file.identity;
        std::uint8_t hashes = 0;
        std::string_view digest;
        good = in.Difference(id.device, previous.device) && in.Difference(id.index, previous.index) &&
               in.Number(id.size) && in.Difference(id.writeSeconds, previous.writeSeconds) &&
               in.Difference(id.writeNanoseconds, std::int64_t{0}) &&
               in.Difference(id.changeSeconds, previous.changeSeconds) &&
               in.Difference(id.changeNanoseconds, std::int64_t{0}) &&
               in.Difference(file.seen, previousSeen) && in.Fixed(hashes) && (hashes & ~kEveryHash) == 0 &&
               (!(hashes & kCrc32Bit) || in.Fixed(file.checksums.crc)) &&
               (!(hashes & kXxh3Bit) || in.Fixed(file.checksums.xxh3)) &&
               (!(hashes & kSha256Bit) || in.Bytes(file.checksums.sha256.size(), digest)) &&
               // Strictly in order, so that a file is found by halving.
               (folder.m_files.empty() || Before(previous, id));
        if (!good)
            break;
        file.checksums.hashes = hashes;
        if (!digest.empty())
            std::memcpy(file.checksums.sha256.data(), digest.data(), digest.size());
        previous = id;
        previousSeen = file.seen;
        folder.m_files.push_back(file);
    }
    if (good)
        return true;
    folder.Clear();
    return false;
}

std::int64_t ChecksumCache::Today() {
    return static_cast<std::int64_t>(std::time(nullptr)) / 86400;
}

} // namespace quillary

#ifdef QUILLARY_NO_CHECKSUM_CACHE

// A build without SQLite keeps no checksums between runs: every file is read, as without the option.
namespace quillary {

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
bool ChecksumCache::Reader::FindFolder(const FolderIdentity&, CachedFolder&) {
    return false;
}
void ChecksumCache::StoreFolder(const FolderIdentity&, std::string) {}
void ChecksumCache::Flush() {}
std::string ChecksumCache::Finish() {
    return {};
}

} // namespace quillary

#else

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

namespace quillary {

namespace {

constexpr int kBusyMilliseconds = 10000; // another program's transaction is waited for this long
// Folders looked up in one read transaction: each transaction takes the log's shared locks anew.
constexpr unsigned kLookupsPerTransaction = 256;
// Folders written in one transaction at most, and the longest the writer gathers them before it writes.
constexpr std::size_t kFoldersPerTransaction = 4096;
constexpr auto kLongestGathering = std::chrono::seconds(1);
// The number of the database's layout (PRAGMA user_version, which kSchema sets); a new database and one
// of the row per file have 0.
constexpr int kLayout = 2;

// A folder's row holds a few kilobytes: a table with row numbers keeps that much in its own pages,
// where a table keyed by its columns alone would put the rest of each row on a page of its own.
constexpr const char* kSchema =
    "DROP TABLE IF EXISTS checksums; DROP TABLE IF EXISTS folders;"
    "CREATE TABLE folders(device INTEGER NOT NULL, folder INTEGER NOT NULL, last_seen INTEGER NOT NULL,"
    " files BLOB NOT NULL, UNIQUE(device, folder));"
    "CREATE TABLE IF NOT EXISTS facts(name TEXT PRIMARY KEY, value INTEGER) WITHOUT ROWID;"
    "PRAGMA user_version = 2;";
constexpr const char* kSelect = "SELECT files FROM folders WHERE device = ?1 AND folder = ?2";
constexpr const char* kUpsert = "INSERT INTO folders VALUES(?1, ?2, ?3, ?4) ON CONFLICT(device, folder)"
                                " DO UPDATE SET last_seen = excluded.last_seen, files = excluded.files";

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

// The database's layout number, or the failure.
int ReadLayout(sqlite3* db, int& layout) {
    Statement statement;
    int code = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement.handle, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_step(statement.handle);
    if (code != SQLITE_ROW)
        return code == SQLITE_OK || code == SQLITE_DONE ? SQLITE_ERROR : code;
    layout = sqlite3_column_int(statement.handle, 0);
    return SQLITE_OK;
}

// Makes the tables of this layout in a new database or one of another layout (whose rows are dropped:
// it is a cache). Two programs opening at once make them once: the second finds them made.
int MakeTables(sqlite3* db) {
    int layout = 0;
    int code = ReadLayout(db, layout);
    if (code != SQLITE_OK || layout == kLayout)
        return code;
    code = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        return code;
    code = ReadLayout(db, layout);
    if (code == SQLITE_OK && layout != kLayout)
        code = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return code;
}

// Opens the database and makes its tables when they are missing; the statements are tried once, so
// that a database of another shape is found here.
int OpenDatabaseOnce(const std::string& path, sqlite3*& db, std::string& message) {
    int code = Connect(path, db, message);
    if (code != SQLITE_OK)
        return code;
    code = MakeTables(db);
    for (const char* sql : {kSelect, kUpsert}) {
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

// OpenDatabaseOnce, tried again while another program holds a lock that SQLite does not wait for
// itself: the change to the write-ahead log and the first look at a database that another program is
// just making fail at once with SQLITE_BUSY. Starts no new try after kBusyMilliseconds (a try may
// itself wait as long for a lock SQLite does wait for).
int OpenDatabase(const std::string& path, sqlite3*& db, std::string& message) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyMilliseconds);
    for (;;) {
        const int code = OpenDatabaseOnce(path, db, message);
        if ((code != SQLITE_BUSY && code != SQLITE_LOCKED) || std::chrono::steady_clock::now() >= giveUp)
            return code;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
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

// The row as it is now merged with what a run knows (`update`, all seen today): an entry of the run
// replaces the row's entry of the same file, keeping the checksums the row held for the same identity
// (a program that ran at the same time may have read others); the row's other entries stay unless they
// were last seen before `oldest`.
std::string Merge(const CachedFolder& row, const CachedFolder& update, std::int64_t oldest) {
    FolderFilesEncoder merged;
    auto kept = row.Files().begin();
    const auto keptEnd = row.Files().end();
    for (const CachedFile& file : update.Files()) {
        for (; kept != keptEnd && Before(kept->identity, file.identity); ++kept)
            if (kept->seen >= oldest)
                merged.Add(*kept);
        CachedFile entry = file;
        if (kept != keptEnd && SameFile(kept->identity, file.identity)) {
            if (kept->identity == file.identity) {
                const CachedChecksums& other = kept->checksums;
                const std::uint8_t missing = other.hashes & ~entry.checksums.hashes;
                if (missing & kCrc32Bit)
                    entry.checksums.crc = other.crc;
                if (missing & kXxh3Bit)
                    entry.checksums.xxh3 = other.xxh3;
                if (missing & kSha256Bit)
                    entry.checksums.sha256 = other.sha256;
                entry.checksums.hashes |= missing;
            }
            ++kept;
        }
        merged.Add(entry);
    }
    for (; kept != keptEnd; ++kept)
        if (kept->seen >= oldest)
            merged.Add(*kept);
    return merged.Blob();
}

} // namespace

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
        sqlite3_exec(db, "DELETE FROM folders; DELETE FROM facts;", nullptr, nullptr, nullptr);
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

bool ChecksumCache::Reader::FindFolder(const FolderIdentity& folder, CachedFolder& found) {
    found.Clear();
    if (!folder.known)
        return false;
    if (m_lookups == kLookupsPerTransaction) {
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        m_lookups = 0;
    }
    if (m_lookups++ == 0)
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_bind_int64(m_select, 1, Signed(folder.device));
    sqlite3_bind_int64(m_select, 2, Signed(folder.index));
    const int code = sqlite3_step(m_select);
    bool kept = false;
    if (code == SQLITE_ROW) {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_select, 0));
        const int size = sqlite3_column_bytes(m_select, 0);
        kept = bytes != nullptr &&
               DecodeFolderFiles(std::string_view(bytes, static_cast<std::size_t>(size)), found);
    } else if (code != SQLITE_DONE) {
        m_cache.NoteDamage(code);
    }
    sqlite3_reset(m_select);
    return kept;
}

void ChecksumCache::StoreFolder(const FolderIdentity& folder, std::string files) {
    if (!folder.known || files.empty())
        return;
    Update update{folder.device, folder.index, std::move(files)};
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending.push_back(std::move(update));
        if (m_pending.size() < kBatchFolders)
            return;
        m_batches.push_back(std::move(m_pending));
        m_pending = {};
        m_pending.reserve(kBatchFolders);
    }
    m_batchReady.notify_one();
}

// The writer thread: each batch as it comes, until Finish (or the destructor) says there are no more.
void ChecksumCache::WriteRows() {
    for (;;) {
        std::vector<Update> updates;
        bool last = false, idle = false;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            auto ready = [this] { return m_finishing || m_flushing || !m_batches.empty(); };
            // Folders still short of a batch (those of the big files, stored one at a time while the
            // listing is written) are taken once they have waited a second, so that a run killed
            // during a long listing loses only its last second's rows.
            while (!m_batchReady.wait_for(lock, kLongestGathering, ready)) {
                if (!m_pending.empty()) {
                    m_batches.push_back(std::move(m_pending));
                    m_pending = {};
                }
            }
            // Batches are gathered into one transaction of many rows: each transaction writes every page
            // it touches anew.
            const auto deadline = std::chrono::steady_clock::now() + kLongestGathering;
            for (;;) {
                for (; !m_batches.empty(); m_batches.pop_front())
                    std::move(m_batches.front().begin(), m_batches.front().end(),
                              std::back_inserter(updates));
                if (m_finishing || m_flushing || updates.size() >= kFoldersPerTransaction ||
                    !m_batchReady.wait_until(lock, deadline, ready))
                    break;
            }
            last = m_finishing && m_batches.empty();
            idle = m_flushing && m_batches.empty();
            if (idle)
                m_flushing = false;
        }
        // In key order the rows are looked up walking the index once; two updates of one folder stay in
        // the order they were made.
        std::stable_sort(updates.begin(), updates.end(), [](const Update& a, const Update& b) {
            return std::tie(a.device, a.folder) < std::tie(b.device, b.folder);
        });
        try {
            Write(updates);
            if (idle || last)
                Prune();
        } catch (const std::exception&) {
            // No memory for a row of a huge folder: its files are read again by the next run, and
            // this run's listing goes on.
        }
        // While the run writes its listing, the log is copied into the database, which closing the
        // connection would otherwise do after the listing.
        if (idle && !last && !m_damaged.load())
            sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        if (last)
            return;
    }
}

// Rows are dropped once a day at most: the first run of a day looks for them.
void ChecksumCache::Prune() {
    if (m_pruned || m_damaged.load())
        return;
    m_pruned = true;
    Statement pruned, prune, noted;
    bool due = true;
    if (sqlite3_prepare_v2(m_db, "SELECT value FROM facts WHERE name = 'pruned'", -1, &pruned.handle,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(pruned.handle) == SQLITE_ROW)
        due = sqlite3_column_int64(pruned.handle, 0) != m_today;
    sqlite3_reset(pruned.handle);
    if (due &&
        sqlite3_prepare_v2(m_db, "DELETE FROM folders WHERE last_seen < ?1", -1, &prune.handle, nullptr) ==
            SQLITE_OK &&
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

void ChecksumCache::Flush() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_finishing)
            return;
        m_batches.push_back(std::move(m_pending));
        m_pending = {};
        m_flushing = true;
    }
    m_batchReady.notify_one();
}

void ChecksumCache::NoteDamage(int code) {
    if ((code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB)
        m_damaged.store(true);
}

// One transaction; when another program holds the database longer than the busy timeout, the rows are
// dropped (they are read again by a later run). Each update is merged into the row as the transaction
// finds it.
void ChecksumCache::Write(const std::vector<Update>& updates) {
    if (updates.empty() || m_damaged.load())
        return;
    int code = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        NoteDamage(code);
        return;
    }
    Statement select, upsert;
    code = sqlite3_prepare_v2(m_db, kSelect, -1, &select.handle, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_prepare_v2(m_db, kUpsert, -1, &upsert.handle, nullptr);
    CachedFolder row, update;
    std::string merged;
    for (const Update& next : updates) {
        if (code != SQLITE_OK)
            break;
        sqlite3_bind_int64(select.handle, 1, Signed(next.device));
        sqlite3_bind_int64(select.handle, 2, Signed(next.folder));
        code = sqlite3_step(select.handle);
        const std::string* files = &next.files;
        if (code == SQLITE_ROW) {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(select.handle, 0));
            const auto size = static_cast<std::size_t>(sqlite3_column_bytes(select.handle, 0));
            // A row that cannot be read is replaced by the update alone.
            if (bytes != nullptr && DecodeFolderFiles(std::string_view(bytes, size), row) &&
                DecodeFolderFiles(next.files, update)) {
                merged = Merge(row, update, m_today - kKeepDays);
                files = &merged;
            }
            code = SQLITE_OK;
        } else if (code == SQLITE_DONE) {
            code = SQLITE_OK;
        }
        sqlite3_reset(select.handle);
        if (code != SQLITE_OK)
            break;
        sqlite3_bind_int64(upsert.handle, 1, Signed(next.device));
        sqlite3_bind_int64(upsert.handle, 2, Signed(next.folder));
        sqlite3_bind_int64(upsert.handle, 3, m_today);
        sqlite3_bind_blob(upsert.handle, 4, files->data(), static_cast<int>(files->size()), SQLITE_STATIC);
        code = sqlite3_step(upsert.handle);
        code = code == SQLITE_DONE ? SQLITE_OK : code;
        sqlite3_reset(upsert.handle);
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
