#include "ui/model/folder_tree.h"

#include <algorithm>
#include <map>

#include "platform/case_fold.h"
#include "platform/directory_reader.h"

namespace quillary {

namespace {

std::vector<TreeItem> Children(const TreeAccess& tree, TreeItem item) {
    std::vector<TreeItem> children;
    for (TreeItem child = tree.FirstChild(item); child != kNoItem; child = tree.NextSibling(child))
        children.push_back(child);
    return children;
}

bool AllChildrenIn(const TreeAccess& tree, TreeItem item, int state) {
    for (TreeItem child = tree.FirstChild(item); child != kNoItem; child = tree.NextSibling(child)) {
        if (tree.State(child) != state)
            return false;
    }
    return true;
}

} // namespace

void FolderTree::Refresh() {
    m_tree.DeleteAll();
    SyncChildren(m_tree.AppendItem(kNoItem, "/"));
}

std::string FolderTree::KeyText(TreeItem item) const {
    return m_tree.Parent(item) == kNoItem ? std::string() : m_tree.Text(item);
}

std::string FolderTree::Key(TreeItem item) const {
    const TreeItem parent = m_tree.Parent(item);
    return parent == kNoItem ? std::string() : Key(parent) + "/" + m_tree.Text(item);
}

void FolderTree::SyncChildren(TreeItem item) {
    std::vector<std::string> names;
    m_tree.ReadSubdirectories(Key(item) + "/", names); // a failure leaves no children
    std::map<std::string, bool> found;                 // name -> has an item already
    for (const std::string& name : names)
        found.emplace(name, false);
    for (TreeItem child : Children(m_tree, item)) {
        auto at = found.find(m_tree.Text(child));
        if (at == found.end())
            m_tree.DeleteItem(child);
        else
            at->second = true;
    }
    bool inserted = false;
    for (const auto& [name, hasItem] : found) {
        if (!hasItem) {
            m_tree.AppendItem(item, name);
            inserted = true;
        }
    }
    if (inserted)
        m_tree.SortChildren(item);
}

void FolderTree::Expand(TreeItem item) {
    const int state = m_tree.State(item);
    for (TreeItem child : Children(m_tree, item)) {
        SyncChildren(child);
        if (state == kUnchecked || state == kCheckedAll)
            m_tree.SetState(child, state);
    }
}

void FolderTree::ToggleOne(TreeItem item, bool withSubdirs) {
    const int state = m_tree.State(item);
    const bool hasChildren = m_tree.FirstChild(item) != kNoItem;
    int next;
    if (state == kCheckedAll || state == kCheckedAlone) {
        next = withSubdirs || AllChildrenIn(m_tree, item, kUnchecked) ? kUnchecked : kPartlyBelow;
    } else {
        next = withSubdirs || !hasChildren || AllChildrenIn(m_tree, item, kCheckedAll) ? kCheckedAll
                                                                                       : kCheckedAlone;
    }
    m_tree.SetState(item, next);
    UpdateAncestors(item);
}

void FolderTree::UpdateAncestors(TreeItem item) {
    for (TreeItem node = item, parent = m_tree.Parent(item); parent != kNoItem;
         node = parent, parent = m_tree.Parent(parent)) {
        const int nodeState = m_tree.State(node);
        const int parentState = m_tree.State(parent);
        int next = parentState;
        if (nodeState == kCheckedAll && parentState == kUnchecked)
            next = kPartlyBelow;
        else if (nodeState == kCheckedAll && parentState == kCheckedAlone)
            next = AllChildrenIn(m_tree, parent, kCheckedAll) ? kCheckedAll : parentState;
        else if (nodeState == kUnchecked && parentState == kCheckedAll)
            next = kCheckedAlone;
        else if (nodeState == kUnchecked && parentState == kPartlyBelow)
            next = AllChildrenIn(m_tree, parent, kUnchecked) ? kUnchecked : parentState;
        else if ((nodeState == kCheckedAlone || nodeState == kPartlyBelow) && parentState == kUnchecked)
            next = kPartlyBelow;
        else if ((nodeState == kCheckedAlone || nodeState == kPartlyBelow) && parentState == kCheckedAll)
            next = kCheckedAlone;
        m_tree.SetState(parent, next);
    }
}

void FolderTree::SetSubtreeState(TreeItem item, int state, bool withSubdirs) {
    if (!withSubdirs)
        return;
    for (TreeItem child = m_tree.FirstChild(item); child != kNoItem; child = m_tree.NextSibling(child)) {
        m_tree.SetState(child, state);
        SetSubtreeState(child, state, withSubdirs);
    }
}

void FolderTree::ToggleCheck(TreeItem item, bool withSubdirs) {
    ToggleOne(item, withSubdirs);
    SetSubtreeState(item, m_tree.State(item), withSubdirs);
}

bool FolderTree::RestoreCheck(const std::string& path, bool withSubdirs) {
    // "/home/me" is the root "", then "home", then "me"; "" and "/" are the root itself.
    std::vector<std::string> components{""};
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t slash = path.find('/', start);
        const std::string part =
            path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!part.empty())
            components.push_back(part);
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    TreeItem first = m_tree.FirstRoot();
    for (std::size_t i = 0; i < components.size(); ++i) {
        TreeItem match = kNoItem;
        for (TreeItem item = first; item != kNoItem && match == kNoItem; item = m_tree.NextSibling(item)) {
            if (EqualsNoCase(KeyText(item), components[i]))
                match = item;
        }
        if (match == kNoItem)
            return false;
        if (i + 1 == components.size()) {
            ToggleCheck(match, withSubdirs);
            return true;
        }
        Expand(match);
        first = m_tree.FirstChild(match);
        if (first == kNoItem)
            return false;
    }
    return false;
}

