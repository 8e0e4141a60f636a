#include "engine/listing_compare.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/records.h"
#include "engine/sorting.h"
#include "platform/file_io.h"
#include "platform/path_syntax.h"
#include "platform/regular_file.h"
#include "writers/json_text.h"

namespace quillary {

namespace {

constexpr std::size_t kReadSize = 1 << 20;

// The lines of a file, read in large blocks; a CR before the LF is dropped.
class LineReader {
public:
    bool Open(const std::string& path, std::string& error) {
        FileStamp stamp;
        if (m_file.Open(path, stamp, true) != RegularFile::OpenResult::Opened) {
            error = "cannot read '" + path + "': " +
                    (m_file.LastError() != 0 ? ErrorText(m_file.LastError()) : "it is not a regular file");
            return false;
        }
        m_path = path;
        return true;
    }
    // The next line (without its line end), or false at the end of the file or on an error.
    bool Next(std::string_view& line, std::string& error) {
        while (true) {
            const std::size_t end = m_buffer.find('\n', m_at);
            if (end != std::string::npos || m_atEnd) {
                if (end == std::string::npos && m_at >= m_buffer.size())
                    return false;
                const std::size_t stop = end == std::string::npos ? m_buffer.size() : end;
                line = std::string_view(m_buffer).substr(m_at, stop - m_at);
                if (!line.empty() && line.back() == '\r')
                    line.remove_suffix(1);
                m_at = stop + 1;
                ++m_lineNumber;
                return true;
            }
            m_buffer.erase(0, m_at);
            m_at = 0;
            const std::size_t kept = m_buffer.size();
            m_buffer.resize(kept + kReadSize);
            const long long got = m_file.Read(m_buffer.data() + kept, kReadSize);
            if (got < 0) {
                error = "cannot read '" + m_path + "': " + ErrorText(m_file.LastError());
                return false;
            }
            m_buffer.resize(kept + static_cast<std::size_t>(got));
            m_atEnd = got == 0;
        }
    }
    std::uint64_t LineNumber() const { return m_lineNumber; }

private:
    RegularFile m_file;
    std::string m_path;
    std::string m_buffer;
    std::size_t m_at = 0;
    bool m_atEnd = false;
    std::uint64_t m_lineNumber = 0;
};

// A member's exact bytes: its hexadecimal twin when the listing wrote one, else the text itself.
std::optional<std::string> ExactText(const JsonObjectReader& object, std::string_view key) {
    if (const std::optional<std::string_view> hex = object.Get(std::string(key) + "Hex"))
        return BytesFromHex(*hex);
    if (const std::optional<std::string_view> text = object.Get(key))
        return std::string(*text);
    return std::nullopt;
}

// The part of a key that groups entries: a folder's own key, a file's folder ("" at the top).
std::string_view Group(const ListedEntry& entry) {
    if (entry.folder)
        return entry.key;
    const std::size_t slash = kNativePaths.FindLastSeparator(entry.key);
    return slash == std::string::npos ? std::string_view() : std::string_view(entry.key).substr(0, slash);
}

// The merge order: folders in name order, each folder before its files, files by their bytes. It is
// the order a listing with the default folder order has folder by folder.
int EntryOrder(const ListedEntry& a, const ListedEntry& b) {
    if (const int c = CompareNames(Group(a), Group(b)); c != 0)
        return c;
    if (a.folder != b.folder)
        return a.folder ? -1 : 1;
    return a.key.compare(b.key);
}

// One listing read in merge order.
class ListingCursor {
public:
    bool Open(const std::string& path, ListingOrigin& origin, std::string& error) {
        m_name = path;
        if (!m_lines.Open(path, error))
            return false;
        std::string_view line;
        if (!m_lines.Next(line, error) || !m_object.Parse(line) || m_object.Get("type") != "header" ||
            m_object.Get("format") != "1")
            return Fault(error);
        origin.path = path;
        origin.time = std::string(m_object.Get("time").value_or(""));
        // One selected folder: entries are keyed below it, so that a copy elsewhere compares equal.
        std::vector<std::string_view> selection;
        if (!JsonObjectReader::SplitArray(m_object.GetNested("selection").value_or(""), selection))
            return Fault(error);
        JsonObjectReader inner;
        if (selection.size() == 1) {
            if (!inner.Parse(selection[0]))
                return Fault(error);
            const std::optional<std::string> root = ExactText(inner, "path");
            if (!root)
                return Fault(error);
            m_root = *root;
            m_keyedBelowRoot = true;
        }
        if (!inner.Parse(m_object.GetNested("options").value_or("")))
            return Fault(error);
        m_streamed = inner.Get("folders") == "true" && inner.Get("allTogether") == "false" &&
                     inner.Get("sortFolders") == "name" && inner.Get("sortFoldersDescending") == "false";
        if (!m_streamed) {
            if (!ReadAll(error))
                return false;
            std::sort(m_block.begin(), m_block.end(),
                      [](const ListedEntry& a, const ListedEntry& b) { return EntryOrder(a, b) < 0; });
        }
        return true;
    }

