// The option pages through their real controls: the enabling rules follow clicks and list changes, the
// column widths are validated when the page stores its values, the output type enables its options,
// and the colour and font samples follow configurations. (The colour dialog is tested where the tests
// can answer the toolkit's own dialog: gtk/.)
#include <cstring>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/notebook.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "gui_test_support.h"
#include "model/options_rules.h"
#include "res/controls.h"
#include "ui/options1_page.h"
#include "ui/sample_static.h"

namespace quillary::test {
namespace {

class PagesTest : public testing::Test {
protected:
    void SetUp() override {
        m_window = new CQuillaryDlg(Words({}), ProgramLocations::InDirectory(m_folder.Path().string()));
        m_closer.window = m_window;
        m_window->Show();
    }

    WindowSurface& Surface() { return m_window->Surface(); }
    template <typename T> T* Control(int id) { return static_cast<T*>(Surface().Window(id)); }
    bool Enabled(int id) { return Surface().IsEnabled(id); }

    // What a click on a check box or radio button, or a choice in a list, sends.
    void Click(int id, bool checked) {
        wxWindow* window = Surface().Window(id);
        wxCommandEvent event;
        if (auto* check = dynamic_cast<wxCheckBox*>(window)) {
            check->SetValue(checked);
            event.SetEventType(wxEVT_CHECKBOX);
        } else {
            static_cast<wxRadioButton*>(window)->SetValue(true);
            event.SetEventType(wxEVT_RADIOBUTTON);
        }
        event.SetId(id);
        event.SetInt(checked ? 1 : 0);
        event.SetEventObject(window);
        window->ProcessWindowEvent(event);
    }
    void Choose(int id, int index) {
        auto* choice = Control<wxChoice>(id);
        choice->SetSelection(index);
        wxCommandEvent event(wxEVT_CHOICE, id);
        event.SetInt(index);
        event.SetEventObject(choice);
        choice->ProcessWindowEvent(event);
    }

