#include "ui/model/tri_state_tree.h"

#include <string_view>
#include <unordered_map>

#include "platform/case_fold.h"

namespace quillary {

namespace {

constexpr char kSeparator = '/';

bool IsChecked(DirCheck state) {
    return state == DirCheck::WithSubdirs || state == DirCheck::Alone;
}

// True when every child is in the state, and when there are no children.
bool AllChildrenIn(const DirTreeAccess& tree, DirTreeItem item, DirCheck state) {
    for (DirTreeItem child = tree.FirstChild(item); child; child = tree.NextSibling(child)) {
        if (tree.State(child) != state)
            return false;
    }
    return true;
}

// The part of a key an item contributes: the root, shown as "/", contributes "".
std::string KeyText(const DirTreeAccess& tree, DirTreeItem item) {
    return tree.Parent(item) ? tree.Text(item) : std::string();
}

// The parent's state after one of its children changed to `node`.
DirCheck ParentStateAfter(const DirTreeAccess& tree, DirCheck node, DirTreeItem parent) {
    const DirCheck current = tree.State(parent);
    switch (node) {
    case DirCheck::WithSubdirs:
        if (current == DirCheck::Unchecked)
            return DirCheck::PartlyBelow;
        if (current == DirCheck::Alone && AllChildrenIn(tree, parent, DirCheck::WithSubdirs))
            return DirCheck::WithSubdirs;
        break;
    case DirCheck::Unchecked:
        if (current == DirCheck::WithSubdirs)
            return DirCheck::Alone;
        if (current == DirCheck::PartlyBelow && AllChildrenIn(tree, parent, DirCheck::Unchecked))
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

// The sibling (from `first` on) whose key text is the component: an exact match, else the first match
// ignoring case. On a case-sensitive file system "Data" and "data" can be siblings; the exact name
// keeps a saved selection pointing at the folder it was saved from.
DirTreeItem FindComponent(const DirTreeAccess& tree, DirTreeItem first, std::string_view component) {
    DirTreeItem folded;
    for (DirTreeItem item = first; item; item = tree.NextSibling(item)) {
        const std::string text = KeyText(tree, item);
        if (text == component)
            return item;
        if (!folded && EqualsNoCase(text, component))
            folded = item;
    }
    return folded;
}

} // namespace

std::string ItemKey(const DirTreeAccess& tree, DirTreeItem item) {
    std::vector<std::string> texts;
    for (DirTreeItem node = item; tree.Parent(node); node = tree.Parent(node))
        texts.push_back(tree.Text(node));
    std::string key;
    for (auto text = texts.rbegin(); text != texts.rend(); ++text) {
        key += kSeparator;
        key += *text;
    }
    return key;
}

std::string ItemDirPath(const DirTreeAccess& tree, DirTreeItem item) {
    return ItemKey(tree, item) + kSeparator;
}

void RefreshTree(DirTreeAccess& tree) {
    // One root for the whole file system, with its children loaded at once.
    tree.DeleteAll();
    const DirTreeItem root = tree.AppendItem(DirTreeItem{}, "/");
    SyncChildren(tree, root, std::string(1, kSeparator));
}

void SyncChildren(DirTreeAccess& tree, DirTreeItem item, const std::string& dirPath) {
    std::vector<std::string> names;
    if (!tree.ReadSubdirectories(dirPath, names))
        names.clear();                                  // an unreadable folder has no children
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
}

void ExpandItem(DirTreeAccess& tree, DirTreeItem item) {
    const std::string path = ItemDirPath(tree, item);
    const DirCheck state = tree.State(item);
    const bool handDown = state == DirCheck::Unchecked || state == DirCheck::WithSubdirs;
    for (DirTreeItem child = tree.FirstChild(item); child; child = tree.NextSibling(child)) {
        SyncChildren(tree, child, path + tree.Text(child) + kSeparator);
        if (handDown)
            tree.SetState(child, state);
    }
}

void ToggleCheck(DirTreeAccess& tree, DirTreeItem item, bool withSubdirs) {
    DirCheck next;
    if (IsChecked(tree.State(item))) {
        next = withSubdirs || AllChildrenIn(tree, item, DirCheck::Unchecked) ? DirCheck::Unchecked
                                                                             : DirCheck::PartlyBelow;
    } else {
        next = withSubdirs || AllChildrenIn(tree, item, DirCheck::WithSubdirs) ? DirCheck::WithSubdirs
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

bool RestoreCheck(DirTreeAccess& tree, const std::string& path, bool withSubdirs) {
    // "/home/me" is the root (key ""), then "home", then "me". A trailing separator names the same
    // folder, so "/" is the root as well as "".
    std::string_view rest = path;
    if (!rest.empty() && rest.back() == kSeparator)
        rest.remove_suffix(1);
    DirTreeItem first = tree.FirstRoot();
    for (;;) {
        const std::size_t separator = rest.find(kSeparator);
        const DirTreeItem match = FindComponent(tree, first, rest.substr(0, separator));
        if (!match)
            return false;
        if (separator == std::string_view::npos) {
            ToggleByUser(tree, match, withSubdirs);
            return true;
        }
        rest.remove_prefix(separator + 1);
        // An open folder has been through the expansion rule already; running it again would read
        // its subfolders' folders again for every entry below it.
        if (!tree.IsExpanded(match)) {
            ExpandItem(tree, match);
            tree.SetExpanded(match);
        }
        first = tree.FirstChild(match);
        if (!first)
            return false;
    }
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
        CollectChecked(tree, tree.FirstChild(item), out, key + kSeparator);
    }
}

void CollectChecked(const DirTreeAccess& tree, std::vector<std::string>& out) {
    CollectChecked(tree, tree.FirstRoot(), out, std::string());
}

} // namespace quillary
