#include "model/form_state.h"

#include "model/options_rules.h"

namespace quillary {

FormState::FormState() {
    for (const ControlDef& def : ControlCatalogue()) {
        Control control;
        control.id = def.id;
        control.kind = def.kind;
        control.dialog = def.dialog;
        control.enabled = def.enabled;
        control.text = def.text;
        control.items.assign(def.items.begin(), def.items.end());
        if (def.kind == ControlKind::CheckBox || def.kind == ControlKind::RadioButton)
            control.check = def.initial;
        if (def.kind == ControlKind::ComboBox)
            control.selection = def.initial;
        if (def.kind == ControlKind::TabControl)
            control.selection = 0;
        control.hasHint = def.hint != nullptr;
        control.hint = control.hasHint ? def.hint : "";
        m_byId.emplace(def.id, m_controls.size());
        m_controls.push_back(std::move(control));
    }
    SetSamplesFromHtmlStyle(*this, HtmlStyle{});
    RefreshEnabling(*this);
}

FormState::Control* FormState::Find(int id) {
    const auto it = m_byId.find(id);
    return it == m_byId.end() ? nullptr : &m_controls[it->second];
}

const FormState::Control* FormState::Find(int id) const {
    const auto it = m_byId.find(id);
    return it == m_byId.end() ? nullptr : &m_controls[it->second];
}

std::vector<ControlRef> FormState::Controls() const {
    std::vector<ControlRef> refs;
    refs.reserve(m_controls.size());
    for (const Control& control : m_controls)
        refs.push_back({control.id, control.kind});
    return refs;
}

bool FormState::IsEnabled(int id) const {
    const Control* control = Find(id);
    return control != nullptr && control->enabled;
}

void FormState::SetEnabled(int id, bool enabled) {
    if (Control* control = Find(id))
        control->enabled = enabled;
}

std::string FormState::Text(int id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->text : std::string();
}

void FormState::SetText(int id, std::string_view text) {
    if (Control* control = Find(id))
        control->text = text;
}

int FormState::CheckState(int id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->check : 0;
}

void FormState::SetCheckState(int id, int state) {
    Control* control = Find(id);
    if (control == nullptr ||
        (control->kind != ControlKind::CheckBox && control->kind != ControlKind::RadioButton))
        return;
    control->check = state != 0 ? 1 : 0;
    if (control->kind != ControlKind::RadioButton || control->check == 0)
        return;
    for (Control& other : m_controls) {
        if (other.kind == ControlKind::RadioButton && other.dialog == control->dialog && other.id != id)
            other.check = 0;
    }
}

std::vector<std::string> FormState::Items(int id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->items : std::vector<std::string>();
}

void FormState::SetItems(int id, const std::vector<std::string>& items) {
    Control* control = Find(id);
    if (control == nullptr ||
        (control->kind != ControlKind::ComboBox && control->kind != ControlKind::TabControl))
        return;
    control->items = items;
    control->selection = -1;
}

int FormState::Selection(int id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->selection : -1;
}

void FormState::SetSelection(int id, int index) {
    Control* control = Find(id);
    if (control == nullptr ||
        (control->kind != ControlKind::ComboBox && control->kind != ControlKind::TabControl))
        return;
    const bool inRange = index >= 0 && static_cast<std::size_t>(index) < control->items.size();
    control->selection = inRange ? index : -1;
}

SampleStyle FormState::Sample(int id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->sample : SampleStyle();
}

void FormState::SetSample(int id, const SampleStyle& sample) {
    Control* control = Find(id);
    if (control != nullptr &&
        (control->kind == ControlKind::ColorStatic || control->kind == ControlKind::FontStatic ||
         control->kind == ControlKind::SampleStatic))
        control->sample = sample;
}

bool FormState::HasHint(int id) const {
    const Control* control = Find(id);
    return control != nullptr && control->hasHint;
}

std::string FormState::Hint(int id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->hint : std::string();
}

void FormState::SetHint(int id, std::string_view hint) {
    Control* control = Find(id);
    if (control != nullptr && control->hasHint)
        control->hint = hint;
}

} // namespace quillary
