#include "ui/options1_page.h"

#include <algorithm>

#include <wx/statbox.h>
#include <wx/wrapsizer.h>

#include "model/options_rules.h"
#include "res/controls.h"

namespace quillary {

namespace {

// One line of the "Include:" group: a column's check box and, for some, the field that goes with it.
struct IncludeRow {
    int check = 0;
    int field = 0;     // a format list or a width edit
    int fieldSpin = 0; // the width edit's up-down
};

constexpr IncludeRow kDirectoryRows[] = {
    {kIdDirName, kIdDirNameWidth, kIdDirNameWidthSpin},
    {kIdFileCountInDirName},
    {kIdDirSize, kIdDirSizeWidth, kIdDirSizeWidthSpin},
    {kIdDirDate, kIdDirDateFormat},
    {kIdDirTime, kIdDirTimeFormat},
    {kIdDirAttributes},
    {kIdSubdirs},
};

constexpr IncludeRow kFileRows[] = {
    {kIdFileNumber},
    {kIdFilePath},
    {kIdFileName, kIdFileNameWidth, kIdFileNameWidthSpin},
    {kIdFileExtension},
    {kIdFileSize, kIdFileSizeWidth, kIdFileSizeWidthSpin},
    {kIdFileDate, kIdFileDateFormat},
    {kIdFileTime, kIdFileTimeFormat},
    {kIdFileVersion, kIdFileVersionWidth, kIdFileVersionWidthSpin},
    {kIdFileCrc32},
    {kIdFileAttributes},
};

} // namespace

COptions1Page::COptions1Page(wxWindow* parent, WindowSurface& surface)
    : CTabPage(parent, kOptions1Page, surface) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(MakeIncludeGroup(), wxSizerFlags().Expand().Border(wxALL, kGap));
    sizer->Add(MakeOptionsGroup(), wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, kGap));
    AlignIncludeColumns();
    FinishLayout(sizer);

    // Every click on a check box and every change of a list may change what is enabled. The rules
    // read all of the page's controls, so they run for any of them.
    Bind(wxEVT_CHECKBOX, &COptions1Page::OnRuleInput, this);
    Bind(wxEVT_CHOICE, &COptions1Page::OnRuleInput, this);
    for (int id : {kIdDirNameWidth, kIdDirSizeWidth, kIdFileNameWidth, kIdFileSizeWidth, kIdFileVersionWidth})
        m_surface.Window(id)->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
            StoreValues();
            event.Skip();
        });
    RefreshOptions1Enabling(m_surface);
}

void COptions1Page::OnRuleInput(wxCommandEvent& event) {
    RefreshOptions1Enabling(m_surface);
    event.Skip();
}

void COptions1Page::StoreValues() {
    ValidateWidths(m_surface);
}

void COptions1Page::CaptionsChanged() {
    AlignIncludeColumns();
    CTabPage::CaptionsChanged();
}

// The folder and file columns' check boxes all get the width of the widest, so that their fields
// line up whether the columns stand side by side or one below the other.
void COptions1Page::AlignIncludeColumns() {
    int width = 0;
    for (wxWindow* check : m_includeChecks)
        width = std::max(width, check->GetBestSize().x);
    for (wxWindow* check : m_includeChecks)
        check->SetMinSize(wxSize(width, -1));
}

wxSizer* COptions1Page::MakeIncludeGroup() {
    wxStaticBoxSizer* group = MakeGroup(kIdIncludeGroup, wxVERTICAL);
    wxWindow* box = group->GetStaticBox();
    // The folder columns and the file columns side by side when the page is wide enough, else one
    // below the other.
    auto* columns = new wxWrapSizer(wxHORIZONTAL);
    auto addColumn = [&](std::span<const IncludeRow> rows) {
        auto* grid = new wxFlexGridSizer(2, kGap / 2, kGap * 2);
        for (const IncludeRow& row : rows) {
            m_includeChecks.push_back(Make(row.check, box));
            grid->Add(m_includeChecks.back(), wxSizerFlags().CenterVertical());
            if (row.fieldSpin != 0)
                grid->Add(MakeWidthField(box, row.field, row.fieldSpin));
            else if (row.field != 0)
                grid->Add(Make(row.field, box), wxSizerFlags().Expand());
            else
                grid->AddSpacer(0);
        }
        return grid;
    };
    columns->Add(addColumn(kDirectoryRows), wxSizerFlags().Border(wxALL, kGap));
    columns->Add(addColumn(kFileRows), wxSizerFlags().Border(wxALL, kGap));
    group->Add(columns, wxSizerFlags(1).Expand());
    return group;
}

wxSizer* COptions1Page::MakeOptionsGroup() {
    wxStaticBoxSizer* group = MakeGroup(kIdOptionsGroup, wxVERTICAL);
    wxWindow* box = group->GetStaticBox();

    auto* left = new wxFlexGridSizer(2, kGap / 2, kGap * 2);
    left->AddGrowableCol(1);
    AddLabelled(left, box, kIdMaskLabel, kIdMask);
    AddLabelled(left, box, kIdSortDirsByLabel, kIdSortDirsBy);
    left->Add(Make(kIdSortDirsDescending, box));
    left->AddSpacer(0);
    AddLabelled(left, box, kIdSizeDisplayLabel, kIdSizeDisplay);
    AddLabelled(left, box, kIdThousandSeparatorLabel, kIdThousandSeparator);
    AddLabelled(left, box, kIdDateTimeKindLabel, kIdDateTimeKind);
    left->Add(Make(kIdListingInEachDir, box));
    left->AddSpacer(0);

    auto* right = new wxFlexGridSizer(2, kGap / 2, kGap * 2);
    right->AddGrowableCol(1);
    AddLabelled(right, box, kIdPathStyleLabel, kIdPathStyle);
    AddLabelled(right, box, kIdSortFilesByLabel, kIdSortFilesBy);
    right->Add(Make(kIdSortFilesDescending, box));
    right->AddSpacer(0);
    AddLabelled(right, box, kIdSizePrecisionLabel, kIdSizePrecision);
    AddLabelled(right, box, kIdDecimalSeparatorLabel, kIdDecimalSeparator);
    right->Add(Make(kIdFilesAllTogether, box));
    right->AddSpacer(0);
    AddLabelled(right, box, kIdListingNameLabel, kIdListingName);

    auto* columns = new wxWrapSizer(wxHORIZONTAL);
    columns->Add(left, wxSizerFlags().Border(wxALL, kGap));
    columns->Add(right, wxSizerFlags().Border(wxALL, kGap));
    group->Add(columns, wxSizerFlags().Expand());
    group->Add(Make(kIdRememberSelection, box), wxSizerFlags().Border(wxALL, kGap));
    return group;
}

} // namespace quillary
