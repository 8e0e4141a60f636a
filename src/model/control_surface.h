// The controls of the main window and its pages, addressed by their numeric id. The window implements
// this over its real controls, FormState over a headless copy of the control table; the settings and
// language files, the enabling rules and the reading of the listing options work on this interface
// only, so both front ends share them.
//
// Calls with an id the surface does not have, or that do not fit the control's kind, do nothing and
// return empty values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "listing/html_style.h"
#include "res/controls.h"

namespace quillary {

struct ControlRef {
    int id = 0;
    ControlKind kind = ControlKind::Label;
};

// What an HTML quick-preview control shows. The frame (ColorStatic) uses only the background.
struct SampleStyle {
    ColorRef background = 0;
    ColorRef text = 0;
    FontSpec font;

    bool operator==(const SampleStyle&) const = default;
};

class ControlSurface {
public:
    virtual ~ControlSurface() = default;

    // Every control, in walk order: the main window's controls, then each page's.
    virtual std::vector<ControlRef> Controls() const = 0;

    virtual bool IsEnabled(int id) const = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;

    // The window text: the caption of a button, label, check box or sample, the contents of an edit.
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, std::string_view text) = 0;

    // Check boxes and radio buttons: 0 unchecked, 1 checked. Checking a radio button unchecks the
    // other radio buttons of its page.
    virtual int CheckState(int id) const = 0;
    virtual void SetCheckState(int id, int state) = 0;

    // Combo boxes: the items; the tab control: the tab labels. Setting the items clears the selection.
    virtual std::vector<std::string> Items(int id) const = 0;
    virtual void SetItems(int id, const std::vector<std::string>& items) = 0;
    // The selected item, -1 for none. Selecting an index outside the items clears the selection.
    virtual int Selection(int id) const = 0;
    virtual void SetSelection(int id, int index) = 0;

    // The HTML quick-preview frame and rows.
    virtual SampleStyle Sample(int id) const = 0;
    virtual void SetSample(int id, const SampleStyle& sample) = 0;

    // Tooltip hints: only controls registered with a hint have one.
    virtual bool HasHint(int id) const = 0;
    virtual std::string Hint(int id) const = 0;
    virtual void SetHint(int id, std::string_view hint) = 0;

    // Vertical pixels per inch of the screen, for the point size of fonts.
    virtual int PixelsPerInch() const { return 96; }
};

} // namespace quillary
