// The control surface over the window's real controls: the settings and configuration files, the
// language files, the enabling rules and the reading of the listing options (all in the core) reach
// the controls through it, by numeric id, exactly as they reach the console program's headless form.
//
// It also keeps the tooltip hints: a control registered with a hint shows its caption (without "&")
// as the tip's first line and the hint below it.
#pragma once

#include <map>
#include <string>

#include <wx/window.h>

#include "model/control_surface.h"

namespace quillary {

class WindowSurface final : public ControlSurface {
public:
    // Registers a control created from the control table; a control with a built-in hint gets its tip.
    void Add(int id, ControlKind kind, wxWindow* window);
    wxWindow* Window(int id) const;

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

    int PixelsPerInch() const override;

    // The text the control's tooltip shows ("" when it has none).
    std::string ToolTipText(int id) const;

private:
    struct Entry {
        ControlKind kind = ControlKind::Label;
        wxWindow* window = nullptr;
        bool hasHint = false;
        std::string hint;
    };

    const Entry* Find(int id) const;
    void UpdateToolTip(int id);

    std::map<int, Entry> m_controls;
};

// A caption without its mnemonic marks: "&Save listing..." → "Save listing...", "Date && Time:" →
// "Date & Time:". This is what the accessible name and the tooltip title show.
std::string CaptionWithoutMnemonic(std::string_view caption);

} // namespace quillary