    // The next entry in merge order, or nullptr at the end (with `error` set when the listing is not
    // sound). The entry stays valid until the next call.
    const ListedEntry* Next(std::string& error) {
        if (m_at < m_block.size())
            return &m_block[m_at++];
        if (!m_streamed || !FillBlock(error))
            return nullptr;
        return m_at < m_block.size() ? &m_block[m_at++] : nullptr;
    }

private:
    bool Fault(std::string& error) {
        if (error.empty())
            error = "'" + m_name + "' is not a JSON Lines listing (line " +
                    std::to_string(m_lines.LineNumber()) + ")";
        return false;
    }

    std::string KeyOf(const std::string& path) const {
        if (!m_keyedBelowRoot)
            return path;
        if (path == m_root)
            return {};
        const bool rootEndsWithSeparator = !m_root.empty() && kNativePaths.IsSeparator(m_root.back());
        if (path.size() > m_root.size() && path.compare(0, m_root.size(), m_root) == 0) {
            if (rootEndsWithSeparator)
                return path.substr(m_root.size());
            if (kNativePaths.IsSeparator(path[m_root.size()]))
                return path.substr(m_root.size() + 1);
        }
        return path;
    }

    // Reads the next folder or file of the listing into `entry`; false at the end or on a fault.
    bool ReadEntry(ListedEntry& entry, std::string& error) {
        std::string_view line;
        while (m_lines.Next(line, error)) {
            if (!m_object.Parse(line))
                return Fault(error);
            const std::optional<std::string_view> type = m_object.Get("type");
            const bool folder = type == "folder";
            if (!folder && type != "file") {
                continue;
            }
            std::optional<std::string> path = ExactText(m_object, "path");
            const std::string_view size = m_object.Get("size").value_or("");
            entry.folder = folder;
            if (!path ||
                std::from_chars(size.data(), size.data() + size.size(), entry.size).ec != std::errc())
                return Fault(error);
            entry.key = KeyOf(*path);
            entry.path = std::move(*path);
            const std::string_view modified = m_object.Get("modified").value_or("null");
            entry.modified.assign(modified == "null" ? std::string_view() : modified);
            for (auto [key, into] : {std::pair{"crc32", &entry.crc32}, std::pair{"xxh3", &entry.xxh3},
                                     std::pair{"sha256", &entry.sha256}}) {
                const std::string_view hex = m_object.Get(key).value_or("null");
                into->assign(hex == "null" ? std::string_view() : hex);
            }
            return true;
        }
        return false;
    }

    bool ReadAll(std::string& error) {
        ListedEntry entry;
        while (ReadEntry(entry, error))
            m_block.push_back(std::move(entry));
        return error.empty();
    }

