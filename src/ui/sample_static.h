// A quick-preview sample of the HTML listing on "Options 2": a patch of background with a caption in
// the sample's font and text colour. The frame sample (1082) shows only its background; the rows
// (1076 to 1081) show their caption. The samples hold the HTML appearance that settings files store.
#pragma once

#include <wx/control.h>

#include "ui/model/control_surface.h"

namespace quillary {

class CSampleStatic : public wxControl {
public:
    CSampleStatic(wxWindow* parent, int id, const wxString& caption, bool showCaption);

    const SampleStyle& Style() const { return m_style; }
    void SetStyle(const SampleStyle& style);

    wxSize DoGetBestClientSize() const override;

private:
    void OnPaint(wxPaintEvent& event);

    SampleStyle m_style;
    bool m_showCaption;
};

// wx colours and fonts for the settings files' 0x00BBGGRR colours and logical fonts.
wxColour ToWxColour(ColorRef color);
wxFont ToWxFont(const FontSpec& font);

} // namespace quillary
