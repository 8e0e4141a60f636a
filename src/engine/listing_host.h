// How a listing run reaches its front end.
//
// Threading: every call is made on the run thread, in this order: EnterBusyState once (when the output
// file is open and the scan starts; not at all when the run fails before), ShowProgress any number of
// times, LeaveBusyState once (only after EnterBusyState), and RunFinished once as the last call, also
// for a run that could not start. An implementation never touches a window from these calls: the
// window hands each over to its UI thread (CallAfter), the console program prints.
#pragma once

#include <string>

#include "engine/run_result.h"

namespace quillary {

// What a run has done so far. The front end says it in its own words and language.
struct RunProgress {
    int folders = 0;           // folders read so far
    int entries = 0;           // entries listed so far (files, and folders that match the mask)
    bool scanComplete = false; // every folder is read: the counts are final
    // While the checksum of a file larger than one chunk is read: its path, and how much of it is read.
    std::string checksumFile;
    unsigned checksumPercent = 0; // 0..100
};

class ListingHost {
public:
    virtual ~ListingHost() = default;
    // At most once a second, and once more as soon as the scan is complete (whatever the time).
    virtual void ShowProgress(const RunProgress& progress) = 0;
    virtual void EnterBusyState() = 0;
    virtual void LeaveBusyState() = 0;
    virtual void RunFinished(const RunResult& result) = 0;
};

} // namespace quillary
