// Where the program finds and keeps its own files, as one value that tests can point elsewhere.
//
// The language and configuration files and the user guide are looked up in the data folders in order:
// beside the program, then ../share/quillary (installed layout). The settings file and the remembered
// selection live where the settings may be written (beside the program when that folder is writable,
// else in the user's configuration folder); the window's preview files go beside a portable program,
// else into a private per-user folder (never a fixed name in a shared temporary folder).
#pragma once

#include <string>
#include <vector>

namespace quillary {

struct ProgramLocations {
    std::vector<std::string> dataDirs; // searched in order
    std::string settingsDir;           // the settings file and the remembered selection
    std::string previewDir;            // the window's preview files; "" when there is no such folder

    // The folders of the running program (SettingsDirectory, PreviewDirectory, ProgramDataDirectories).
    static ProgramLocations ForThisProgram();
    // Everything in one folder, as in portable use.
    static ProgramLocations InDirectory(const std::string& dir);

    // The first data folder's copy of a file, "" when none has it.
    std::string FindFile(const std::string& fileName) const;
    // Where a file of this name belongs when it is in no data folder: in the first one ("" without any).
    std::string DefaultDataFile(const std::string& fileName) const;
    // The titles (names without extension) of the files with this extension ("lng"), each once,
    // sorted; a title found in an earlier data folder hides the same title in a later one.
    std::vector<std::string> TitlesWithExtension(const std::string& extension) const;
};

} // namespace quillary
