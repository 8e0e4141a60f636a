#include "writers/jsonl_writer.h"

#include <cstdio>

#include "listing/product.h"
#include "platform/path_syntax.h"
#include "writers/json_text.h"

namespace quillary {

namespace {

constexpr const char* kFolderSorts[] = {"name", "size", "date"};
constexpr const char* kFileSorts[] = {"name", "extension", "size", "date"};
constexpr const char* kTimeKinds[] = {"created", "modified", "accessed"};

// `,"key":"word"` with the word for an option's value (the words are plain: nothing to escape).
template <std::size_t N>
void AppendWordField(std::string& out, std::string_view key, const char* const (&words)[N], int index) {
    AppendJsonKey(out, key);
    out += '"';
    out += index >= 0 && static_cast<std::size_t>(index) < N ? words[index] : "none";
    out += '"';
}

void AppendBool(std::string& out, std::string_view key, bool value) {
    AppendJsonKey(out, key);
    out += value ? "true" : "false";
}

void AppendNumberField(std::string& out, std::string_view key, std::uint64_t value) {
    AppendJsonKey(out, key);
    out += std::to_string(value);
}

void AppendTimeField(std::string& out, std::string_view key, std::int64_t time) {
    AppendJsonKey(out, key);
    AppendJsonTime(out, time);
}

} // namespace

void JsonLinesWriter::FormatHeader(const ColumnSet&, std::string& out) {
    const ListingOptions& o = Options();
    out += "{\"type\":\"header\",\"program\":\"quillary\",\"version\":";
    AppendJsonString(out, kVersionText);
    AppendNumberField(out, "format", kJsonLinesFormatVersion);
    AppendTimeField(out, "time", Context().time);
    out += ",\"selection\":[";
    if (Context().selection != nullptr) {
        bool first = true;
        for (const std::string& line : *Context().selection) {
            if (line.size() < 2)
                continue;
            out += first ? "{" : ",{";
            first = false;
            AppendJsonField(out, "path", kNativePaths.Showable(line.substr(2)));
            AppendBool(out, "subfolders", line[0] != '2');
            out += '}';
        }
    }
    out += "],\"options\":{";
    AppendJsonField(out, "mask", o.m_strMask);
    AppendBool(out, "folders", o.m_bDirName);
    AppendBool(out, "files", o.m_bFileName);
    AppendBool(out, "subfolderEntries", o.m_bSubdirs);
    AppendWordField(out, "sortFolders", kFolderSorts, static_cast<int>(o.m_sortDirsBy));
    AppendBool(out, "sortFoldersDescending", o.m_bSortDirsDescending);
    AppendWordField(out, "sortFiles", kFileSorts, static_cast<int>(o.m_sortFilesBy));
    AppendBool(out, "sortFilesDescending", o.m_bSortFilesDescending);
    AppendBool(out, "allTogether", o.m_bFilesAllTogether);
    AppendWordField(out, "sortTime", kTimeKinds, static_cast<int>(o.m_dateTimeKind));
    AppendBool(out, "crc32", o.m_bFileCrc32);
    AppendBool(out, "xxh3", o.m_bFileXxh3);
    AppendBool(out, "sha256", o.m_bFileSha256);
    AppendBool(out, "version", o.m_bFileVersion);
    out += "}}";
}

void JsonLinesWriter::AppendCommonFields(const EntryFacts& facts, std::string& out) {
    out += ',';
    AppendJsonField(out, "path", facts.path);
    out += ',';
    AppendJsonField(out, "name", facts.name);
    AppendNumberField(out, "size", facts.size);
    AppendTimeField(out, "created", facts.created);
    AppendTimeField(out, "modified", facts.modified);
    AppendTimeField(out, "accessed", facts.accessed);
    out += ",\"attributes\":";
    AppendJsonString(out, facts.attributes);
}

void JsonLinesWriter::FormatFolderFacts(const EntryFacts& folder, std::string& out) {
    ++m_folders;
    out += "{\"type\":\"folder\"";
    AppendCommonFields(folder, out);
    AppendNumberField(out, "files", folder.fileCount);
    out += '}';
}

void JsonLinesWriter::FormatEntryFacts(const EntryFacts& entry, std::string& out) {
    const bool file = entry.kind == EntryFacts::Kind::File;
    out += file ? "{\"type\":\"file\"" : "{\"type\":\"subfolder\"";
    AppendCommonFields(entry, out);
    if (file) {
        ++m_files;
        m_bytes = entry.size > UINT64_MAX - m_bytes ? UINT64_MAX : m_bytes + entry.size;
        out += ',';
        AppendJsonField(out, "extension", entry.extension);
        for (const auto& [key, hex] : {std::pair{"crc32", &entry.crc32}, std::pair{"xxh3", &entry.xxh3},
                                       std::pair{"sha256", &entry.sha256}}) {
            if (!*hex)
                continue;
            AppendJsonKey(out, key);
            out += (*hex)->empty() ? "null" : "\"" + **hex + "\"";
        }
        if (entry.version) {
            out += ',';
            AppendJsonField(out, "fileVersion", *entry.version);
        }
    }
    out += '}';
}

void JsonLinesWriter::FormatRunFacts(const RunFacts& run, std::string& out) {
    for (const ProblemFacts& problem : run.problems) {
        out += "{\"type\":\"problem\",\"kind\":";
        AppendJsonString(out, problem.kind);
        out += ',';
        AppendJsonField(out, "path", problem.path);
        out += ',';
        AppendJsonField(out, "reason", problem.reason);
        out += "}\n";
    }
    out += "{\"type\":\"summary\"";
    AppendNumberField(out, "folders", m_folders);
    AppendNumberField(out, "files", m_files);
    AppendNumberField(out, "bytes", m_bytes);
    AppendNumberField(out, "problems", run.problems.size());
    AppendBool(out, "cancelled", run.cancelled);
    AppendBool(out, "complete", !run.cancelled && run.problems.empty());
    out += '}';
}

} // namespace quillary
