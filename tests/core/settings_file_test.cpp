// Settings and configuration files over the headless form: round trips, value encodings, partial and
// broken files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "model/form_state.h"
#include "persistence/settings_file.h"
#include "platform/program_files.h"
#include "support/scratch_dir.h"
#include "support/system.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    void WriteFile(const std::string& text) { test::WriteFile(m_path, text); }
    std::string ReadFile() const { return test::ReadTextFile(m_path); }

    test::ScratchDir m_scratch;
    const fs::path& m_dir = m_scratch.Path();
    std::string m_path = m_scratch.File("quillary.INI");
};

// Every saved control's value as the file would store it.
std::map<int, std::string> SavedValues(const ControlSurface& surface) {
    std::map<int, std::string> values;
    for (const ControlRef& ref : surface.Controls()) {
        if (const auto value = ControlValue(surface, ref.id))
            values[ref.id] = *value;
    }
    return values;
}

TEST_F(SettingsFileTest, SaveThenLoadGivesTheSameControls) {
    FormState saved;
    saved.SetCheckState(kIdDirName, 0);
    saved.SetCheckState(kIdFilesAllTogether, 1);
    saved.SetCheckState(kIdWithSubdirs, 0);
    saved.SetCheckState(kIdOutputCsv, 1);
    saved.SetText(kIdMask, "*.txt; *.md");
    saved.SetText(kIdListingName, " index ");
    saved.SetText(kIdCsvSeparator, "\t");
    saved.SetText(kIdFileNameWidth, "120");
    saved.SetSelection(kIdSizeDisplay, 4);
    saved.SetSelection(kIdThousandSeparator, 0);
    saved.SetSelection(kIdDateTimeKind, -1);
    SampleStyle header = saved.Sample(kIdHeaderSample);
    header.background = 0x123456;
    header.font.lfFaceName = "DejaVu Sans";
    header.font.lfHeight = -16;
    header.font.lfWeight = 700;
    header.font.lfItalic = 1;
    header.font.lfCharSet = 204;
    header.font.pointSize = 12;
    saved.SetSample(kIdHeaderSample, header);
    SampleStyle page = saved.Sample(kIdPageSample);
    page.background = 0xABCDEF;
    saved.SetSample(kIdPageSample, page);

    ASSERT_TRUE(SaveSettings(saved, m_path, "1|-1|-1|-1|-1|10|20|610|520", "/opt/quillary/Deutsch.lng"));

    FormState loaded;
    const LoadedSettings result = LoadSettings(loaded, m_path);
    EXPECT_TRUE(result.fileRead);
    EXPECT_EQ(result.window, "1|-1|-1|-1|-1|10|20|610|520");
    EXPECT_EQ(result.language, "Deutsch");
    EXPECT_EQ(SavedValues(loaded), SavedValues(saved));
    EXPECT_EQ(loaded.Sample(kIdHeaderSample), header);
    EXPECT_EQ(loaded.Text(kIdCsvSeparator), "\t");
    EXPECT_EQ(loaded.Text(kIdListingName), " index ");

    // Saving again over the file changes nothing.
    const std::string first = ReadFile();
    ASSERT_TRUE(SaveSettings(loaded, m_path, result.window, result.language));
    EXPECT_EQ(ReadFile(), first);
}

TEST_F(SettingsFileTest, EmptyMaskIsWrittenAndLeavesTheMaskAlone) {
    FormState form;
    form.SetText(kIdMask, "");
    ASSERT_TRUE(SaveSettings(form, m_path, "", ""));
    EXPECT_NE(ReadFile().find("\n1064=\n"), std::string::npos);

    FormState other;
    other.SetText(kIdMask, "*.cpp");
    LoadSettings(other, m_path);
    EXPECT_EQ(other.Text(kIdMask), "*.cpp");
}

TEST_F(SettingsFileTest, LanguageAloneChangesNoControl) {
    WriteFile("[Settings]\nLanguage=Deutsch\n");
    FormState form;
    const LoadedSettings result = LoadSettings(form, m_path);
    EXPECT_EQ(result.language, "Deutsch");
    EXPECT_EQ(result.window, "");
    EXPECT_EQ(SavedValues(form), SavedValues(FormState()));
}

