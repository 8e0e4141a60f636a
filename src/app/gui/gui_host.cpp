#include "app/gui/gui_host.h"

#include "app/gui/quillary_dlg.h"

namespace quillary {

void GuiListingHost::ShowProgress(const RunProgress& progress) {
    CQuillaryDlg* window = &m_window;
    const unsigned generation = m_generation.load();
    window->CallAfter([window, generation, progress] { window->OnRunProgress(generation, progress); });
}

void GuiListingHost::EnterBusyState() {
    CQuillaryDlg* window = &m_window;
    const unsigned generation = m_generation.load();
    window->CallAfter([window, generation] { window->OnRunBusy(generation, true); });
}

void GuiListingHost::LeaveBusyState() {
    CQuillaryDlg* window = &m_window;
    const unsigned generation = m_generation.load();
    window->CallAfter([window, generation] { window->OnRunBusy(generation, false); });
}

void GuiListingHost::RunFinished(const RunResult& result) {
    CQuillaryDlg* window = &m_window;
    const unsigned generation = m_generation.load();
    window->CallAfter([window, generation, result] { window->OnRunFinished(generation, result); });
}

} // namespace quillary
