// What one console run loads before it lists: the settings file, a configuration, the language, and
// the folders to list. Errors are reported on stderr with the exit status the caller returns.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"
#include "model/form_state.h"
#include "session/listing_session.h"

namespace quillary {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitIncomplete = 3; // written, but something could not be read

class ConsoleSession {
public:
    // Loads the settings file, then the configuration named on the command line (when given), applying
    // the language each names. False (with a message on stderr) when the configuration cannot be read.
    bool LoadConfiguration(const CommandLineInfo& commandLine);

    // The checked folders of a selection file restored into a fresh folder tree. False (with a
    // message) when the file cannot be read or the current folder it names is gone; lines that are
    // ignored or not found are warned about.
    bool LoadSelection(const std::string& selectionFile, CheckedDirList& checkedDirs);

    // Each folder checked with its subfolders into a fresh folder tree. False (with a message) when a
    // relative folder is named and the current folder is gone; folders not found are warned about.
    bool SelectFolders(const std::vector<std::string>& folders, CheckedDirList& checkedDirs);

    // Runs one listing with the loaded options into `outputPath`; returns the exit status (3 also when
    // a selected folder was not found).
    int RunListing(const CheckedDirList& checkedDirs, const std::string& outputPath, bool typeFromExtension);

private:
    FormState m_form;
    ListingSession m_session{m_form};
    std::size_t m_foldersMissing = 0; // selection lines or folders that were not restored
};

} // namespace quillary
