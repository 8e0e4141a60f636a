#include "ui/window_surface.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcscreen.h>
#include <wx/notebook.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "res/controls.h"
#include "ui/sample_static.h"
#include "ui/wx_string.h"

namespace quillary {

namespace {

// Kinds whose caption titles their tooltip. An edit's or a list's window text is its contents, which
// would make a poor title.
bool HasCaption(ControlKind kind) {
    switch (kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
    case ControlKind::Label:
    case ControlKind::GroupBox:
        return true;
    default:
        return false;
    }
}

bool IsSample(ControlKind kind) {
    return kind == ControlKind::ColorStatic || kind == ControlKind::FontStatic ||
           kind == ControlKind::SampleStatic;
}

} // namespace

std::string CaptionWithoutMnemonic(std::string_view caption) {
    std::string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        else if (caption[i] == '&')
            continue;
        text += caption[i];
    }
    return text;
}

void WindowSurface::Add(int id, ControlKind kind, wxWindow* window) {
    Entry entry;
    entry.kind = kind;
    entry.window = window;
    const std::string_view hint = BuiltInHint(id);
    entry.hasHint = !hint.empty();
    entry.hint = hint;
    m_controls[id] = std::move(entry);
    UpdateToolTip(id);
}

const WindowSurface::Entry* WindowSurface::Find(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : &it->second;
}

wxWindow* WindowSurface::Window(int id) const {
    const Entry* entry = Find(id);
    return entry != nullptr ? entry->window : nullptr;
}

std::vector<ControlRef> WindowSurface::Controls() const {
    std::vector<ControlRef> refs;
    for (const ControlDef& def : ControlCatalogue()) {
        if (const Entry* entry = Find(def.id))
            refs.push_back({def.id, entry->kind});
    }
    return refs;
}

bool WindowSurface::IsEnabled(int id) const {
    const Entry* entry = Find(id);
    return entry != nullptr && entry->window->IsThisEnabled();
}

void WindowSurface::SetEnabled(int id, bool enabled) {
    if (const Entry* entry = Find(id))
        entry->window->Enable(enabled);
}

std::string WindowSurface::Text(int id) const {
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return {};
    if (auto* edit = dynamic_cast<wxTextCtrl*>(entry->window))
        return ToUtf8(edit->GetValue());
    if (auto* choice = dynamic_cast<wxChoice*>(entry->window))
        return ToUtf8(choice->GetStringSelection());
    return ToUtf8(entry->window->GetLabel());
}

void WindowSurface::SetText(int id, std::string_view text) {
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return;
    if (auto* edit = dynamic_cast<wxTextCtrl*>(entry->window)) {
        edit->ChangeValue(ToWx(text));
        return;
    }
    if (dynamic_cast<wxChoice*>(entry->window) != nullptr || entry->kind == ControlKind::TabControl)
        return;
    entry->window->SetLabel(ToWx(text));
    entry->window->InvalidateBestSize();
    UpdateToolTip(id);
}

int WindowSurface::CheckState(int id) const {
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return 0;
    if (auto* check = dynamic_cast<wxCheckBox*>(entry->window))
        return check->GetValue() ? 1 : 0;
    if (auto* radio = dynamic_cast<wxRadioButton*>(entry->window))
        return radio->GetValue() ? 1 : 0;
    return 0;
}

void WindowSurface::SetCheckState(int id, int state) {
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return;
    if (auto* check = dynamic_cast<wxCheckBox*>(entry->window))
        check->SetValue(state != 0);
    // A radio button cannot be unchecked by itself: checking another one of its group does that.
    if (auto* radio = dynamic_cast<wxRadioButton*>(entry->window); radio != nullptr && state != 0)
        radio->SetValue(true);
}

std::vector<std::string> WindowSurface::Items(int id) const {
    std::vector<std::string> items;
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return items;
    if (auto* choice = dynamic_cast<wxChoice*>(entry->window)) {
        for (unsigned i = 0; i < choice->GetCount(); ++i)
            items.push_back(ToUtf8(choice->GetString(i)));
    } else if (auto* tabs = dynamic_cast<wxNotebook*>(entry->window)) {
        for (std::size_t i = 0; i < tabs->GetPageCount(); ++i)
            items.push_back(ToUtf8(tabs->GetPageText(i)));
    }
    return items;
}

void WindowSurface::SetItems(int id, const std::vector<std::string>& items) {
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return;
    if (auto* choice = dynamic_cast<wxChoice*>(entry->window)) {
        choice->Clear();
        for (const std::string& item : items)
            choice->Append(ToWx(item));
        choice->InvalidateBestSize();
    } else if (auto* tabs = dynamic_cast<wxNotebook*>(entry->window)) {
        // The number of tabs is fixed: labels beyond it are ignored, missing ones are empty.
        for (std::size_t i = 0; i < tabs->GetPageCount(); ++i)
            tabs->SetPageText(i, i < items.size() ? ToWx(items[i]) : wxString());
    }
}

int WindowSurface::Selection(int id) const {
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return -1;
    if (auto* choice = dynamic_cast<wxChoice*>(entry->window))
        return choice->GetSelection();
    if (auto* tabs = dynamic_cast<wxNotebook*>(entry->window))
        return tabs->GetSelection();
    return -1;
}

void WindowSurface::SetSelection(int id, int index) {
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return;
    if (auto* choice = dynamic_cast<wxChoice*>(entry->window)) {
        const bool inRange = index >= 0 && static_cast<unsigned>(index) < choice->GetCount();
        choice->SetSelection(inRange ? index : wxNOT_FOUND);
    }
}

SampleStyle WindowSurface::Sample(int id) const {
    const Entry* entry = Find(id);
    if (entry == nullptr || !IsSample(entry->kind))
        return {};
    return static_cast<CSampleStatic*>(entry->window)->Style();
}

void WindowSurface::SetSample(int id, const SampleStyle& sample) {
    const Entry* entry = Find(id);
    if (entry != nullptr && IsSample(entry->kind))
        static_cast<CSampleStatic*>(entry->window)->SetStyle(sample);
}

bool WindowSurface::HasHint(int id) const {
    const Entry* entry = Find(id);
    return entry != nullptr && entry->hasHint;
}

std::string WindowSurface::Hint(int id) const {
    const Entry* entry = Find(id);
    return entry != nullptr ? entry->hint : std::string();
}

void WindowSurface::SetHint(int id, std::string_view hint) {
    auto it = m_controls.find(id);
    if (it == m_controls.end() || !it->second.hasHint)
        return;
    it->second.hint = hint;
    UpdateToolTip(id);
}

int WindowSurface::PixelsPerInch() const {
    return wxScreenDC().GetPPI().y;
}

std::string WindowSurface::ToolTipText(int id) const {
    const Entry* entry = Find(id);
    if (entry == nullptr || !entry->hasHint || entry->hint.empty())
        return {};
    const std::string title = HasCaption(entry->kind) ? CaptionWithoutMnemonic(Text(id)) : std::string();
    return title.empty() ? entry->hint : title + "\n" + entry->hint;
}

void WindowSurface::UpdateToolTip(int id) {
    const Entry* entry = Find(id);
    if (entry == nullptr || !entry->hasHint)
        return;
    const std::string tip = ToolTipText(id);
    if (tip.empty())
        entry->window->UnsetToolTip();
    else
        entry->window->SetToolTip(ToWx(tip));
}

} // namespace quillary
