// A headless copy of the window's controls, built from the control table: every control with its
// initial caption, check state, text, items and selection, the HTML quick-preview defaults, the
// built-in hints, and the enabled states that the option pages give their controls at start. The
// console front end loads settings and configurations into it and reads the listing options from it.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "model/control_surface.h"

namespace quillary {

class FormState final : public ControlSurface {
public:
    FormState();

    std::vector<ControlRef> Controls() const override;

    bool IsEnabled(int id) const override;
    void SetEnabled(int id, bool enabled) override;

    std::string Text(int id) const override;
    void SetText(int id, std::string_view text) override;

    int CheckState(int id) const override;
    void SetCheckState(int id, int state) override;

    std::vector<std::string> Items(int id) const override;
    void SetItems(int id, const std::vector<std::string>& items) override;
    int Selection(int id) const override;
    void SetSelection(int id, int index) override;

    SampleStyle Sample(int id) const override;
    void SetSample(int id, const SampleStyle& sample) override;

    bool HasHint(int id) const override;
    std::string Hint(int id) const override;
    void SetHint(int id, std::string_view hint) override;

private:
    struct Control {
        int id = 0;
        ControlKind kind = ControlKind::Label;
        int dialog = 0;
        bool enabled = true;
        std::string text;
        int check = 0;
        std::vector<std::string> items;
        int selection = -1;
        SampleStyle sample;
        bool hasHint = false;
        std::string hint;
    };

    Control* Find(int id);
    const Control* Find(int id) const;

    std::vector<Control> m_controls;
    std::unordered_map<int, std::size_t> m_byId;
};

} // namespace quillary
