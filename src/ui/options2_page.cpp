#include "ui/options2_page.h"

#include <wx/statbox.h>
#include <wx/wrapsizer.h>

#include "res/controls.h"
#include "ui/model/options_rules.h"

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
