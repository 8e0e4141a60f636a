#include "ui/options2_page.h"

#include <wx/colordlg.h>
#include <wx/fontdlg.h>
#include <wx/statbox.h>

#include "model/options_rules.h"
#include "res/controls.h"
#include "ui/sample_static.h"
#include "writers/output_types.h"

namespace quillary {

namespace {

// The colour and font buttons, one row per part of the listing: its background, then its font.
constexpr int kStyleButtons[][2] = {
    {kIdPageBackgroundButton, 0},
    {kIdHeaderBackgroundButton, kIdHeaderFontButton},
    {kIdDirBackgroundButton, kIdDirFontButton},
    {kIdOddBackgroundButton, kIdOddFontButton},
    {kIdEvenBackgroundButton, kIdEvenFontButton},
};

constexpr int kSampleRows[] = {kIdHeaderSample, kIdDirSample,  kIdOddSample,
                               kIdEvenSample,   kIdOddSample2, kIdEvenSample2};

// What each colour or font button changes: the samples that show that part of the listing. The odd
// and even rows have two samples each; both follow the buttons, the text colour included.
struct StyleButton {
    int button;
    bool font; // a font button (font and text colour), else a background button
    std::vector<int> samples;
};

const std::vector<StyleButton>& StyleButtons() {
    static const std::vector<StyleButton> buttons = {
        {kIdPageBackgroundButton, false, {kIdPageSample}},
        {kIdHeaderBackgroundButton, false, {kIdHeaderSample}},
        {kIdHeaderFontButton, true, {kIdHeaderSample}},
        {kIdDirBackgroundButton, false, {kIdDirSample}},
        {kIdDirFontButton, true, {kIdDirSample}},
        {kIdOddBackgroundButton, false, {kIdOddSample, kIdOddSample2}},
        {kIdOddFontButton, true, {kIdOddSample, kIdOddSample2}},
        {kIdEvenBackgroundButton, false, {kIdEvenSample, kIdEvenSample2}},
        {kIdEvenFontButton, true, {kIdEvenSample, kIdEvenSample2}},
    };
    return buttons;
}

} // namespace

COptions2Page::COptions2Page(wxWindow* parent, WindowSurface& surface)
    : CTabPage(parent, kOptions2Page, surface) {
    // Two columns: what is written (output type, CSV and HTML options) on the left, the HTML quick
    // preview, which takes the rest of the page, on the right.
    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(MakeOutputGroup(), wxSizerFlags().Expand().Border(wxBOTTOM, kGap));
    left->Add(MakeCsvGroup(), wxSizerFlags().Expand().Border(wxBOTTOM, kGap));
    left->Add(MakeHtmlGroup(), wxSizerFlags().Expand());

    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(left, wxSizerFlags().Expand().Border(wxALL, kGap));
    sizer->Add(MakeQuickPreviewGroup(), wxSizerFlags(1).Expand().Border(wxTOP | wxRIGHT | wxBOTTOM, kGap));
    FinishLayout(sizer);
    SetSamplesFromHtmlStyle(m_surface, HtmlStyle{});

    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent& event) {
        RefreshOutputTypeEnabling(m_surface);
        event.Skip();
    });
    for (const StyleButton& style : StyleButtons()) {
        m_surface.Window(style.button)->Bind(wxEVT_BUTTON, [this, &style](wxCommandEvent&) {
            if (style.font)
                ChooseFont(style.samples);
            else
                ChooseBackground(style.samples);
        });
    }
    RefreshOutputTypeEnabling(m_surface);
}

// The platform's colour dialog, fully opened, starting at the current colour. Cancelled, it changes
// nothing.
void COptions2Page::ChooseBackground(const std::vector<int>& samples) {
    wxColourData data;
    data.SetChooseFull(true);
    data.SetColour(ToWxColour(m_surface.Sample(samples.front()).background));
    wxColourDialog dialog(this, &data);
    if (dialog.ShowModal() != wxID_OK)
        return;
    const ColorRef background = FromWxColour(dialog.GetColourData().GetColour());
    for (int id : samples) {
        SampleStyle style = m_surface.Sample(id);
        style.background = background;
        m_surface.SetSample(id, style);
    }
}

