#include "engine/folder_tree.h"

#include <algorithm>
#include <stdexcept>

#include "platform/path_syntax.h"

namespace quillary {

namespace {

// True when `path` names a folder below the folder at `top`: `top`, the separator, then more.
bool IsBelow(std::string_view path, std::string_view top) {
    return path.size() > top.size() + 1 && path.compare(0, top.size(), top) == 0 &&
           path[top.size()] == kPathSeparator;
}

bool ByName(const DirRecord* a, const DirRecord* b) {
    return a->name < b->name;
}

void SetDepths(DirRecord& top) {
    std::vector<DirRecord*> todo{&top};
    while (!todo.empty()) {
        DirRecord* dir = todo.back();
        todo.pop_back();
        for (DirRecord* sub : dir->subfolders) {
            sub->depth = dir->depth + 1;
            todo.push_back(sub);
        }
    }
}

} // namespace

DirRecord& FolderTree::AddRoot(const std::string& path) {
    DirRecord& dir = m_records.emplace_back();
    dir.name = path;
    m_roots[path] = &dir;
    return dir;
}

DirRecord& FolderTree::AddSubfolder(DirRecord& parent, std::string_view name) {
    DirRecord& dir = m_records.emplace_back();
    dir.name = name;
    dir.parent = &parent;
    dir.depth = parent.depth + 1;
    parent.subfolders.push_back(&dir);
    return dir;
}

void FolderTree::MoveUnder(DirRecord& root, DirRecord& parent, std::string_view name) {
    m_roots.erase(root.name);
    root.name = name;
    root.parent = &parent;
    root.depth = parent.depth + 1;
    parent.subfolders.push_back(&root);
    SetDepths(root);
}

void FolderTree::SortSubfolders(DirRecord& dir) {
    if (dir.sortedSubfolders == dir.subfolders.size())
        return;
    const auto sorted = dir.subfolders.begin() + dir.sortedSubfolders;
    std::sort(sorted, dir.subfolders.end(), ByName);
    std::inplace_merge(dir.subfolders.begin(), sorted, dir.subfolders.end(), ByName);
    dir.sortedSubfolders = static_cast<std::uint32_t>(dir.subfolders.size());
}

DirRecord* FindSubfolder(const DirRecord& dir, std::string_view name) {
    const auto end = dir.subfolders.begin() + dir.sortedSubfolders;
    const auto at = std::lower_bound(dir.subfolders.begin(), end, name,
                                     [](const DirRecord* d, std::string_view n) { return d->name < n; });
    return (at != end && (*at)->name == name) ? *at : nullptr;
}

DirRecord* FolderTree::Find(std::string_view path) const {
    if (const auto root = m_roots.find(path); root != m_roots.end())
        return root->second;
    // Roots may lie inside one another (a folder selected alone, another below it): each root above the
    // path is tried, the nearest first. They are looked up by the path up to each of its separators.
    for (std::size_t cut = path.size(); cut-- > 0;) {
        if (path[cut] != kPathSeparator)
            continue;
        const auto root = m_roots.find(path.substr(0, cut));
        if (root == m_roots.end())
            continue;
        DirRecord* dir = root->second;
        std::size_t start = cut + 1;
        while (dir != nullptr && start <= path.size()) {
            std::size_t end = path.find(kPathSeparator, start);
            if (end == std::string_view::npos)
                end = path.size();
            dir = FindSubfolder(*dir, path.substr(start, end - start));
            start = end + 1;
        }
        if (dir != nullptr)
            return dir;
    }
    return nullptr;
}

const DirRecord& FolderTree::at(std::string_view path) const {
    const DirRecord* dir = Find(path);
    if (dir == nullptr)
        throw std::out_of_range("no scanned folder " + std::string(path));
    return *dir;
}

std::vector<DirRecord*> FolderTree::RootsBelow(std::string_view path) const {
    // They sort together, right after the path and the separator.
    std::vector<DirRecord*> below;
    const std::string start = std::string(path) + kPathSeparator;
    for (auto it = m_roots.lower_bound(start);
         it != m_roots.end() && it->first.compare(0, start.size(), start) == 0; ++it) {
        if (IsBelow(it->first, path))
            below.push_back(it->second);
    }
    return below;
}

void FolderTree::clear() {
    m_roots.clear();
    m_records.clear();
}

std::string PathOf(const DirRecord& dir) {
    std::vector<const DirRecord*> chain;
    std::size_t size = 0;
    for (const DirRecord* at = &dir; at != nullptr; at = at->parent) {
        chain.push_back(at);
        size += at->name.size() + 1;
    }
    std::string path;
    path.reserve(size);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if ((*it)->parent != nullptr)
            path += kPathSeparator;
        path += (*it)->name;
    }
    return path;
}

const std::string& FolderPath::Of(const DirRecord& dir) {
    // Up from the folder to the first folder whose path the buffer already holds.
    m_up.clear();
    const DirRecord* at = &dir;
    while (at != nullptr && !(at->depth < m_chain.size() && m_chain[at->depth] == at)) {
        m_up.push_back(at);
        at = at->parent;
    }
    const std::size_t keep = at != nullptr ? at->depth + 1 : 0;
    m_chain.resize(keep);
    m_ends.resize(keep);
    m_path.resize(keep != 0 ? m_ends.back() : 0);
    for (auto it = m_up.rbegin(); it != m_up.rend(); ++it) {
        if ((*it)->parent != nullptr)
            m_path += kPathSeparator;
        m_path += (*it)->name;
        m_chain.push_back(*it);
        m_ends.push_back(m_path.size());
    }
    return m_path;
}

const DirectoryHandle* FolderWalk::Open(const DirRecord& dir) {
    // Up from the folder to the nearest open one (the open folders have consecutive depths).
    m_down.clear();
    std::size_t keep = 0;
    for (const DirRecord* at = &dir; at != nullptr; at = at->parent) {
        const std::size_t first = m_open.empty() ? 0 : m_open.front().dir->depth;
        if (!m_open.empty() && at->depth >= first && at->depth - first < m_open.size() &&
            m_open[at->depth - first].dir == at) {
            keep = at->depth - first + 1;
            break;
        }
        m_down.push_back(at);
        if (at->selected)
            break;
    }
    while (m_open.size() > keep)
        m_open.pop_back();
    for (auto it = m_down.rbegin(); it != m_down.rend(); ++it) {
        const DirRecord& next = **it;
        OpenFolder& opened = m_open.emplace_back();
        opened.dir = &next;
        const bool done = m_open.size() > 1
                              ? opened.handle.OpenChild(m_open[m_open.size() - 2].handle, next.name.c_str())
                              : opened.handle.OpenPath(PathOf(next), next.selected);
        if (!done || opened.handle.Identity() != next.identity) {
            m_open.clear();
            return nullptr;
        }
        if (m_open.size() > kOpenFolders)
            m_open.pop_front();
    }
    return m_open.empty() ? nullptr : &m_open.back().handle;
}

} // namespace quillary
