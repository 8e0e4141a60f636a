#include "ui/options2_page.h"

#include <wx/colordlg.h>
#include <wx/fontdlg.h>
#include <wx/statbox.h>
#include <wx/wrapsizer.h>

#include "model/options_rules.h"
#include "res/controls.h"
#include "ui/sample_static.h"

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
    auto* top = new wxWrapSizer(wxHORIZONTAL);
    top->Add(MakeOutputGroup(), wxSizerFlags().Expand().Border(wxRIGHT | wxBOTTOM, kGap));
    top->Add(MakeCsvGroup(), wxSizerFlags().Expand().Border(wxBOTTOM, kGap));

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(top, wxSizerFlags().Expand().Border(wxALL, kGap));
    sizer->Add(MakeHtmlGroup(), wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, kGap));
    sizer->Add(MakeQuickPreviewGroup(), wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, kGap));
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
    for (int id : {kIdOutputText, kIdOutputHtml, kIdOutputCsv})
        group->Add(Make(id, group->GetStaticBox()), wxSizerFlags().Border(wxALL, kGap / 2));
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
    return group;
}

wxSizer* COptions2Page::MakeHtmlGroup() {
    wxStaticBoxSizer* group = MakeGroup(kIdHtmlOptionsGroup);
    wxWindow* box = group->GetStaticBox();
    auto* links = new wxWrapSizer(wxHORIZONTAL);
    links->Add(Make(kIdHtmlLinksToDirs, box), wxSizerFlags().Border(wxRIGHT, kGap * 4));
    links->Add(Make(kIdHtmlLinksToFiles, box));
    group->Add(links, wxSizerFlags().Border(wxALL, kGap / 2));

    // The background buttons in one column and the font buttons in another, row by row for the same
    // part of the listing; the font column goes below when the page is narrow.
    auto* backgrounds = new wxBoxSizer(wxVERTICAL);
    auto* fonts = new wxBoxSizer(wxVERTICAL);
    for (const auto& row : kStyleButtons) {
        wxWindow* background = Make(row[0], box);
        backgrounds->Add(background, wxSizerFlags().Expand().Border(wxBOTTOM, kGap / 2));
        if (row[1] != 0)
            fonts->Add(Make(row[1], box), wxSizerFlags().Expand().Border(wxBOTTOM, kGap / 2));
        else
            fonts->Add(0, background->GetBestSize().y + kGap / 2);
    }
    auto* buttons = new wxWrapSizer(wxHORIZONTAL);
    buttons->Add(backgrounds, wxSizerFlags().Border(wxRIGHT, kGap));
    buttons->Add(fonts);
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
