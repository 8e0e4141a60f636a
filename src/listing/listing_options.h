// The options of one listing run, as the option pages hold them. The front ends fill this record (from
// the window's controls or from a headless form) and hand it to the engine before a run; the engine
// never reads a window.
#pragma once

#include <string>

#include "listing/html_style.h"
#include "listing/output_type.h"

namespace quillary {

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
    bool m_bFileAttributes = true;

    // General options.
    std::string m_strMask = "*.*";
    int m_nSortDirsBy = 0;
    bool m_bSortDirsDescending = false;
    int m_nSortFilesBy = 1;
    bool m_bSortFilesDescending = false;
    bool m_bFilesAllTogether = false;
    int m_nSizeDisplay = 0;
    int m_nSizePrecision = 0;
    int m_nThousandSeparator = 1;
    int m_nDecimalSeparator = 0;
    bool m_bListingInEachDir = false;
    std::string m_strListingName = "_thisdir";
    int m_nPathStyle = 0;
    int m_nDateTimeKind = 1;
    bool m_bRememberSelection = false;

    // Output options.
    OutputType m_outputType = OutputType::Text;
    bool m_bHtmlLinksToDirs = false;
    bool m_bHtmlLinksToFiles = false;
    bool m_bCsvColumnNames = true;
    std::string m_strCsvSeparator = ";";
    HtmlStyle m_htmlStyle;
};

} // namespace quillary
