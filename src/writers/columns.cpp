#include "writers/columns.h"

#include "res/controls.h"

namespace quillary {

namespace {

using O = ListingOptions;
using L = CellLayout;

// clang-format off
constexpr ColumnDef kColumns[] = {
    {Column::Number,     "NUMBER",  kIdFileNumber,     &O::m_bFileNumber,     nullptr,                  nullptr,                 nullptr,             L::InName,       true},
    {Column::Path,       "PATH",    kIdFilePath,       &O::m_bFilePath,       nullptr,                  nullptr,                 nullptr,             L::InName,       true},
    {Column::Name,       "NAME",    kIdFileName,       nullptr,               nullptr,                  &O::m_nFileNameWidth,    &O::m_nDirNameWidth, L::InName,       true},
    {Column::Count,      "COUNT",   0,                 nullptr,               &O::m_bFileCountInDirName, nullptr,                nullptr,             L::InName,       true},
    {Column::Extension,  "EXT",     kIdFileExtension,  &O::m_bFileExtension,  nullptr,                  nullptr,                 nullptr,             L::InName,       true},
    {Column::Size,       "SIZE",    kIdFileSize,       &O::m_bFileSize,       &O::m_bDirSize,           &O::m_nFileSizeWidth,    &O::m_nDirSizeWidth, L::Number,       true},
    {Column::Date,       "DATE",    kIdFileDate,       &O::m_bFileDate,       &O::m_bDirDate,           nullptr,                 nullptr,             L::Plain,        true},
    {Column::Time,       "TIME",    kIdFileTime,       &O::m_bFileTime,       &O::m_bDirTime,           nullptr,                 nullptr,             L::Plain,        true},
    {Column::Version,    "VERSION", kIdFileVersion,    &O::m_bFileVersion,    nullptr,                  &O::m_nFileVersionWidth, nullptr,             L::RightAligned, true},
    {Column::Crc32,      "CRC32",   kIdFileCrc32,      &O::m_bFileCrc32,      nullptr,                  nullptr,                 nullptr,             L::Plain,        true},
    {Column::Xxh3,       "XXH3",    kIdFileXxh3,       &O::m_bFileXxh3,       nullptr,                  nullptr,                 nullptr,             L::Plain,        false},
    {Column::Sha256,     "SHA256",  kIdFileSha256,     &O::m_bFileSha256,     nullptr,                  nullptr,                 nullptr,             L::Plain,        false},
    {Column::Attributes, "ATTR",    kIdFileAttributes, &O::m_bFileAttributes, &O::m_bDirAttributes,     nullptr,                 nullptr,             L::Plain,        true},
};
// clang-format on

static_assert(std::size(kColumns) == kColumnCount);

constexpr bool InColumnOrder() {
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        if (ColumnIndex(kColumns[i].column) != i)
            return false;
    }
    return true;
}
static_assert(InColumnOrder(), "the table is indexed by Column");

} // namespace

std::span<const ColumnDef> Columns() {
    return kColumns;
}

const ColumnDef& ColumnRow(Column column) {
    return kColumns[ColumnIndex(column)];
}

ColumnSet ColumnsFor(const ListingOptions& o) {
    ColumnSet columns;
    for (const ColumnDef& def : kColumns) {
        const bool always = def.fileFlag == nullptr && def.dirFlag == nullptr;
        columns.Set(def.column, always || (def.fileFlag != nullptr && o.*def.fileFlag) ||
                                    (def.dirFlag != nullptr && o.*def.dirFlag));
    }
    return columns;
}

} // namespace quillary
