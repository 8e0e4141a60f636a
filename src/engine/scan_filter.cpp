#include "engine/scan_filter.h"

#include "engine/checksum_pass.h"

namespace quillary {

ScanFilter ScanFilterFor(const ListingOptions& options) {
    ScanFilter filter;
    filter.fileMask = options.m_strMask;
    filter.excludeMask = options.m_strExcludeMask;
    filter.skipHiddenFolders = options.m_bSkipHiddenDirs;
    filter.keepIdentities = UsesChecksumCache(options);
    return filter;
}

} // namespace quillary
