#include "engine/scan_filter.h"

namespace quillary {

ScanFilter ScanFilterFor(const ListingOptions& options) {
    ScanFilter filter;
    filter.fileMask = options.m_strMask;
    filter.excludeMask = options.m_strExcludeMask;
    filter.skipHiddenFolders = options.m_bSkipHiddenDirs;
    return filter;
}

} // namespace quillary
