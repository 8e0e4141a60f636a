// "Select directories": the folder tree (1001) and "Select with subdirectories" (1104).
//
// The tree control here is a plain wxTreeCtrl; the tri-state folder tree over it is still to come.
// Until then the page keeps the selection in an in-memory tree that loads folders from disk, so that
// selection files load, save and feed runs through the same tree rules as the console program.
#pragma once

#include <memory>

#include "ui/model/memory_tree.h"
#include "ui/tab_page.h"

namespace quillary {

class CSelectDirsPage : public CTabPage {
public:
    CSelectDirsPage(wxWindow* parent, WindowSurface& surface);

    // The folder tree as the tree rules see it.
    DirTreeAccess& Tree() { return *m_tree; }

private:
    std::unique_ptr<MemoryDirTree> m_tree;
};

} // namespace quillary