TEST_F(SettingsFileTest, HeaderSampleFromAFontLine) {
    WriteFile("[Settings]\n1076=16777215|0|-11|0|0|0|700|0|0|0|0|0|0|0|0|Arial\n");
    FormState form;
    LoadSettings(form, m_path);
    const SampleStyle header = form.Sample(kIdHeaderSample);
    EXPECT_EQ(header.background, 0xFFFFFFu);
    EXPECT_EQ(header.text, 0u);
    EXPECT_EQ(header.font.lfHeight, -11);
    EXPECT_EQ(header.font.lfWeight, 700);
    EXPECT_EQ(header.font.lfFaceName, "Arial");
    EXPECT_EQ(header.font.pointSize, 8);
    EXPECT_EQ(form.Sample(kIdDirSample), FormState().Sample(kIdDirSample));
}

TEST_F(SettingsFileTest, ValuesAreAppliedByKind) {
    const std::string longName(300, 'n');
    struct Row {
        const char* line;
        int id;
        std::string expected; // the control's value afterwards, as the file encodes it
    } rows[] = {
        {"1058=0", kIdDirName, "0"},
        {"1058=junk", kIdDirName, "0"},
        {"1032=2", kIdRememberSelection, "1"},
        {"1032= 1", kIdRememberSelection, "1"},
        {"1023=2xyz", kIdSortDirsBy, "2"},
        {"1023=3", kIdSortDirsBy, "-1"}, // outside the list: no selection
        {"1023=-1", kIdSortDirsBy, "-1"},
        {"1029=99999999999999999999", kIdSizeDisplay, "-1"},
        {"1064=", kIdMask, "*.*"}, // empty: unchanged
        {"1022=;,", kIdCsvSeparator, ";"},
        {"1022=\"\xC3\xA4x\"", kIdCsvSeparator, "\xC3\xA4"}, // one character, not one byte
        {"1028=\"\"", kIdListingName, "_thisdir"},
        {"1082=-1", kIdPageSample, "16777215"},
        {"1082=255", kIdPageSample, "255"},
        {"1076=255|65280", kIdHeaderSample, "255|65280|-11|0|0|0|400|0|0|0|0|0|0|0|0|MS Sans Serif"},
        {"1077=1|2|-13|0|0|0|400|1|1|1|300|0|0|0|0|A|B", kIdDirSample,
         "1|2|-13|0|0|0|400|1|1|1|44|0|0|0|0|A|B"},
    };
    for (const Row& row : rows) {
        WriteFile(std::string("[Settings]\n") + row.line + "\n");
        FormState form;
        LoadSettings(form, m_path);
        EXPECT_EQ(ControlValue(form, row.id), row.expected) << row.line;
    }

    WriteFile("[Settings]\n1028=" + longName + "\n");
    FormState form;
    LoadSettings(form, m_path);
    EXPECT_EQ(form.Text(kIdListingName), std::string(255, 'n'));
}

TEST_F(SettingsFileTest, UnknownKeysAreIgnoredAndMissingKeysKeepTheirState) {
    WriteFile("[Settings]\n9999=1\n1018=1\n1000=3\n1054=7\nWindow=\nfoo=bar\n1062=0\n[Other]\n1058=0\n");
    FormState form;
    LoadSettings(form, m_path);
    std::map<int, std::string> expected = SavedValues(FormState());
    expected[kIdFileCountInDirName] = "0";
    EXPECT_EQ(SavedValues(form), expected);
    EXPECT_EQ(form.Text(kIdSaveListing), "&Save listing...");
}

TEST_F(SettingsFileTest, LoadingRefreshesTheEnablingRules) {
    WriteFile("[Settings]\n1058=0\n1026=1\n1049=1\n");
    FormState form;
    LoadSettings(form, m_path);
    EXPECT_FALSE(form.IsEnabled(kIdDirName));
    EXPECT_FALSE(form.IsEnabled(kIdSortDirsBy));
    EXPECT_EQ(form.CheckState(kIdOutputText), 0); // one radio button of a group on clears the others
    EXPECT_TRUE(form.IsEnabled(kIdHtmlLinksToDirs));
    EXPECT_FALSE(form.IsEnabled(kIdCsvSeparator));
}

