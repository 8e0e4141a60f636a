#include "app/gui/program_locations.h"

#include <algorithm>
#include <cstdlib>

#include <wx/filename.h>

#include "platform/directory_reader.h"
#include "platform/program_files.h"

namespace quillary {

namespace {

constexpr const char* kProgramName = "quillary";

// A folder only this user may enter, for the preview files when they cannot go beside the program.
std::string PrivatePreviewDirectory() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    std::string base;
    if (cache != nullptr && *cache == '/')
        base = cache;
    else if (home != nullptr && *home != '\0')
        base = std::string(home) + "/.cache";
    else
        return {};
    const std::string dir = base + "/" + kProgramName;
    wxFileName::Mkdir(wxString::FromUTF8(dir.c_str()), 0700, wxPATH_MKDIR_FULL);
    return dir;
}

} // namespace

ProgramLocations ProgramLocations::ForThisProgram() {
    const std::string programDir = ProgramDirectory();
    ProgramLocations locations;
    locations.dataDirs = {programDir, programDir + "/../share/" + kProgramName};
    const std::string settingsDir = SettingsDirectory();
    locations.settingsFile = settingsDir + "/" + kProgramName + ".INI";
    locations.rememberedSelection = settingsDir + "/" + kProgramName + ".qls";
    const std::string previewDir = settingsDir == programDir ? programDir : PrivatePreviewDirectory();
    locations.tempBase = (previewDir.empty() ? settingsDir : previewDir) + "/~~ql_tmp";
    return locations;
}

ProgramLocations ProgramLocations::InDirectory(const std::string& dir) {
    ProgramLocations locations;
    locations.dataDirs = {dir};
    locations.settingsFile = dir + "/" + kProgramName + ".INI";
    locations.rememberedSelection = dir + "/" + kProgramName + ".qls";
    locations.tempBase = dir + "/~~ql_tmp";
    return locations;
}

std::string ProgramLocations::FindFile(const std::string& fileName) const {
    for (const std::string& dir : dataDirs) {
        const std::string path = dir + "/" + fileName;
        if (FileExists(path))
            return path;
    }
    return {};
}

std::vector<std::string> ProgramLocations::TitlesWithExtension(const std::string& extension) const {
    const std::string suffix = "." + extension;
    std::vector<std::string> titles;
    for (const std::string& dir : dataDirs) {
        DirectoryReader reader;
        if (!reader.Open(dir))
            continue;
        std::vector<std::string> found;
        std::string_view name;
        EntryKind kind;
        while (reader.Next(name, kind)) {
            if (kind == EntryKind::Directory || name.size() <= suffix.size() ||
                name.substr(name.size() - suffix.size()) != suffix)
                continue;
            std::string title(name.substr(0, name.size() - suffix.size()));
            if (std::find(titles.begin(), titles.end(), title) == titles.end())
                found.push_back(std::move(title));
        }
        titles.insert(titles.end(), found.begin(), found.end());
    }
    std::sort(titles.begin(), titles.end());
    return titles;
}

} // namespace quillary