    ScratchDir m_folder;
    CQuillaryDlg* m_window = nullptr;
    WindowCloser m_closer{nullptr};
};

TEST_F(PagesTest, FilesTreatedAllTogetherTurnsTheFolderColumnsOff) {
    Click(kIdDirName, false);
    ASSERT_TRUE(Enabled(kIdFilesAllTogether));
    Click(kIdFilesAllTogether, true);
    Click(kIdDirName, true); // a checked box that is disabled counts as off
    EXPECT_FALSE(Enabled(kIdDirName));
    EXPECT_FALSE(Enabled(kIdDirSize));
    EXPECT_FALSE(Enabled(kIdSortDirsBy));
    EXPECT_FALSE(ReadOptions(Surface()).m_bDirName);
    Click(kIdFilesAllTogether, false);
    EXPECT_TRUE(Enabled(kIdDirName));
}

TEST_F(PagesTest, SizeDisplayDecidesPrecisionAndDecimalSeparator) {
    Click(kIdFileName, true);
    Click(kIdFileSize, true);
    Choose(kIdSizeDisplay, 0); // Bytes
    EXPECT_TRUE(Enabled(kIdSizeDisplay));
    EXPECT_FALSE(Enabled(kIdSizePrecision));
    EXPECT_FALSE(Enabled(kIdDecimalSeparator));
    Choose(kIdSizeDisplay, 1); // Kilobytes
    Choose(kIdSizePrecision, 0);
    EXPECT_TRUE(Enabled(kIdSizePrecision));
    EXPECT_FALSE(Enabled(kIdDecimalSeparator));
    Choose(kIdSizePrecision, 2);
    EXPECT_TRUE(Enabled(kIdDecimalSeparator));
}

TEST_F(PagesTest, WidthsAreValidatedWhenThePageStoresItsValues) {
    auto* page = static_cast<COptions1Page*>(m_window->Tabs()->GetPage(1));
    auto* edit = Control<wxTextCtrl>(kIdDirNameWidth);
    edit->ChangeValue("300");
    page->StoreValues();
    EXPECT_EQ(edit->GetValue(), "260");
    edit->ChangeValue("12a");
    wxFocusEvent leave(wxEVT_KILL_FOCUS, kIdDirNameWidth); // leaving the edit stores it as well
    leave.SetEventObject(edit);
    edit->ProcessWindowEvent(leave);
    EXPECT_EQ(edit->GetValue(), "50");
}

TEST_F(PagesTest, OutputTypeEnablesItsOwnOptions) {
    Click(kIdOutputHtml, true);
    EXPECT_TRUE(Enabled(kIdHtmlLinksToDirs));
    EXPECT_TRUE(Enabled(kIdEvenFontButton));
    EXPECT_FALSE(Enabled(kIdCsvSeparator));
    Click(kIdHtmlLinksToDirs, true);
    EXPECT_TRUE(ReadOptions(Surface()).m_bHtmlLinksToDirs);
    Click(kIdOutputText, true);
    EXPECT_FALSE(Enabled(kIdHtmlLinksToDirs));
    EXPECT_FALSE(Enabled(kIdPageBackgroundButton));
    EXPECT_FALSE(ReadOptions(Surface()).m_bHtmlLinksToDirs);
    Click(kIdOutputCsv, true);
    EXPECT_TRUE(Enabled(kIdCsvSeparator));
    EXPECT_FALSE(Enabled(kIdHtmlLinksToFiles));
}

wxImage Painted(CSampleStatic& sample) {
    wxBitmap bitmap(sample.GetClientSize());
    {
        wxMemoryDC dc(bitmap);
        sample.Draw(dc);
    }
    return bitmap.ConvertToImage();
}

TEST_F(PagesTest, AConfigurationWithABoldArialHeaderRepaintsTheHeaderSample) {
    auto* header = Control<CSampleStatic>(kIdHeaderSample);
    wxTheApp->ProcessIdle();
    const wxImage before = Painted(*header);
    WriteFile(m_folder.File("bold.qlc"), "[Settings]\n1076=16777215|0|-16|0|0|0|700|0|0|0|0|0|0|0|0|Arial\n");
    m_window->LoadSettingsFrom(m_folder.File("bold.qlc"));
    const SampleStyle style = Surface().Sample(kIdHeaderSample);
    EXPECT_EQ(style.font.lfFaceName, "Arial");
    EXPECT_EQ(style.font.lfWeight, 700);
    EXPECT_EQ(style.font.pointSize, PointSizeFromHeight(-16, Surface().PixelsPerInch()));
    EXPECT_EQ(style.background, 0xFFFFFFu);
    EXPECT_TRUE(ToWxFont(style.font).GetWeight() == wxFONTWEIGHT_BOLD);
    const wxImage after = Painted(*header);
    ASSERT_EQ(before.GetSize(), after.GetSize());
    EXPECT_EQ(after.GetRed(0, 0), 255); // the new white background
    EXPECT_NE(std::memcmp(before.GetData(), after.GetData(), before.GetWidth() * before.GetHeight() * 3), 0);
}

TEST(FontSpecs, AChosenFontKeepsItsPointSizeThroughTheScreensResolution) {
    const wxFont font(wxFontInfo(12).FaceName("Sans").Bold().Italic().Underlined());
    const FontSpec logical = FontSpecFromWx(font, 96, FontSpec{});
    EXPECT_EQ(logical.lfHeight, -16);
    EXPECT_EQ(logical.pointSize, 12);
    EXPECT_EQ(logical.lfWeight, 700);
    EXPECT_EQ(logical.lfItalic, 1);
    EXPECT_EQ(logical.lfUnderline, 1);
    EXPECT_EQ(logical.lfStrikeOut, 0);
    EXPECT_EQ(FontSpecFromWx(font, 120, FontSpec{}).lfHeight, -20);
    EXPECT_EQ(FromWxColour(ToWxColour(0x123456)), 0x123456u);
}

} // namespace
} // namespace quillary::test
