#include "app/gui/quillary_dlg.h"

#include <algorithm>
#include <cstdio>

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/tooltip.h>
#include <wx/utils.h>

#include "app/gui/menu_items.h"
#include "app/gui/quillary_app.h"
#include "app/gui/window_placement.h"
#include "listing/product.h"
#include "model/options_rules.h"
#include "model/tri_state_tree.h"
#include "persistence/language_file.h"
#include "platform/program_files.h"
#include "res/controls.h"
#include "res/menus.h"
#include "ui/about_page.h"
#include "ui/control_factory.h"
#include "ui/fitting_size.h"
#include "ui/options1_page.h"
#include "ui/options2_page.h"
#include "ui/preview_page.h"
#include "ui/program_icon.h"
#include "ui/select_dirs_page.h"
#include "ui/wx_string.h"
#include "writers/output_types.h"

namespace quillary {

namespace {

constexpr int kMinimumWidth = 471;
constexpr int kMinimumHeight = 520;

// Win32 show states as the "Window" setting stores them.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

// The window's title while no run shows its progress there.
wxString ProgramTitle() {
    return wxString::Format("%s %s", kProductName, kVersionText);
}

// What a run did, for the status line: "Listing written: out.txt (Dirs: 3, Files: 25)".
std::string RunSummary(const RunResult& result, const MessageTable& messages) {
    std::string line;
    switch (result.status) {
    case RunStatus::Written:
        line = messages.Get(MSG_RUN_WRITTEN);
        break;
    case RunStatus::Cancelled:
        line = messages.Get(MSG_RUN_CANCELLED);
        break;
    default:
        line = messages.Get(MSG_RUN_NOT_WRITTEN);
        break;
    }
    if (!result.outputPath.empty())
        line += ": " + ToUtf8(wxFileName(ToWx(result.outputPath)).GetFullName());
    if (result.status == RunStatus::Written || result.status == RunStatus::Cancelled)
        line += " (" + messages.Get(MSG_DIRS) + ": " + std::to_string(result.statistics.dirCount) + ", " +
                messages.Get(MSG_FILES) + ": " + std::to_string(result.statistics.entryCount) + ")";
    if (!result.problems.empty())
        line += ", " + messages.Get(MSG_RUN_PROBLEMS) + ": " + std::to_string(result.problems.size());
    return line;
}

} // namespace

CQuillaryDlg::CQuillaryDlg(const CommandLineInfo& commandLine, ProgramLocations locations,
                           ListingRunnerFactory runnerFactory)
    : wxFrame(nullptr, wxID_ANY, wxString()), m_cmdInfo(commandLine),
      m_session(m_surface, std::move(locations)), m_host(*this) {
    m_runner = runnerFactory ? runnerFactory(m_host) : MakeEngineRunner(m_host);

    // Title and icon; the title is never translated.
    SetTitle(ProgramTitle());
    SetIcons(ProgramIcons());
    m_bIdle = true;
    m_bInitDone = false;

    CreateMenuBar();
    CreateControls();
    CreateAccelerators();
    BindEvents();

    // Tooltips: shown after a second, for ten seconds (GTK wraps long tips by itself).
    wxToolTip::Enable(true);
    wxToolTip::SetDelay(1000);
    wxToolTip::SetAutoPop(10000);

    SetMinSize(wxSize(kMinimumWidth, kMinimumHeight));
    // A placement in the settings replaces this size.
    SetSize(FittingSize());
    m_normalRect = GetRect();

    LoadSettingsFrom(m_session.SettingsFilePath());
    // An unattended run takes quillary-cli's steps in its order and ends at the first that fails.
    SessionReport report = m_cmdInfo.m_bUnattended ? m_session.CheckHeaderTime() : SessionReport();
    if (!report.Stops() && m_cmdInfo.m_bLoadConfiguration)
        report = LoadConfigurationNamed(m_cmdInfo.m_strConfigurationFile);
    m_bInitDone = true;

    if (m_cmdInfo.m_bUnattended) {
        if (!report.Stops())
            report = RestoreSelectionNamed(m_cmdInfo.m_strSelectionFile);
        Tell(report);
        StartUnattended(report);
        return;
    }
    if (m_surface.CheckState(kIdRememberSelection) != 0 && FileExists(m_session.RememberedSelectionPath())) {
        const SessionReport restored = RestoreSelectionNamed(m_session.RememberedSelectionPath());
        report.lines.insert(report.lines.end(), restored.lines.begin(), restored.lines.end());
    } else {
        // Nothing remembered: the user's own folders are in view, nothing is ticked.
        m_selectPage->OpenFolder(ToUtf8(wxGetHomeDir()));
    }
    Tell(report);
}

CQuillaryDlg::~CQuillaryDlg() {
    if (m_runThread.joinable()) {
        m_runner->RequestCancel();
        m_runThread.join();
    }
}

DirTreeAccess& CQuillaryDlg::Tree() {
    return m_selectPage->Tree();
}

// ---- construction (the menus and accelerators: quillary_dlg_menu.cpp)

void CQuillaryDlg::CreateControls() {
    auto* panel = new wxPanel(this);
    m_tabs = static_cast<wxNotebook*>(CreateTableControl(panel, kIdTabs, m_surface));
    m_selectPage = new CSelectDirsPage(m_tabs, m_surface);
    m_options1Page = new COptions1Page(m_tabs, m_surface);
    m_previewPage = new CPreviewPage(m_tabs, m_surface);
    CTabPage* pages[] = {
        m_selectPage,
        m_options1Page,
        new COptions2Page(m_tabs, m_surface),
        m_previewPage,
        new CAboutPage(m_tabs, m_surface, [this] { OpenHomePage(); }),
    };
    const ControlDef* tabs = FindControl(kIdTabs);
    for (std::size_t i = 0; i < std::size(pages); ++i)
        m_tabs->AddPage(pages[i], ToWx(tabs->items[i]), i == 0);

    m_btnSave = static_cast<wxButton*>(CreateTableControl(panel, kIdSaveListing, m_surface));
    m_btnCancel = static_cast<wxButton*>(CreateTableControl(panel, kIdCancel, m_surface));
    m_btnExit = static_cast<wxButton*>(CreateTableControl(panel, kIdExit, m_surface));
    m_btnExit->SetDefault();
    RefreshEnabling(m_surface);
    // The About page's link names the home page; until there is one it opens the user guide and
    // says so.
    m_surface.SetText(kIdHomePageLink, *kHomePage != '\0' ? kHomePage : Messages().Get(MSG_README));

    // The tab control stretches with the window; the buttons stay at its bottom-right corner.
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    for (wxButton* button : {m_btnSave, m_btnCancel, m_btnExit})
        buttons->Add(button, wxSizerFlags().Border(wxLEFT, kGap));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_tabs, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT | wxTOP, 2));
    sizer->Add(buttons, wxSizerFlags().Right().Border(wxALL, kGap));
    panel->SetSizer(sizer);
    auto* frameSizer = new wxBoxSizer(wxVERTICAL);
    frameSizer->Add(panel, wxSizerFlags(1).Expand());
    SetSizer(frameSizer);
}

