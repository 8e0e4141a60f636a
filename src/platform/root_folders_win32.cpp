#include <windows.h>

#include "platform/path_syntax.h"

namespace quillary {

// Every drive the system reports, in letter order. The drives a: and b: are floppy drive letters: they
// are listed but not read until the user asks for them.
std::vector<RootFolder> RootFolders() {
    std::vector<RootFolder> roots;
    const DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (drives & (DWORD{1} << letter))
            roots.push_back(RootFolder{std::string{static_cast<char>('a' + letter), ':'}, letter >= 2});
    }
    return roots;
}

} // namespace quillary
