#include "ui/sample_static.h"

#include <cmath>
#include <string>

#include <wx/dcbuffer.h>
#include <wx/fontenum.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "listing/html_style.h"
#include "platform/utf8.h"
#include "ui/wx_string.h"

namespace quillary {

namespace {

// A logical font's face name holds at most 31 bytes.
constexpr std::size_t kFaceNameMaxBytes = 31;

} // namespace

wxColour ToWxColour(ColorRef color) {
    return wxColour(static_cast<unsigned char>(color & 0xFF), static_cast<unsigned char>((color >> 8) & 0xFF),
                    static_cast<unsigned char>((color >> 16) & 0xFF));
}

ColorRef FromWxColour(const wxColour& color) {
    return static_cast<ColorRef>(color.Red()) | static_cast<ColorRef>(color.Green()) << 8 |
           static_cast<ColorRef>(color.Blue()) << 16;
}

FontSpec FontSpecFromWx(const wxFont& font, int pixelsPerInch, FontSpec base) {
    FontSpec logical = std::move(base);
    const double pixels = font.GetFractionalPointSize() * pixelsPerInch / 72.0;
    logical.lfHeight = -static_cast<std::int32_t>(std::lround(pixels));
    logical.pointSize = PointSizeFromHeight(logical.lfHeight, pixelsPerInch);
    logical.lfWeight = font.GetNumericWeight();
    logical.lfItalic = font.GetStyle() != wxFONTSTYLE_NORMAL ? 1 : 0;
    logical.lfUnderline = font.GetUnderlined() ? 1 : 0;
    logical.lfStrikeOut = font.GetStrikethrough() ? 1 : 0;
    const std::string face = ToUtf8(font.GetFaceName());
    logical.lfFaceName = Utf8CutToBytes(face, kFaceNameMaxBytes);
    return logical;
}

wxFont ToWxFont(const FontSpec& font) {
    // A face this system lacks ("MS Sans Serif" on Linux) falls back as a browser falls back from the
    // HTML listing's face: to the generic family, the GUI font's face for sans-serif. The face is
    // chosen before the font is made: changing the face of a made font can lose its weight.
    wxFontInfo info(font.pointSize > 0 ? font.pointSize : 8);
    const wxString face = ToWx(font.lfFaceName);
    const std::string generic = GenericFontFamily(font);
    if (wxFontEnumerator::IsValidFacename(face))
        info.FaceName(face);
    else if (generic == "serif")
        info.Family(wxFONTFAMILY_ROMAN);
    else if (generic == "monospace")
        info.Family(wxFONTFAMILY_TELETYPE);
    else if (generic == "cursive")
        info.Family(wxFONTFAMILY_SCRIPT);
    else if (generic == "fantasy")
        info.Family(wxFONTFAMILY_DECORATIVE);
    else
        info.FaceName(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetFaceName());
    return wxFont(info.Weight(font.lfWeight > 0 ? font.lfWeight : wxFONTWEIGHT_NORMAL)
                      .Italic(font.lfItalic != 0)
                      .Underlined(font.lfUnderline != 0)
                      .Strikethrough(font.lfStrikeOut != 0));
}

CSampleStatic::CSampleStatic(wxWindow* parent, int id, const wxString& caption, bool showCaption)
    : wxControl(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
      m_showCaption(showCaption) {
    SetLabel(caption);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CSampleStatic::OnPaint, this);
}

void CSampleStatic::SetStyle(const SampleStyle& style) {
    m_style = style;
    InvalidateBestSize();
    Refresh();
}

wxSize CSampleStatic::DoGetBestClientSize() const {
    if (GetSizer() != nullptr)
        return GetSizer()->GetMinSize();
    if (!m_showCaption)
        return wxSize(40, 20);
    wxClientDC dc(const_cast<CSampleStatic*>(this));
    dc.SetFont(ToWxFont(m_style.font));
    const wxSize text = dc.GetTextExtent(GetLabelText().empty() ? wxString("Xg") : GetLabelText());
    return wxSize(text.x + 8, text.y + 4);
}

void CSampleStatic::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Draw(dc);
}

void CSampleStatic::Draw(wxDC& dc) const {
    dc.SetBackground(wxBrush(ToWxColour(m_style.background)));
    dc.Clear();
    if (!m_showCaption)
        return;
    dc.SetFont(ToWxFont(m_style.font));
    dc.SetTextForeground(ToWxColour(m_style.text));
    const wxSize size = GetClientSize();
    const wxSize text = dc.GetTextExtent(GetLabelText());
    dc.DrawText(GetLabelText(), 4, (size.y - text.y) / 2);
}

} // namespace quillary
