// Start-up: the generated menus, the title, settings and configurations, languages.
#include <filesystem>

#include <wx/button.h>
#include <wx/menu.h>
#include <wx/notebook.h>

#include "app/gui/window_placement.h"
#include "gui_test_support.h"
#include "res/controls.h"
#include "res/menus.h"

namespace quillary::test {
namespace {

wxMenu* QuickConfigMenu(CQuillaryDlg* window) {
    wxMenuItem* item = window->GetMenuBar()->GetMenu(0)->FindItemByPosition(kQuickConfigMenuPosition);
    return item->IsSubMenu() ? item->GetSubMenu() : nullptr;
}

void CopyGermanLanguage(const ScratchDir& dir) {
    std::filesystem::copy_file(std::string(QUILLARY_SOURCE_DIR) + "/res/lang/Deutsch.lng",
                               dir.File("Deutsch.lng"));
}

TEST(Startup, WithNoFilesBesideTheProgramTheGeneratedMenusAreThereButEmpty) {
    ScratchDir dir;
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    EXPECT_EQ(window->GetTitle(), "Quillary v0.7");
    wxMenuBar* bar = window->GetMenuBar();
    ASSERT_EQ(bar->GetMenuCount(), 4u);
    EXPECT_EQ(bar->GetMenuLabel(1), "&Language");
    EXPECT_EQ(bar->GetMenu(1)->GetMenuItemCount(), 0u);
    ASSERT_NE(QuickConfigMenu(window), nullptr);
    EXPECT_EQ(bar->GetMenu(0)->FindItemByPosition(kQuickConfigMenuPosition)->GetItemLabel(),
              "&Quick configuration");
    EXPECT_EQ(QuickConfigMenu(window)->GetMenuItemCount(), 0u);
    EXPECT_EQ(window->Tabs()->GetPageCount(), 5u);
    EXPECT_EQ(window->Tabs()->GetPageText(4), "About");
    EXPECT_EQ(window->GetMinSize(), wxSize(471, 520));
}

TEST(Startup, LanguageAndQuickConfigurationMenusListTheFilesFound) {
    ScratchDir dir;
    CopyGermanLanguage(dir);
    WriteFile(dir.File("fast.qlc"), "[Settings]\n1064=*.fast\n");
    WriteFile(dir.File("all.qlc"), "[Settings]\n1064=*.all\n");
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    wxMenu* languages = window->GetMenuBar()->GetMenu(1);
    ASSERT_EQ(languages->GetMenuItemCount(), 1u);
    EXPECT_EQ(languages->FindItemByPosition(0)->GetItemLabelText(), "Deutsch");
    wxMenu* quick = QuickConfigMenu(window);
    ASSERT_EQ(quick->GetMenuItemCount(), 2u);
    EXPECT_EQ(quick->FindItemByPosition(0)->GetItemLabelText(), "all");

    // Choosing an item loads that configuration.
    wxCommandEvent choose(wxEVT_MENU, quick->FindItemByPosition(1)->GetId());
    window->ProcessWindowEvent(choose);
    EXPECT_EQ(window->Surface().Text(kIdMask), "*.fast");
}

TEST(Startup, SettingsFileRestoresControlsAndPositionButNotTheMaximisedState) {
    ScratchDir dir;
    WriteFile(dir.File("quillary.INI"), "[Settings]\n1058=0\n1064=*.txt\n1023=2\n1022=,\n"
                                        "1076=16777215|0|-11|0|0|0|700|0|0|0|0|0|0|0|0|Arial\n"
                                        "Window=3|-1|-1|-1|-1|30|40|630|580\n");
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    WindowSurface& surface = window->Surface();
    EXPECT_EQ(surface.CheckState(kIdDirName), 0);
    EXPECT_EQ(surface.Text(kIdMask), "*.txt");
    EXPECT_EQ(surface.Selection(kIdSortDirsBy), 2);
    EXPECT_EQ(surface.Text(kIdCsvSeparator), ",");
    EXPECT_EQ(surface.Sample(kIdHeaderSample).background, 0xFFFFFFu);
    EXPECT_EQ(surface.Sample(kIdHeaderSample).font.lfFaceName, "Arial");
    // The enabling rules ran after loading: without "Dir name", "Files treated all together" is free.
    EXPECT_TRUE(surface.IsEnabled(kIdFilesAllTogether));
    EXPECT_FALSE(surface.IsEnabled(kIdDirNameWidth));

    const WindowPlacement placement = window->Placement();
    EXPECT_EQ(placement[0], 1); // shown normally at start-up
    EXPECT_EQ(placement[5], 30);
    EXPECT_EQ(placement[6], 40);
    EXPECT_EQ(placement[7], 630);
    EXPECT_EQ(placement[8], 580);
    EXPECT_FALSE(window->IsMaximized());
}

// Without a window manager (as under Xvfb) nothing maximises a window, so the decision is checked.
TEST(Startup, OnlyAConfigurationLoadedLaterRestoresTheMaximisedState) {
    const WindowPlacement maximised = ParseWindowPlacement("3|-1|-1|-1|-1|10|10|600|500");
    const PlacementPlan atStart = PlanPlacement(maximised, false, false);
    EXPECT_EQ(atStart.show, ShowState::Keep);
    EXPECT_TRUE(atStart.moveAndResize);
    EXPECT_EQ(atStart.width, 590);
    EXPECT_EQ(atStart.height, 490);
    EXPECT_EQ(PlanPlacement(maximised, false, true).show, ShowState::Maximized);
    EXPECT_EQ(PlanPlacement(maximised, true, true).show, ShowState::Keep); // unattended
    EXPECT_EQ(PlanPlacement(ParseWindowPlacement("0|0|0|0|0|10|10|600|500"), false, true).show,
              ShowState::Keep);
    EXPECT_FALSE(PlanPlacement(ParseWindowPlacement("1"), false, true).moveAndResize);
}

TEST(Startup, ClickingACheckBoxReappliesTheEnablingRules) {
    ScratchDir dir;
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    WindowSurface& surface = window->Surface();
    EXPECT_FALSE(surface.IsEnabled(kIdFilesAllTogether));
    surface.SetCheckState(kIdDirName, 0);
    wxCommandEvent click(wxEVT_CHECKBOX, kIdDirName);
    click.SetEventObject(surface.Window(kIdDirName));
    surface.Window(kIdDirName)->ProcessWindowEvent(click);
    EXPECT_TRUE(surface.IsEnabled(kIdFilesAllTogether));
    EXPECT_FALSE(surface.IsEnabled(kIdDirSize));
}

TEST(Startup, ConfigurationOnTheCommandLineIsLoadedAfterTheSettings) {
    ScratchDir dir;
    WriteFile(dir.File("quillary.INI"), "[Settings]\n1064=*.ini\n1028=fromsettings\n");
    WriteFile(dir.File("fast.qlc"), "[Settings]\n1064=*.qlc\n");
    CQuillaryDlg* window = MakeWindow(dir, Words({"/O", "fast"}));
    WindowCloser closer{window};
    EXPECT_EQ(window->Surface().Text(kIdMask), "*.qlc");
    EXPECT_EQ(window->Surface().Text(kIdListingName), "fromsettings");
}

TEST(Language, RenamesButtonsListsAndMenusAndKeepsSelections) {
    ScratchDir dir;
    CopyGermanLanguage(dir);
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    WindowSurface& surface = window->Surface();
    surface.SetSelection(kIdDirDateFormat, 2);

    window->ApplyLanguage("Deutsch");
    EXPECT_EQ(static_cast<wxButton*>(surface.Window(kIdSaveListing))->GetLabel(), "Liste &speichern...");
    EXPECT_EQ(surface.ToolTipText(kIdSaveListing), "Liste speichern...\nListe erstellen und speichern");
    EXPECT_EQ(surface.Items(kIdDirDateFormat).front(), "JJJJ-MM-TT");
    EXPECT_EQ(surface.Selection(kIdDirDateFormat), 2);
    EXPECT_EQ(window->Tabs()->GetPageText(1), "Optionen 1");
    wxMenuBar* bar = window->GetMenuBar();
    EXPECT_EQ(bar->GetMenuLabel(0), "&Datei");
    EXPECT_TRUE(bar->GetMenu(1)->FindItemByPosition(0)->IsChecked());
    EXPECT_EQ(window->GetTitle(), "Quillary v0.7"); // never translated
    EXPECT_EQ(window->LanguageFile(), dir.File("Deutsch.lng"));
}

TEST(Language, SettingsFileNamingALanguageAppliesIt) {
    ScratchDir dir;
    CopyGermanLanguage(dir);
    WriteFile(dir.File("quillary.INI"), "[Settings]\nLanguage=Deutsch\n");
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    EXPECT_EQ(window->Surface().Text(kIdCancel), "&Abbrechen");
    EXPECT_EQ(window->Surface().Text(kIdMask), "*.*"); // nothing else changed
}

TEST(Accessibility, EveryLabelIsCreatedRightBeforeItsField) {
    ScratchDir dir;
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    const std::pair<int, int> labelled[] = {
        {kIdMaskLabel, kIdMask},
        {kIdSortDirsByLabel, kIdSortDirsBy},
        {kIdSortFilesByLabel, kIdSortFilesBy},
        {kIdSizeDisplayLabel, kIdSizeDisplay},
        {kIdSizePrecisionLabel, kIdSizePrecision},
        {kIdThousandSeparatorLabel, kIdThousandSeparator},
        {kIdDecimalSeparatorLabel, kIdDecimalSeparator},
        {kIdListingNameLabel, kIdListingName},
        {kIdPathStyleLabel, kIdPathStyle},
        {kIdDateTimeKindLabel, kIdDateTimeKind},
        {kIdCsvSeparatorLabel, kIdCsvSeparator},
        {kIdDirName, kIdDirNameWidth},
        {kIdFileDate, kIdFileDateFormat},
    };
    for (const auto& [label, field] : labelled) {
        wxWindow* labelWindow = window->Surface().Window(label);
        const wxWindowList& siblings = labelWindow->GetParent()->GetChildren();
        auto it = siblings.Find(labelWindow);
        ASSERT_NE(it, nullptr);
        ASSERT_NE(it->GetNext(), nullptr) << label;
        EXPECT_EQ(it->GetNext()->GetData(), window->Surface().Window(field)) << label;
    }
}

} // namespace
} // namespace quillary::test
