#include "engine/scan_filter.h"

namespace quillary {

ScanFilter ScanFilterFor(const ListingOptions& options) {
    ScanFilter filter;
    filter.fileMask = options.m_strMask;
    return filter;
}

} // namespace quillary
