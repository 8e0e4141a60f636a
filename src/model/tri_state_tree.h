// The rules of the tri-state directory tree, over any DirTreeAccess.
//
// The root items are the tree's root folders (DirTreeAccess::Roots). On POSIX that is one item, shown as
// "/", whose key is "": its children's keys are "/home", "/usr", and a checked-dir entry for the whole
// disk is "3|". On Windows each drive is a root item "c:" keyed "c:": its children's keys are
// "c:\Windows", and the entry for the whole drive is "3|c:". A checked-dir entry is "3|" + key for a
// folder with everything below it (state WithSubdirs) or "2|" + key for a folder alone (state Alone).
// The separator is the tree's path syntax's (DirTreeAccess::Syntax).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/tree_access.h"

namespace quillary {

// The item's key: its root folder's key for a root item ("" for "/", "c:" for a drive), else the
// parent's key + the separator + the item's text.
std::string ItemKey(const DirTreeAccess& tree, DirTreeItem item);
// The item's folder path for the file system: its key followed by the separator ("/" for the POSIX
// root, "c:\" for a drive).
std::string ItemDirPath(const DirTreeAccess& tree, DirTreeItem item);

// Deletes every item and lists the root folders again in their order, each with its children loaded
// unless it is not read at start (drives a: and b:; they are loaded when opened or selected). All check
// states are lost.
void RefreshTree(DirTreeAccess& tree);

// Makes the item's children equal to the subfolders of `dirPath` (the item's folder path): surviving
// children stay in place with their states, expansion and subtrees, vanished ones are deleted, new
// ones are appended unchecked, and the children are sorted only when something was appended. Names
// compare exactly. When the folder cannot be read, all children are deleted and false is returned.
// Marks the item's children loaded.
bool SyncChildren(DirTreeAccess& tree, DirTreeItem item, const std::string& dirPath);

// Reads the item's children from disk unless they are loaded already. New children are unchecked, as
// when the window loads them one level ahead; the expansion rule hands states down when the item is
// opened.
void LoadChildren(DirTreeAccess& tree, DirTreeItem item);

// What happens when the user opens an item in the window: its children are loaded if they are not
// yet, each child gets its own children loaded (so that the window knows which children have expand
// buttons), and the children of an item in state Unchecked or WithSubdirs take its state; under Alone
// or PartlyBelow they keep theirs.
void ExpandItem(DirTreeAccess& tree, DirTreeItem item);

// Gives the item a new state from its current state and its direct children, then updates every
// ancestor up to the root. `withSubdirs` is the "Select with subdirectories" setting.
void ToggleCheck(DirTreeAccess& tree, DirTreeItem item, bool withSubdirs);

// With `withSubdirs` set, gives every loaded descendant of the item the state; otherwise nothing.
void SetSubtreeState(DirTreeAccess& tree, DirTreeItem item, DirCheck state, bool withSubdirs);

// A click on the item's check box or the space key: ToggleCheck, then, with `withSubdirs` set, the
// item's new state for all its loaded descendants.
void ToggleByUser(DirTreeAccess& tree, DirTreeItem item, bool withSubdirs);

// Checks the item with everything below it, whatever its state was: the item and its loaded
// descendants become WithSubdirs and the ancestors follow. Doing it twice changes nothing, unlike a
// toggle; this is how folders named on a command line are selected.
void CheckWithSubdirs(DirTreeAccess& tree, DirTreeItem item);

// Finds a folder path ("/home/me", "" or "/" the root; "C:\Data", "c:" or "C:\" a drive, names and
// drive letters ignoring case as FindChild does) component by component, opening each folder
// on the way (the first time: its children loaded if they are not, its state handed down to them as
// the expansion rule does, marked open) and looking the next name up with FindChild. Only the folders
// on the path are read, each at most once however often it is passed; the subfolders of siblings are
// never read, and neither is the found folder itself. The empty handle when a component is missing;
// the folders opened on the way stay open. A path on a network share ("\\server\share\x") adds the share
// as a root item of its own the first time, when it can be read.
DirTreeItem FindPath(DirTreeAccess& tree, std::string_view path);

// Finds the path (FindPath), loads the found folder's children (they decide its new state) and toggles
// it as the user would. Returns false and toggles nothing when the path is not in the tree. Restoring
// toggles, so it is meant for a freshly refreshed tree.
bool RestoreCheck(DirTreeAccess& tree, std::string_view path, bool withSubdirs);

// Appends the checked-dir entries of `first` and its following siblings, in pre-order, each key made of
// `prefix` + text. An item in state WithSubdirs is never descended. `out` is not cleared.
void CollectChecked(const DirTreeAccess& tree, DirTreeItem first, std::vector<std::string>& out,
                    const std::string& prefix);
// The whole tree's entries: from the first root item with an empty prefix.
void CollectChecked(const DirTreeAccess& tree, std::vector<std::string>& out);

} // namespace quillary
