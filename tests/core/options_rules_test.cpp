// The option pages' rules: enabling, the "checked and enabled" options the listing gets, widths.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "model/form_state.h"
#include "model/options_rules.h"

namespace quillary {
namespace {

using Flag = bool ListingOptions::*;

struct EnablingRow {
    const char* name;
    std::vector<std::pair<int, int>> checks;     // control id, check state
    std::vector<std::pair<int, int>> selections; // control id, selected index
    std::vector<int> enabled;
    std::vector<int> disabled;
    std::vector<std::pair<Flag, bool>> options; // what ReadOptions then gives
};

TEST(OptionsRulesTest, EnablingDecidesTheOptions) {
    using O = ListingOptions;
    // clang-format off
    const EnablingRow rows[] = {
        {"start", {}, {},
         {kIdDirName, kIdDirSize, kIdFileCountInDirName, kIdSizeDisplay, kIdThousandSeparator,
          kIdDirDateFormat},
         {kIdFilesAllTogether, kIdSizePrecision, kIdDecimalSeparator, kIdListingName, kIdListingNameLabel,
          kIdFileVersionWidth, kIdFileVersionWidthSpin, kIdHtmlLinksToDirs, kIdPageBackgroundButton,
          kIdCsvColumnNames, kIdCsvSeparator},
         {{&O::m_bDirName, true}, {&O::m_bDirSize, true}, {&O::m_bFileName, true}, {&O::m_bSubdirs, true},
          {&O::m_bFileVersion, false}, {&O::m_bCsvColumnNames, false}}},
        {"files treated all together",
         {{kIdDirName, 0}, {kIdFilesAllTogether, 1}, {kIdSortDirsDescending, 1}}, {},
         {kIdFilesAllTogether},
         {kIdDirName, kIdDirSize, kIdFileCountInDirName, kIdSortDirsBy, kIdSortDirsByLabel,
          kIdSortDirsDescending, kIdDirNameWidth, kIdDirDate, kIdDirDateFormat},
         {{&O::m_bFilesAllTogether, true}, {&O::m_bDirName, false}, {&O::m_bDirSize, false},
          {&O::m_bFileCountInDirName, false}, {&O::m_bSortDirsDescending, false}, {&O::m_bDirDate, false}}},
        {"dir name and together both checked: together wins and can be unchecked",
         {{kIdFilesAllTogether, 1}}, {}, {kIdFilesAllTogether}, {kIdDirName, kIdDirSize},
         {{&O::m_bFilesAllTogether, true}, {&O::m_bDirName, false}, {&O::m_bDirSize, false}}},
        {"file name off",
         {{kIdFileName, 0}, {kIdFileNumber, 1}, {kIdFileVersion, 1}, {kIdFileCrc32, 1},
          {kIdSortFilesDescending, 1}},
         {}, {kIdFileName, kIdDirName},
         {kIdSubdirs, kIdFileNumber, kIdFilePath, kIdFileExtension, kIdFileSize, kIdFileDate, kIdFileTime,
          kIdFileVersion, kIdFileCrc32, kIdFileAttributes, kIdSortFilesBy, kIdSortFilesByLabel,
          kIdSortFilesDescending, kIdFileNameWidth, kIdFileNameWidthSpin, kIdFileSizeWidth, kIdFileDateFormat,
          kIdFileTimeFormat, kIdFileVersionWidth},
         {{&O::m_bFileName, false}, {&O::m_bFileNumber, false}, {&O::m_bFileVersion, false},
          {&O::m_bFileCrc32, false}, {&O::m_bSubdirs, false}, {&O::m_bSortFilesDescending, false},
          {&O::m_bFileSize, false}, {&O::m_bDirName, true}}},
        {"kilobytes, no decimals", {}, {{kIdSizeDisplay, 1}, {kIdSizePrecision, 0}},
         {kIdSizePrecision, kIdSizePrecisionLabel}, {kIdDecimalSeparator, kIdDecimalSeparatorLabel}, {}},
        {"kilobytes, two decimals", {}, {{kIdSizeDisplay, 1}, {kIdSizePrecision, 2}},
         {kIdSizePrecision, kIdDecimalSeparator, kIdDecimalSeparatorLabel}, {}, {}},
        {"no size column", {{kIdFileSize, 0}, {kIdDirSize, 0}}, {{kIdSizeDisplay, 1}, {kIdSizePrecision, 2}},
         {kIdThousandSeparator},
         {kIdSizeDisplay, kIdSizeDisplayLabel, kIdSizePrecision, kIdDecimalSeparator, kIdFileSizeWidth,
          kIdDirSizeWidth}, {}},
        {"dir size only in flat mode", {{kIdFileSize, 0}, {kIdDirName, 0}, {kIdFilesAllTogether, 1}}, {}, {},
         {kIdSizeDisplay}, {}},
        {"nothing to group", {{kIdFileSize, 0}, {kIdDirSize, 0}, {kIdFileCountInDirName, 0}}, {}, {},
         {kIdThousandSeparator, kIdThousandSeparatorLabel}, {}},
        {"file numbers are grouped",
         {{kIdFileSize, 0}, {kIdDirSize, 0}, {kIdFileCountInDirName, 0}, {kIdFileNumber, 1}}, {},
         {kIdThousandSeparator}, {}, {{&O::m_bFileNumber, true}}},
        {"listing in each dir", {{kIdListingInEachDir, 1}}, {}, {kIdListingName, kIdListingNameLabel}, {},
         {{&O::m_bListingInEachDir, true}}},
        {"file version", {{kIdFileVersion, 1}}, {}, {kIdFileVersionWidth, kIdFileVersionWidthSpin}, {},
         {{&O::m_bFileVersion, true}}},
        {"dir date off", {{kIdDirDate, 0}}, {}, {kIdDirTimeFormat}, {kIdDirDateFormat},
         {{&O::m_bDirDate, false}, {&O::m_bDirTime, true}}},
        {"HTML output", {{kIdOutputHtml, 1}, {kIdHtmlLinksToDirs, 1}, {kIdHtmlLinksToFiles, 1}}, {},
         {kIdHtmlLinksToDirs, kIdHtmlLinksToFiles, kIdPageBackgroundButton, kIdHeaderBackgroundButton,
          kIdHeaderFontButton, kIdDirBackgroundButton, kIdDirFontButton, kIdOddBackgroundButton,
          kIdOddFontButton, kIdEvenBackgroundButton, kIdEvenFontButton},
         {kIdCsvColumnNames, kIdCsvSeparator, kIdCsvSeparatorLabel},
         {{&O::m_bHtmlLinksToDirs, true}, {&O::m_bHtmlLinksToFiles, true}, {&O::m_bCsvColumnNames, false}}},
        {"CSV output", {{kIdOutputCsv, 1}, {kIdHtmlLinksToDirs, 1}}, {}, {kIdCsvColumnNames, kIdCsvSeparator},
         {kIdHtmlLinksToDirs, kIdPageBackgroundButton},
         {{&O::m_bCsvColumnNames, true}, {&O::m_bHtmlLinksToDirs, false}}},
        {"text output ignores checked links", {{kIdHtmlLinksToDirs, 1}, {kIdHtmlLinksToFiles, 1}}, {}, {},
         {kIdHtmlLinksToDirs}, {{&O::m_bHtmlLinksToDirs, false}, {&O::m_bHtmlLinksToFiles, false}}},
    };
    // clang-format on
    for (const EnablingRow& row : rows) {
        FormState form;
        for (const auto& [id, state] : row.checks)
            form.SetCheckState(id, state);
        for (const auto& [id, index] : row.selections)
            form.SetSelection(id, index);
        RefreshEnabling(form);
        for (int id : row.enabled)
            EXPECT_TRUE(form.IsEnabled(id)) << row.name << ": " << id << " should be enabled";
        for (int id : row.disabled)
            EXPECT_FALSE(form.IsEnabled(id)) << row.name << ": " << id << " should be disabled";
        const ListingOptions options = ReadOptions(form);
        for (const auto& [flag, expected] : row.options)
            EXPECT_EQ(options.*flag, expected) << row.name;
    }
}

TEST(OptionsRulesTest, ListingInEachDirNeedsAName) {
    FormState form;
    form.SetCheckState(kIdListingInEachDir, 1);
    form.SetText(kIdListingName, "");
    RefreshEnabling(form);
    EXPECT_FALSE(ReadOptions(form).m_bListingInEachDir);
    form.SetText(kIdListingName, "files");
    EXPECT_TRUE(ReadOptions(form).m_bListingInEachDir);
    EXPECT_EQ(ReadOptions(form).m_strListingName, "files");
}

TEST(OptionsRulesTest, ValidatesWidths) {
    const SpinRange name{1, 260, 50}, size{1, 23, 14}, version{1, 10, 7};
    struct Row {
        const char* text;
        SpinRange range;
        int expected;
    } rows[] = {
        {"300", name, 260},  {"12a", name, 50},        {"", name, 1},       {"0", name, 1},
        {"75", name, 75},    {"0050", name, 50},       {"-5", name, 50},    {" 7", name, 50},
        {"24", size, 23},    {"100", size, 14},        {"10", version, 10}, {"11", version, 10},
        {"010", version, 7}, {"\xC3\xA4", version, 7},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ValidatedWidth(row.text, row.range), row.expected) << row.text;

    FormState form;
    form.SetText(kIdDirNameWidth, "300");
    form.SetText(kIdFileVersionWidth, "x");
    ValidateWidths(form);
    EXPECT_EQ(form.Text(kIdDirNameWidth), "260");
    EXPECT_EQ(form.Text(kIdFileVersionWidth), "7");
    EXPECT_EQ(form.Text(kIdFileNameWidth), "50");
}

TEST(OptionsRulesTest, ReadsListsTextsAndStyle) {
    FormState form;
    form.SetText(kIdDirSizeWidth, "9");
    form.SetText(kIdMask, "*.h;*.cpp");
    form.SetText(kIdCsvSeparator, ",");
    form.SetSelection(kIdFileDateFormat, 3);
    form.SetSelection(kIdDecimalSeparator, 1);
    form.SetSelection(kIdPathStyle, -1);
    form.SetCheckState(kIdOutputHtml, 1);
    HtmlStyle style;
    style.pageBackground = 0x010203;
    style.evenText = 0x0000FF;
    style.headerFont.lfFaceName = "Arial";
    SetSamplesFromHtmlStyle(form, style);

    const ListingOptions options = ReadOptions(form);
    EXPECT_EQ(options.m_nDirSizeWidth, 9);
    EXPECT_EQ(options.m_strMask, "*.h;*.cpp");
    EXPECT_EQ(options.m_strCsvSeparator, ",");
    EXPECT_EQ(options.m_nFileDateFormat, 3);
    EXPECT_EQ(options.m_nDecimalSeparator, 1);
    EXPECT_EQ(static_cast<int>(options.m_pathStyle), -1);
    EXPECT_EQ(options.m_outputType, OutputType::Html);
    EXPECT_EQ(options.m_htmlStyle, style);
    EXPECT_EQ(form.Sample(kIdEvenSample2).text, 0x0000FFu); // "File 4" follows "File 2"

    for (int id : {kIdOutputText, kIdOutputHtml, kIdOutputCsv})
        form.SetCheckState(id, 0);
    EXPECT_EQ(SelectedOutputType(form), std::nullopt);
    EXPECT_EQ(ReadOptions(form).m_outputType, OutputType::Text);
}

} // namespace
} // namespace quillary
