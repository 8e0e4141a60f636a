// A tree of thousands of nested folders, each level with a leaf folder beside the next level and a file
// "bottom.txt" holding "deep" at the bottom: paths far longer than any the system takes at once. It is
// built and removed level by level through folder handles, so that no path ever grows long (rm -rf
// takes quadratic time here), on a memory file system where there is one (thousands of folder renames
// cost seconds on a disk). POSIX only: on Windows nothing is built.
#pragma once

#include <filesystem>

namespace quillary::test {

class DeepTree {
public:
    explicit DeepTree(int levels);
    ~DeepTree();
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;

    bool Built() const { return m_built; }
    // The top level: Root()/e, Root()/d/e, Root()/d/d/e, ..., Root()/d/.../d/bottom.txt.
    std::filesystem::path Root() const { return m_path / "deep"; }

private:
    std::filesystem::path m_path;
    bool m_built = false;
};

} // namespace quillary::test
