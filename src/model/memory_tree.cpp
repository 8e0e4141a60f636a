#include "model/memory_tree.h"

#include <utility>

#include "platform/case_fold.h"
#include "platform/directory_reader.h"

namespace quillary {

MemoryDirTree::MemoryDirTree() : MemoryDirTree(ListSubdirectories) {}

MemoryDirTree::MemoryDirTree(SubdirectoryLister lister) : m_lister(std::move(lister)) {}

MemoryDirTree::MemoryDirTree(SubdirectoryLister lister, const PathSyntax& syntax,
                             std::vector<RootFolder> roots)
    : m_lister(std::move(lister)), m_syntax(syntax), m_roots(std::move(roots)), m_nativeRoots(false) {}

MemoryDirTree::~MemoryDirTree() = default;

DirTreeItem MemoryDirTree::FirstOf(const std::list<Node>& nodes) {
    return nodes.empty() ? DirTreeItem{} : ItemOf(&nodes.front());
}

std::size_t& MemoryDirTree::CountOf(Node& parent, DirCheck state) {
    return parent.childStates[static_cast<std::size_t>(state) - 1];
}

DirTreeItem MemoryDirTree::FirstRoot() const {
    return FirstOf(m_top.children);
}

DirTreeItem MemoryDirTree::FirstChild(DirTreeItem item) const {
    return FirstOf(NodeOf(item)->children);
}

DirTreeItem MemoryDirTree::NextSibling(DirTreeItem item) const {
    const Node* node = NodeOf(item);
    const auto next = std::next(node->self);
    return next == node->parent->children.end() ? DirTreeItem{} : ItemOf(&*next);
}

DirTreeItem MemoryDirTree::Parent(DirTreeItem item) const {
    const Node* parent = NodeOf(item)->parent;
    return parent == &m_top ? DirTreeItem{} : ItemOf(parent);
}

std::string MemoryDirTree::Text(DirTreeItem item) const {
    return NodeOf(item)->text;
}

DirCheck MemoryDirTree::State(DirTreeItem item) const {
    return NodeOf(item)->state;
}

void MemoryDirTree::SetState(DirTreeItem item, DirCheck state) {
    Node* node = NodeOf(item);
    --CountOf(*node->parent, node->state);
    ++CountOf(*node->parent, state);
    node->state = state;
}

DirTreeItem MemoryDirTree::FindChild(DirTreeItem parent, std::string_view name) const {
    const Node& owner = Owner(parent);
    if (!owner.index) {
        owner.index = std::make_unique<ChildIndex>();
        owner.index->reserve(owner.children.size());
        for (const Node& child : owner.children)
            (*owner.index)[FoldCase(child.text)].push_back(&child);
    }
    const auto found = owner.index->find(FoldCase(name));
    if (found == owner.index->end())
        return {};
    for (const Node* child : found->second) {
        if (child->text == name)
            return ItemOf(child);
    }
    return ItemOf(found->second.front());
}

bool MemoryDirTree::AllChildrenIn(DirTreeItem item, DirCheck state) const {
    Node* node = NodeOf(item);
    return CountOf(*node, state) == node->children.size();
}

bool MemoryDirTree::ChildrenLoaded(DirTreeItem item) const {
    return NodeOf(item)->childrenLoaded;
}

void MemoryDirTree::SetChildrenLoaded(DirTreeItem item) {
    NodeOf(item)->childrenLoaded = true;
}

bool MemoryDirTree::IsExpanded(DirTreeItem item) const {
    return NodeOf(item)->expanded;
}

void MemoryDirTree::SetExpanded(DirTreeItem item) {
    NodeOf(item)->expanded = true;
}

DirTreeItem MemoryDirTree::AppendItem(DirTreeItem parent, const std::string& text) {
    Node* owner = parent ? NodeOf(parent) : &m_top;
    Node& node = owner->children.emplace_back();
    node.text = text;
    node.parent = owner;
    node.self = std::prev(owner->children.end());
    ++CountOf(*owner, node.state);
    owner->index.reset();
    return ItemOf(&node);
}

void MemoryDirTree::DeleteItem(DirTreeItem item) {
    Node* node = NodeOf(item);
    Node* owner = node->parent;
    --CountOf(*owner, node->state);
    owner->index.reset();
    owner->children.erase(node->self);
}

void MemoryDirTree::DeleteAll() {
    m_top.children.clear();
    m_top.childStates = {};
    m_top.index.reset();
}

void MemoryDirTree::SortChildren(DirTreeItem item) {
    Node* node = NodeOf(item);
    node->index.reset(); // its lists are in sibling order
    // std::list::sort relinks the nodes without moving them, so handles and `self` stay valid.
    node->children.sort([](const Node& a, const Node& b) { return SortsBefore(a.text, b.text); });
}

bool MemoryDirTree::ReadSubdirectories(const std::string& dirPath, std::vector<std::string>& names) {
    names.clear();
    return m_lister && m_lister(dirPath, names);
}

std::vector<RootFolder> MemoryDirTree::Roots() const {
    return m_nativeRoots ? RootFolders() : m_roots;
}

} // namespace quillary
