// The main window's file commands: "Save listing...", loading and saving configurations and
// selections through the file dialogs and the listing session, the language, the user guide, and what
// closing keeps.
#include <cstdio>

#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/utils.h>

#include "app/gui/menu_items.h"
#include "app/gui/quillary_dlg.h"
#include "app/gui/window_placement.h"
#include "listing/product.h"
#include "model/options_rules.h"
#include "persistence/checksum_cache.h"
#include "persistence/language_file.h"
#include "persistence/selection_file.h"
#include "platform/file_io.h"
#include "platform/program_files.h"
#include "res/controls.h"
#include "res/menus.h"
#include "session/run_report.h"
#include "ui/options1_page.h"
#include "ui/select_dirs_page.h"
#include "ui/wx_string.h"
#include "writers/output_types.h"

namespace quillary {

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
    m_selectPage->ShowExcludedFolders();
}

bool CQuillaryDlg::SaveSettingsTo(const std::string& path) {
    return m_session.SaveSettingsFile(path, FormatWindowPlacement(Placement()));
}

void CQuillaryDlg::ApplyLanguage(const std::string& name) {
    if (const std::optional<AppliedLanguage> applied = m_session.ApplyLanguage(name))
        ShowLanguage(*applied);
}

// The controls and messages already speak the language: the menus follow, then the pages' layout.
void CQuillaryDlg::ShowLanguage(const AppliedLanguage& language) {
    ApplyMenuCaptions(language.menus);
    ProfileFile words;
    if (words.Load(language.file))
        m_selectPage->Tree().SetCheckStateWords(
            SplitCaptionList(words.Get(std::to_string(kIdDirTree), "Caption")));
    wxMenu* languages = GetMenuBar()->GetMenu(kLanguageMenuPosition);
    for (std::size_t i = 0; i < m_languages.size(); ++i)
        languages->Check(kCmdFirstLanguage + static_cast<int>(i), m_languages[i] == language.title);
    RelayoutPages();
}

// Lines of the selection that name no folder are told in the status line; the rest is restored.
void CQuillaryDlg::LoadSelectionFrom(const std::string& path) {
    Tell(RestoreSelectionNamed(path));
}

SessionReport CQuillaryDlg::RestoreSelectionNamed(const std::string& name) {
    return m_session.RestoreSelection(
        name, [this](const std::string& path) { return m_selectPage->LoadSelection(path); });
}

bool CQuillaryDlg::SaveSelectionTo(const std::string& path) {
    return SaveSelection(Tree(), path);
}

void CQuillaryDlg::OnSaveListing() {
    if (!m_bIdle || m_bRunActive)
        return;
    ValidateWidths(m_surface);
    const int filter = OutputTypeRow(SelectedOutputType(m_surface).value_or(OutputType::Text)).filterMessage;
    wxFileDialog dialog(this, ToWx(Messages().Get(MSG_SAVE_LISTING_TITLE)), wxString(), wxString(),
                        ToWx(Messages().Get(filter)), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return;
    SaveListingTo(ToUtf8(dialog.GetPath()));
}

void CQuillaryDlg::SaveListingTo(const std::string& outputPath) {
    ValidateWidths(m_surface);
    StartRun(outputPath, false);
}

void CQuillaryDlg::OnLoadConfiguration() {
    wxFileDialog dialog(this, ToWx(Messages().Get(MSG_LOAD_CONFIGURATION_TITLE)), wxString(), wxString(),
                        ToWx(Messages().Get(MSG_CONFIGURATION_FILTER)), wxFD_OPEN);
    if (dialog.ShowModal() != wxID_OK)
        return;
    LoadSettingsFrom(ToUtf8(dialog.GetPath()));
    // Make the preview again with the new options.
    if (m_tabs->GetSelection() == kPreviewTab)
        StartPreview();
}

void CQuillaryDlg::OnSaveConfiguration() {
    wxFileDialog dialog(this, ToWx(Messages().Get(MSG_SAVE_CONFIGURATION_TITLE)), wxString(), wxString(),
                        ToWx(Messages().Get(MSG_CONFIGURATION_FILTER)), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() == wxID_OK)
        SaveSettingsTo(ToUtf8(dialog.GetPath()));
}

void CQuillaryDlg::OnLoadSelection() {
    wxFileDialog dialog(this, ToWx(Messages().Get(MSG_LOAD_SELECTION_TITLE)), wxString(), wxString(),
                        ToWx(Messages().Get(MSG_SELECTION_FILTER)), wxFD_OPEN);
    if (dialog.ShowModal() == wxID_OK)
        LoadSelectionFrom(ToUtf8(dialog.GetPath()));
}

void CQuillaryDlg::OnSaveSelection() {
    wxFileDialog dialog(this, ToWx(Messages().Get(MSG_SAVE_SELECTION_TITLE)), wxString(), wxString(),
                        ToWx(Messages().Get(MSG_SELECTION_FILTER)), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() == wxID_OK)
        SaveSelectionTo(ToUtf8(dialog.GetPath()));
}

void CQuillaryDlg::OpenReadMe() {
    const std::string path = m_session.Locations().FindFile(Messages().Get(MSG_README));
    if (!path.empty())
        wxLaunchDefaultApplication(ToWx(path));
}

// Empties the checksum cache, so that the next run reads every file; a run that is using it meanwhile
// keeps what it has read. What failed is told in the status line.
void CQuillaryDlg::OnClearChecksumCache() {
    std::string error;
    if (ChecksumCache::Clear(ChecksumCacheFile(), error)) {
        ShowNotices({}, Messages().Get(MSG_CHECKSUM_CACHE_CLEARED));
        return;
    }
    ShowNotices({"cannot clear the checksum cache '" + ChecksumCacheFile() + "'" +
                 (error.empty() ? std::string() : ": " + error)},
                Messages().Get(MSG_CHECKSUM_CACHE_NOT_CLEARED));
}

void CQuillaryDlg::OpenHomePage() {
    if (*kHomePage != '\0')
        wxLaunchDefaultBrowser(kHomePage);
    else
        OpenReadMe();
}

// What closing keeps: the pages' values, the settings file (unless a configuration was given on the
// command line, so that the user's own settings stay as they were) and the remembered selection. Their
// folder is made first (a new user has no ~/.config/quillary yet); what cannot be saved is told in the
// status line and on stderr.
void CQuillaryDlg::StoreAndSave() {
    ValidateWidths(m_surface);
    if (m_cmdInfo.m_bLoadConfiguration)
        return;
    const std::string settings = m_session.SettingsFilePath();
    const std::string selection = m_session.RememberedSelectionPath();
    const int error = CreateFolders(m_session.Locations().settingsDir);
    std::vector<std::string> failures;
    if (error != 0 || !SaveSettingsTo(settings))
        failures.push_back("cannot save the settings to '" + settings + "'" +
                           (error != 0 ? ": " + ErrorText(error) : std::string()));
    if (m_surface.CheckState(kIdRememberSelection) != 0 && !SaveSelectionTo(selection))
        failures.push_back("cannot save the selection to '" + selection + "'");
    if (failures.empty())
        return;
    ShowNotices(failures);
    for (const std::string& failure : failures)
        std::fputs(ProgramMessageLine("quillary", failure).c_str(), stderr);
}

void CQuillaryDlg::DeleteTempFiles() {
    for (const OutputTypeDef& type : OutputTypes()) {
        const std::string path = m_session.PreviewFilePath(type.type);
        if (!path.empty() && FileExists(path))
            wxRemoveFile(ToWx(path));
    }
}

} // namespace quillary
