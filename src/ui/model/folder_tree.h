// The tri-state folder tree, written once over an abstract tree so that the window's tree control and
// the console program's in-memory tree behave the same.
//
// Check states: 1 unchecked, 2 checked with everything below, 3 checked alone, 4 something below is
// checked. On POSIX there is one root item, shown as "/", whose key is "": its children's keys are
// "/home", "/usr", and a checked-dir entry for the whole disk is "3|".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillary {

enum CheckState { kUnchecked = 1, kCheckedAll = 2, kCheckedAlone = 3, kPartlyBelow = 4 };

using TreeItem = std::uintptr_t;
inline constexpr TreeItem kNoItem = 0;

// The tree as the algorithms see it. New items start unchecked.
class TreeAccess {
public:
    virtual ~TreeAccess() = default;
    virtual TreeItem FirstRoot() const = 0;
    virtual TreeItem FirstChild(TreeItem item) const = 0;
    virtual TreeItem NextSibling(TreeItem item) const = 0;
    virtual TreeItem Parent(TreeItem item) const = 0;
    virtual std::string Text(TreeItem item) const = 0;
    virtual int State(TreeItem item) const = 0;
    virtual void SetState(TreeItem item, int state) = 0;
    virtual TreeItem AppendItem(TreeItem parent, const std::string& text) = 0; // kNoItem parent: a root
    virtual void DeleteItem(TreeItem item) = 0;                                // with its subtree
    virtual void DeleteAll() = 0;
    virtual void SortChildren(TreeItem item) = 0;
    // The subdirectory names of a folder on disk (the path ends with the separator); false when it
    // cannot be read.
    virtual bool ReadSubdirectories(const std::string& path, std::vector<std::string>& names) = 0;
};

// The algorithms of the folder tree.
class FolderTree {
public:
    explicit FolderTree(TreeAccess& access) : m_tree(access) {}

    // Deletes everything and lists the root again with its children loaded.
    void Refresh();
    // The item's key: "" for the root, else the parent's key, "/" and the item's text.
    std::string Key(TreeItem item) const;
    // Makes the item's children equal to the subdirectories on disk, keeping surviving items.
    void SyncChildren(TreeItem item);
    // Loads one level ahead below the item and hands state 1 or 2 down to its children.
    void Expand(TreeItem item);
    // A click on the check box: new state from the current one, then the ancestors; with the flag
    // set the loaded descendants take the new state too.
    void ToggleCheck(TreeItem item, bool withSubdirs);
    void SetSubtreeState(TreeItem item, int state, bool withSubdirs);
    // Finds a path component by component (ignoring case, loading as it goes) and toggles it.
    // Returns false when the path is not in the tree.
    bool RestoreCheck(const std::string& path, bool withSubdirs);
    // The checked folders in tree order: "3|key" for state 2 (not descended), "2|key" for state 3.
    void CollectChecked(std::vector<std::string>& out) const;

private:
    void ToggleOne(TreeItem item, bool withSubdirs);
    void UpdateAncestors(TreeItem item);
    void Collect(TreeItem first, const std::string& prefix, std::vector<std::string>& out) const;
    std::string KeyText(TreeItem item) const;

    TreeAccess& m_tree;
};

// The tree in memory, loading folders from the file system.
class MemoryTree : public TreeAccess {
public:
    MemoryTree();
    ~MemoryTree() override;

    TreeItem FirstRoot() const override;
    TreeItem FirstChild(TreeItem item) const override;
    TreeItem NextSibling(TreeItem item) const override;
    TreeItem Parent(TreeItem item) const override;
    std::string Text(TreeItem item) const override;
    int State(TreeItem item) const override;
    void SetState(TreeItem item, int state) override;
    TreeItem AppendItem(TreeItem parent, const std::string& text) override;
    void DeleteItem(TreeItem item) override;
    void DeleteAll() override;
    void SortChildren(TreeItem item) override;
    bool ReadSubdirectories(const std::string& path, std::vector<std::string>& names) override;

private:
    struct Node;
    std::vector<std::unique_ptr<Node>>& ChildrenOf(TreeItem parent);
    const std::vector<std::unique_ptr<Node>>& ChildrenOf(TreeItem parent) const;
    std::vector<std::unique_ptr<Node>> m_roots;
};

} // namespace quillary
