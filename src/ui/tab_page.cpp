#include "ui/tab_page.h"

#include <wx/choice.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "res/controls.h"
#include "ui/control_factory.h"

namespace quillary {

CTabPage::CTabPage(wxWindow* parent, int dialogId, WindowSurface& surface)
    : wxScrolled<wxPanel>(parent, wxID_ANY), m_surface(surface), m_dialogId(dialogId) {}

wxWindow* CTabPage::Make(int id, wxWindow* parent) {
    const ControlDef* def = FindControl(id);
    const bool startsGroup = def != nullptr && def->kind == ControlKind::RadioButton && !m_radioGroupStarted;
    if (startsGroup)
        m_radioGroupStarted = true;
    return CreateTableControl(parent != nullptr ? parent : this, id, m_surface, startsGroup);
}

wxStaticBoxSizer* CTabPage::MakeGroup(int id, int orient) {
    auto* box = static_cast<wxStaticBox*>(Make(id));
    return new wxStaticBoxSizer(box, orient);
}

void CTabPage::AddLabelled(wxFlexGridSizer* grid, wxWindow* parent, int labelId, int fieldId) {
    grid->Add(Make(labelId, parent), wxSizerFlags().CenterVertical());
    grid->Add(Make(fieldId, parent), wxSizerFlags().Expand());
}

wxSizer* CTabPage::MakeWidthField(wxWindow* parent, int editId, int spinId) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    wxWindow* edit = Make(editId, parent);
    // Wide enough for three digits and the frame, whatever the theme.
    edit->SetMinSize(wxSize(edit->GetTextExtent("0000").x + 24, -1));
    row->Add(edit, wxSizerFlags().CenterVertical());
    row->Add(Make(spinId, parent), wxSizerFlags().Expand());
    return row;
}

namespace {

// A control's best size is kept until something says it is stale; new captions or list items are.
void InvalidateBestSizes(wxWindow* window) {
    window->InvalidateBestSize();
    for (wxWindow* child : window->GetChildren())
        InvalidateBestSizes(child);
}

#ifdef __WXMSW__
// Some themes (Wine's among them) draw a choice's drop-down button wider than wxMSW allows for, and
// the end of the longest item ("YYYY-MM-DD") is cut off: each choice gets a little room beyond its best
// width.
void ReserveChoiceRoom(wxWindow* window) {
    for (wxWindow* child : window->GetChildren()) {
        if (wxDynamicCast(child, wxChoice) != nullptr) {
            child->SetMinSize(wxDefaultSize);
            child->InvalidateBestSize();
            child->SetMinSize(wxSize(child->GetBestSize().x + child->FromDIP(6), -1));
        }
        ReserveChoiceRoom(child);
    }
}
#else
void ReserveChoiceRoom(wxWindow*) {}
#endif

} // namespace

wxSize CTabPage::FittingSize() const {
    return GetSizer() != nullptr ? GetSizer()->GetMinSize() : wxSize();
}

void CTabPage::CaptionsChanged() {
    InvalidateBestSizes(this);
    ReserveChoiceRoom(this);
    Layout();
    FitInside();
}

void CTabPage::FinishLayout(wxSizer* sizer) {
    ReserveChoiceRoom(this);
    SetSizer(sizer);
    // Smaller than its contents (the window's minimum size), the page scrolls both ways.
    SetScrollRate(8, 8);
    FitInside();
}

} // namespace quillary