void CQuillaryDlg::BindEvents() {
    Bind(wxEVT_MENU, &CQuillaryDlg::OnMenuCommand, this);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnSaveListing(); }, kIdSaveListing);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); }, kIdCancel);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, kIdExit);
    Bind(wxEVT_CHAR_HOOK, &CQuillaryDlg::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CQuillaryDlg::OnClose, this);
    m_tabs->Bind(wxEVT_NOTEBOOK_PAGE_CHANGING, &CQuillaryDlg::OnPageChanging, this);
    m_tabs->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &CQuillaryDlg::OnPageChanged, this);
    Bind(wxEVT_SIZE, &CQuillaryDlg::OnMoveOrSize, this);
    Bind(wxEVT_MOVE, &CQuillaryDlg::OnMoveOrSize, this);
    // The option pages apply their enabling rules to their own clicks and list changes.
}

WindowPlacement CQuillaryDlg::Placement() const {
    const int show = IsIconized() ? kShowMinimized : IsMaximized() ? kShowMaximized : kShowNormal;
    return {show,
            -1,
            -1,
            -1,
            -1,
            m_normalRect.GetLeft(),
            m_normalRect.GetTop(),
            m_normalRect.GetLeft() + m_normalRect.GetWidth(),
            m_normalRect.GetTop() + m_normalRect.GetHeight()};
}

