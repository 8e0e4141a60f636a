// "Select directories": the folder tree (1001) and "Select with subdirectories" (1104), which decides
// whether a toggle reaches the folder's subfolders as well.
#pragma once

#include <string>

#include "persistence/selection_file.h"
#include "platform/name_mask.h"
#include "ui/dir_tree_ctrl.h"
#include "ui/tab_page.h"

namespace quillary {

class CSelectDirsPage : public CTabPage {
public:
    CSelectDirsPage(wxWindow* parent, WindowSurface& surface);

    // The folder tree; the tree rules and selection files work on it.
    CDirTreeCtrl& Tree() { return *m_tree; }

    // Lists the folders again (F5): every check mark is lost.
    void RefreshTree();
    // Opens the folders down to `path`, opens it too and selects it, checking nothing (a first start
    // shows the user's home folder this way). False when the path is not in the tree.
    bool OpenFolder(const std::string& path);
    // Refreshes the tree and restores a selection file into it, with window updates locked. The report
    // lists what could not be restored.
    RestoreReport LoadSelection(const std::string& path);
    // Shows the folders the "Exclude folders" mask names greyed; after a settings or configuration
    // file set the mask (typing in it does this by itself).
    void ShowExcludedFolders();

private:
    CDirTreeCtrl* m_tree = nullptr;
    NameMask m_excludeMask{""};
};

} // namespace quillary
