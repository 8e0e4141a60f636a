// The listing session: everything a front end does around a listing run, written once for the window
// and the console program. It keeps the program's folders, loads and saves settings and
// configurations with the languages they name into a control surface, finds the files named on a
// command line, restores selections and folders with one wording of what could not be restored,
// checks SOURCE_DATE_EPOCH, chooses the output type from an output name, builds the run target, runs
// it, and tells the outcome of a run with its exit status.
//
// Threading: a session lives on its front end's main thread. RunListing runs on the calling thread; the
// window calls it on its run thread with a target built on the main thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/listing_compare.h"
#include "engine/listing_engine.h"
#include "listing/message_table.h"
#include "model/control_surface.h"
#include "persistence/language_file.h"
#include "persistence/selection_file.h"
#include "platform/program_locations.h"
#include "session/run_report.h"

namespace quillary {

// The files both front ends share, named after the program.
inline constexpr const char* kSettingsFileName = "quillary.INI";
inline constexpr const char* kRememberedSelectionName = "quillary.qls";
// The window's preview files are this title plus the output type's extension, in the preview folder.
inline constexpr const char* kPreviewFileTitle = "~~ql_tmp";
// The language in use until settings or the user choose another.
inline constexpr const char* kDefaultLanguageTitle = "English";

// A language file applied to the form and the messages, with the menu texts it holds.
struct AppliedLanguage {
    std::string title; // "Deutsch"
    std::string file;  // where it was found
    MenuCaptions menus;
};

// A settings or configuration file as loaded into the form.
struct LoadedFile {
    bool read = false;                       // false: missing or unreadable; nothing was changed
    std::string window;                      // the stored window placement, "" when absent
    std::optional<AppliedLanguage> language; // the language it named, when that is installed
};

// Restores a selection file (found at `path`) into a folder tree and reports what could not be
// restored: the window's own tree, or a fresh tree in memory.
using SelectionRestorer = std::function<RestoreReport(const std::string& path)>;

class ListingSession {
public:
    // `form` holds the controls: the window's real ones or a headless FormState.
    ListingSession(ControlSurface& form, ProgramLocations locations);

    ControlSurface& Form() { return m_form; }
    const MessageTable& Messages() const { return m_messages; }
    MessageTable& Messages() { return m_messages; }
    const ProgramLocations& Locations() const { return m_locations; }

    std::string SettingsFilePath() const;
    std::string RememberedSelectionPath() const;
    // The preview file for an output type, "" when there is no private folder for it.
    std::string PreviewFilePath(OutputType outputType) const;

    // Loads a settings or configuration file into the form, then applies the language it names.
    LoadedFile LoadSettingsFile(const std::string& path);
    // Saves the form, the window placement and the language in use. False when it cannot be written.
    bool SaveSettingsFile(const std::string& path, std::string_view window) const;
    // Applies the language file of this title from the data folders. A language that is not installed
    // changes nothing (nullopt), but is still the one in use, so that the choice is saved.
    std::optional<AppliedLanguage> ApplyLanguage(const std::string& title);
    // The language file in use, saved with the settings.
    const std::string& LanguageFile() const { return m_languageFile; }

    // A program file named on the command line: as given (relative to the current folder); a bare name
    // that is not there is also looked up in the data folders. "" when it is in neither place.
    std::string FindInputFile(const std::string& name) const;

    // The steps of an unattended run, in this order. Each report's lines are told to the user; a report
    // that Stops() ends the run with its exit status.
    // SOURCE_DATE_EPOCH, when set, must be a whole number of seconds in the calendar's range.
    SessionReport CheckHeaderTime() const;
    // The configuration `name` (found by FindInputFile) loaded after the settings file.
    SessionReport LoadConfiguration(const std::string& name, LoadedFile& loaded);
    // The selection file `name` (found by FindInputFile) restored by `restore`; also a selection file
    // chosen in the window. The folders that were not found count for FinishRun.
    SessionReport RestoreSelection(const std::string& name, const SelectionRestorer& restore);
    // Folders named on the command line restored into a fresh tree in memory.
    SessionReport RestoreFolders(const std::vector<std::string>& folders, CheckedDirList& checkedDirs);
    // What the run tells and the exit status.
    SessionReport FinishRun(const RunResult& result) const;

    // Checks the output-type radio button an output name asks for by its extension (.txt, .html, .htm,
    // .csv) and refreshes the enabling rules, so that options that depend on the type follow it. False
    // (nothing changed) for any other name.
    bool ChooseOutputTypeFromName(const std::string& outputPath);
    // Checks the radio button of `type` and refreshes the enabling rules (quillary-cli --type).
    void ChooseOutputType(OutputType type);

    // The run target from the form's options, the checked folders and the session's messages. The
    // header time is SOURCE_DATE_EPOCH when set, the number of workers QUILLARY_THREADS.
    RunTarget BuildRunTarget(const CheckedDirList& checkedDirs, const std::string& outputPath,
                             bool previewRun) const;

    // Where the folders of the later side of a comparison are listed: a private file beside the
    // preview file, removed after the comparison; empty when there is no private folder.
    std::string CompareListingPath() const;
    // The run target that lists the checked folders into `listedPath` as JSON Lines in the order the
    // comparison reads a folder at a time (folder lines on, sorted by name ascending, not all together).
    RunTarget BuildCompareListingTarget(const CheckedDirList& checkedDirs,
                                        const std::string& listedPath) const;

private:
    ControlSurface& m_form;
    ProgramLocations m_locations;
    MessageTable m_messages;
    std::string m_languageFile;
    std::size_t m_foldersMissing = 0; // of the last selection or folders restored
};

// The header time from SOURCE_DATE_EPOCH into `time`: nullopt when unset or empty. False (and nullopt)
// when it is set to anything but a whole number of seconds from 0 to the end of the year 9999.
bool HeaderTimeFromEnvironment(std::optional<std::int64_t>& time);

// The number of workers QUILLARY_THREADS asks for (1..64; tests and benchmarks compare one thread with
// several); 0, the machine's own number, when it is unset or anything else.
unsigned ThreadCountFromEnvironment();

// A selection restored into a fresh folder tree in memory, as the window's tree would hold it.
struct Selection {
    RestoreReport report; // what could not be restored; report.fileRead false when unreadable
    CheckedDirList checkedDirs;
};
// The folders of a selection file (toggled line by line, as a user's clicks would).
Selection LoadSelectionFile(const std::string& path);
// Folders named by the user, each made canonical and checked with its subfolders once.
Selection SelectFolders(const std::vector<std::string>& folders);

// Runs one listing in a fresh engine on the calling thread.
RunResult RunListing(RunTarget target, ListingHost* host);

// Compares the listing `beforePath` with the listing `afterPath` and writes the report to `outputPath`
// in the output type and CSV separator of `options`. Not compared (with the reason in `error`) when a
// listing cannot be read or the report cannot be written; a report left unfinished is removed.
CompareOutcome WriteCompareReport(const std::string& beforePath, const std::string& afterPath,
                                  const std::string& outputPath, const ListingOptions& options);

} // namespace quillary
