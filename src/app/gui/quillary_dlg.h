// The main window: a frame that behaves as the program's dialog. It holds the tab control with the
// five pages, the three buttons and the menu; it loads and saves settings, configurations, selections
// and languages through the listing session (over its control surface), starts listing runs on a
// thread, and saves the user's state when it closes. Its menus are built and dispatched in
// quillary_dlg_menu.cpp, its file commands in quillary_dlg_files.cpp.
//
// Busy state: while a run is active, "Save listing..." and "Exit" are disabled and "Cancel" enabled,
// the menus File, Language and View and the About item are grey, tab changes are refused, and close,
// Exit and Enter are ignored; Escape and "Cancel" ask the run to stop.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <wx/frame.h>
#include <wx/weakref.h>

#include "app/command_line.h"
#include "app/gui/gui_host.h"
#include "app/gui/listing_runner.h"
#include "persistence/settings_file.h"
#include "platform/program_locations.h"
#include "session/listing_session.h"
#include "ui/window_surface.h"

class wxButton;
class wxMenu;
class wxNotebook;
class wxBookCtrlEvent;

namespace quillary {

class DirTreeAccess;
class CSelectDirsPage;
class COptions1Page;
class CPreviewPage;
struct MenuCaptions;

class CQuillaryDlg : public wxFrame {
public:
    // Builds the window and runs its initialisation: menus from the files found, pages, tooltips,
    // settings, the command line's configuration, then the unattended run or the remembered selection.
    // Without a runner factory runs go through the listing engine.
    CQuillaryDlg(const CommandLineInfo& commandLine, ProgramLocations locations,
                 ListingRunnerFactory runnerFactory = {});
    ~CQuillaryDlg() override;

    // Commands, as the menu, the buttons and the keys invoke them.
    void SaveListingTo(const std::string& outputPath); // "Save listing..." once a file is chosen
    void LoadSettingsFrom(const std::string& path);
    bool SaveSettingsTo(const std::string& path); // false when the file could not be written
    void ApplyLanguage(const std::string& name);
    void LoadSelectionFrom(const std::string& path);
    bool SaveSelectionTo(const std::string& path);
    // Selects a tab through the tab control's change notifications (refused while busy).
    void SelectTab(int index);
    // Starts a run on the run thread with the options and folders as they are now; false while another
    // run is active. A preview run (`preview`) writes the preview file and does not count as the
    // listing of an unattended start.
    bool StartRun(const std::string& outputPath, bool preview);
    // "Compare with a saved listing..." once both files are chosen: the ticked folders are listed into
    // a private file on the run thread, then the saved listing is compared with it there and the report
    // written in the output type of Options 2. The window is busy throughout; false while another run
    // is active or when there is no private folder for the listing.
    bool CompareListingTo(const std::string& savedListing, const std::string& reportPath);
    void OnOK();     // "Exit", Enter: ends the program while idle
    void OnCancel(); // "Cancel", Escape: cancels a run, or ends the program while idle

    // The window's parts, for the pages' behaviour and for tests.
    WindowSurface& Surface() { return m_surface; }
    wxNotebook* Tabs() const { return m_tabs; }
    DirTreeAccess& Tree();
    const MessageTable& Messages() const { return m_session.Messages(); }
    const ProgramLocations& Locations() const { return m_session.Locations(); }
    const std::string& LanguageFile() const { return m_session.LanguageFile(); }
    bool IsIdle() const { return m_bIdle; }
    bool IsRunActive() const { return m_bRunActive; }
    // The state "Window" is saved as: show state, positions and the normal rectangle.
    WindowPlacement Placement() const;

    // The UI-thread side of the host calls (GuiListingHost); calls of an older run are ignored.
    void OnRunProgress(unsigned generation, const RunProgress& progress);
    void OnRunBusy(unsigned generation, bool busy);
    void OnRunFinished(unsigned generation, const RunResult& result);
    // What the status line tells: what the last run did and its problems, or the folders of a
    // selection that were not found ("" when there is nothing to tell).
    std::string ProblemsText() const;

private:
    static constexpr int kPreviewTab = 3;
    static constexpr int kAboutTab = 4;

    void CreateControls();
    void CreateMenuBar();
    wxMenu* CreateFileListMenu(const std::vector<std::string>& titles, int firstId, wxItemKind kind);
    void CreateAccelerators();
    void BindEvents();
    void ApplyMenuCaptions(const MenuCaptions& captions);
    void ApplyPlacement(const WindowPlacement& placement);
    void RelayoutPages();
    wxSize FittingSize();
    void SetBusyState(bool busy);
    void StartRunThread(RunTarget target);
    void JoinRunThread();
    void ContinueCompare(const RunResult& listed);
    void OnCompareFinished(unsigned generation, const CompareOutcome& outcome);
    void RemoveCompareListing();
    void StoreAndSave();
    void DeleteTempFiles();
    SessionReport LoadConfigurationNamed(const std::string& name);
    SessionReport RestoreSelectionNamed(const std::string& name);
    void ShowLoadedFile(const LoadedFile& loaded);
    void ShowLanguage(const AppliedLanguage& language);
    void StartUnattended(const SessionReport& prepared);
    void SetExitStatus(int status);
    bool Tell(const SessionReport& report);
    void OpenReadMe();
    void OpenHomePage();
    void ShowProblems(const RunResult& result);
    void ShowNotices(const std::vector<std::string>& notices, const std::string& summary = {});

    void OnSaveListing();
    void OnCompareListing();
    void OnLoadConfiguration();
    void OnSaveConfiguration();
    void OnLoadSelection();
    void OnSaveSelection();
    void OnClearChecksumCache();
    void OnMenuCommand(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnPageChanging(wxBookCtrlEvent& event);
    void OnPageChanged(wxBookCtrlEvent& event);
    // A preview run into the preview file, shown by the Preview page when it is over.
    void StartPreview();
    void OnMoveOrSize(wxEvent& event);

    CommandLineInfo m_cmdInfo;
    WindowSurface m_surface;
    ListingSession m_session;

    wxNotebook* m_tabs = nullptr;
    CSelectDirsPage* m_selectPage = nullptr;
    COptions1Page* m_options1Page = nullptr;
    CPreviewPage* m_previewPage = nullptr;
    wxButton* m_btnSave = nullptr;
    wxButton* m_btnCancel = nullptr;
    wxButton* m_btnExit = nullptr;
    wxWeakRef<wxWindow> m_focusBeforeRun;    // the control with the focus when the run began
    std::vector<std::string> m_languages;    // the "Language" items, ids from 400
    std::vector<std::string> m_quickConfigs; // the "Quick configuration" items, ids from 700

    wxRect m_normalRect; // the window's rectangle when neither maximised nor minimised
    bool m_bInitDone = false;
    bool m_bIdle = true;       // false from the run's busy state until it leaves it
    bool m_bRunActive = false; // a run thread is working (UI thread's view)

    GuiListingHost m_host;
    std::unique_ptr<ListingRunner> m_runner;
    std::thread m_runThread;
    unsigned m_nGeneration = 0;

    // The comparison under way (UI thread): its listing run, then its report on the run thread.
    struct PendingCompare {
        std::string savedListing;
        std::string reportPath;
        std::string listedPath; // the private listing of the ticked folders, removed afterwards
    };
    std::optional<PendingCompare> m_compare;
};

} // namespace quillary
