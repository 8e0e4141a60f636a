#include "platform/program_locations.h"

#include <algorithm>

#include "platform/directory_reader.h"
#include "platform/path_syntax.h"
#include "platform/program_files.h"

namespace quillary {

ProgramLocations ProgramLocations::ForThisProgram() {
    ProgramLocations locations;
    locations.dataDirs = ProgramDataDirectories();
    locations.settingsDir = SettingsDirectory();
    locations.previewDir = PreviewDirectory();
    return locations;
}

ProgramLocations ProgramLocations::InDirectory(const std::string& dir) {
    ProgramLocations locations;
    locations.dataDirs = {dir};
    locations.settingsDir = dir;
    locations.previewDir = dir;
    return locations;
}

std::string ProgramLocations::FindFile(const std::string& fileName) const {
    for (const std::string& dir : dataDirs) {
        std::string path = dir + kPathSeparator + fileName;
        if (FileExists(path))
            return path;
    }
    return {};
}

std::string ProgramLocations::DefaultDataFile(const std::string& fileName) const {
    return dataDirs.empty() ? std::string() : dataDirs.front() + kPathSeparator + fileName;
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
