// The rules of the tri-state directory tree, over any DirTreeAccess.
//
// The tree has one root item, shown as "/", whose key is "": its children's keys are "/home", "/usr",
// and a checked-dir entry for the whole disk is "3|". A checked-dir entry is "3|" + key for a folder
// with everything below it (state WithSubdirs) or "2|" + key for a folder alone (state Alone).
#pragma once

#include <string>
#include <vector>

#include "ui/model/tree_access.h"

namespace quillary {

// The item's key: "" for the root, else the parent's key + "/" + the item's text.
std::string ItemKey(const DirTreeAccess& tree, DirTreeItem item);
// The item's folder path for the file system: its key followed by "/" ("/" for the root).
std::string ItemDirPath(const DirTreeAccess& tree, DirTreeItem item);

// Deletes every item and lists the root again, with its children loaded. All check states are lost.
void RefreshTree(DirTreeAccess& tree);

// Makes the item's children equal to the subfolders of `dirPath` (the item's folder path): surviving
// children stay in place with their states, expansion and subtrees, vanished ones are deleted, new
// ones are appended unchecked, and the children are sorted only when something was appended. Names
// compare exactly. When the folder cannot be read, all children are deleted.
void SyncChildren(DirTreeAccess& tree, DirTreeItem item, const std::string& dirPath);

// What happens when an item is opened: each child gets its own children loaded (so the tree is always
// read one level ahead of what is visible), and the children of an item in state Unchecked or
// WithSubdirs take its state; under Alone or PartlyBelow they keep theirs.
void ExpandItem(DirTreeAccess& tree, DirTreeItem item);

// Gives the item a new state from its current state and its direct children, then updates every
// ancestor up to the root. `withSubdirs` is the "Select with subdirectories" setting.
void ToggleCheck(DirTreeAccess& tree, DirTreeItem item, bool withSubdirs);

// With `withSubdirs` set, gives every loaded descendant of the item the state; otherwise nothing.
void SetSubtreeState(DirTreeAccess& tree, DirTreeItem item, DirCheck state, bool withSubdirs);

// A click on the item's check box or the space key: ToggleCheck, then, with `withSubdirs` set, the
// item's new state for all its loaded descendants.
void ToggleByUser(DirTreeAccess& tree, DirTreeItem item, bool withSubdirs);

// Finds a folder path ("/home/me"; "" or "/" is the root) component by component, opening the folders
// on the way, and toggles it as the user would. Among siblings an exact name wins, else the first one
// that matches ignoring case. Returns false and toggles nothing when a component is missing; the
// folders opened on the way stay open. Restoring toggles, so it is meant for a freshly refreshed tree.
bool RestoreCheck(DirTreeAccess& tree, const std::string& path, bool withSubdirs);

// Appends the checked-dir entries of `first` and its following siblings, in pre-order, each key made of
// `prefix` + text. An item in state WithSubdirs is never descended. `out` is not cleared.
void CollectChecked(const DirTreeAccess& tree, DirTreeItem first, std::vector<std::string>& out,
                    const std::string& prefix);
// The whole tree's entries: from the first root item with an empty prefix.
void CollectChecked(const DirTreeAccess& tree, std::vector<std::string>& out);

} // namespace quillary
