// What a scan lists and which folders it reads. A filter is plain data that a run builds from its
// options; the scan compiles it once into ScanRules, which every worker asks at the same time.
//
// A new rule (a mask of folders to leave out, say) is a field here, a line in ScanFilterFor and a test
// in ScanRules: the scan already asks the rules about every entry it lists and every folder it enters.
#pragma once

#include <string>
#include <string_view>

#include "listing/listing_options.h"
#include "platform/name_mask.h"

namespace quillary {

struct ScanFilter {
    // The names of the entries listed, files and folders alike (name_mask.h). A folder whose name does
    // not match is still read: the mask chooses rows, not the folders walked.
    std::string fileMask = "*.*";
};

ScanFilter ScanFilterFor(const ListingOptions& options);

class ScanRules {
public:
    explicit ScanRules(const ScanFilter& filter) : m_fileMask(filter.fileMask) {}

    // True when the entry `name` is listed.
    bool Lists(std::string_view name) const { return m_fileMask.Matches(name); }
    // True when the subfolder `name` of a folder read with its subfolders is read too: every one, for
    // now.
    bool Enters(std::string_view /*name*/) const { return true; }

private:
    NameMask m_fileMask;
};

} // namespace quillary