TEST_F(SettingsFileTest, SavingKeepsTheRestOfTheFile) {
    WriteFile("; my notes\n[Settings]\n1064=*.old\nCustom=kept\n\n[Other]\nx=1\n");
    FormState form;
    ASSERT_TRUE(SaveSettings(form, m_path, "", "English"));
    const std::string text = ReadFile();
    EXPECT_EQ(text.rfind("; my notes\n[Settings]\n1064=*.*\nCustom=kept\n", 0), 0u);
    EXPECT_NE(text.find("\nLanguage=English\n\n[Other]\nx=1\n"), std::string::npos);
}

TEST_F(SettingsFileTest, BrokenAndMissingFiles) {
    FormState form;
    const std::map<int, std::string> initial = SavedValues(form);

    EXPECT_FALSE(LoadSettings(form, (m_dir / "missing.INI").string()).fileRead);
    EXPECT_FALSE(LoadSettings(form, m_dir.string()).fileRead);
    static constexpr char kGarbage[] = "\x00\xFF[Settings\n=\n[]\n1064\n==\n\xC3";
    WriteFile(std::string(kGarbage, sizeof kGarbage - 1));
    EXPECT_TRUE(LoadSettings(form, m_path).fileRead);
    EXPECT_EQ(SavedValues(form), initial);

    // A language given with a path is not taken: it could name a file anywhere.
    WriteFile("[Settings]\nLanguage=../../elsewhere/Evil\n");
    EXPECT_EQ(LoadSettings(form, m_path).language, "");

    EXPECT_FALSE(SaveSettings(form, m_dir.string(), "", "English"));
    EXPECT_FALSE(SaveSettings(form, (m_dir / "no" / "dir.INI").string(), "", "English"));
}

TEST(WindowPlacementTest, ParsesNineNumbers) {
    EXPECT_EQ(ParseWindowPlacement("3|-1|-1|-1|-1|10|10|600|500"),
              (WindowPlacement{3, -1, -1, -1, -1, 10, 10, 600, 500}));
    EXPECT_EQ(ParseWindowPlacement("1|2x|"), (WindowPlacement{1, 2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ParseWindowPlacement("1|2|3|4|5|6|7|8|9|10"), (WindowPlacement{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(FormatWindowPlacement({3, -1, -1, -1, -1, 10, 10, 600, 500}), "3|-1|-1|-1|-1|10|10|600|500");
}

TEST(SettingsHelpersTest, NumbersAndTitles) {
    struct {
        const char* text;
        int expected;
    } numbers[] = {{"42", 42},
                   {"  -7x", -7},
                   {"+3", 3},
                   {"x1", 0},
                   {"", 0},
                   {"99999999999", 2147483647},
                   {"-99999999999", -2147483647 - 1}};
    for (const auto& row : numbers)
        EXPECT_EQ(ParseLeadingInt(row.text), row.expected) << row.text;

    EXPECT_EQ(LanguageTitle("/opt/quillary/Deutsch.lng"), "Deutsch");
    EXPECT_EQ(LanguageTitle("C:\\Programs\\Quillary\\English.lng"), "English");
    EXPECT_EQ(LanguageTitle("Deutsch"), "Deutsch");
    EXPECT_EQ(LanguageTitle(""), "");
}

// The settings folder of a new user (~/.config/quillary) is made when the settings are first saved.
TEST(SettingsFolderTest, MissingFoldersAreMadeForThisUserOnly) {
    test::ScratchDir scratch;
    const fs::path open = scratch.Path() / "open";
    fs::create_directory(open);
    fs::permissions(open, fs::perms(0755));
    const fs::path target = open / "config" / "quillary";
    EXPECT_EQ(CreateFolders(target.string()), 0);
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(CreateFolders(target.string()), 0); // there already
    if (!test::kOnWindows) {
        EXPECT_EQ(fs::status(open).permissions(), fs::perms(0755)); // an existing folder is left alone
        EXPECT_EQ(fs::status(open / "config").permissions(), fs::perms::owner_all);
        EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_all);
    }
    test::WriteFile(scratch.Path() / "file", "x");
    const int inTheWay = CreateFolders((scratch.Path() / "file" / "quillary").string());
    EXPECT_NE(inTheWay, 0);
    if (!test::kOnWindows) {
        EXPECT_EQ(inTheWay, ENOTDIR);
    }
    EXPECT_TRUE(fs::is_regular_file(scratch.Path() / "file"));
}

} // namespace
} // namespace quillary
