#include "support/deep_tree.h"

#include "support/scratch_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillary::test {

#ifdef _WIN32
DeepTree::DeepTree(int) {}
DeepTree::~DeepTree() = default;
#else
DeepTree::DeepTree(int levels) {
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    m_path = MakeUniqueFolder(base, "quillary-deep-");
    fs::create_directory(Root());
    int folder = open(Root().c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < levels && folder >= 0; ++level) {
        if (mkdirat(folder, "e", 0755) != 0 || mkdirat(folder, "d", 0755) != 0) {
            close(folder);
            return;
        }
        const int next = openat(folder, "d", O_RDONLY | O_DIRECTORY);
        close(folder);
        folder = next;
    }
    if (folder < 0)
        return;
    const int file = openat(folder, "bottom.txt", O_WRONLY | O_CREAT, 0644);
    m_built = file >= 0 && write(file, "deep", 4) == 4;
    if (file >= 0)
        close(file);
    close(folder);
}

// Each level's leaf, then its next level is moved up one level and the emptied level removed.
DeepTree::~DeepTree() {
    const int base = open(m_path.c_str(), O_RDONLY | O_DIRECTORY);
    for (;;) {
        const int level = openat(base, "deep", O_RDONLY | O_DIRECTORY);
        if (level < 0)
            break;
        unlinkat(level, "e", AT_REMOVEDIR);
        unlinkat(level, "bottom.txt", 0);
        const bool deeper = renameat(level, "d", base, "next") == 0;
        close(level);
        unlinkat(base, "deep", AT_REMOVEDIR);
        if (!deeper || renameat(base, "next", base, "deep") != 0)
            break;
    }
    close(base);
    rmdir(m_path.c_str());
}
#endif

} // namespace quillary::test
