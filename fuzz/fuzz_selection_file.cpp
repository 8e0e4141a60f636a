// Selection files are user-supplied: parsing any bytes and restoring the lines into an in-memory tree
// that never touches the disk must not crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "persistence/selection_file.h"
#include "platform/text_encoding.h"
#include "ui/model/folder_tree.h"

namespace {

// A tree of a few fixed folders instead of the file system.
class FixedTree : public quillary::MemoryTree {
public:
    bool ReadSubdirectories(const std::string& path, std::vector<std::string>& names) override {
        names.clear();
        if (path.size() < 40)
            names = {"a", "B", "\xC3\x9C"};
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = quillary::DecodeProgramFileText(std::string_view(reinterpret_cast<const char*>(data), size));
    FixedTree memory;
    quillary::FolderTree tree(memory);
    tree.Refresh();
    for (const auto& line : quillary::ParseSelectionText(text, "/a"))
        tree.RestoreCheck(line.path, line.withSubdirs);
    std::vector<std::string> collected;
    tree.CollectChecked(collected);
    return 0;
}
