#include "ui/options2_page.h"

#include <wx/statbox.h>

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
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(MakeOutputGroup(), wxSizerFlags(1).Expand().Border(wxRIGHT, kGap));
    top->Add(MakeCsvGroup(), wxSizerFlags(1).Expand());

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
    auto* links = new wxBoxSizer(wxHORIZONTAL);
    links->Add(Make(kIdHtmlLinksToDirs, box), wxSizerFlags().Border(wxRIGHT, kGap * 4));
    links->Add(Make(kIdHtmlLinksToFiles, box));
    group->Add(links, wxSizerFlags().Border(wxALL, kGap / 2));

    auto* buttons = new wxFlexGridSizer(2, kGap / 2, kGap);
    buttons->AddGrowableCol(0, 1);
    buttons->AddGrowableCol(1, 1);
    for (const auto& row : kStyleButtons) {
        for (int id : row) {
            if (id != 0)
                buttons->Add(Make(id, box), wxSizerFlags().Expand());
            else
                buttons->AddSpacer(0);
        }
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
