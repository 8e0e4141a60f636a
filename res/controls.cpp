#include "res/controls.h"

#include <algorithm>

namespace quillary {

namespace {

using K = ControlKind;

constexpr const char* kTabLabels[] = {"Select directories", "Options 1", "Options 2", "Preview", "About"};
constexpr const char* kDateFormats[] = {"YYYY-MM-DD", "YYYY-DD-MM", "DD-MM-YYYY", "MM-DD-YYYY"};
constexpr const char* kTimeFormats[] = {"HH:MM", "HH:MM:SS"};
constexpr const char* kSortDirKeys[] = {"Name", "Size", "Date & Time"};
constexpr const char* kSortFileKeys[] = {"Name", "Extension", "Size", "Date & Time"};
constexpr const char* kSizeDisplays[] = {"Bytes", "Kilobytes", "Megabytes", "Gigabytes", "Dynamic"};
constexpr const char* kSizePrecisions[] = {"0", "1", "2", "3", "4"};
constexpr const char* kThousandSeparators[] = {"(none)", "(space)", ",", "."};
constexpr const char* kDecimalSeparators[] = {".", ","};
constexpr const char* kPathStyles[] = {"Full", "No drive", "From top-checked dir"};
constexpr const char* kDateTimeKinds[] = {"Creation", "Last write", "Last access"};

constexpr const char* kWidthHint = "Width of the field for text output";
constexpr const char* kDecimalDigitsHint = "Number of decimal digits";

// clang-format off
constexpr ControlDef kControls[] = {
    // Main window.
    {.id = kIdTabs, .kind = K::TabControl, .dialog = kMainDialog, .items = kTabLabels},
    {.id = kIdSaveListing, .kind = K::PushButton, .dialog = kMainDialog, .text = "&Save listing...",
     .hint = "Generate and save listing"},
    {.id = kIdCancel, .kind = K::PushButton, .dialog = kMainDialog, .text = "&Cancel", .enabled = false,
     .hint = "Cancel listing generation"},
    {.id = kIdExit, .kind = K::DefaultPushButton, .dialog = kMainDialog, .text = "E&xit",
     .hint = "Get out of here!"},

    // "Select directories".
    {.id = kIdDirTree, .kind = K::Tree, .dialog = kSelectDirsPage},
    {.id = kIdWithSubdirs, .kind = K::CheckBox, .dialog = kSelectDirsPage,
     .text = "Select &with subdirectories", .initial = 1,
     .hint = "Select also all subdirectories of clicked directory"},
    {.id = kIdExcludeMaskLabel, .kind = K::Label, .dialog = kSelectDirsPage, .text = "Exclude folders:"},
    {.id = kIdExcludeMask, .kind = K::Edit, .dialog = kSelectDirsPage, .text = "",
     .hint = "Folders whose names match this mask are not read at all (e.g. .git;node_modules)"},
    {.id = kIdSkipHiddenDirs, .kind = K::CheckBox, .dialog = kSelectDirsPage,
     .text = "Skip hidden and system folders", .initial = 0,
     .hint = "Do not read hidden and system folders (a ticked folder is always read)"},

    // "Options 1", group "Include:".
    {.id = kIdIncludeGroup, .kind = K::GroupBox, .dialog = kOptions1Page, .text = "Include:"},
    {.id = kIdDirName, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "Dir name", .initial = 1,
     .hint = "Display directory names"},
    {.id = kIdDirNameWidth, .kind = K::Edit, .dialog = kOptions1Page, .text = "50", .hint = kWidthHint},
    {.id = kIdDirNameWidthSpin, .kind = K::UpDown, .dialog = kOptions1Page, .buddy = kIdDirNameWidth,
     .range = {1, 260, 50}},
    {.id = kIdFileCountInDirName, .kind = K::CheckBox, .dialog = kOptions1Page,
     .text = "File count in dir name", .initial = 1,
     .hint = "Display the number of files in current directory"},
    {.id = kIdDirSize, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "Dir size", .initial = 1,
     .hint = "Count and display total directory size"},
    {.id = kIdDirSizeWidth, .kind = K::Edit, .dialog = kOptions1Page, .text = "14", .hint = kWidthHint},
    {.id = kIdDirSizeWidthSpin, .kind = K::UpDown, .dialog = kOptions1Page, .buddy = kIdDirSizeWidth,
     .range = {1, 23, 14}},
    {.id = kIdDirDate, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "Dir date", .initial = 1,
     .hint = "Display directory date"},
    {.id = kIdDirDateFormat, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kDateFormats,
     .initial = 0, .hint = "Select the format of directory date field"},
    {.id = kIdDirTime, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "Dir time", .initial = 1,
     .hint = "Display directory time"},
    {.id = kIdDirTimeFormat, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kTimeFormats,
     .initial = 0, .hint = "Select the format of directory time field"},
    {.id = kIdDirAttributes, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "Dir attributes",
     .initial = 1, .hint = "Display directory attributes"},
    {.id = kIdSubdirs, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "Subdirs", .initial = 1,
     .hint = "Display subdirectories"},
    {.id = kIdFileNumber, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File number", .initial = 0,
     .hint = "Display file number in front of file name"},
    {.id = kIdFilePath, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File path", .initial = 0,
     .hint = "Display file path in front of file name"},
    {.id = kIdFileName, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File name", .initial = 1,
     .hint = "Display file name"},
    {.id = kIdFileNameWidth, .kind = K::Edit, .dialog = kOptions1Page, .text = "50", .hint = kWidthHint},
    {.id = kIdFileNameWidthSpin, .kind = K::UpDown, .dialog = kOptions1Page, .buddy = kIdFileNameWidth,
     .range = {1, 260, 50}},
    {.id = kIdFileExtension, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File extension",
     .initial = 1, .hint = "Display file extension"},
    {.id = kIdFileSize, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File size", .initial = 1,
     .hint = "Display file size"},
    {.id = kIdFileSizeWidth, .kind = K::Edit, .dialog = kOptions1Page, .text = "14", .hint = kWidthHint},
    {.id = kIdFileSizeWidthSpin, .kind = K::UpDown, .dialog = kOptions1Page, .buddy = kIdFileSizeWidth,
     .range = {1, 23, 14}},
    {.id = kIdFileDate, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File date", .initial = 1,
     .hint = "Display file date"},
    {.id = kIdFileDateFormat, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kDateFormats,
     .initial = 0, .hint = "Select the format of file date field"},
    {.id = kIdFileTime, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File time", .initial = 1,
     .hint = "Display file time"},
    {.id = kIdFileTimeFormat, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kTimeFormats,
     .initial = 0, .hint = "Select the format of file time fields"},
    {.id = kIdFileVersion, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File version", .initial = 0,
     .hint = "Display file version (if available)"},
    {.id = kIdFileVersionWidth, .kind = K::Edit, .dialog = kOptions1Page, .text = "7", .hint = kWidthHint},
    {.id = kIdFileVersionWidthSpin, .kind = K::UpDown, .dialog = kOptions1Page, .buddy = kIdFileVersionWidth,
     .range = {1, 10, 7}},
    {.id = kIdFileCrc32, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File crc32", .initial = 0,
     .hint = "Calculate and display file's CRC32 value"},
    {.id = kIdFileXxh3, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "XXH3", .initial = 0,
     .hint = "Calculate and display file's XXH3-64 hash (fast, not for security)"},
    {.id = kIdFileSha256, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "SHA-256", .initial = 0,
     .hint = "Calculate and display file's SHA-256 hash"},
    {.id = kIdKeepChecksums, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "Keep checksums",
     .initial = 1, .hint = "Keep the checksums of unchanged files for the next run, so that they are not read again"},
    {.id = kIdFileAttributes, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "File attributes",
     .initial = 1, .hint = "Display file attributes"},

    // "Options 1", group "Options".
    {.id = kIdOptionsGroup, .kind = K::GroupBox, .dialog = kOptions1Page, .text = "Options"},
    {.id = kIdMaskLabel, .kind = K::Label, .dialog = kOptions1Page, .text = "Mask:"},
    {.id = kIdMask, .kind = K::Edit, .dialog = kOptions1Page, .text = "*.*",
     .hint = "Filter files (but not directories) according to this mask"},
    {.id = kIdSortDirsByLabel, .kind = K::Label, .dialog = kOptions1Page, .text = "Sort dirs by:"},
    {.id = kIdSortDirsBy, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kSortDirKeys, .initial = 0,
     .hint = "Select item by which you want to sort directories"},
    {.id = kIdSortDirsDescending, .kind = K::CheckBox, .dialog = kOptions1Page,
     .text = "Sort dirs descending", .initial = 0, .hint = "Reverse sorting order of directories"},
    {.id = kIdSortFilesByLabel, .kind = K::Label, .dialog = kOptions1Page, .text = "Sort files by:"},
    {.id = kIdSortFilesBy, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kSortFileKeys, .initial = 1,
     .hint = "Select item by which you want to sort files"},
    {.id = kIdSortFilesDescending, .kind = K::CheckBox, .dialog = kOptions1Page,
     .text = "Sort files descending", .initial = 0, .hint = "Reverse sorting order of files"},
    {.id = kIdFilesAllTogether, .kind = K::CheckBox, .dialog = kOptions1Page,
     .text = "Files treated all together", .initial = 0,
     .hint = "Treat files as if they were in one directory"},
    {.id = kIdSizeDisplayLabel, .kind = K::Label, .dialog = kOptions1Page, .text = "Size display:"},
    {.id = kIdSizeDisplay, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kSizeDisplays, .initial = 0,
     .hint = "Select how should file and directory sizes be displayed"},
    {.id = kIdSizePrecisionLabel, .kind = K::Label, .dialog = kOptions1Page, .text = "Size precision:"},
    {.id = kIdSizePrecision, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kSizePrecisions,
     .initial = 0, .hint = kDecimalDigitsHint},
    {.id = kIdThousandSeparatorLabel, .kind = K::Label, .dialog = kOptions1Page,
     .text = "Thousand separator:"},
    {.id = kIdThousandSeparator, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kThousandSeparators,
     .initial = 1, .hint = "Select which character should be used as thousand separator"},
    {.id = kIdDecimalSeparatorLabel, .kind = K::Label, .dialog = kOptions1Page, .text = "Decimal separator:"},
    {.id = kIdDecimalSeparator, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kDecimalSeparators,
     .initial = 0, .hint = kDecimalDigitsHint},
    {.id = kIdListingInEachDir, .kind = K::CheckBox, .dialog = kOptions1Page, .text = "Listing in each dir",
     .initial = 0,
     .hint = "Generate listing for each processed directory and save it in that directory. "
             "Use with caution!"},
    {.id = kIdListingNameLabel, .kind = K::Label, .dialog = kOptions1Page, .text = "Listing name:"},
    {.id = kIdListingName, .kind = K::Edit, .dialog = kOptions1Page, .text = "_thisdir", .maxLength = 255,
     .hint = "Name of output file saved in each processed directory"},
    {.id = kIdPathStyleLabel, .kind = K::Label, .dialog = kOptions1Page, .text = "Path:"},
    {.id = kIdPathStyle, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kPathStyles, .initial = 0,
     .hint = "Path for directories, subdirectories and files will contain selected item"},
    {.id = kIdDateTimeKindLabel, .kind = K::Label, .dialog = kOptions1Page, .text = "Date && Time:"},
    {.id = kIdDateTimeKind, .kind = K::ComboBox, .dialog = kOptions1Page, .items = kDateTimeKinds,
     .initial = 1, .hint = "Select which date & time should be used for date & time fields"},
    {.id = kIdRememberSelection, .kind = K::CheckBox, .dialog = kOptions1Page,
     .text = "Remember dirs selection", .initial = 0,
     .hint = "Save on exit and restore on enter currently selected directories"},

    // "Options 2".
    {.id = kIdOutputGroup, .kind = K::GroupBox, .dialog = kOptions2Page, .text = "Output:"},
    {.id = kIdOutputText, .kind = K::RadioButton, .dialog = kOptions2Page, .text = "Text file", .initial = 1,
     .hint = "Generate text file"},
    {.id = kIdOutputHtml, .kind = K::RadioButton, .dialog = kOptions2Page, .text = "HTML file", .initial = 0,
     .hint = "Generate HTML file"},
    {.id = kIdOutputCsv, .kind = K::RadioButton, .dialog = kOptions2Page, .text = "CSV file", .initial = 0,
     .hint = "Generate CSV file"},
    {.id = kIdOutputJsonLines, .kind = K::RadioButton, .dialog = kOptions2Page, .text = "JSON Lines file",
     .initial = 0, .hint = "Generate a JSON Lines file for programs to read: exact sizes and ISO 8601 times"},
    {.id = kIdOutputBrowsableHtml, .kind = K::RadioButton, .dialog = kOptions2Page, .text = "HTML, browsable",
     .initial = 0,
     .hint = "Generate one HTML file to browse in a web browser: a folder tree, a table sorted by any "
             "column and a search by name"},
    {.id = kIdHtmlOptionsGroup, .kind = K::GroupBox, .dialog = kOptions2Page, .text = "HTML options"},
    {.id = kIdHtmlLinksToDirs, .kind = K::CheckBox, .dialog = kOptions2Page, .text = "Generate links to dirs",
     .initial = 0, .hint = "Generate links to directories so you can access them by one-clicking"},
    {.id = kIdHtmlLinksToFiles, .kind = K::CheckBox, .dialog = kOptions2Page,
     .text = "Generate links to files", .initial = 0,
     .hint = "Generate links to files so you can access them by one-clicking"},
    {.id = kIdPageBackgroundButton, .kind = K::PushButton, .dialog = kOptions2Page,
     .text = "Background color", .hint = "Change background color of HTML page"},
    {.id = kIdHeaderBackgroundButton, .kind = K::PushButton, .dialog = kOptions2Page,
     .text = "Header background color", .hint = "Change background color of header"},
    {.id = kIdHeaderFontButton, .kind = K::PushButton, .dialog = kOptions2Page,
     .text = "Header font && color", .hint = "Change font of header"},
    {.id = kIdDirBackgroundButton, .kind = K::PushButton, .dialog = kOptions2Page,
     .text = "Dir backround color", .hint = "Change background color of directory row"},
    {.id = kIdDirFontButton, .kind = K::PushButton, .dialog = kOptions2Page, .text = "Dir font && color",
     .hint = "Change font of directory row"},
    {.id = kIdOddBackgroundButton, .kind = K::PushButton, .dialog = kOptions2Page,
     .text = "Odd row background color", .hint = "Change background color of odd file row"},
    {.id = kIdOddFontButton, .kind = K::PushButton, .dialog = kOptions2Page, .text = "Odd row font && color",
     .hint = "Change font of odd file row"},
    {.id = kIdEvenBackgroundButton, .kind = K::PushButton, .dialog = kOptions2Page,
     .text = "Even row backround color", .hint = "Change background color of even file row"},
    {.id = kIdEvenFontButton, .kind = K::PushButton, .dialog = kOptions2Page,
     .text = "Even row font && color", .hint = "Change font of even file row"},
    {.id = kIdQuickPreviewGroup, .kind = K::GroupBox, .dialog = kOptions2Page, .text = "HTML quick preview"},
    {.id = kIdPageSample, .kind = K::ColorStatic, .dialog = kOptions2Page},
    {.id = kIdHeaderSample, .kind = K::FontStatic, .dialog = kOptions2Page, .text = "--- Header ---"},
    {.id = kIdDirSample, .kind = K::FontStatic, .dialog = kOptions2Page, .text = "Directory A"},
    {.id = kIdOddSample, .kind = K::FontStatic, .dialog = kOptions2Page, .text = "File 1"},
    {.id = kIdEvenSample, .kind = K::FontStatic, .dialog = kOptions2Page, .text = "File 2"},
    {.id = kIdOddSample2, .kind = K::SampleStatic, .dialog = kOptions2Page, .text = "File 3",
     .buddy = kIdOddSample},
    {.id = kIdEvenSample2, .kind = K::SampleStatic, .dialog = kOptions2Page, .text = "File 4",
     .buddy = kIdEvenSample},
    {.id = kIdCsvOptionsGroup, .kind = K::GroupBox, .dialog = kOptions2Page, .text = "CSV options"},
    {.id = kIdCsvColumnNames, .kind = K::CheckBox, .dialog = kOptions2Page,
     .text = "Column names in first row", .initial = 1,
     .hint = "Save columns names in the first line of CSV file"},
    {.id = kIdCsvSeparatorLabel, .kind = K::Label, .dialog = kOptions2Page, .text = "Separator:"},
    {.id = kIdCsvSeparator, .kind = K::Edit, .dialog = kOptions2Page, .text = ";", .maxLength = 1,
     .hint = "Change character which will be used for separating columns in CSV file"},
    {.id = kIdCsvByteOrderMark, .kind = K::CheckBox, .dialog = kOptions2Page,
     .text = "UTF-8 mark for spreadsheets", .initial = 0,
     .hint = "Start the file with a byte-order mark, by which spreadsheets know that it is UTF-8"},
    {.id = kIdCsvFormulaGuard, .kind = K::CheckBox, .dialog = kOptions2Page, .text = "Protect from formulas",
     .initial = 0,
     .hint = "Put ' before a cell that starts with =, +, -, @, a tab or a carriage return, so that a "
             "spreadsheet does not run it as a formula"},

    // "Preview".
    {.id = kIdHtmlView, .kind = K::HtmlView, .dialog = kPreviewPage},
    {.id = kIdTextView, .kind = K::RichEdit, .dialog = kPreviewPage},

    // "About".
    {.id = kIdProductName, .kind = K::Label, .dialog = kAboutPage, .text = "Quillary"},
    {.id = kIdVersionLine, .kind = K::Label, .dialog = kAboutPage, .text = "Version 0.7"},
    {.id = kIdRightsLine, .kind = K::Label, .dialog = kAboutPage, .text = "(c) The Quillary developers"},
    {.id = kIdHomePageLabel, .kind = K::Label, .dialog = kAboutPage, .text = "Home page:"},
    {.id = kIdHomePageLink, .kind = K::Link, .dialog = kAboutPage, .text = "https://quillary.example.org/"},
};
// clang-format on

} // namespace

bool IsSavedKind(ControlKind kind) {
    switch (kind) {
    case K::CheckBox:
    case K::RadioButton:
    case K::Edit:
    case K::ComboBox:
    case K::ColorStatic:
    case K::FontStatic:
        return true;
    default:
        return false;
    }
}

std::span<const ControlDef> ControlCatalogue() {
    return kControls;
}

const ControlDef* FindControl(int id) {
    const auto it = std::find_if(std::begin(kControls), std::end(kControls),
                                 [id](const ControlDef& def) { return def.id == id; });
    return it == std::end(kControls) ? nullptr : &*it;
}

std::string_view BuiltInHint(int id) {
    const ControlDef* def = FindControl(id);
    return def != nullptr && def->hint != nullptr ? def->hint : "";
}

} // namespace quillary
