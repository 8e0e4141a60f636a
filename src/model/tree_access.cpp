#include "model/tree_access.h"

#include "platform/case_fold.h"

namespace quillary {

bool SortsBefore(std::string_view a, std::string_view b) {
    const int order = CompareNoCase(a, b);
    return order != 0 ? order < 0 : a < b;
}

DirTreeItem DirTreeAccess::FindChild(DirTreeItem parent, std::string_view name) const {
    DirTreeItem folded;
    for (DirTreeItem item = parent ? FirstChild(parent) : FirstRoot(); item; item = NextSibling(item)) {
        const std::string text = Text(item);
        if (text == name)
            return item;
        if (!folded && EqualsNoCase(text, name))
            folded = item;
    }
    return folded;
}

bool DirTreeAccess::AllChildrenIn(DirTreeItem item, DirCheck state) const {
    for (DirTreeItem child = FirstChild(item); child; child = NextSibling(child)) {
        if (State(child) != state)
            return false;
    }
    return true;
}

} // namespace quillary
