// The options of one listing run, as the option pages hold them. The front ends fill this record (from
// the window's controls or from a headless form) and hand it to the engine before a run; the engine
// never reads a window.
#pragma once

#include <string>

#include "listing/html_style.h"
#include "listing/output_type.h"

namespace quillary {

// The choices of the option lists, numbered as the lists' items (and as the settings and configuration
// files keep them). A value from a file that names no item is kept as it is: each use says what it
// does with one (no time shown, the order left as scanned, and so on).
enum class TimeKind : int { Creation = 0, LastWrite = 1, LastAccess = 2 };
enum class DirSortKey : int { Name = 0, Size = 1, Date = 2 };
enum class FileSortKey : int { Name = 0, Extension = 1, Size = 2, Date = 3 };
enum class SizeDisplay : int { Bytes = 0, Kilobytes = 1, Megabytes = 2, Gigabytes = 3, Dynamic = 4 };
enum class PathStyle : int { Full = 0, NoDrive = 1, FromTopChecked = 2 };

struct ListingOptions {
    // Directory lines.
    bool m_bDirName = true;
    int m_nDirNameWidth = 50;
    bool m_bFileCountInDirName = true;
    bool m_bDirSize = true;
    int m_nDirSizeWidth = 14;
    bool m_bDirDate = true;
    int m_nDirDateFormat = 0;
    bool m_bDirTime = true;
    int m_nDirTimeFormat = 0;
    bool m_bDirAttributes = true;

    // File lines.
    bool m_bSubdirs = true;
    bool m_bFileNumber = false;
    bool m_bFilePath = false;
    bool m_bFileName = true;
    int m_nFileNameWidth = 50;
    bool m_bFileExtension = true;
    bool m_bFileSize = true;
    int m_nFileSizeWidth = 14;
    bool m_bFileDate = true;
    int m_nFileDateFormat = 0;
    bool m_bFileTime = true;
    int m_nFileTimeFormat = 0;
    bool m_bFileVersion = false;
    int m_nFileVersionWidth = 7;
    bool m_bFileCrc32 = false;
    bool m_bFileXxh3 = false;
    bool m_bFileSha256 = false;
    bool m_bFileAttributes = true;
    bool m_bKeepChecksums = true; // checksums kept between runs in the user's cache folder

    // General options.
    std::string m_strMask = "*.*";
    std::string m_strExcludeMask;   // folders not read at all (the file mask's syntax; empty: none)
    bool m_bSkipHiddenDirs = false; // nor hidden and system folders
    DirSortKey m_sortDirsBy = DirSortKey::Name;
    bool m_bSortDirsDescending = false;
    FileSortKey m_sortFilesBy = FileSortKey::Extension;
    bool m_bSortFilesDescending = false;
    bool m_bFilesAllTogether = false;
    SizeDisplay m_sizeDisplay = SizeDisplay::Bytes;
    int m_nSizePrecision = 0;
    int m_nThousandSeparator = 1;
    int m_nDecimalSeparator = 0;
    bool m_bListingInEachDir = false;
    std::string m_strListingName = "_thisdir";
    PathStyle m_pathStyle = PathStyle::Full;
    TimeKind m_dateTimeKind = TimeKind::LastWrite;
    bool m_bRememberSelection = false;

    // Output options.
    OutputType m_outputType = OutputType::Text;
    bool m_bHtmlLinksToDirs = false;
    bool m_bHtmlLinksToFiles = false;
    bool m_bCsvColumnNames = true;
    std::string m_strCsvSeparator = ";";
    bool m_bCsvByteOrderMark = false; // a UTF-8 byte-order mark first, by which spreadsheets know UTF-8
    bool m_bCsvFormulaGuard = false;  // a "'" before a cell a spreadsheet would take for a formula
    HtmlStyle m_htmlStyle;
};

} // namespace quillary
