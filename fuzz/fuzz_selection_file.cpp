// Selection files are user-supplied: parsing any bytes and restoring the entries into an in-memory
// tree over made-up folders must not crash, and the selection that results must survive being
// collected and restored into a fresh tree.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/selection_file.h"
#include "ui/model/memory_tree.h"
#include "ui/model/tri_state_tree.h"

namespace {

// Every folder down to four levels has the same subfolders: case twins, a UTF-8 name, a name that is
// not UTF-8 and a hidden one.
bool ListMadeUpFolders(const std::string& dirPath, std::vector<std::string>& names) {
    if (std::count(dirPath.begin(), dirPath.end(), '/') <= 4)
        names = {"a", "B", "b", "\xC3\x9C", "caf\xE9", ".x"};
    return true;
}

std::vector<std::string> Collected(const quillary::DirTreeAccess& tree) {
    std::vector<std::string> out;
    quillary::CollectChecked(tree, out);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quillary::MemoryDirTree tree(ListMadeUpFolders);
    quillary::RefreshTree(tree);
    for (const quillary::SelectionLine& line : quillary::ParseSelectionText(bytes, "/a/B"))
        quillary::RestoreSelectionLine(tree, line);
    const std::vector<std::string> collected = Collected(tree);

    quillary::MemoryDirTree fresh(ListMadeUpFolders);
    quillary::RefreshTree(fresh);
    for (const std::string& entry : collected) {
        if (!quillary::RestoreCheck(fresh, entry.substr(2), entry[0] != '2'))
            __builtin_trap();
    }
    if (Collected(fresh) != collected)
        __builtin_trap();
    return 0;
}
