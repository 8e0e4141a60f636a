// What one console run loads before it lists: the settings file, a configuration, the language, and
// the folders to list. Errors are reported on stderr with the exit status the caller returns.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"
#include "engine/listing_engine.h"
#include "persistence/message_table.h"
#include "ui/model/form_state.h"

namespace quillary {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// The settings file both front ends share.
inline constexpr const char* kSettingsFileName = "quillary.INI";

class ConsoleSession {
public:
    // Loads the settings file, then the configuration named on the command line (when given), applying
    // the language each names. False (with a message on stderr) when the configuration cannot be read.
    bool LoadConfiguration(const CommandLineInfo& commandLine);

    // The checked folders of a selection file restored into a fresh folder tree. False (with a
    // message) when the file cannot be read or the current folder it names is gone; lines that are
    // ignored or not found are warned about.
    bool LoadSelection(const std::string& selectionFile, CheckedDirList& checkedDirs) const;

    // Each folder checked with its subfolders into a fresh folder tree. False (with a message) when a
    // relative folder is named and the current folder is gone; folders not found are warned about.
    bool SelectFolders(const std::vector<std::string>& folders, CheckedDirList& checkedDirs) const;

    // Runs one listing with the loaded options into `outputPath`; returns the exit status.
    int RunListing(const CheckedDirList& checkedDirs, const std::string& outputPath, bool typeFromExtension);

private:
    void LoadSettingsFile(const std::string& path);

    FormState m_form;
    MessageTable m_messages;
};

// A program file named on the command line: as given (relative to the current directory); a bare name
// that is not there is also looked up beside the program. "" when it is in neither place.
std::string ResolveInputFile(const std::string& name);

// The output type an output name asks for by its extension (.txt, .html, .htm, .csv), or -1.
int OutputTypeFromName(const std::string& path);

} // namespace quillary
