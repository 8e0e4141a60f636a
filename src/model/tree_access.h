// The directory tree as the tri-state algorithms see it: items with a text, a check state and ordered
// children. The window's tree control implements this over its real items, MemoryDirTree over nodes in
// memory; the toggle, expansion, restore and collection rules (tri_state_tree.h) are written once over
// this interface, so a selection restored by the console program ends up exactly as in the window.
//
// Items are opaque handles owned by the tree. A handle stays valid until its item (or an ancestor) is
// deleted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/path_syntax.h"

namespace quillary {

// The check state of an item, stored as the index of its state image.
enum class DirCheck : int {
    Unchecked = 1,   // neither the folder nor anything loaded below it is selected
    WithSubdirs = 2, // the folder and its whole subtree, loaded or not
    Alone = 3,       // the folder's own files; its subfolders as their own states say
    PartlyBelow = 4, // the folder itself is not selected, something below it is
};

// An item handle. The empty handle means "no item"; a wxTreeItemId maps to it through GetID().
struct DirTreeItem {
    void* id = nullptr;

    explicit operator bool() const { return id != nullptr; }
    bool operator==(const DirTreeItem&) const = default;
};

// The order of sibling folders: alphabetical ignoring case (CompareNoCase), ties in byte order.
bool SortsBefore(std::string_view a, std::string_view b);

class DirTreeAccess {
public:
    virtual ~DirTreeAccess() = default;

    // Navigation. Each returns the empty handle when there is no such item.
    virtual DirTreeItem FirstRoot() const = 0;
    virtual DirTreeItem FirstChild(DirTreeItem item) const = 0;
    virtual DirTreeItem NextSibling(DirTreeItem item) const = 0;
    virtual DirTreeItem Parent(DirTreeItem item) const = 0; // empty for a root item

    virtual std::string Text(DirTreeItem item) const = 0;
    virtual DirCheck State(DirTreeItem item) const = 0;
    virtual void SetState(DirTreeItem item, DirCheck state) = 0;

    // The child of `parent` (the empty handle: the root items) whose text is `name`: the exact name
    // wins, else the first child in sibling order whose text matches ignoring case (EqualsNoCase). On
    // a case-sensitive file system "Data" and "data" can be siblings; the exact name keeps a path
    // pointing at the folder it names. The default walks the children; a tree with an index overrides
    // it so that a folder with many subfolders is searched in constant time.
    virtual DirTreeItem FindChild(DirTreeItem parent, std::string_view name) const;
    // Whether every child of the item is in the state (true without children). The default walks the
    // children; a tree that counts its children's states overrides it.
    virtual bool AllChildrenIn(DirTreeItem item, DirCheck state) const;

    // Whether the item is open. SetExpanded opens it without running the expansion rule again: the
    // caller has already run it (a window whose expanding handler runs the rule suppresses it here).
    virtual bool IsExpanded(DirTreeItem item) const = 0;
    virtual void SetExpanded(DirTreeItem item) = 0;

    // Whether the item's children have been read from disk (SyncChildren marks it). An item whose
    // children are not loaded may still have subfolders: a window shows its expand button until it is
    // loaded. Restoring a path reads only the folders on it, so items on the way can be open with
    // children whose own children are not loaded.
    virtual bool ChildrenLoaded(DirTreeItem item) const = 0;
    virtual void SetChildrenLoaded(DirTreeItem item) = 0;

    // Adds an item at the end of the parent's children (the empty parent: at the end of the root
    // items), unchecked and closed.
    virtual DirTreeItem AppendItem(DirTreeItem parent, const std::string& text) = 0;
    // Deletes the item with everything below it.
    virtual void DeleteItem(DirTreeItem item) = 0;
    virtual void DeleteAll() = 0;
    // Sorts the item's children by SortsBefore.
    virtual void SortChildren(DirTreeItem item) = 0;

    // The names of the subfolders of a folder on disk (`dirPath` ends with the separator); false when
    // it cannot be read. This is where the tree loads its children from.
    virtual bool ReadSubdirectories(const std::string& dirPath, std::vector<std::string>& names) = 0;

    // How the tree's paths are written and which root folders a refresh lists: this machine's by
    // default. A tree in memory may take another system's, so that its rules can be checked anywhere.
    virtual const PathSyntax& Syntax() const { return kNativePaths; }
    virtual std::vector<RootFolder> Roots() const { return RootFolders(); }
};

} // namespace quillary