void CQuillaryDlg::ApplyPlacement(const WindowPlacement& placement) {
    const PlacementPlan plan = PlanPlacement(placement, m_cmdInfo.m_bUnattended, m_bInitDone);
    if (plan.moveAndResize) {
        if (IsMaximized())
            Maximize(false);
        SetSize(plan.left, plan.top, plan.width, plan.height);
        m_normalRect = GetRect();
    }
    switch (plan.show) {
    case ShowState::Keep:
        break;
    case ShowState::Maximized:
        Maximize(true);
        break;
    case ShowState::Minimized:
        Iconize(true);
        break;
    case ShowState::Normal:
        Maximize(false);
        Iconize(false);
        break;
    }
}

// The size at which every tab is shown and every page has all of its controls in view, in the
// language that needs the most room of those found beside the program (and the built-in English).
// Each is applied to the controls for measuring only; the captions in use are put back afterwards.
wxSize CQuillaryDlg::FittingSize() {
    wxSize page;
    int strip = 0;
    auto measure = [&] {
        RelayoutPages();
        for (std::size_t i = 0; i < m_tabs->GetPageCount(); ++i)
            page.IncTo(static_cast<CTabPage*>(m_tabs->GetPage(i))->FittingSize());
        strip = std::max(strip, TabStripWidth(m_tabs));
    };
    measure();
    const ProfileFile current = CaptionsAsLanguage(m_surface);
    MessageTable scratch;
    for (const std::string& title : m_languages) {
        ProfileFile language;
        if (!language.Load(m_session.Locations().FindFile(title + ".lng")))
            continue;
        quillary::ApplyLanguage(language, m_surface, scratch);
        measure();
    }
    quillary::ApplyLanguage(current, m_surface, scratch);
    RelayoutPages();

    wxSize tabs = m_tabs->CalcSizeFromPage(page);
    tabs.x = std::max(tabs.x, strip);
    // The frame around the tab control at that size: the buttons, the borders, the menu bar.
    m_tabs->SetMinSize(tabs);
    wxSize size = GetBestSize();
    m_tabs->SetMinSize(wxDefaultSize);
    size.IncTo(GetMinSize());
    return size;
}

// New captions change the controls' best sizes: lay the pages out again.
void CQuillaryDlg::RelayoutPages() {
    for (std::size_t i = 0; i < m_tabs->GetPageCount(); ++i)
        static_cast<CTabPage*>(m_tabs->GetPage(i))->CaptionsChanged();
    m_tabs->GetParent()->Layout();
}

// ---- runs

bool CQuillaryDlg::StartRun(const std::string& outputPath, bool preview) {
    if (m_bRunActive)
        return false;
    JoinRunThread();
    CheckedDirList checkedDirs;
    CollectChecked(Tree(), checkedDirs);
    StartRunThread(m_session.BuildRunTarget(checkedDirs, outputPath, preview));
    return true;
}

void CQuillaryDlg::StartRunThread(RunTarget target) {
    const unsigned generation = ++m_nGeneration;
    m_host.BeginRun(generation);
    m_bRunActive = true;
    m_runThread =
        std::thread([this, target = std::move(target)]() mutable { m_runner->Run(std::move(target)); });
}

void CQuillaryDlg::JoinRunThread() {
    if (m_runThread.joinable())
        m_runThread.join();
}

// The title says what the run has done so far: "Quillary v0.7, Dirs:12, Files:345", or which large
// file's checksum is read: "Quillary v0.7, CRC (/data/disk.img) 40%".
void CQuillaryDlg::OnRunProgress(unsigned generation, const RunProgress& progress) {
    if (generation != m_nGeneration)
        return;
    wxString title = wxString::Format("%s %s, ", kProductName, kVersionText);
    if (!progress.checksumFile.empty()) {
        title += "CRC (" + ToWx(progress.checksumFile) + wxString::Format(") %u%%", progress.checksumPercent);
    } else {
        const MessageTable& messages = m_session.Messages();
        title += ToWx(messages.Get(MSG_DIRS)) + wxString::Format(":%d, ", progress.folders) +
                 ToWx(messages.Get(MSG_FILES)) + wxString::Format(":%d", progress.entries);
    }
    SetTitle(title);
}

