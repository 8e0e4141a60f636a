// The window's side of the run's host contract. Every call arrives on the run thread and is handed
// over to the UI thread with CallAfter on the window (never on the application object, whose queue can
// outlive the window), tagged with the run's generation number so that the window ignores calls of a
// run that is no longer the current one. The window joins the run thread before it goes away, so no
// call is queued on a window being destroyed.
#pragma once

#include <atomic>

#include "engine/listing_host.h"

namespace quillary {

class CQuillaryDlg;

class GuiListingHost final : public ListingHost {
public:
    explicit GuiListingHost(CQuillaryDlg& window) : m_window(window) {}

    // UI thread, before the run thread starts.
    void BeginRun(unsigned generation) { m_generation.store(generation); }

    // Run thread.
    void ShowProgress(const RunProgress& progress) override;
    void EnterBusyState() override;
    void LeaveBusyState() override;
    void RunFinished(const RunResult& result) override;

private:
    CQuillaryDlg& m_window;
    std::atomic<unsigned> m_generation{0};
};

} // namespace quillary
