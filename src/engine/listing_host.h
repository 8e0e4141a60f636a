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

class ListingHost {
public:
    virtual ~ListingHost() = default;
    // The progress text for the window title, at most once a second.
    virtual void ShowProgress(const std::string& text) = 0;
    virtual void EnterBusyState() = 0;
    virtual void LeaveBusyState() = 0;
    virtual void RunFinished(const RunResult& result) = 0;
};

} // namespace quillary
