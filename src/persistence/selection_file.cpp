#include "persistence/selection_file.h"

#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "ui/model/folder_tree.h"

namespace quillary {

std::vector<SelectionLine> ParseSelectionText(std::string_view text, const std::string& currentDirectory) {
    std::vector<SelectionLine> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t bar = line.find('|');
        if (bar == std::string_view::npos)
            continue;
        SelectionLine entry;
        entry.withSubdirs = line.substr(0, bar) != "2";
        entry.path = std::string(line.substr(bar + 1));
        if (entry.withSubdirs && entry.path == ".")
            entry.path = currentDirectory;
        lines.push_back(std::move(entry));
    }
    return lines;
}

bool ReadSelectionText(const std::string& path, std::string& text) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    text = DecodeProgramFileText(bytes);
    return true;
}

bool SaveSelection(const std::vector<std::string>& checkedDirs, const std::string& path) {
    OutputFile file;
    if (!file.Open(path))
        return false;
    for (const std::string& entry : checkedDirs) {
        file.Write(entry);
        file.Write("\n");
    }
    return file.Close();
}

bool LoadSelection(FolderTree& tree, const std::string& path, const std::string& currentDirectory) {
    std::string text;
    if (!ReadSelectionText(path, text))
        return false;
    for (const SelectionLine& line : ParseSelectionText(text, currentDirectory))
        tree.RestoreCheck(line.path, line.withSubdirs);
    return true;
}

} // namespace quillary
