#include "ui/model/memory_tree.h"

#include <utility>

#include "platform/case_fold.h"
#include "platform/directory_reader.h"

namespace quillary {

MemoryDirTree::MemoryDirTree() : MemoryDirTree(ListSubdirectories) {}

MemoryDirTree::MemoryDirTree(SubdirectoryLister lister) : m_lister(std::move(lister)) {}

MemoryDirTree::~MemoryDirTree() = default;

DirTreeItem MemoryDirTree::FirstOf(const std::list<Node>& nodes) {
    return nodes.empty() ? DirTreeItem{} : ItemOf(&nodes.front());
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
    NodeOf(item)->state = state;
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
    return ItemOf(&node);
}

void MemoryDirTree::DeleteItem(DirTreeItem item) {
    Node* node = NodeOf(item);
    node->parent->children.erase(node->self);
}

void MemoryDirTree::DeleteAll() {
    m_top.children.clear();
}

void MemoryDirTree::SortChildren(DirTreeItem item) {
    // std::list::sort relinks the nodes without moving them, so handles and `self` stay valid.
    NodeOf(item)->children.sort([](const Node& a, const Node& b) {
        const int order = CompareNoCase(a.text, b.text);
        return order != 0 ? order < 0 : a.text < b.text;
    });
}

bool MemoryDirTree::ReadSubdirectories(const std::string& dirPath, std::vector<std::string>& names) {
    names.clear();
    return m_lister && m_lister(dirPath, names);
}

} // namespace quillary
