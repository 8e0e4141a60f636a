// The listing session: everything a front end does around a listing run, written once for the window
// and the console program. It finds the settings file, loads settings and configurations with the
// languages they name into a control surface, chooses the output type from an output name, restores
// selections and folders into a folder tree, builds the run target and runs it.
//
// Threading: a session lives on its front end's main thread. RunListing runs on the calling thread; the
// window calls it on its run thread with a target built on the main thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/listing_engine.h"
#include "listing/message_table.h"
#include "model/control_surface.h"
#include "persistence/selection_file.h"

namespace quillary {

class DirTreeAccess;

// The files both front ends share, named after the program.
inline constexpr const char* kSettingsFileName = "quillary.INI";
inline constexpr const char* kRememberedSelectionName = "quillary.qls";
// The window's preview files are this title plus the output type's extension, in PreviewDirectory().
inline constexpr const char* kPreviewFileTitle = "~~ql_tmp";

// A settings or configuration file as loaded into the form.
struct LoadedFile {
    bool read = false;    // false: missing or unreadable; nothing was changed
    std::string window;   // the stored window placement, "" when absent
    std::string language; // the language file applied ("" when none), e.g. ".../Deutsch.lng"
};

class ListingSession {
public:
    // `form` holds the controls: the window's real ones or a headless FormState.
    explicit ListingSession(ControlSurface& form) : m_form(form) {}

    ControlSurface& Form() { return m_form; }
    const MessageTable& Messages() const { return m_messages; }
    MessageTable& Messages() { return m_messages; }

    // Where the settings file and the remembered selection live (beside the program when writable).
    static std::string SettingsFilePath();
    static std::string RememberedSelectionPath();

    // Loads a settings or configuration file into the form, then applies the language it names (a
    // language that is not installed changes nothing).
    LoadedFile LoadSettingsFile(const std::string& path);

    // Checks the output-type radio button an output name asks for by its extension (.txt, .html, .htm,
    // .csv) and refreshes the enabling rules, so that options that depend on the type follow it. False
    // (nothing changed) for any other name.
    bool ChooseOutputTypeFromName(const std::string& outputPath);

    // The run target from the form's options, the checked folders and the session's messages. The
    // header time is SOURCE_DATE_EPOCH when set.
    RunTarget BuildRunTarget(const CheckedDirList& checkedDirs, const std::string& outputPath,
                             bool previewRun) const;

private:
    ControlSurface& m_form;
    MessageTable m_messages;
};

// A program file named on the command line: as given (relative to the current directory); a bare name
// that is not there is also looked up beside the program. "" when it is in neither place.
std::string ResolveInputFile(const std::string& name);

// The header time from SOURCE_DATE_EPOCH into `time`: nullopt when unset or empty. False (and nullopt)
// when it is set to anything but a whole number of seconds from 0 to the end of the year 9999.
bool HeaderTimeFromEnvironment(std::optional<std::int64_t>& time);

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

} // namespace quillary
