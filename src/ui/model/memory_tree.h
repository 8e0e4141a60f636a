// The directory tree held in memory: the console program restores and collects selections on it, and
// tests drive the tree rules on it without a window. By default it loads folders from the file system;
// given a lister it loads them from anywhere (a made-up folder tree in tests and fuzzing).
#pragma once

#include <functional>
#include <list>
#include <string>
#include <vector>

#include "ui/model/tree_access.h"

namespace quillary {

// Fills `names` with the subfolders of `dirPath` (which ends with "/"); false when it cannot be read.
using SubdirectoryLister = std::function<bool(const std::string& dirPath, std::vector<std::string>& names)>;

class MemoryDirTree final : public DirTreeAccess {
public:
    MemoryDirTree(); // loads folders from the file system
    explicit MemoryDirTree(SubdirectoryLister lister);
    MemoryDirTree(const MemoryDirTree&) = delete;
    MemoryDirTree& operator=(const MemoryDirTree&) = delete;
    ~MemoryDirTree() override;

    DirTreeItem FirstRoot() const override;
    DirTreeItem FirstChild(DirTreeItem item) const override;
    DirTreeItem NextSibling(DirTreeItem item) const override;
    DirTreeItem Parent(DirTreeItem item) const override;
    std::string Text(DirTreeItem item) const override;
    DirCheck State(DirTreeItem item) const override;
    void SetState(DirTreeItem item, DirCheck state) override;
    bool IsExpanded(DirTreeItem item) const override;
    void SetExpanded(DirTreeItem item) override;
    DirTreeItem AppendItem(DirTreeItem parent, const std::string& text) override;
    void DeleteItem(DirTreeItem item) override;
    void DeleteAll() override;
    void SortChildren(DirTreeItem item) override;
    bool ReadSubdirectories(const std::string& dirPath, std::vector<std::string>& names) override;

private:
    // Children live in a std::list: handles (node addresses) stay valid while siblings are added,
    // deleted or sorted, and each of those is cheap however many siblings there are.
    struct Node {
        std::string text;
        DirCheck state = DirCheck::Unchecked;
        bool expanded = false;
        Node* parent = nullptr;
        std::list<Node> children;
        std::list<Node>::iterator self; // this node's place in its parent's children
    };

    static Node* NodeOf(DirTreeItem item) { return static_cast<Node*>(item.id); }
    static DirTreeItem ItemOf(const Node* node) { return DirTreeItem{const_cast<Node*>(node)}; }
    static DirTreeItem FirstOf(const std::list<Node>& nodes);

    Node m_top; // holds the root items; never handed out
    SubdirectoryLister m_lister;
};

} // namespace quillary
