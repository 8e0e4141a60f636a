#include "model/tri_state_tree.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace quillary {

namespace {

bool IsChecked(DirCheck state) {
    return state == DirCheck::WithSubdirs || state == DirCheck::Alone;
}

// The part of a key an item contributes: a folder its name, a root item its root folder's key (the
// POSIX root, shown as "/", contributes ""; a drive "c:"; a network share itself).
std::string KeyText(const DirTreeAccess& tree, DirTreeItem item) {
    std::string text = tree.Text(item);
    if (tree.Parent(item))
        return text;
    const PathSyntax& syntax = tree.Syntax();
    return syntax.NetworkRootLength(text) != 0 ? text : syntax.RootKeyFromText(text);
}

// The parent's state after one of its children changed to `node`.
DirCheck ParentStateAfter(const DirTreeAccess& tree, DirCheck node, DirTreeItem parent) {
    const DirCheck current = tree.State(parent);
    switch (node) {
    case DirCheck::WithSubdirs:
        if (current == DirCheck::Unchecked)
            return DirCheck::PartlyBelow;
        if (current == DirCheck::Alone && tree.AllChildrenIn(parent, DirCheck::WithSubdirs))
            return DirCheck::WithSubdirs;
        break;
    case DirCheck::Unchecked:
        if (current == DirCheck::WithSubdirs)
            return DirCheck::Alone;
        if (current == DirCheck::PartlyBelow && tree.AllChildrenIn(parent, DirCheck::Unchecked))
            return DirCheck::Unchecked;
        break;
    case DirCheck::Alone:
    case DirCheck::PartlyBelow:
        if (current == DirCheck::Unchecked)
            return DirCheck::PartlyBelow;
        if (current == DirCheck::WithSubdirs)
            return DirCheck::Alone;
        break;
    }
    return current;
}

// Walks from the item to the root, each parent following the child changed before it. The walk always
// goes up to the root, also past steps that changed nothing.
void UpdateAncestors(DirTreeAccess& tree, DirTreeItem item) {
    for (DirTreeItem node = item, parent = tree.Parent(item); parent;
         node = parent, parent = tree.Parent(parent)) {
        const DirCheck next = ParentStateAfter(tree, tree.State(node), parent);
        if (next != tree.State(parent))
            tree.SetState(parent, next);
    }
}

// The children of an item in state Unchecked or WithSubdirs take its state (the expansion rule).
void HandDownState(DirTreeAccess& tree, DirTreeItem item) {
    const DirCheck state = tree.State(item);
    if (state != DirCheck::Unchecked && state != DirCheck::WithSubdirs)
        return;
    for (DirTreeItem child = tree.FirstChild(item); child; child = tree.NextSibling(child))
        tree.SetState(child, state);
}

// Opens an item that a restored path passes through: the expansion rule without reading one level
// ahead. An open item has been through it already; running it again would hand its state down again
// for every path below it.
void OpenOnPath(DirTreeAccess& tree, DirTreeItem item) {
    if (tree.IsExpanded(item))
        return;
    LoadChildren(tree, item);
    HandDownState(tree, item);
    tree.SetExpanded(item);
}

// The root item of the component that starts a path: "" for the POSIX root, a drive "c:" in either case.
DirTreeItem FindRoot(const DirTreeAccess& tree, std::string_view component) {
    const PathSyntax& syntax = tree.Syntax();
    if (!syntax.IsRootKey(component))
        return {};
    const std::string key = syntax.RootKeyFromText(component);
    for (DirTreeItem item = tree.FirstRoot(); item; item = tree.NextSibling(item)) {
        if (KeyText(tree, item) == key)
            return item;
    }
    return {};
}

// The root item of a network share ("\\server\share", names ignoring case). Shares are not listed by a
// refresh, so the first path on one adds the share at the end of the root items, with its children
// loaded; a share that cannot be read is not added.
DirTreeItem FindShare(DirTreeAccess& tree, std::string_view share) {
    if (const DirTreeItem item = tree.FindChild(DirTreeItem{}, share))
        return item;
    const DirTreeItem item = tree.AppendItem(DirTreeItem{}, std::string(share));
    if (SyncChildren(tree, item, ItemDirPath(tree, item)))
        return item;
    tree.DeleteItem(item);
    return {};
}

} // namespace

std::string ItemKey(const DirTreeAccess& tree, DirTreeItem item) {
    std::vector<DirTreeItem> path; // the item, its parent, ..., its root item
    for (DirTreeItem node = item; node; node = tree.Parent(node))
        path.push_back(node);
    std::string key = KeyText(tree, path.back());
    for (auto node = std::next(path.rbegin()); node != path.rend(); ++node) {
        key += tree.Syntax().separator;
        key += tree.Text(*node);
    }
    return key;
}

std::string ItemDirPath(const DirTreeAccess& tree, DirTreeItem item) {
    return ItemKey(tree, item) + tree.Syntax().separator;
}

void RefreshTree(DirTreeAccess& tree) {
    // The root folders in their order, the children of each loaded at once unless it is a drive that
    // is not read at start (a floppy drive is read only when the user opens or selects it).
    tree.DeleteAll();
    for (const RootFolder& root : tree.Roots()) {
        const DirTreeItem item = tree.AppendItem(DirTreeItem{}, root.text);
        if (root.readAtStart)
            SyncChildren(tree, item, ItemDirPath(tree, item));
    }
}

