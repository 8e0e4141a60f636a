// What a scan lists and which folders it reads. A filter is plain data that a run builds from its
// options; the scan compiles it once into ScanRules, which every worker asks at the same time.
//
// A new rule is a field here, a line in ScanFilterFor and a test in ScanRules: the scan asks the rules
// about every entry it lists and every folder it finds.
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
    // Folders found below a selected one whose names match are left out: neither listed nor read, so
    // nothing below them is either. Empty: none. A selected folder itself is always read.
    std::string excludeMask;
    bool skipHiddenFolders = false; // the same for folders with the hidden or system attribute
    bool keepIdentities = false;    // files' identities kept in their records, for the checksum cache
};

ScanFilter ScanFilterFor(const ListingOptions& options);

class ScanRules {
public:
    explicit ScanRules(const ScanFilter& filter)
        : m_fileMask(filter.fileMask), m_excludeMask(filter.excludeMask),
          m_excludes(!filter.excludeMask.empty()), m_skipHidden(filter.skipHiddenFolders),
          m_keepIdentities(filter.keepIdentities) {}

    // True when the entry `name` is listed.
    bool Lists(std::string_view name) const { return m_fileMask.Matches(name); }
    // True when folder attributes are needed to decide on a subfolder (see LeavesOut).
    bool NeedsFolderAttributes() const { return m_skipHidden; }
    // True when the records keep the identities the scan reads of files.
    bool KeepsIdentities() const { return m_keepIdentities; }
    // True when the subfolder `name`, with `attributes` ("rahsc" letters, or null when not read), is
    // left out: not listed and not read.
    bool LeavesOut(std::string_view name, const char* attributes) const {
        if (m_excludes && m_excludeMask.Matches(name))
            return true;
        return m_skipHidden && attributes != nullptr && (attributes[2] == 'h' || attributes[3] == 's');
    }

private:
    NameMask m_fileMask;
    NameMask m_excludeMask;
    bool m_excludes;
    bool m_skipHidden;
    bool m_keepIdentities;
};

} // namespace quillary