void FolderTree::Collect(TreeItem first, const std::string& prefix, std::vector<std::string>& out) const {
    for (TreeItem item = first; item != kNoItem; item = m_tree.NextSibling(item)) {
        const std::string key = prefix + KeyText(item);
        switch (m_tree.State(item)) {
        case kCheckedAll:
            out.push_back("3|" + key);
            break;
        case kCheckedAlone:
            out.push_back("2|" + key);
            Collect(m_tree.FirstChild(item), key + "/", out);
            break;
        case kPartlyBelow:
            Collect(m_tree.FirstChild(item), key + "/", out);
            break;
        default:
            break;
        }
    }
}

void FolderTree::CollectChecked(std::vector<std::string>& out) const {
    Collect(m_tree.FirstRoot(), "", out);
}

// ---------------------------------------------------------------------------------------------------

struct MemoryTree::Node {
    std::string text;
    int state = kUnchecked;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {} // namespace

MemoryTree::MemoryTree() = default;
MemoryTree::~MemoryTree() = default;

namespace {
template <typename NodeType> NodeType* NodeOf(TreeItem item) {
    return reinterpret_cast<NodeType*>(item);
}
template <typename NodeType> TreeItem ItemOf(const NodeType* node) {
    return reinterpret_cast<TreeItem>(node);
}
} // namespace

std::vector<std::unique_ptr<MemoryTree::Node>>& MemoryTree::ChildrenOf(TreeItem parent) {
    return parent == kNoItem ? m_roots : NodeOf<Node>(parent)->children;
}

const std::vector<std::unique_ptr<MemoryTree::Node>>& MemoryTree::ChildrenOf(TreeItem parent) const {
    return parent == kNoItem ? m_roots : NodeOf<Node>(parent)->children;
}

TreeItem MemoryTree::FirstRoot() const {
    return m_roots.empty() ? kNoItem : ItemOf(m_roots.front().get());
}

TreeItem MemoryTree::FirstChild(TreeItem item) const {
    const auto& children = NodeOf<Node>(item)->children;
    return children.empty() ? kNoItem : ItemOf(children.front().get());
}

TreeItem MemoryTree::NextSibling(TreeItem item) const {
    const Node* node = NodeOf<Node>(item);
    const auto& siblings = ChildrenOf(ItemOf(node->parent));
    for (std::size_t i = 0; i + 1 < siblings.size(); ++i) {
        if (siblings[i].get() == node)
            return ItemOf(siblings[i + 1].get());
    }
    return kNoItem;
}

TreeItem MemoryTree::Parent(TreeItem item) const {
    return ItemOf(NodeOf<Node>(item)->parent);
}
std::string MemoryTree::Text(TreeItem item) const {
    return NodeOf<Node>(item)->text;
}
int MemoryTree::State(TreeItem item) const {
    return NodeOf<Node>(item)->state;
}
void MemoryTree::SetState(TreeItem item, int state) {
    NodeOf<Node>(item)->state = state;
}

TreeItem MemoryTree::AppendItem(TreeItem parent, const std::string& text) {
    auto node = std::make_unique<Node>();
    node->text = text;
    node->parent = NodeOf<Node>(parent);
    Node* raw = node.get();
    ChildrenOf(parent).push_back(std::move(node));
    return ItemOf(raw);
}

void MemoryTree::DeleteItem(TreeItem item) {
    Node* node = NodeOf<Node>(item);
    auto& siblings = ChildrenOf(ItemOf(node->parent));
    siblings.erase(
        std::remove_if(siblings.begin(), siblings.end(), [node](const auto& n) { return n.get() == node; }),
        siblings.end());
}

void MemoryTree::DeleteAll() {
    m_roots.clear();
}

void MemoryTree::SortChildren(TreeItem item) {
    auto& children = ChildrenOf(item);
    std::sort(children.begin(), children.end(),
              [](const auto& a, const auto& b) { return CompareNoCase(a->text, b->text) < 0; });
}

bool MemoryTree::ReadSubdirectories(const std::string& path, std::vector<std::string>& names) {
    return ListSubdirectories(path, names);
}

} // namespace quillary
