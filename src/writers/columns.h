// The columns of a listing, one row each: the option flags that turn it on, its check box on
// "Options 1" (which gives its caption), its CSV name, and how the text and HTML writers lay out its
// cell. The row builder fills a row's cells by column and every writer walks this table, so a new
// column is a new row here, its check box, and the code that computes its value.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "listing/listing_options.h"

namespace quillary {

// In the order of the CSV columns (also the order of the text and HTML cells after the name).
enum class Column {
    Number,
    Path,
    Name,
    Count,
    Extension,
    Size,
    Date,
    Time,
    Version,
    Crc32,
    Xxh3,
    Sha256,
    Attributes,
};
inline constexpr std::size_t kColumnCount = 13;

// How the text listing shows a cell, and whether the HTML table gives it a column of its own.
enum class CellLayout {
    InName,       // part of the name cell (file number, path, name, extension; a folder's count)
    Number,       // right-aligned in its width and never cut; HTML: a right-aligned column
    RightAligned, // right-aligned and cut to its width
    Plain,        // as it is
};

struct ColumnDef {
    Column column;
    std::string_view csvName;
    int optionId; // the check box that turns it on for files (0: none of its own)
    // The options that turn it on for file and directory lines (null: never there); a column with
    // neither is always on.
    bool ListingOptions::*fileFlag;
    bool ListingOptions::*dirFlag;
    // Its width in the text listing on file and directory lines (null: it takes what it needs).
    int ListingOptions::*fileWidth;
    int ListingOptions::*dirWidth;
    CellLayout layout;
    // HTML keeps a collapsed column for it when it is off (the original columns); the later ones are
    // left out of the table when off.
    bool htmlKeptWhenOff;
};

// Every column, in the order of the Column values.
std::span<const ColumnDef> Columns();
const ColumnDef& ColumnRow(Column column);

inline constexpr std::size_t ColumnIndex(Column column) {
    return static_cast<std::size_t>(column);
}

// The columns a run has (for the headers): by default only the name.
class ColumnSet {
public:
    ColumnSet() { Set(Column::Name, true); }
    ColumnSet(std::initializer_list<Column> columns) {
        for (Column column : columns)
            Set(column, true);
    }
    static ColumnSet All() {
        ColumnSet all;
        all.m_on.fill(true);
        return all;
    }
    bool Has(Column column) const { return m_on[ColumnIndex(column)]; }
    void Set(Column column, bool on) { m_on[ColumnIndex(column)] = on; }

private:
    std::array<bool, kColumnCount> m_on{};
};

// The columns a listing with these options has.
ColumnSet ColumnsFor(const ListingOptions& options);

// The texts of one line by column; an absent cell is a column switched off for this line.
struct Cells {
    std::array<std::optional<std::string>, kColumnCount> cells;
    std::array<unsigned, kColumnCount> widths{}; // text listing widths, where the column has one

    std::optional<std::string>& operator[](Column column) { return cells[ColumnIndex(column)]; }
    const std::optional<std::string>& operator[](Column column) const { return cells[ColumnIndex(column)]; }
    unsigned& Width(Column column) { return widths[ColumnIndex(column)]; }
    unsigned Width(Column column) const { return widths[ColumnIndex(column)]; }
};

} // namespace quillary
