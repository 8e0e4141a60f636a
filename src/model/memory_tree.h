// The directory tree held in memory: the console program restores and collects selections on it, and
// tests drive the tree rules on it without a window. By default it loads folders from the file system;
// given a lister it loads them from anywhere (a made-up folder tree in tests and fuzzing).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/tree_access.h"

namespace quillary {

// Fills `names` with the subfolders of `dirPath` (which ends with the separator); false when it cannot
// be read.
using SubdirectoryLister = std::function<bool(const std::string& dirPath, std::vector<std::string>& names)>;

class MemoryDirTree final : public DirTreeAccess {
public:
    MemoryDirTree(); // loads folders from the file system
    explicit MemoryDirTree(SubdirectoryLister lister);
    // A tree of another system: its path syntax and root folders instead of this machine's.
    MemoryDirTree(SubdirectoryLister lister, const PathSyntax& syntax, std::vector<RootFolder> roots);
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
    DirTreeItem FindChild(DirTreeItem parent, std::string_view name) const override;
    bool AllChildrenIn(DirTreeItem item, DirCheck state) const override;
    bool ChildrenLoaded(DirTreeItem item) const override;
    void SetChildrenLoaded(DirTreeItem item) override;
    bool IsExpanded(DirTreeItem item) const override;
    void SetExpanded(DirTreeItem item) override;
    DirTreeItem AppendItem(DirTreeItem parent, const std::string& text) override;
    void DeleteItem(DirTreeItem item) override;
    void DeleteAll() override;
    void SortChildren(DirTreeItem item) override;
    bool ReadSubdirectories(const std::string& dirPath, std::vector<std::string>& names) override;
    const PathSyntax& Syntax() const override { return m_syntax; }
    std::vector<RootFolder> Roots() const override;

private:
    struct Node;
    // The children of a node by folded name (FoldCase), each list in sibling order: a name is looked up
    // in constant time however many siblings it has.
    using ChildIndex = std::unordered_map<std::u32string, std::vector<const Node*>>;

    // Children live in a std::list: handles (node addresses) stay valid while siblings are added,
    // deleted or sorted, and each of those is cheap however many siblings there are.
    struct Node {
        std::string text;
        DirCheck state = DirCheck::Unchecked;
        bool expanded = false;
        bool childrenLoaded = false;
        Node* parent = nullptr;
        std::list<Node> children;
        std::list<Node>::iterator self; // this node's place in its parent's children
        // How many children are in each state (index: state - 1), so that "every child is in state X"
        // is one comparison.
        std::array<std::size_t, 4> childStates{};
        // Built on the first FindChild, dropped whenever the children change.
        mutable std::unique_ptr<ChildIndex> index;
    };

    static Node* NodeOf(DirTreeItem item) { return static_cast<Node*>(item.id); }
    static DirTreeItem ItemOf(const Node* node) { return DirTreeItem{const_cast<Node*>(node)}; }
    static DirTreeItem FirstOf(const std::list<Node>& nodes);
    static std::size_t& CountOf(Node& parent, DirCheck state);
    const Node& Owner(DirTreeItem parent) const { return parent ? *NodeOf(parent) : m_top; }

    Node m_top; // holds the root items; never handed out
    SubdirectoryLister m_lister;
    PathSyntax m_syntax = kNativePaths;
    std::vector<RootFolder> m_roots;
    bool m_nativeRoots = true; // the roots are this machine's, asked for at every refresh
};

} // namespace quillary
