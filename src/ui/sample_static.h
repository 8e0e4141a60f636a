// A quick-preview sample of the HTML listing on "Options 2": a patch of background with a caption in
// the sample's font and text colour. The frame sample (1082) shows only its background; the rows
// (1076 to 1081) show their caption. The samples hold the HTML appearance that settings files store.
#pragma once

#include <wx/control.h>
#include <wx/dc.h>

#include "model/control_surface.h"

namespace quillary {

class CSampleStatic : public wxControl {
public:
    CSampleStatic(wxWindow* parent, int id, const wxString& caption, bool showCaption);

    const SampleStyle& Style() const { return m_style; }
    void SetStyle(const SampleStyle& style);

    wxSize DoGetBestClientSize() const override;
    // Paints the sample into `dc` at the sample's size: what the screen shows.
    void Draw(wxDC& dc) const;

private:
    void OnPaint(wxPaintEvent& event);

    SampleStyle m_style;
    bool m_showCaption;
};

// wx colours and fonts for the settings files' 0x00BBGGRR colours and logical fonts, and back.
wxColour ToWxColour(ColorRef color);
ColorRef FromWxColour(const wxColour& color);
wxFont ToWxFont(const FontSpec& font);
// The logical font of a font chosen on this screen: its height in pixels at the screen's vertical
// resolution, and the whole point size that height gives. Fields wx has no notion of (width,
// escapement, character set, ...) are kept from `base`.
FontSpec FontSpecFromWx(const wxFont& font, int pixelsPerInch, FontSpec base);

} // namespace quillary
