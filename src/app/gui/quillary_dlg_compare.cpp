// The main window's "Compare with a saved listing...": the saved JSON Lines listing and the report's
// name are asked for, the ticked folders are listed into a private file by a run on the run thread,
// then the comparison writes its report on the same thread and the status line tells what changed.
#include <string>
#include <utility>
#include <vector>

#include <wx/filedlg.h>
#include <wx/filename.h>

#include "app/gui/quillary_dlg.h"
#include "listing/listing_preview.h"
#include "model/options_rules.h"
#include "model/tri_state_tree.h"
#include "platform/file_io.h"
#include "ui/wx_string.h"
#include "writers/output_types.h"

namespace quillary {

namespace {

std::string FileNameOf(const std::string& path) {
    return ToUtf8(wxFileName(ToWx(path)).GetFullName());
}

std::string CountOf(const ChangeCounts& counts) {
    return std::to_string(counts.folders + counts.files);
}

} // namespace

void CQuillaryDlg::OnCompareListing() {
    if (!m_bIdle || m_bRunActive)
        return;
    wxFileDialog open(this, ToWx(Messages().Get(MSG_COMPARE_TITLE)), wxString(), wxString(),
                      ToWx(Messages().Get(MSG_JSONL_FILTER)), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (open.ShowModal() != wxID_OK)
        return;
    const int filter = OutputTypeRow(SelectedOutputType(m_surface).value_or(OutputType::Text)).filterMessage;
    wxFileDialog save(this, ToWx(Messages().Get(MSG_SAVE_REPORT_TITLE)), wxString(), wxString(),
                      ToWx(Messages().Get(filter)), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (save.ShowModal() != wxID_OK)
        return;
    CompareListingTo(ToUtf8(open.GetPath()), ToUtf8(save.GetPath()));
}

bool CQuillaryDlg::CompareListingTo(const std::string& savedListing, const std::string& reportPath) {
    if (m_bRunActive)
        return false;
    JoinRunThread();
    const std::string listed = m_session.CompareListingPath();
    if (listed.empty())
        return false;
    CheckedDirList checkedDirs;
    CollectChecked(Tree(), checkedDirs);
    m_compare = PendingCompare{savedListing, reportPath, listed};
    StartRunThread(m_session.BuildCompareListingTarget(checkedDirs, listed));
    return true;
}

// The listing of the ticked folders is over: without it nothing is compared and the status line says
// why, as after any listing; with it the report is written on the run thread.
void CQuillaryDlg::ContinueCompare(const RunResult& listed) {
    if (listed.status != RunStatus::Written) {
        RemoveCompareListing();
        m_bRunActive = false;
        if (!m_bIdle)
            SetBusyState(false);
        ShowProblems(listed);
        return;
    }
    const unsigned generation = m_nGeneration;
    const ListingOptions options = ReadOptions(m_surface);
    m_runThread = std::thread([this, generation, options, compare = *m_compare, after = listed.outputPath] {
        const CompareOutcome outcome =
            WriteCompareReport(compare.savedListing, after, compare.reportPath, options);
        CallAfter([this, generation, outcome] { OnCompareFinished(generation, outcome); });
    });
}

void CQuillaryDlg::OnCompareFinished(unsigned generation, const CompareOutcome& outcome) {
    if (generation != m_nGeneration || !m_compare)
        return;
    JoinRunThread();
    const PendingCompare compare = *m_compare;
    RemoveCompareListing();
    m_bRunActive = false;
    if (!m_bIdle)
        SetBusyState(false);
    if (!outcome.compared) {
        ShowNotices({outcome.error});
        return;
    }
    const CompareTotals& totals = outcome.totals;
    ShowNotices({}, FillPlaceholders(Messages().Get(MSG_COMPARE_SUMMARY),
                                     {FileNameOf(compare.savedListing), CountOf(totals.added),
                                      CountOf(totals.removed), CountOf(totals.changed),
                                      FileNameOf(compare.reportPath)}));
}

void CQuillaryDlg::RemoveCompareListing() {
    if (!m_compare)
        return;
    RemoveFileQuietly(m_compare->listedPath);
    m_compare.reset();
}

} // namespace quillary
