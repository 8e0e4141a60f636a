// Where the window finds and keeps its files: the language and configuration files and Readme.html
// are looked up beside the program, then in ../share/quillary (installed layout); the settings file
// and the remembered selection live where the settings may be written (beside the program when that
// folder is writable, else in ~/.config/quillary); the preview files go beside the program in portable
// use, else into a private per-user folder (never a fixed name in a shared temporary folder).
#pragma once

#include <string>
#include <vector>

namespace quillary {

struct ProgramLocations {
    std::vector<std::string> dataDirs; // searched in order
    std::string settingsFile;          // quillary.INI
    std::string rememberedSelection;   // quillary.qls
    std::string tempBase;              // the preview files: this + "." + extension ("" for none)

    static ProgramLocations ForThisProgram();
    // Everything in one folder, as in portable use.
    static ProgramLocations InDirectory(const std::string& dir);

    // The first data folder's copy of a file, "" when none has it.
    std::string FindFile(const std::string& fileName) const;
    // The titles (names without extension) of the files with this extension ("lng"), each once,
    // sorted; a title found in an earlier data folder hides the same title in a later one.
    std::vector<std::string> TitlesWithExtension(const std::string& extension) const;
};

} // namespace quillary
