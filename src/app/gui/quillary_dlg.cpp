#include "app/gui/quillary_dlg.h"

#include <algorithm>
#include <cstdio>

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/tooltip.h>
#include <wx/utils.h>

#include "app/gui/quillary_app.h"
#include "app/gui/window_placement.h"
#include "listing/output_type.h"
#include "listing/product.h"
#include "model/options_rules.h"
#include "model/tri_state_tree.h"
#include "persistence/language_file.h"
#include "persistence/selection_file.h"
#include "platform/program_files.h"
#include "res/controls.h"
#include "res/menus.h"
#include "ui/about_page.h"
#include "ui/control_factory.h"
#include "ui/options1_page.h"
#include "ui/options2_page.h"
#include "ui/preview_page.h"
#include "ui/program_icon.h"
#include "ui/select_dirs_page.h"
#include "ui/wx_string.h"

namespace quillary {

namespace {

constexpr int kMinimumWidth = 471;
constexpr int kMinimumHeight = 520;
constexpr int kPreviewTab = 3;
constexpr int kAboutTab = 4;

// Win32 show states as the "Window" setting stores them.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

int WxKeyCode(int virtualKey) {
    switch (virtualKey) {
    case kVkTab:
        return WXK_TAB;
    case kVkF5:
        return WXK_F5;
    case kVkF12:
        return WXK_F12;
    default:
        return virtualKey;
    }
}

// wx menu item ids stay below 0x7FFF; the command ids above that (32771, 57670, ...) are shifted down
// into a free range. The language files keep naming items by their command ids.
constexpr int kMenuIdShift = 30000;

int MenuItemId(int commandId) {
    return commandId >= 0x7FFF ? commandId - kMenuIdShift : commandId;
}

int CommandOfMenuItem(int itemId) {
    const int shifted = itemId + kMenuIdShift;
    if (shifted < 0x7FFF)
        return itemId;
    for (const MenuDef& menu : MainMenu()) {
        for (const MenuItemDef& item : menu.items) {
            if (item.id == shifted)
                return shifted;
        }
    }
    for (const AcceleratorDef& accel : Accelerators()) {
        if (accel.command == shifted)
            return shifted;
    }
    return itemId;
}

// A menu item's text with the key of its accelerator, as menus show it.
wxString MenuLabel(int commandId, const std::string& text) {
    wxString label = ToWx(text);
    for (const AcceleratorDef& accel : Accelerators()) {
        if (accel.command == commandId && !accel.control && !accel.shift)
            label += wxString::Format("\tF%d", WxKeyCode(accel.key) - WXK_F1 + 1);
    }
    return label;
}

// The file-dialog filter of "Save listing..." for an output type.
int FilterMessageFor(int outputType) {
    switch (outputType) {
    case kOutputHtml:
        return MSG_HTML_FILTER;
    case kOutputCsv:
        return MSG_CSV_FILTER;
    default:
        return MSG_TEXT_FILTER;
    }
}

} // namespace

CQuillaryDlg::CQuillaryDlg(const CommandLineInfo& commandLine, ProgramLocations locations,
                           ListingRunnerFactory runnerFactory)
    : wxFrame(nullptr, wxID_ANY, wxString()), m_cmdInfo(commandLine),
      m_session(m_surface, std::move(locations)), m_host(*this) {
    m_runner = runnerFactory ? runnerFactory(m_host) : MakeEngineRunner(m_host);

    // Title and icon; the title is never translated.
    SetTitle(wxString::Format("%s %s", kProductName, kVersionText));
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

    const wxSize minimum(kMinimumWidth, kMinimumHeight);
    SetMinSize(minimum);
    wxSize initial = GetBestSize();
    initial.IncTo(minimum);
    SetSize(initial);
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
    if (m_surface.CheckState(kIdRememberSelection) != 0) {
        const SessionReport restored = RestoreSelectionNamed(m_session.RememberedSelectionPath());
        report.lines.insert(report.lines.end(), restored.lines.begin(), restored.lines.end());
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

// ---- construction

void CQuillaryDlg::CreateMenuBar() {
    auto* bar = new wxMenuBar;
    for (const MenuDef& menuDef : MainMenu()) {
        auto* menu = new wxMenu;
        for (const MenuItemDef& item : menuDef.items) {
            if (item.id == kMenuSeparator)
                menu->AppendSeparator();
            else
                menu->Append(MenuItemId(item.id), MenuLabel(item.id, item.text));
        }
        bar->Append(menu, ToWx(menuDef.title));
    }
    m_languages = m_session.Locations().TitlesWithExtension("lng");
    m_quickConfigs = m_session.Locations().TitlesWithExtension("qlc");
    bar->Insert(kLanguageMenuPosition, CreateFileListMenu(m_languages, kCmdFirstLanguage, wxITEM_CHECK),
                ToWx(kLanguageMenuTitle));
    bar->GetMenu(0)->Insert(kQuickConfigMenuPosition, wxID_ANY, ToWx(kQuickConfigMenuTitle),
                            CreateFileListMenu(m_quickConfigs, kCmdFirstQuickConfig, wxITEM_NORMAL));
    SetMenuBar(bar);
}

wxMenu* CQuillaryDlg::CreateFileListMenu(const std::vector<std::string>& titles, int firstId,
                                         wxItemKind kind) {
    auto* menu = new wxMenu;
    for (std::size_t i = 0; i < titles.size(); ++i)
        menu->Append(firstId + static_cast<int>(i), ToWx(titles[i]), wxString(), kind);
    return menu;
}

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

void CQuillaryDlg::CreateAccelerators() {
    std::vector<wxAcceleratorEntry> entries;
    for (const AcceleratorDef& accel : Accelerators()) {
        const int flags = (accel.control ? wxACCEL_CTRL : 0) | (accel.shift ? wxACCEL_SHIFT : 0);
        entries.emplace_back(flags == 0 ? wxACCEL_NORMAL : flags, WxKeyCode(accel.key),
                             MenuItemId(accel.command));
    }
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(entries.size()), entries.data()));
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

// ---- settings, languages, selections

void CQuillaryDlg::LoadSettingsFrom(const std::string& path) {
    ShowLoadedFile(m_session.LoadSettingsFile(path));
}

SessionReport CQuillaryDlg::LoadConfigurationNamed(const std::string& name) {
    LoadedFile loaded;
    SessionReport report = m_session.LoadConfiguration(name, loaded);
    ShowLoadedFile(loaded);
    return report;
}

void CQuillaryDlg::ShowLoadedFile(const LoadedFile& loaded) {
    if (!loaded.window.empty())
        ApplyPlacement(ParseWindowPlacement(loaded.window));
    if (loaded.language)
        ShowLanguage(*loaded.language);
}

void CQuillaryDlg::SaveSettingsTo(const std::string& path) {
    m_session.SaveSettingsFile(path, FormatWindowPlacement(Placement()));
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

void CQuillaryDlg::ApplyLanguage(const std::string& name) {
    if (const std::optional<AppliedLanguage> applied = m_session.ApplyLanguage(name))
        ShowLanguage(*applied);
}

// The controls and messages already speak the language: the menus follow, then the pages' layout.
void CQuillaryDlg::ShowLanguage(const AppliedLanguage& language) {
    ApplyMenuCaptions(language.menus);
    wxMenu* languages = GetMenuBar()->GetMenu(kLanguageMenuPosition);
    for (std::size_t i = 0; i < m_languages.size(); ++i)
        languages->Check(kCmdFirstLanguage + static_cast<int>(i), m_languages[i] == language.title);
    RelayoutPages();
}

void CQuillaryDlg::ApplyMenuCaptions(const MenuCaptions& captions) {
    wxMenuBar* bar = GetMenuBar();
    for (int position = 0; position < kMenuBarPositions; ++position) {
        bar->SetMenuLabel(position, ToWx(captions.titles[position]));
        if (position == kLanguageMenuPosition)
            continue;
        for (wxMenuItem* item : bar->GetMenu(position)->GetMenuItems()) {
            if (item->IsSeparator())
                continue;
            if (item->IsSubMenu()) {
                item->SetItemLabel(ToWx(captions.quickConfigTitle));
                continue;
            }
            const int command = CommandOfMenuItem(item->GetId());
            const auto text = captions.items.find(command);
            item->SetItemLabel(MenuLabel(command, text != captions.items.end() ? text->second : ""));
        }
    }
}

// New captions change the controls' best sizes: lay the pages out again.
void CQuillaryDlg::RelayoutPages() {
    for (std::size_t i = 0; i < m_tabs->GetPageCount(); ++i)
        static_cast<CTabPage*>(m_tabs->GetPage(i))->CaptionsChanged();
    m_tabs->GetParent()->Layout();
}

// Lines of the selection that name no folder are told in the status line; the rest is restored.
void CQuillaryDlg::LoadSelectionFrom(const std::string& path) {
    Tell(RestoreSelectionNamed(path));
}

SessionReport CQuillaryDlg::RestoreSelectionNamed(const std::string& name) {
    return m_session.RestoreSelection(
        name, [this](const std::string& path) { return m_selectPage->LoadSelection(path); });
}

void CQuillaryDlg::SaveSelectionTo(const std::string& path) {
    SaveSelection(Tree(), path);
}

// ---- runs

bool CQuillaryDlg::StartRun(const std::string& outputPath, bool preview) {
    if (m_bRunActive)
        return false;
    JoinRunThread();
    CheckedDirList checkedDirs;
    CollectChecked(Tree(), checkedDirs);
    RunTarget target = m_session.BuildRunTarget(checkedDirs, outputPath, preview);

    const unsigned generation = ++m_nGeneration;
    m_host.BeginRun(generation);
    m_bRunActive = true;
    m_runThread =
        std::thread([this, target = std::move(target)]() mutable { m_runner->Run(std::move(target)); });
    return true;
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
    if (generation == m_nGeneration)
        SetBusyState(busy);
}

void CQuillaryDlg::SetBusyState(bool busy) {
    m_bIdle = !busy;
    m_btnSave->Enable(!busy);
    m_btnExit->Enable(!busy);
    m_btnCancel->Enable(busy);
    wxMenuBar* bar = GetMenuBar();
    for (int position = 0; position <= 2; ++position)
        bar->EnableTop(position, !busy);
    bar->Enable(MenuItemId(kCmdAbout), !busy);
}

void CQuillaryDlg::OnRunFinished(unsigned generation, const RunResult& result) {
    if (generation != m_nGeneration)
        return;
    JoinRunThread();
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
    ShowNotices(notices);
}

// The first notice and the count of the others in the status line, all of them in its tooltip; no
// notices clear it. The status line appears with the first notice.
void CQuillaryDlg::ShowNotices(const std::vector<std::string>& notices) {
    if (notices.empty()) {
        if (GetStatusBar() != nullptr) {
            SetStatusText(wxString());
            GetStatusBar()->UnsetToolTip();
        }
        return;
    }
    if (GetStatusBar() == nullptr)
        CreateStatusBar(1, wxSTB_SIZEGRIP | wxSTB_ELLIPSIZE_END | wxFULL_REPAINT_ON_RESIZE);
    std::string line = notices.front();
    if (notices.size() > 1)
        line += " (and " + std::to_string(notices.size() - 1) + " more)";
    std::string all;
    for (const std::string& notice : notices)
        all += notice + "\n";
    SetStatusText(ToWx(line));
    GetStatusBar()->SetToolTip(ToWx(all));
}

std::string CQuillaryDlg::ProblemsText() const {
    return GetStatusBar() != nullptr ? ToUtf8(GetStatusBar()->GetStatusText()) : std::string();
}

// ---- commands

void CQuillaryDlg::OnSaveListing() {
    if (!m_bIdle || m_bRunActive)
        return;
    ValidateWidths(m_surface);
    const int filter = FilterMessageFor(SelectedOutputType(m_surface));
    wxFileDialog dialog(this, wxString(), wxString(), wxString(), ToWx(Messages().Get(filter)),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return;
    SaveListingTo(ToUtf8(dialog.GetPath()));
}

void CQuillaryDlg::SaveListingTo(const std::string& outputPath) {
    ValidateWidths(m_surface);
    StartRun(outputPath, false);
}

void CQuillaryDlg::OnLoadConfiguration() {
    wxFileDialog dialog(this, wxString(), wxString(), wxString(),
                        ToWx(Messages().Get(MSG_CONFIGURATION_FILTER)), wxFD_OPEN);
    if (dialog.ShowModal() != wxID_OK)
        return;
    LoadSettingsFrom(ToUtf8(dialog.GetPath()));
    // Make the preview again with the new options.
    if (m_tabs->GetSelection() == kPreviewTab)
        StartPreview();
}

void CQuillaryDlg::OnSaveConfiguration() {
    wxFileDialog dialog(this, wxString(), wxString(), wxString(),
                        ToWx(Messages().Get(MSG_CONFIGURATION_FILTER)), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() == wxID_OK)
        SaveSettingsTo(ToUtf8(dialog.GetPath()));
}

void CQuillaryDlg::OnLoadSelection() {
    wxFileDialog dialog(this, wxString(), wxString(), wxString(), ToWx(Messages().Get(MSG_SELECTION_FILTER)),
                        wxFD_OPEN);
    if (dialog.ShowModal() == wxID_OK)
        LoadSelectionFrom(ToUtf8(dialog.GetPath()));
}

void CQuillaryDlg::OnSaveSelection() {
    wxFileDialog dialog(this, wxString(), wxString(), wxString(), ToWx(Messages().Get(MSG_SELECTION_FILTER)),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() == wxID_OK)
        SaveSelectionTo(ToUtf8(dialog.GetPath()));
}

void CQuillaryDlg::SelectTab(int index) {
    m_tabs->SetSelection(static_cast<std::size_t>(index));
}

void CQuillaryDlg::OpenReadMe() {
    const std::string path = m_session.Locations().FindFile(Messages().Get(MSG_README));
    if (!path.empty())
        wxLaunchDefaultApplication(ToWx(path));
}

void CQuillaryDlg::OpenHomePage() {
    if (*kHomePage != '\0')
        wxLaunchDefaultBrowser(kHomePage);
    else
        OpenReadMe();
}

void CQuillaryDlg::OnMenuCommand(wxCommandEvent& event) {
    const int id = CommandOfMenuItem(event.GetId());
    const int tabCount = static_cast<int>(m_tabs->GetPageCount());
    switch (id) {
    case kCmdSaveListing:
        OnSaveListing();
        return;
    case kCmdLoadConfiguration:
        OnLoadConfiguration();
        return;
    case kCmdSaveConfiguration:
        OnSaveConfiguration();
        return;
    case kCmdLoadSelection:
        OnLoadSelection();
        return;
    case kCmdSaveSelection:
        OnSaveSelection();
        return;
    case kCmdExit:
        OnOK();
        return;
    case kCmdRefreshTree:
        // Refused with the tab change while busy: the run reads the tree.
        if (m_bIdle && !m_bRunActive)
            m_selectPage->RefreshTree();
        SelectTab(0);
        return;
    case kCmdPreview:
        SelectTab(kPreviewTab);
        return;
    case kCmdAbout:
        SelectTab(kAboutTab);
        return;
    case kCmdReadMe:
        OpenReadMe();
        return;
    case kCmdHelpOnline:
        OpenHomePage();
        return;
    case kCmdNextTab:
        SelectTab(m_tabs->GetSelection() + 1 < tabCount ? m_tabs->GetSelection() + 1 : 0);
        m_tabs->SetFocus();
        return;
    case kCmdPreviousTab:
        SelectTab(m_tabs->GetSelection() > 0 ? m_tabs->GetSelection() - 1 : tabCount - 1);
        m_tabs->SetFocus();
        return;
    default:
        break;
    }
    if (id >= kCmdFirstLanguage && id < kCmdFirstLanguage + static_cast<int>(m_languages.size())) {
        ApplyLanguage(m_languages[static_cast<std::size_t>(id - kCmdFirstLanguage)]);
    } else if (id >= kCmdFirstQuickConfig &&
               id < kCmdFirstQuickConfig + static_cast<int>(m_quickConfigs.size())) {
        LoadSettingsFrom(m_session.Locations().FindFile(
            m_quickConfigs[static_cast<std::size_t>(id - kCmdFirstQuickConfig)] + ".qlc"));
        if (m_tabs->GetSelection() == kPreviewTab)
            StartPreview();
    } else {
        event.Skip();
    }
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
    const int outputType = std::max(SelectedOutputType(m_surface), 0);
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
    }
    StoreAndSave();
    DeleteTempFiles();
    Destroy();
}

// What closing keeps: the pages' values, the settings file (unless a configuration was given on the
// command line, so that the user's own settings stay as they were) and the remembered selection.
void CQuillaryDlg::StoreAndSave() {
    ValidateWidths(m_surface);
    if (m_cmdInfo.m_bLoadConfiguration)
        return;
    SaveSettingsTo(m_session.SettingsFilePath());
    if (m_surface.CheckState(kIdRememberSelection) != 0)
        SaveSelectionTo(m_session.RememberedSelectionPath());
}

void CQuillaryDlg::DeleteTempFiles() {
    for (int type : {kOutputHtml, kOutputText, kOutputCsv}) {
        const std::string path = m_session.PreviewFilePath(type);
        if (!path.empty() && FileExists(path))
            wxRemoveFile(ToWx(path));
    }
}

} // namespace quillary
