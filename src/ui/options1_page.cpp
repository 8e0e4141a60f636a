#include "ui/options1_page.h"

#include <span>

#include <wx/statbox.h>

#include "model/options_rules.h"
#include "res/controls.h"

namespace quillary {

namespace {

// One line of the "Include:" group: a column's check box and, for some, the field that goes with it.
struct IncludeRow {
    int check = 0;
    int field = 0;     // a format list or a width edit
    int fieldSpin = 0; // the width edit's up-down
    int beside = 0;    // a related column's check box beside the row's own (a field may be one too)
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
    // The three checksums on one row.
    {kIdFileCrc32, kIdFileSha256, 0, kIdFileXxh3},
    {kIdFileAttributes},
};

} // namespace

COptions1Page::COptions1Page(wxWindow* parent, WindowSurface& surface)
    : CTabPage(parent, kOptions1Page, surface) {
    // Two columns of about the same height: the columns of the listing on the left, how it is
    // filtered, sorted and formatted on the right.
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(MakeIncludeGroup(), wxSizerFlags().Expand().Border(wxALL, kGap));
    sizer->Add(MakeOptionsGroup(), wxSizerFlags(1).Expand().Border(wxTOP | wxRIGHT | wxBOTTOM, kGap));
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

// One grid for the folder columns and, after a little space, the file columns: the check boxes in
// one column, the fields that go with them in the other.
wxSizer* COptions1Page::MakeIncludeGroup() {
    wxStaticBoxSizer* group = MakeGroup(kIdIncludeGroup, wxVERTICAL);
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(2, 0, kGap);
    auto addRows = [&](std::span<const IncludeRow> rows) {
        for (const IncludeRow& row : rows) {
            if (row.beside != 0) {
                auto* pair = new wxBoxSizer(wxHORIZONTAL);
                pair->Add(Make(row.check, box), wxSizerFlags().CenterVertical().Border(wxRIGHT, kGap));
                pair->Add(Make(row.beside, box), wxSizerFlags().CenterVertical());
                grid->Add(pair, wxSizerFlags().CenterVertical());
            } else {
                grid->Add(Make(row.check, box), wxSizerFlags().CenterVertical());
            }
            if (row.fieldSpin != 0)
                grid->Add(MakeWidthField(box, row.field, row.fieldSpin));
            else if (row.field != 0)
                grid->Add(Make(row.field, box), wxSizerFlags().Expand());
            else
                grid->AddSpacer(0);
        }
    };
    addRows(kDirectoryRows);
    grid->AddSpacer(kGap * 2);
    grid->AddSpacer(kGap * 2);
    addRows(kFileRows);
    group->Add(grid, wxSizerFlags(1).Expand().Border(wxALL, kGap));
    return group;
}

// Labels and their fields in one grid, related options next to each other: the mask, sorting, sizes,
// paths and dates, the per-folder listing; check boxes stand in the field column under the list they
// belong to.
wxSizer* COptions1Page::MakeOptionsGroup() {
    wxStaticBoxSizer* group = MakeGroup(kIdOptionsGroup, wxVERTICAL);
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(2, kGap / 2, kGap);
    grid->AddGrowableCol(1);
    auto addCheck = [&](int id) {
        grid->AddSpacer(0);
        grid->Add(Make(id, box));
    };
    auto addSpace = [&] {
        grid->AddSpacer(kGap);
        grid->AddSpacer(kGap);
    };
    AddLabelled(grid, box, kIdMaskLabel, kIdMask);
    addSpace();
    AddLabelled(grid, box, kIdSortDirsByLabel, kIdSortDirsBy);
    addCheck(kIdSortDirsDescending);
    AddLabelled(grid, box, kIdSortFilesByLabel, kIdSortFilesBy);
    addCheck(kIdSortFilesDescending);
    addCheck(kIdFilesAllTogether);
    addSpace();
    AddLabelled(grid, box, kIdSizeDisplayLabel, kIdSizeDisplay);
    AddLabelled(grid, box, kIdSizePrecisionLabel, kIdSizePrecision);
    AddLabelled(grid, box, kIdThousandSeparatorLabel, kIdThousandSeparator);
    AddLabelled(grid, box, kIdDecimalSeparatorLabel, kIdDecimalSeparator);
    addSpace();
    AddLabelled(grid, box, kIdPathStyleLabel, kIdPathStyle);
    AddLabelled(grid, box, kIdDateTimeKindLabel, kIdDateTimeKind);
    addSpace();
    addCheck(kIdListingInEachDir);
    AddLabelled(grid, box, kIdListingNameLabel, kIdListingName);
    // Whether checksums are kept between runs shares the last row (the page has no room for another).
    grid->Add(Make(kIdKeepChecksums, box), wxSizerFlags().CenterVertical());
    grid->Add(Make(kIdRememberSelection, box), wxSizerFlags().CenterVertical());
    group->Add(grid, wxSizerFlags(1).Expand().Border(wxALL, kGap));
    return group;
}

} // namespace quillary
