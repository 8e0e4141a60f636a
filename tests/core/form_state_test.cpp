// The control table and the headless form built from it.
#include <gtest/gtest.h>

#include <set>

#include "model/form_state.h"
#include "model/options_rules.h"
#include "res/controls.h"

namespace quillary {
namespace {

TEST(ControlCatalogueTest, IsConsistent) {
    std::set<int> ids;
    for (const ControlDef& def : ControlCatalogue()) {
        EXPECT_TRUE(ids.insert(def.id).second) << "duplicate id " << def.id;
        if (def.kind == ControlKind::ComboBox) {
            EXPECT_GE(def.initial, 0) << def.id;
            EXPECT_LT(def.initial, static_cast<int>(def.items.size())) << def.id;
        }
        if (def.kind == ControlKind::UpDown) {
            const ControlDef* edit = FindControl(def.buddy);
            ASSERT_NE(edit, nullptr) << def.id;
            EXPECT_EQ(edit->kind, ControlKind::Edit) << def.id;
            EXPECT_EQ(ValidatedWidth(edit->text, def.range), def.range.initial) << def.id;
        }
    }
    // The saved controls are the file format: exactly these ids, by page.
    const std::set<int> saved = {
        1104, // Select directories
        1058, 1062, 1060, 1016, 1017, 1019, 1002, 1006, 1007, 1008, 1009, 1010, 1011, 1012, // Options 1
        1013, 1014, 1015, 1025, 1027, 1026, 1031, 1032, 1033, 1034, 1039, 1041, 1046, 1064,
        1028, 1045, 1047, 1040, 1043, 1023, 1024, 1029, 1030, 1037, 1038, 1035, 1036, 1048,
        1049, 1050, 1004, 1003, 1005, 1022, 1082, 1076, 1077, 1078, 1079, // Options 2
        1120, 1121, 1123, 1124, 1133,                                     // added to Options 1 later
        1130, 1131, 1132, // Options 2: JSON Lines output, the CSV byte-order mark and formula guard
        1140,             // Options 2: the browsable HTML output
    };
    std::set<int> savedInTable;
    for (const ControlDef& def : ControlCatalogue()) {
        if (IsSavedKind(def.kind))
            savedInTable.insert(def.id);
    }
    EXPECT_EQ(savedInTable, saved);
}

TEST(FormStateTest, StartsWithTheListingDefaults) {
    const ListingOptions read = ReadOptions(FormState());
    const ListingOptions defaults;
    // The CSV option is checked but counts only for CSV output.
    using O = ListingOptions;
    // clang-format off
    const bool O::*flags[] = {
        &O::m_bDirName, &O::m_bFileCountInDirName, &O::m_bDirSize, &O::m_bDirDate, &O::m_bDirTime,
        &O::m_bDirAttributes, &O::m_bSubdirs, &O::m_bFileNumber, &O::m_bFilePath, &O::m_bFileName,
        &O::m_bFileExtension, &O::m_bFileSize, &O::m_bFileDate, &O::m_bFileTime, &O::m_bFileVersion,
        &O::m_bFileCrc32, &O::m_bFileXxh3, &O::m_bFileSha256, &O::m_bFileAttributes, &O::m_bSortDirsDescending, &O::m_bSortFilesDescending,
        &O::m_bFilesAllTogether, &O::m_bListingInEachDir, &O::m_bRememberSelection, &O::m_bHtmlLinksToDirs,
        &O::m_bHtmlLinksToFiles,
    };
    const int O::*numbers[] = {
        &O::m_nDirNameWidth, &O::m_nDirSizeWidth, &O::m_nDirDateFormat, &O::m_nDirTimeFormat,
        &O::m_nFileNameWidth, &O::m_nFileSizeWidth, &O::m_nFileDateFormat, &O::m_nFileTimeFormat,
        &O::m_nFileVersionWidth, &O::m_nSizePrecision, &O::m_nThousandSeparator, &O::m_nDecimalSeparator,
    };
    // clang-format on
    for (const auto flag : flags)
        EXPECT_EQ(read.*flag, defaults.*flag);
    for (const auto number : numbers)
        EXPECT_EQ(read.*number, defaults.*number);
    EXPECT_EQ(read.m_sortDirsBy, defaults.m_sortDirsBy);
    EXPECT_EQ(read.m_sortFilesBy, defaults.m_sortFilesBy);
    EXPECT_EQ(read.m_sizeDisplay, defaults.m_sizeDisplay);
    EXPECT_EQ(read.m_pathStyle, defaults.m_pathStyle);
    EXPECT_EQ(read.m_dateTimeKind, defaults.m_dateTimeKind);
    EXPECT_EQ(read.m_outputType, defaults.m_outputType);
    EXPECT_EQ(read.m_strMask, defaults.m_strMask);
    EXPECT_EQ(read.m_strListingName, defaults.m_strListingName);
    EXPECT_EQ(read.m_strCsvSeparator, defaults.m_strCsvSeparator);
    EXPECT_EQ(read.m_htmlStyle, defaults.m_htmlStyle);
    EXPECT_FALSE(read.m_bCsvColumnNames);

    const FormState form;
    EXPECT_FALSE(form.IsEnabled(kIdCancel));
    EXPECT_EQ(form.CheckState(kIdWithSubdirs), 1);
}

TEST(FormStateTest, BehavesLikeTheControls) {
    FormState form;
    form.SetCheckState(kIdOutputCsv, 1);
    EXPECT_EQ(form.CheckState(kIdOutputText), 0);
    form.SetCheckState(kIdOutputCsv, 0);
    EXPECT_EQ(SelectedOutputType(form), std::nullopt); // unchecking does not check another

    form.SetSelection(kIdSizeDisplay, 5);
    EXPECT_EQ(form.Selection(kIdSizeDisplay), -1);
    form.SetSelection(kIdSizeDisplay, 4);
    form.SetItems(kIdSizeDisplay, {"a", "b"});
    EXPECT_EQ(form.Selection(kIdSizeDisplay), -1);

    form.SetHint(kIdProductName, "no tool");
    EXPECT_FALSE(form.HasHint(kIdProductName));
    EXPECT_EQ(form.Hint(kIdProductName), "");

    // Unknown ids and mismatched kinds are ignored.
    form.SetText(4242, "x");
    form.SetCheckState(kIdMask, 1);
    form.SetSelection(kIdDirName, 0);
    EXPECT_EQ(form.Text(4242), "");
    EXPECT_EQ(form.CheckState(kIdMask), 0);
    EXPECT_EQ(form.Selection(kIdDirName), -1);
    EXPECT_FALSE(form.IsEnabled(4242));
}

} // namespace
} // namespace quillary