// The platform's font dialog with effects (underline, strike-out, colour), starting at the sample's
// font and text colour. Cancelled, it changes nothing.
void COptions2Page::ChooseFont(const std::vector<int>& samples) {
    const SampleStyle current = m_surface.Sample(samples.front());
    wxFontData data;
    data.EnableEffects(true);
    data.SetInitialFont(ToWxFont(current.font));
    data.SetColour(ToWxColour(current.text));
    wxFontDialog dialog(this, data);
    if (dialog.ShowModal() != wxID_OK)
        return;
    const wxFontData& chosen = dialog.GetFontData();
    const FontSpec font = FontSpecFromWx(chosen.GetChosenFont(), m_surface.PixelsPerInch(), current.font);
    const ColorRef text = FromWxColour(chosen.GetColour());
    for (int id : samples) {
        SampleStyle style = m_surface.Sample(id);
        style.font = font;
        style.text = text;
        m_surface.SetSample(id, style);
    }
}

wxSizer* COptions2Page::MakeOutputGroup() {
    wxStaticBoxSizer* group = MakeGroup(kIdOutputGroup);
    for (const OutputTypeDef& type : OutputTypes())
        group->Add(Make(type.radioId, group->GetStaticBox()), wxSizerFlags().Border(wxALL, kGap / 2));
    return group;
}

wxSizer* COptions2Page::MakeCsvGroup() {
    wxStaticBoxSizer* group = MakeGroup(kIdCsvOptionsGroup);
    wxWindow* box = group->GetStaticBox();
    group->Add(Make(kIdCsvColumnNames, box), wxSizerFlags().Border(wxALL, kGap / 2));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(Make(kIdCsvSeparatorLabel, box), wxSizerFlags().CenterVertical().Border(wxRIGHT, kGap));
    wxWindow* separator = Make(kIdCsvSeparator, box);
    separator->SetMinSize(wxSize(separator->GetTextExtent("WW").x + 24, -1));
    row->Add(separator);
    group->Add(row, wxSizerFlags().Border(wxALL, kGap / 2));
    group->Add(Make(kIdCsvByteOrderMark, box), wxSizerFlags().Border(wxALL, kGap / 2));
    group->Add(Make(kIdCsvFormulaGuard, box), wxSizerFlags().Border(wxALL, kGap / 2));
    return group;
}

wxSizer* COptions2Page::MakeHtmlGroup() {
    wxStaticBoxSizer* group = MakeGroup(kIdHtmlOptionsGroup);
    wxWindow* box = group->GetStaticBox();
    group->Add(Make(kIdHtmlLinksToDirs, box), wxSizerFlags().Border(wxALL, kGap / 2));
    group->Add(Make(kIdHtmlLinksToFiles, box), wxSizerFlags().Border(wxALL, kGap / 2));

    // The background buttons in one column and the font buttons in another, row by row for the same
    // part of the listing.
    auto* buttons = new wxFlexGridSizer(2, kGap / 2, kGap);
    buttons->AddGrowableCol(0, 1);
    buttons->AddGrowableCol(1, 1);
    for (const auto& row : kStyleButtons) {
        buttons->Add(Make(row[0], box), wxSizerFlags().Expand());
        if (row[1] != 0)
            buttons->Add(Make(row[1], box), wxSizerFlags().Expand());
        else
            buttons->AddSpacer(0);
    }
    group->Add(buttons, wxSizerFlags().Expand().Border(wxALL, kGap / 2));
    return group;
}

// The frame sample shows the page background; the row samples sit on it as rows of a listing would.
wxSizer* COptions2Page::MakeQuickPreviewGroup() {
    wxStaticBoxSizer* group = MakeGroup(kIdQuickPreviewGroup);
    wxWindow* frame = Make(kIdPageSample, group->GetStaticBox());
    auto* rows = new wxBoxSizer(wxVERTICAL);
    for (int id : kSampleRows)
        rows->Add(Make(id, frame), wxSizerFlags().Expand());
    auto* padding = new wxBoxSizer(wxVERTICAL);
    padding->Add(rows, wxSizerFlags(1).Expand().Border(wxALL, kGap * 2));
    frame->SetSizer(padding);
    group->Add(frame, wxSizerFlags(1).Expand().Border(wxALL, kGap / 2));
    return group;
}

} // namespace quillary
