// The controls of the main window (dialog 102) and its five pages (dialogs 129 to 133): numeric id,
// kind, caption, initial state and built-in tooltip hint. The numeric ids are part of the settings,
// configuration and language file formats. Both front ends build their controls from this table: the
// window creates real controls, the console front end a headless form.
#pragma once

#include <span>
#include <string_view>

namespace quillary {

enum DialogId {
    kMainDialog = 102,
    kSelectDirsPage = 129,
    kOptions1Page = 130,
    kOptions2Page = 131,
    kPreviewPage = 132,
    kAboutPage = 133,
};

enum class ControlKind {
    CheckBox,
    RadioButton,
    Edit,
    ComboBox,     // a drop-down list
    ColorStatic,  // the HTML quick-preview frame: shows the page background colour
    FontStatic,   // an HTML quick-preview row: background, text colour and font
    SampleStatic, // a further quick-preview row that follows the FontStatic named by its buddy
    PushButton,
    DefaultPushButton,
    Label,
    GroupBox,
    TabControl,
    Tree,
    UpDown, // a spin control for the edit named by its buddy
    RichEdit,
    HtmlView,
    Link,
};

// The control kinds whose value the settings and configuration files keep.
bool IsSavedKind(ControlKind kind);

enum ControlId {
    kIdExit = 1,
    kIdTabs = 1000,
    kIdDirTree = 1001,
    kIdSubdirs = 1002,
    kIdHtmlLinksToFiles = 1003,
    kIdHtmlLinksToDirs = 1004,
    kIdCsvColumnNames = 1005,
    kIdFileNumber = 1006,
    kIdFilePath = 1007,
    kIdFileName = 1008,
    kIdFileExtension = 1009,
    kIdFileSize = 1010,
    kIdFileDate = 1011,
    kIdFileTime = 1012,
    kIdFileVersion = 1013,
    kIdFileCrc32 = 1014,
    kIdFileAttributes = 1015,
    kIdDirDate = 1016,
    kIdDirTime = 1017,
    kIdSaveListing = 1018,
    kIdDirAttributes = 1019,
    kIdCancel = 1020,
    kIdCsvSeparator = 1022,
    kIdSortDirsBy = 1023,
    kIdSortFilesBy = 1024,
    kIdSortDirsDescending = 1025,
    kIdFilesAllTogether = 1026,
    kIdSortFilesDescending = 1027,
    kIdListingName = 1028,
    kIdSizeDisplay = 1029,
    kIdSizePrecision = 1030,
    kIdListingInEachDir = 1031,
    kIdRememberSelection = 1032,
    kIdDirNameWidth = 1033,
    kIdDirSizeWidth = 1034,
    kIdPathStyle = 1035,
    kIdDateTimeKind = 1036,
    kIdThousandSeparator = 1037,
    kIdDecimalSeparator = 1038,
    kIdFileNameWidth = 1039,
    kIdFileDateFormat = 1040,
    kIdFileSizeWidth = 1041,
    kIdFileTimeFormat = 1043,
    kIdDirDateFormat = 1045,
    kIdFileVersionWidth = 1046,
    kIdDirTimeFormat = 1047,
    kIdOutputText = 1048,
    kIdOutputHtml = 1049,
    kIdOutputCsv = 1050,
    kIdPageBackgroundButton = 1051,
    kIdHeaderFontButton = 1052,
    kIdDirBackgroundButton = 1053,
    kIdDirNameWidthSpin = 1054,
    kIdDirFontButton = 1055,
    kIdDirSizeWidthSpin = 1056,
    kIdEvenBackgroundButton = 1057,
    kIdDirName = 1058,
    kIdEvenFontButton = 1059,
    kIdDirSize = 1060,
    kIdOddBackgroundButton = 1061,
    kIdFileCountInDirName = 1062,
    kIdOddFontButton = 1063,
    kIdMask = 1064,
    kIdFileNameWidthSpin = 1065,
    kIdHeaderBackgroundButton = 1066,
    kIdFileSizeWidthSpin = 1067,
    kIdFileVersionWidthSpin = 1068,
    kIdSortFilesByLabel = 1069,
    kIdSortDirsByLabel = 1070,
    kIdSizePrecisionLabel = 1071,
    kIdListingNameLabel = 1072,
    kIdThousandSeparatorLabel = 1073,
    kIdDecimalSeparatorLabel = 1074,
    kIdSizeDisplayLabel = 1075,
    kIdHeaderSample = 1076,
    kIdDirSample = 1077,
    kIdOddSample = 1078,
    kIdEvenSample = 1079,
    kIdOddSample2 = 1080,
    kIdEvenSample2 = 1081,
    kIdPageSample = 1082,
    kIdHtmlView = 1087,
    kIdTextView = 1088,
    kIdProductName = 1089,
    kIdVersionLine = 1090,
    kIdRightsLine = 1091,
    kIdHomePageLabel = 1092,
    kIdHomePageLink = 1093,
    kIdWithSubdirs = 1104,
    // Group boxes and labels that need no id of their own get one so that a language file can name them.
    kIdIncludeGroup = 1105,
    kIdOptionsGroup = 1106,
    kIdMaskLabel = 1107,
    kIdPathStyleLabel = 1108,
    kIdDateTimeKindLabel = 1109,
    kIdOutputGroup = 1110,
    kIdHtmlOptionsGroup = 1111,
    kIdQuickPreviewGroup = 1112,
    kIdCsvOptionsGroup = 1113,
    kIdCsvSeparatorLabel = 1114,
    // Controls added after the original dialogs.
    kIdFileXxh3 = 1120,
    kIdFileSha256 = 1121,
    kIdExcludeMaskLabel = 1122,
    kIdExcludeMask = 1123,
    kIdSkipHiddenDirs = 1124,
    kIdOutputJsonLines = 1130,
    kIdCsvByteOrderMark = 1131,
    kIdCsvFormulaGuard = 1132,
    kIdOutputBrowsableHtml = 1140,
    kIdKeepChecksums = 1133,
};

// Range and initial position of an up-down control.
struct SpinRange {
    int minimum = 0;
    int maximum = 0;
    int initial = 0;
};

struct ControlDef {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    int dialog = kMainDialog;
    // Caption of a button, label or check box, initial text of an edit; "&" marks the mnemonic and
    // "&&" is a literal "&".
    const char* text = "";
    // Items of a combo box, labels of the tab control.
    std::span<const char* const> items = {};
    // Initial check state (check boxes, radio buttons) or selected item (combo boxes, -1 none).
    int initial = 0;
    int maxLength = 0;          // edits: at most this many characters (0: no limit)
    int buddy = 0;              // up-downs: their edit; sample statics: the row they follow
    SpinRange range = {};       // up-downs
    bool enabled = true;        // as the template creates it
    const char* hint = nullptr; // built-in tooltip hint
};

// Every control, in the order in which the window's controls are walked (the main window's own
// controls, then the pages in tab order).
std::span<const ControlDef> ControlCatalogue();

// The control with this id, or null.
const ControlDef* FindControl(int id);

// The built-in hint of a control ("" when it has none).
std::string_view BuiltInHint(int id);

} // namespace quillary