void CQuillaryDlg::OnRunBusy(unsigned generation, bool busy) {
    // A comparison stays busy from its listing run to the end of its report.
    if (generation == m_nGeneration && (busy || !m_compare))
        SetBusyState(busy);
}

void CQuillaryDlg::SetBusyState(bool busy) {
    // The control that had the focus gets it back afterwards: disabling it (the button that started
    // the run) would leave no control with the focus, and keys such as Escape with nowhere to go.
    if (busy)
        m_focusBeforeRun = FindFocus();
    m_bIdle = !busy;
    m_btnSave->Enable(!busy);
    m_btnExit->Enable(!busy);
    m_btnCancel->Enable(busy);
    wxMenuBar* bar = GetMenuBar();
    for (int position = 0; position <= 2; ++position)
        bar->EnableTop(position, !busy);
    bar->Enable(MenuItemId(kCmdAbout), !busy);
    if (!busy) {
        wxWindow* focus = m_focusBeforeRun.get();
        if (focus == nullptr || !focus->IsEnabled() || !focus->IsShownOnScreen())
            focus = m_btnSave;
        focus->SetFocus();
        m_focusBeforeRun = nullptr;
    }
}

void CQuillaryDlg::OnRunFinished(unsigned generation, const RunResult& result) {
    if (generation != m_nGeneration)
        return;
    JoinRunThread();
    SetTitle(ProgramTitle());
    if (m_compare) {
        ContinueCompare(result);
        return;
    }
    m_bRunActive = false;
    if (!m_bIdle)
        SetBusyState(false);
    if (result.previewRun) {
        m_previewPage->ShowListing(result.outputPath, Messages());
        return;
    }
    if (!m_cmdInfo.m_bUnattended) {
        ShowProblems(result);
        return;
    }
    const SessionReport report = m_session.FinishRun(result);
    Tell(report);
    SetExitStatus(report.exitStatus);
    OnOK();
}

// The listing of "/l", or, when a step before it failed, the window closes by itself with that step's
// exit status (once the event loop runs: the window is still being built).
void CQuillaryDlg::StartUnattended(const SessionReport& prepared) {
    if (prepared.Stops()) {
        SetExitStatus(prepared.exitStatus);
        CallAfter([this] { OnOK(); });
        return;
    }
    ValidateWidths(m_surface);
    StartRun(m_cmdInfo.m_strOutputFile, false);
    Iconize(true);
}

void CQuillaryDlg::SetExitStatus(int status) {
    if (auto* app = dynamic_cast<CQuillaryApp*>(wxTheApp))
        app->SetExitStatus(status);
}

// The lines go to the status line; an unattended run also tells the script that started it, in the
// words quillary-cli uses. False when the report ends an unattended run.
bool CQuillaryDlg::Tell(const SessionReport& report) {
    ShowNotices(report.lines);
    if (m_cmdInfo.m_bUnattended) {
        for (const std::string& line : report.lines)
            std::fputs(ProgramMessageLine("quillary", line).c_str(), stderr);
    }
    return !report.Stops();
}

// What a run could not read goes to the status line: it never blocks, so an unattended run still
// closes by itself.
void CQuillaryDlg::ShowProblems(const RunResult& result) {
    std::vector<std::string> notices;
    for (const RunProblem& problem : result.problems)
        notices.push_back(DescribeProblem(problem));
    for (const std::string& warning : result.warnings)
        notices.push_back("warning: " + warning);
    ShowNotices(notices, RunSummary(result, Messages()));
}

