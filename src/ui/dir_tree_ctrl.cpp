#include "ui/dir_tree_ctrl.h"

#include <algorithm>
#include <memory>

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/imaglist.h>
#include <wx/pen.h>
#include <wx/settings.h>
#include <wx/utils.h>
#include <wx/wupdlock.h>

#include "model/tri_state_tree.h"
#include "platform/directory_reader.h"
#include "platform/path_syntax.h"
#include "ui/accessible_text.h"
#include "ui/folder_icons.h"
#include "ui/wx_string.h"

namespace quillary {

namespace {

// The folder's name exactly as the file system gave it (the item's label is its display form), and
// whether its subfolders have been read.
class FolderData final : public wxTreeItemData {
public:
    explicit FolderData(std::string name) : m_name(std::move(name)) {}
    const std::string& Name() const { return m_name; }
    bool childrenLoaded = false;

private:
    std::string m_name;
};

// Indices into the tree's normal images.
enum FolderImage { kFolderClosed = 0, kFolderOpen = 1, kDisk = 2 };

constexpr int kCheckImageSize = 16; // logical pixels
constexpr int kCheckImageCount = 5; // 0: no check box, then the four check states

// One check-state image at `scale` physical pixels per logical pixel, drawn as vectors so that it is
// sharp at any scale: 0 nothing, 1 white box, 2 white box with a black tick, 3 light-grey box with a
// grey tick, 4 light-grey empty box. The box has a grey border.
wxBitmap DrawCheckImage(int state, double scale) {
    const int size = static_cast<int>(kCheckImageSize * scale + 0.5);
    wxImage image(size, size);
    image.InitAlpha();
    std::fill_n(image.GetAlpha(), size * size, static_cast<unsigned char>(0));
    if (state > 0) {
        std::unique_ptr<wxGraphicsContext> gc(
            wxGraphicsRenderer::GetDefaultRenderer()->CreateContextFromImage(image));
        gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
        gc->Scale(scale, scale);
        const bool grey = state == 3 || state == 4;
        gc->SetPen(wxPen(wxColour(0x80, 0x80, 0x80), 1));
        gc->SetBrush(wxBrush(grey ? wxColour(0xD8, 0xD8, 0xD8) : *wxWHITE));
        gc->DrawRectangle(2.5, 2.5, 11, 11);
        if (state == 2 || state == 3) {
            wxGraphicsPath tick = gc->CreatePath();
            tick.MoveToPoint(4.5, 8.0);
            tick.AddLineToPoint(7.0, 10.5);
            tick.AddLineToPoint(11.5, 5.0);
            wxPen pen(state == 2 ? *wxBLACK : wxColour(0x70, 0x70, 0x70), 2);
            pen.SetCap(wxCAP_BUTT);
            pen.SetJoin(wxJOIN_MITER);
            gc->SetPen(pen);
            gc->StrokePath(tick);
        }
    }
    return wxBitmap(image, -1, scale);
}

} // namespace

std::vector<std::string> BuiltInCheckStateWords() {
    return {"not checked", "checked with subfolders", "checked without subfolders",
            "not checked, subfolders partly checked"};
}

CDirTreeCtrl::CDirTreeCtrl(wxWindow* parent, int id, std::function<bool()> withSubdirs)
    : wxTreeCtrl(parent, id, wxDefaultPosition, wxDefaultSize,
                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE | wxTR_HIDE_ROOT),
      m_withSubdirs(std::move(withSubdirs)) {
    MakeImages();
    m_hiddenRoot = AddRoot(wxString());
    Bind(wxEVT_LEFT_DOWN, &CDirTreeCtrl::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CDirTreeCtrl::OnLeftDown, this);
    Bind(wxEVT_KEY_DOWN, &CDirTreeCtrl::OnKeyDown, this);
    Bind(wxEVT_TREE_ITEM_EXPANDING, &CDirTreeCtrl::OnExpanding, this);
    Bind(wxEVT_TREE_ITEM_COLLAPSING, &CDirTreeCtrl::OnCollapsing, this);
    Bind(wxEVT_TREE_SEL_CHANGED, &CDirTreeCtrl::OnSelectionChanged, this);
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        MakeImages();
        event.Skip();
    });
    RefreshTree();
}

CDirTreeCtrl::~CDirTreeCtrl() = default;

// The folder icons are the system's; the check-state images are drawn for the window's scale.
void CDirTreeCtrl::MakeImages() {
    const wxSize iconSize(kCheckImageSize, kCheckImageSize);
    SetImages(FolderIcons(iconSize)); // in FolderImage order
    const double scale = GetDPIScaleFactor();
    auto* states = new wxImageList(kCheckImageSize, kCheckImageSize, false, kCheckImageCount);
    for (int state = 0; state < kCheckImageCount; ++state)
        states->Add(DrawCheckImage(state, scale));
    AssignStateImageList(states);
}

