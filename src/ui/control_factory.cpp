#include "ui/control_factory.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/hyperlink.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>

#include "model/options_rules.h"
#include "res/controls.h"
#include "ui/sample_static.h"
#include "ui/text_preview_view.h"
#include "ui/wx_string.h"

namespace quillary {

namespace {

wxArrayString TableItems(const ControlDef& def) {
    wxArrayString items;
    for (const char* item : def.items)
        items.Add(ToWx(item));
    return items;
}

wxWindow* CreateChoice(wxWindow* parent, const ControlDef& def) {
    auto* choice = new wxChoice(parent, def.id, wxDefaultPosition, wxDefaultSize, TableItems(def));
    choice->SetSelection(def.initial);
    return choice;
}

wxWindow* CreateEdit(wxWindow* parent, const ControlDef& def) {
    auto* edit = new wxTextCtrl(parent, def.id, ToWx(def.text));
    if (def.maxLength > 0)
        edit->SetMaxLength(static_cast<unsigned long>(def.maxLength));
    return edit;
}

// An up-down control beside its edit: each arrow steps the width the edit stands for (the number it
// holds, validated as the page validates it when it stores its values) by one within the range.
wxWindow* CreateUpDown(wxWindow* parent, const ControlDef& def, WindowSurface& surface) {
    auto* spin =
        new wxSpinButton(parent, def.id, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL | wxSP_ARROW_KEYS);
    spin->SetRange(def.range.minimum, def.range.maximum);
    spin->SetValue(def.range.initial);
    auto* edit = dynamic_cast<wxTextCtrl*>(surface.Window(def.buddy));
    if (edit == nullptr)
        return spin;
    const SpinRange range = def.range;
    auto step = [spin, edit, range](wxSpinEvent& event, int delta) {
        const int value =
            std::clamp(ValidatedWidth(ToUtf8(edit->GetValue()), range) + delta, range.minimum, range.maximum);
        edit->SetValue(wxString::Format("%d", value));
        spin->SetValue(value);
        event.Veto();
    };
    spin->Bind(wxEVT_SPIN_UP, [step](wxSpinEvent& event) { step(event, +1); });
    spin->Bind(wxEVT_SPIN_DOWN, [step](wxSpinEvent& event) { step(event, -1); });
    return spin;
}

wxWindow* CreateWindowFor(wxWindow* parent, const ControlDef& def, WindowSurface& surface, bool startsGroup) {
    const wxString caption = ToWx(def.text);
    switch (def.kind) {
    case ControlKind::CheckBox: {
        auto* check = new wxCheckBox(parent, def.id, caption);
        check->SetValue(def.initial != 0);
        return check;
    }
    case ControlKind::RadioButton: {
        auto* radio = new wxRadioButton(parent, def.id, caption, wxDefaultPosition, wxDefaultSize,
                                        startsGroup ? wxRB_GROUP : 0);
        if (def.initial != 0)
            radio->SetValue(true);
        return radio;
    }
    case ControlKind::Edit:
        return CreateEdit(parent, def);
    case ControlKind::ComboBox:
        return CreateChoice(parent, def);
    case ControlKind::ColorStatic:
        return new CSampleStatic(parent, def.id, caption, false);
    case ControlKind::FontStatic:
    case ControlKind::SampleStatic:
        return new CSampleStatic(parent, def.id, caption, true);
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
        return new wxButton(parent, def.id, caption);
    case ControlKind::Label:
        return new wxStaticText(parent, def.id, caption);
    case ControlKind::GroupBox:
        return new wxStaticBox(parent, def.id, caption);
    case ControlKind::TabControl:
        return new wxNotebook(parent, def.id);
    case ControlKind::Tree:
        return new wxTreeCtrl(parent, def.id, wxDefaultPosition, wxDefaultSize,
                              wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE);
    case ControlKind::UpDown:
        return CreateUpDown(parent, def, surface);
    case ControlKind::RichEdit:
        return new CTextPreviewView(parent, def.id);
    case ControlKind::HtmlView:
        return new wxPanel(parent, def.id);
    case ControlKind::Link:
        return new wxHyperlinkCtrl(parent, def.id, caption, caption);
    }
    return nullptr;
}

} // namespace

wxString TableCaption(int id) {
    const ControlDef* def = FindControl(id);
    return def != nullptr ? ToWx(def->text) : wxString();
}

wxWindow* CreateTableControl(wxWindow* parent, int id, WindowSurface& surface, bool startsGroup) {
    const ControlDef* def = FindControl(id);
    if (def == nullptr)
        return nullptr;
    wxWindow* window = CreateWindowFor(parent, *def, surface, startsGroup);
    if (!def->enabled)
        window->Disable();
    surface.Add(id, def->kind, window);
    return window;
}

} // namespace quillary
