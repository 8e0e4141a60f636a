// Selection files are user-supplied: parsing any bytes and restoring the entries into an in-memory
// tree over made-up folders must not crash; the selection that results must survive being collected
// and restored into a fresh tree, and the same paths checked as folders must give the same selection
// when checked twice.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/memory_tree.h"
#include "model/tri_state_tree.h"
#include "persistence/selection_file.h"

namespace {

// Every folder down to four levels has the same subfolders: case twins, a UTF-8 name, a name that is
// not UTF-8 and a hidden one.
bool ListMadeUpFolders(const std::string& dirPath, std::vector<std::string>& names) {
    if (std::count(dirPath.begin(), dirPath.end(), '/') <= 4)
        names = {"a", "B", "b", "\xC3\x9C", "caf\xE9", ".x"};
    return true;
}

// Resolves "." and ".." by the text alone, the current folder being /a/B: the disk is never touched.
quillary::CanonicalPathResult ResolveMadeUp(const std::string& path) {
    if (path.find('\0') != std::string::npos)
        return {{}, 22, false};
    std::vector<std::string_view> parts = {"a", "B"};
    if (path.starts_with('/'))
        parts.clear();
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = std::string_view(path).substr(start, end - start);
        if (part == ".." && !parts.empty())
            parts.pop_back();
        else if (!part.empty() && part != "." && part != "..")
            parts.push_back(part);
        start = end + 1;
    }
    std::string resolved;
    for (std::string_view part : parts)
        resolved.append("/").append(part);
    return {resolved.empty() ? "/" : resolved, 0, false};
}

std::vector<std::string> Collected(const quillary::DirTreeAccess& tree) {
    std::vector<std::string> out;
    quillary::CollectChecked(tree, out);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const quillary::ParsedSelection parsed = quillary::ParseSelectionText(bytes);
    quillary::MemoryDirTree tree(ListMadeUpFolders);
    quillary::RefreshTree(tree);
    quillary::RestoreReport report;
    for (const quillary::SelectionLine& line : parsed.lines)
        quillary::RestoreSelectionLine(tree, line, report, ResolveMadeUp);
    const std::vector<std::string> collected = Collected(tree);

    quillary::MemoryDirTree fresh(ListMadeUpFolders);
    quillary::RefreshTree(fresh);
    for (const std::string& entry : collected) {
        if (!quillary::RestoreCheck(fresh, entry.substr(2), entry[0] != '2'))
            __builtin_trap();
    }
    if (Collected(fresh) != collected)
        __builtin_trap();

    // Folders are checked, never toggled: naming them all again changes nothing.
    std::vector<std::string> folders;
    for (const quillary::SelectionLine& line : parsed.lines)
        folders.push_back(line.rawPath.empty() ? line.path : line.rawPath);
    quillary::MemoryDirTree checked(ListMadeUpFolders);
    quillary::RefreshTree(checked);
    quillary::CheckFolders(checked, folders, ResolveMadeUp);
    const std::vector<std::string> once = Collected(checked);
    quillary::CheckFolders(checked, folders, ResolveMadeUp);
    if (Collected(checked) != once)
        __builtin_trap();
    for (const std::string& entry : once) {
        if (entry[0] != '3')
            __builtin_trap();
    }
    return 0;
}