void CDirTreeCtrl::RefreshTree() {
    {
        wxWindowUpdateLocker noUpdates(this);
        quillary::RefreshTree(*this);
    }
    UpdateAccessibleText();
}

void CDirTreeCtrl::ToggleItem(const wxTreeItemId& item) {
    if (!item.IsOk() || item == m_hiddenRoot)
        return;
    wxWindowUpdateLocker noUpdates(this);
    ToggleByUser(*this, ToItem(item), m_withSubdirs && m_withSubdirs());
}

wxString CDirTreeCtrl::SelectedPath() const {
    const wxTreeItemId item = GetSelection();
    if (!item.IsOk() || item == m_hiddenRoot)
        return {};
    const std::string key = ItemKey(*this, ToItem(item));
    return ToWx(kNativePaths.Showable(key));
}

wxString CDirTreeCtrl::SelectionDescription() const {
    const wxString path = SelectedPath();
    if (path.empty())
        return {};
    const auto index = static_cast<std::size_t>(State(ToItem(GetSelection()))) - 1;
    return path + ": " + ToWx(index < m_stateWords.size() ? m_stateWords[index] : std::string());
}

void CDirTreeCtrl::SetCheckStateWords(std::vector<std::string> words) {
    const std::vector<std::string> builtIn = BuiltInCheckStateWords();
    words.resize(builtIn.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i].empty())
            words[i] = builtIn[i];
    }
    m_stateWords = std::move(words);
    UpdateAccessibleText();
}

void CDirTreeCtrl::UpdateAccessibleText() {
    SetAccessibleText(this, SelectedPath(), SelectionDescription());
}

// ---- mouse and keys

// A click on a check box toggles it; the tree's own handling, which would select the item, does not
// run. A double click on a check box is two toggles.
void CDirTreeCtrl::OnLeftDown(wxMouseEvent& event) {
    int flags = 0;
    const wxTreeItemId item = HitTest(event.GetPosition(), flags);
    if (!item.IsOk() || (flags & wxTREE_HITTEST_ONITEMSTATEICON) == 0) {
        event.Skip();
        return;
    }
    SetFocus();
    ToggleItem(item);
}

void CDirTreeCtrl::OnKeyDown(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_SPACE && event.GetModifiers() == wxMOD_NONE) {
        ToggleItem(GetSelection());
        return;
    }
    // "*" would open every folder below the item, reading the whole disk below it.
    if (key == '*' || key == WXK_NUMPAD_MULTIPLY)
        return;
    event.Skip();
}

// ---- expansion and selection

void CDirTreeCtrl::OnExpanding(wxTreeEvent& event) {
    const wxTreeItemId item = event.GetItem();
    if (!m_expansionRuleDone) {
        wxBusyCursor wait;
        wxWindowUpdateLocker noUpdates(this);
        ExpandItem(*this, ToItem(item));
    }
    if (GetSelection() != item)
        SelectItem(item);
}

void CDirTreeCtrl::OnCollapsing(wxTreeEvent& event) {
    if (GetSelection() != event.GetItem())
        SelectItem(event.GetItem());
}

// Selecting the root reads its folders again, so that folders made or removed since show up.
void CDirTreeCtrl::OnSelectionChanged(wxTreeEvent& event) {
    const wxTreeItemId item = event.GetItem();
    if (item.IsOk() && item != m_hiddenRoot && GetItemParent(item) == m_hiddenRoot) {
        wxWindowUpdateLocker noUpdates(this);
        SyncChildren(*this, ToItem(item), ItemDirPath(*this, ToItem(item)));
    }
    UpdateAccessibleText();
    event.Skip();
}

// ---- DirTreeAccess

DirTreeItem CDirTreeCtrl::FirstRoot() const {
    return FirstChild(ToItem(m_hiddenRoot));
}

DirTreeItem CDirTreeCtrl::FirstChild(DirTreeItem item) const {
    const wxTreeItemId parent = ToId(item);
    wxTreeItemIdValue cookie = nullptr;
    const wxTreeItemId child = GetFirstChild(parent, cookie);
    if (child.IsOk())
        m_siblingPositions[parent.GetID()] = {child.GetID(), cookie};
    return ToItem(child);
}

DirTreeItem CDirTreeCtrl::NextSibling(DirTreeItem item) const {
    const wxTreeItemId id = ToId(item);
    const wxTreeItemId parent = GetItemParent(id);
    wxTreeItemId next;
    const auto known = m_siblingPositions.find(parent.GetID());
    if (known != m_siblingPositions.end() && known->second.item == item.id) {
        wxTreeItemIdValue cookie = known->second.cookie;
        next = GetNextChild(parent, cookie);
        known->second = {next.GetID(), cookie};
    } else {
        next = GetNextSibling(id);
        wxTreeItemIdValue cookie = nullptr;
        // Find the cookie after `next` once, so that the following steps are constant time.
        for (wxTreeItemId child = GetFirstChild(parent, cookie); child.IsOk() && child != next;
             child = GetNextChild(parent, cookie)) {
        }
        if (next.IsOk())
            m_siblingPositions[parent.GetID()] = {next.GetID(), cookie};
    }
    return ToItem(next);
}