    // The next folder with its files, sorted; the folders must come in name order.
    bool FillBlock(std::string& error) {
        m_block.clear();
        m_at = 0;
        if (m_pending) {
            m_block.push_back(std::move(*m_pending));
            m_pending.reset();
        }
        ListedEntry entry;
        while (ReadEntry(entry, error)) {
            if (entry.folder && !m_block.empty()) {
                m_pending = std::move(entry);
                break;
            }
            if (!entry.folder && (m_block.empty() || Group(entry) != m_block.front().key)) {
                error = "'" + m_name + "' lists '" + entry.path + "' outside its folder (line " +
                        std::to_string(m_lines.LineNumber()) + ")";
                return false;
            }
            m_block.push_back(std::move(entry));
        }
        if (!error.empty() || m_block.empty())
            return false;
        if (m_previousFolder && CompareNames(*m_previousFolder, m_block.front().key) >= 0) {
            error = "'" + m_name + "' does not list its folders in name order (line " +
                    std::to_string(m_lines.LineNumber()) + ")";
            return false;
        }
        m_previousFolder = m_block.front().key;
        std::sort(m_block.begin() + 1, m_block.end(),
                  [](const ListedEntry& a, const ListedEntry& b) { return a.key < b.key; });
        return true;
    }

    std::string m_name;
    LineReader m_lines;
    JsonObjectReader m_object;
    std::string m_root;
    bool m_keyedBelowRoot = false;
    bool m_streamed = false;
    std::vector<ListedEntry> m_block;
    std::size_t m_at = 0;
    std::optional<ListedEntry> m_pending;
    std::optional<std::string> m_previousFolder;
};

void Count(ChangeCounts& counts, const ListedEntry& entry) {
    ++(entry.folder ? counts.folders : counts.files);
}

} // namespace

CompareOutcome CompareListings(const std::string& beforePath, const std::string& afterPath,
                               ChangeSink& sink) {
    CompareOutcome outcome;
    ListingCursor before, after;
    ListingOrigin beforeOrigin, afterOrigin;
    if (!before.Open(beforePath, beforeOrigin, outcome.error) ||
        !after.Open(afterPath, afterOrigin, outcome.error))
        return outcome;
    sink.Begin(beforeOrigin, afterOrigin);
    CompareTotals& totals = outcome.totals;
    const ListedEntry* a = before.Next(outcome.error);
    const ListedEntry* b = outcome.error.empty() ? after.Next(outcome.error) : nullptr;
    while ((a != nullptr || b != nullptr) && outcome.error.empty()) {
        const int order = a == nullptr ? 1 : (b == nullptr ? -1 : EntryOrder(*a, *b));
        ListingChange change;
        if (order < 0) {
            change.kind = ChangeKind::Removed;
            change.before = a;
            Count(totals.removed, *a);
        } else if (order > 0) {
            change.kind = ChangeKind::Added;
            change.after = b;
            Count(totals.added, *b);
        } else {
            change.before = a;
            change.after = b;
            change.sizeChanged = a->size != b->size;
            change.timeChanged = a->modified != b->modified;
            for (auto [x, y] : {std::pair{&a->crc32, &b->crc32}, std::pair{&a->xxh3, &b->xxh3},
                                std::pair{&a->sha256, &b->sha256}})
                change.crcChanged = change.crcChanged || (!x->empty() && !y->empty() && *x != *y);
            Count(change.sizeChanged || change.timeChanged || change.crcChanged ? totals.changed
                                                                                : totals.unchanged,
                  *a);
        }
        if (change.before != nullptr && !change.before->folder)
            totals.bytesBefore = SaturatingAdd(totals.bytesBefore, change.before->size);
        if (change.after != nullptr && !change.after->folder)
            totals.bytesAfter = SaturatingAdd(totals.bytesAfter, change.after->size);
        if (change.kind != ChangeKind::Changed || change.sizeChanged || change.timeChanged ||
            change.crcChanged)
            sink.Change(change);
        if (order <= 0)
            a = before.Next(outcome.error);
        if (order >= 0 && outcome.error.empty())
            b = after.Next(outcome.error);
    }
    if (!outcome.error.empty())
        return outcome;
    sink.End(totals);
    outcome.compared = true;
    return outcome;
}

} // namespace quillary