bool SyncChildren(DirTreeAccess& tree, DirTreeItem item, const std::string& dirPath) {
    std::vector<std::string> names;
    const bool read = tree.ReadSubdirectories(dirPath, names);
    if (!read)
        names.clear(); // an unreadable folder has no children
    // New children are appended in their sorted order, so that sorting them moves nothing and a tree
    // that allocates items one after another keeps siblings close in memory for the walks of a toggle.
    std::sort(names.begin(), names.end(), SortsBefore);
    std::unordered_map<std::string_view, bool> hasItem; // name on disk -> a child already stands for it
    hasItem.reserve(names.size());
    for (const std::string& name : names)
        hasItem.emplace(name, false);

    for (DirTreeItem child = tree.FirstChild(item); child;) {
        const DirTreeItem next = tree.NextSibling(child);
        const auto found = hasItem.find(tree.Text(child));
        if (found != hasItem.end() && !found->second)
            found->second = true;
        else
            tree.DeleteItem(child); // vanished (or a second child of the same name)
        child = next;
    }

    bool appended = false;
    for (const std::string& name : names) {
        bool& present = hasItem[name];
        if (!present) {
            tree.AppendItem(item, name);
            present = true;
            appended = true;
        }
    }
    if (appended)
        tree.SortChildren(item);
    tree.SetChildrenLoaded(item);
    return read;
}

void LoadChildren(DirTreeAccess& tree, DirTreeItem item) {
    if (!tree.ChildrenLoaded(item))
        SyncChildren(tree, item, ItemDirPath(tree, item));
}

void ExpandItem(DirTreeAccess& tree, DirTreeItem item) {
    LoadChildren(tree, item);
    const std::string path = ItemDirPath(tree, item);
    for (DirTreeItem child = tree.FirstChild(item); child; child = tree.NextSibling(child))
        SyncChildren(tree, child, path + tree.Text(child) + tree.Syntax().separator);
    HandDownState(tree, item);
}

void ToggleCheck(DirTreeAccess& tree, DirTreeItem item, bool withSubdirs) {
    DirCheck next;
    if (IsChecked(tree.State(item))) {
        next = withSubdirs || tree.AllChildrenIn(item, DirCheck::Unchecked) ? DirCheck::Unchecked
                                                                            : DirCheck::PartlyBelow;
    } else {
        next = withSubdirs || tree.AllChildrenIn(item, DirCheck::WithSubdirs) ? DirCheck::WithSubdirs
                                                                              : DirCheck::Alone;
    }
    tree.SetState(item, next);
    UpdateAncestors(tree, item);
}

void SetSubtreeState(DirTreeAccess& tree, DirTreeItem item, DirCheck state, bool withSubdirs) {
    if (!withSubdirs)
        return;
    // Recursion depth is the depth of the loaded tree, which a path length limits.
    for (DirTreeItem child = tree.FirstChild(item); child; child = tree.NextSibling(child)) {
        tree.SetState(child, state);
        SetSubtreeState(tree, child, state, withSubdirs);
    }
}

void ToggleByUser(DirTreeAccess& tree, DirTreeItem item, bool withSubdirs) {
    ToggleCheck(tree, item, withSubdirs);
    SetSubtreeState(tree, item, tree.State(item), withSubdirs);
}

void CheckWithSubdirs(DirTreeAccess& tree, DirTreeItem item) {
    tree.SetState(item, DirCheck::WithSubdirs);
    SetSubtreeState(tree, item, DirCheck::WithSubdirs, true);
    UpdateAncestors(tree, item);
}

DirTreeItem FindPath(DirTreeAccess& tree, std::string_view path) {
    // "/home/me" is the root (key ""), then "home", then "me"; "C:\Data" is the drive c:, then "Data";
    // "\\server\share\x" the share, then "x". A trailing separator names the same folder, so "/" is
    // the root as well as "", and "c:\" is "c:".
    const PathSyntax& syntax = tree.Syntax();
    if (!path.empty() && syntax.IsSeparator(path.back()))
        path.remove_suffix(1);
    std::size_t separator;
    DirTreeItem item;
    if (const std::size_t share = syntax.NetworkRootLength(path)) {
        separator = share < path.size() ? share : std::string_view::npos;
        item = FindShare(tree, path.substr(0, share));
    } else {
        separator = syntax.FindSeparator(path);
        item = FindRoot(tree, path.substr(0, separator));
    }
    while (item && separator != std::string_view::npos) {
        path.remove_prefix(separator + 1);
        separator = syntax.FindSeparator(path);
        OpenOnPath(tree, item);
        item = tree.FindChild(item, path.substr(0, separator));
    }
    return item;
}

bool RestoreCheck(DirTreeAccess& tree, std::string_view path, bool withSubdirs) {
    const DirTreeItem item = FindPath(tree, path);
    if (!item)
        return false;
    LoadChildren(tree, item);
    ToggleByUser(tree, item, withSubdirs);
    return true;
}

void CollectChecked(const DirTreeAccess& tree, DirTreeItem first, std::vector<std::string>& out,
                    const std::string& prefix) {
    for (DirTreeItem item = first; item; item = tree.NextSibling(item)) {
        const DirCheck state = tree.State(item);
        if (state != DirCheck::WithSubdirs && state != DirCheck::Alone && state != DirCheck::PartlyBelow)
            continue;
        const std::string key = prefix + KeyText(tree, item);
        if (state == DirCheck::WithSubdirs) {
            out.push_back("3|" + key); // covers the whole subtree, loaded or not
            continue;
        }
        if (state == DirCheck::Alone)
            out.push_back("2|" + key);
        CollectChecked(tree, tree.FirstChild(item), out, key + tree.Syntax().separator);
    }
}

void CollectChecked(const DirTreeAccess& tree, std::vector<std::string>& out) {
    CollectChecked(tree, tree.FirstRoot(), out, std::string());
}

} // namespace quillary
