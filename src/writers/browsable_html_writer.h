// The browsable HTML listing: one self-contained file that a web browser opens without any network,
// with a folder tree, a table of the chosen folder's entries that draws only the rows in view, sorting
// by any column and a search by name. The listing's rows are embedded as JSON in script elements of
// type application/json, one row a line, and a script compiled into the program (res/browse/) builds
// the page from them.
//
// What no name can do: every "<", ">" and "&" inside the JSON is written as a \u escape, so the data
// never holds anything that could end its element or start markup, and U+2028 and U+2029 are escaped
// too; the script puts every text into the page as text (textContent), never as markup. The page's
// content security policy allows only the script the program wrote (by its SHA-256) and no loads.
//
// Format version 1, three JSON texts:
// - "q-meta": {"format":1,"caption":...,"separator":"/","columns":[{"name":"NAME","kind":"text"},...]}
//   with the table's columns (the listing's columns but the folder-only count; kind "text", "number"
//   for digits to compare as a number, "size" and "time" for the exact values at the end of a row).
// - "q-data": an array of rows ending with null. A folder line is
//   [0, folder, path, count, size, date, time, attributes, bytes, time-or-null]; an entry is
//   [1 (a file) or 2 (a subfolder), folder, name, extension, the other cells..., bytes, time-or-null]
//   with the cells of the columns that are on (the name and the extension first, then in the order
//   of "columns"; the page shows a subfolder's name in angle brackets). A folder is a number the rows
//   refer to; a cell is a text, or the number of a text in "q-texts" for the columns whose texts
//   repeat (path, extension, date, time, version, attributes, a subfolder's size). One row a line.
// - "q-folders": the folders that entries refer to but that have no folder line (when folder lines are
//   off, or the files are treated all together), each [folder, path].
// - "q-texts": the texts cells refer to by number.
// The JSON is ASCII: every other character is a \u escape, which keeps the browser's strings narrow.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "writers/listing_writer.h"

namespace quillary {

// The script and the style sheet the page is built with (compiled in from res/browse/).
extern const char* const kBrowseScript;
extern const char* const kBrowseStyle;

// Appends `text` as a JSON string that may stand inside a script element, in ASCII: as
// AppendJsonString, then "<", ">", "&" and every character beyond ASCII (U+2028 and U+2029 among
// them) as \u escapes.
void AppendScriptJsonString(std::string& out, std::string_view text);

class BrowsableHtmlWriter : public ListingWriter {
public:
    explicit BrowsableHtmlWriter(const WriterContext& context) : ListingWriter(context) {}

    void FormatHeader(const ColumnSet& columns, std::string& out) override;
    void FormatDirectoryRow(const DirectoryRow& row, std::string& out) override;
    void FormatFileRow(const FileRow& row, std::string& out) override;
    void FormatFooter(std::string& out) override;

private:
    void AppendExact(std::uint64_t size, const std::optional<std::int64_t>& time, std::string& out) const;

    std::vector<Column> m_columns; // the table's columns, in order
    // Folder numbers by the link path the rows carry; the last one looked up is remembered, as
    // consecutive entries mostly share their folder.
    std::unordered_map<std::string, std::uint32_t> m_folders;
    std::uint32_t m_nextFolder = 0;
    std::string m_lastLink;
    std::uint32_t m_lastFolder = 0;
    bool m_haveLast = false;
    // Folders first met through an entry: written after the rows (the footer is written into the
    // listing itself, an entry row may go into a per-folder listing).
    std::vector<std::pair<std::uint32_t, std::string>> m_entryFolders;
    // The texts entries refer to by number, in the order of their numbers (written after the rows).
    std::unordered_map<std::string, std::uint32_t> m_texts;
    std::vector<const std::string*> m_textOrder;
};

} // namespace quillary
