#include "persistence/selection_file.h"

#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "ui/model/tri_state_tree.h"

namespace quillary {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

bool ReadSelectionText(const std::string& path, std::string& bytes) {
    return ReadWholeFile(path, bytes);
}

std::vector<SelectionLine> ParseSelectionText(std::string_view bytes, const std::string& currentDirectory) {
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    std::vector<SelectionLine> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const std::size_t bar = line.find('|');
        if (bar == std::string_view::npos)
            continue;
        SelectionLine entry;
        entry.withSubdirs = line.substr(0, bar) != "2";
        const std::string_view path = line.substr(bar + 1);
        // Encoding is decided line by line, so that one folder name that is not UTF-8 does not turn
        // the file's other names into Windows-1252 readings.
        if (entry.withSubdirs && path == ".") {
            entry.path = currentDirectory;
        } else if (IsValidUtf8(path)) {
            entry.path = path;
        } else {
            entry.path = Cp1252ToUtf8(path);
            entry.rawPath = path;
        }
        lines.push_back(std::move(entry));
    }
    return lines;
}

bool RestoreSelectionLine(DirTreeAccess& tree, const SelectionLine& line) {
    if (RestoreCheck(tree, line.path, line.withSubdirs))
        return true;
    return !line.rawPath.empty() && RestoreCheck(tree, line.rawPath, line.withSubdirs);
}

bool SaveSelection(const std::vector<std::string>& checkedDirs, const std::string& path) {
    OutputFile file;
    if (!file.Open(path))
        return false;
    bool complete = true;
    for (const std::string& entry : checkedDirs) {
        if (entry.find_first_of("\r\n") != std::string::npos) {
            complete = false; // it would read back as other folders' entries
            continue;
        }
        file.Write(entry);
        file.Write("\n");
    }
    return file.Close() && complete;
}

bool SaveSelection(const DirTreeAccess& tree, const std::string& path) {
    std::vector<std::string> checkedDirs;
    CollectChecked(tree, checkedDirs);
    return SaveSelection(checkedDirs, path);
}

bool LoadSelection(DirTreeAccess& tree, const std::string& path, const std::string& currentDirectory) {
    std::string bytes;
    if (!ReadSelectionText(path, bytes))
        return false;
    for (const SelectionLine& line : ParseSelectionText(bytes, currentDirectory))
        RestoreSelectionLine(tree, line);
    return true;
}

} // namespace quillary