// The summary, the first notice and the count of the others in the status line, all of the notices in
// its tooltip; nothing to tell clears it. The status line appears with the first text.
void CQuillaryDlg::ShowNotices(const std::vector<std::string>& notices, const std::string& summary) {
    if (notices.empty() && summary.empty()) {
        if (GetStatusBar() != nullptr) {
            SetStatusText(wxString());
            GetStatusBar()->UnsetToolTip();
        }
        return;
    }
    if (GetStatusBar() == nullptr)
        CreateStatusBar(1, wxSTB_SIZEGRIP | wxSTB_ELLIPSIZE_END | wxFULL_REPAINT_ON_RESIZE);
    std::string line = summary;
    if (!notices.empty()) {
        line += (line.empty() ? "" : " - ") + notices.front();
        if (notices.size() > 1)
            line += " (and " + std::to_string(notices.size() - 1) + " more)";
    }
    std::string all;
    for (const std::string& notice : notices)
        all += notice + "\n";
    SetStatusText(ToWx(line));
    if (all.empty())
        GetStatusBar()->UnsetToolTip();
    else
        GetStatusBar()->SetToolTip(ToWx(all));
}

std::string CQuillaryDlg::ProblemsText() const {
    return GetStatusBar() != nullptr ? ToUtf8(GetStatusBar()->GetStatusText()) : std::string();
}

void CQuillaryDlg::SelectTab(int index) {
    m_tabs->SetSelection(static_cast<std::size_t>(index));
}

// ---- keys, close

void CQuillaryDlg::OnOK() {
    if (m_bIdle && !m_bRunActive)
        Close();
}

void CQuillaryDlg::OnCancel() {
    if (m_bRunActive)
        m_runner->RequestCancel();
    else
        Close();
}

// Escape cancels or closes as "Cancel" does; Enter acts as the default button "Exit" unless the focus
// is on a control that takes Enter itself (a button activates itself, a multi-line text takes a line).
void CQuillaryDlg::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    // GTK takes Ctrl+Tab and Ctrl+Shift+Tab for focus navigation before the accelerator table sees
    // them: the tab switching accelerators are dispatched here, first.
    if (key == WXK_TAB && event.ControlDown() && !event.AltDown()) {
        const int command = event.ShiftDown() ? kCmdPreviousTab : kCmdNextTab;
        wxCommandEvent menu(wxEVT_MENU, MenuItemId(command));
        menu.SetEventObject(this);
        ProcessWindowEvent(menu);
        return;
    }
    if (key == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE) {
        OnCancel();
        return;
    }
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && event.GetModifiers() == wxMOD_NONE) {
        wxWindow* focus = FindFocus();
        const auto* text = dynamic_cast<wxTextCtrl*>(focus);
        if (dynamic_cast<wxButton*>(focus) == nullptr && (text == nullptr || !text->IsMultiLine())) {
            OnOK();
            return;
        }
    }
    event.Skip();
}

void CQuillaryDlg::OnPageChanging(wxBookCtrlEvent& event) {
    if (!m_bIdle || m_bRunActive)
        event.Veto();
    else
        event.Skip();
}

void CQuillaryDlg::OnPageChanged(wxBookCtrlEvent& event) {
    if (event.GetSelection() == kPreviewTab)
        StartPreview();
    event.Skip();
}

// The options as the pages store them, the view of the output type emptied, then a run through the
// same path as "Save listing" into the private preview file.
void CQuillaryDlg::StartPreview() {
    if (!m_bIdle || m_bRunActive)
        return;
    m_options1Page->StoreValues();
    const OutputType outputType = SelectedOutputType(m_surface).value_or(OutputType::Text);
    m_previewPage->Prepare(outputType);
    // Without a private place for the preview file there is no preview.
    const std::string previewFile = m_session.PreviewFilePath(outputType);
    if (!previewFile.empty())
        StartRun(previewFile, true);
}

void CQuillaryDlg::OnMoveOrSize(wxEvent& event) {
    if (!IsMaximized() && !IsIconized() && !IsFullScreen())
        m_normalRect = GetRect();
    event.Skip();
}

void CQuillaryDlg::OnClose(wxCloseEvent& event) {
    if (m_bRunActive) {
        if (event.CanVeto()) {
            event.Veto();
            return;
        }
        m_runner->RequestCancel();
        JoinRunThread();
        m_bRunActive = false;
        RemoveCompareListing();
    }
    StoreAndSave();
    DeleteTempFiles();
    Destroy();
}

} // namespace quillary