DirTreeItem CDirTreeCtrl::Parent(DirTreeItem item) const {
    const wxTreeItemId parent = GetItemParent(ToId(item));
    return parent == m_hiddenRoot ? DirTreeItem{} : ToItem(parent);
}

const std::string& CDirTreeCtrl::NameOf(const wxTreeItemId& id) const {
    static const std::string none;
    const auto* data = static_cast<const FolderData*>(GetItemData(id));
    return data != nullptr ? data->Name() : none;
}

std::string CDirTreeCtrl::Text(DirTreeItem item) const {
    return NameOf(ToId(item));
}

DirCheck CDirTreeCtrl::State(DirTreeItem item) const {
    const int state = GetItemState(ToId(item));
    return state >= 1 && state <= 4 ? static_cast<DirCheck>(state) : DirCheck::Unchecked;
}

// However the state changes (a click, a restored selection, a parent following its child), what
// assistive technology reads for the selected item follows it.
void CDirTreeCtrl::SetState(DirTreeItem item, DirCheck state) {
    const wxTreeItemId id = ToId(item);
    SetItemState(id, static_cast<int>(state));
    if (id == GetSelection())
        UpdateAccessibleText();
}

bool CDirTreeCtrl::IsExpanded(DirTreeItem item) const {
    return wxTreeCtrl::IsExpanded(ToId(item));
}

void CDirTreeCtrl::SetExpanded(DirTreeItem item) {
    m_expansionRuleDone = true;
    Expand(ToId(item));
    m_expansionRuleDone = false;
}

bool CDirTreeCtrl::ChildrenLoaded(DirTreeItem item) const {
    const auto* data = static_cast<const FolderData*>(GetItemData(ToId(item)));
    return data != nullptr && data->childrenLoaded;
}

// Until then the item shows an expand button, as a folder may have subfolders; from then on only when
// it has them.
void CDirTreeCtrl::SetChildrenLoaded(DirTreeItem item) {
    const wxTreeItemId id = ToId(item);
    if (auto* data = static_cast<FolderData*>(GetItemData(id)))
        data->childrenLoaded = true;
    SetItemHasChildren(id, GetChildrenCount(id, false) > 0);
}

DirTreeItem CDirTreeCtrl::AppendItem(DirTreeItem parent, const std::string& text) {
    const bool isRoot = !parent;
    const wxTreeItemId id = wxTreeCtrl::AppendItem(isRoot ? m_hiddenRoot : ToId(parent), ToWx(text),
                                                   isRoot ? kDisk : kFolderClosed, -1, new FolderData(text));
    if (!isRoot) {
        SetItemImage(id, kFolderOpen, wxTreeItemIcon_Expanded);
        ShowIfExcluded(id);
    }
    SetItemState(id, static_cast<int>(DirCheck::Unchecked));
    SetItemHasChildren(id, true);
    return ToItem(id);
}

void CDirTreeCtrl::ShowExcludedFolders(std::function<bool(std::string_view)> excluded) {
    m_isExcluded = std::move(excluded);
    ShowExcludedBelow(m_hiddenRoot);
}

void CDirTreeCtrl::ShowExcludedBelow(const wxTreeItemId& parent) {
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(parent, cookie); child.IsOk();
         child = GetNextChild(parent, cookie)) {
        if (parent != m_hiddenRoot)
            ShowIfExcluded(child);
        ShowExcludedBelow(child);
    }
}

void CDirTreeCtrl::ShowIfExcluded(const wxTreeItemId& id) {
    const bool excluded = m_isExcluded && m_isExcluded(NameOf(id));
    SetItemTextColour(id, excluded ? wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT) : wxNullColour);
}

void CDirTreeCtrl::DeleteItem(DirTreeItem item) {
    ForgetSiblingPositions();
    Delete(ToId(item));
}

void CDirTreeCtrl::DeleteAll() {
    ForgetSiblingPositions();
    DeleteChildren(m_hiddenRoot);
    Unselect();
}

void CDirTreeCtrl::SortChildren(DirTreeItem item) {
    ForgetSiblingPositions();
    wxTreeCtrl::SortChildren(ToId(item));
}

bool CDirTreeCtrl::ReadSubdirectories(const std::string& dirPath, std::vector<std::string>& names) {
    names.clear();
    return ListSubdirectories(dirPath, names);
}

// The order of sibling folders the tree rules use.
int CDirTreeCtrl::OnCompareItems(const wxTreeItemId& first, const wxTreeItemId& second) {
    const std::string& a = NameOf(first);
    const std::string& b = NameOf(second);
    return SortsBefore(a, b) ? -1 : SortsBefore(b, a) ? 1 : 0;
}

void CDirTreeCtrl::ForgetSiblingPositions() const {
    m_siblingPositions.clear();
}

} // namespace quillary
