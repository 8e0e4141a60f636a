#include "model/options_rules.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "writers/columns.h"
#include "writers/output_types.h"

namespace quillary {

namespace {

struct WidthControl {
    int edit;
    int spin;
};

constexpr WidthControl kWidthControls[] = {
    {kIdDirNameWidth, kIdDirNameWidthSpin},         {kIdDirSizeWidth, kIdDirSizeWidthSpin},
    {kIdFileNameWidth, kIdFileNameWidthSpin},       {kIdFileSizeWidth, kIdFileSizeWidthSpin},
    {kIdFileVersionWidth, kIdFileVersionWidthSpin},
};

constexpr int kHtmlOptionControls[] = {
    kIdHtmlLinksToDirs,  kIdHtmlLinksToFiles,     kIdPageBackgroundButton, kIdHeaderBackgroundButton,
    kIdHeaderFontButton, kIdDirBackgroundButton,  kIdDirFontButton,        kIdOddBackgroundButton,
    kIdOddFontButton,    kIdEvenBackgroundButton, kIdEvenFontButton,
};

constexpr int kCsvOptionControls[] = {kIdCsvColumnNames, kIdCsvSeparatorLabel, kIdCsvSeparator,
                                      kIdCsvByteOrderMark, kIdCsvFormulaGuard};

bool IsChecked(const ControlSurface& surface, int id) {
    return surface.CheckState(id) != 0;
}

// What the listing takes from a check box: checked and enabled.
bool IsOn(const ControlSurface& surface, int id) {
    return IsChecked(surface, id) && surface.IsEnabled(id);
}

void Enable(ControlSurface& surface, std::initializer_list<int> ids, bool enabled) {
    for (int id : ids)
        surface.SetEnabled(id, enabled);
}

SpinRange RangeOf(int spinId) {
    const ControlDef* def = FindControl(spinId);
    return def != nullptr ? def->range : SpinRange{};
}

int WidthOf(const ControlSurface& surface, const WidthControl& width) {
    return ValidatedWidth(surface.Text(width.edit), RangeOf(width.spin));
}

} // namespace

void RefreshOptions1Enabling(ControlSurface& surface) {
    const bool dirName = IsChecked(surface, kIdDirName);
    const bool together = IsChecked(surface, kIdFilesAllTogether);
    const bool dirSize = IsChecked(surface, kIdDirSize);
    const bool fileCount = IsChecked(surface, kIdFileCountInDirName);
    const bool fileName = IsChecked(surface, kIdFileName);
    const bool fileSize = IsChecked(surface, kIdFileSize);
    const bool fileNumber = IsChecked(surface, kIdFileNumber);
    const bool dirLines = dirName && !together;

    // "Files treated all together" and "Dir name" exclude each other. A file can have both checked;
    // the together box then stays enabled so that the user can always get out of that state.
    Enable(surface, {kIdFilesAllTogether}, !dirName || together);
    Enable(surface, {kIdDirName}, !together);
    Enable(surface, {kIdDirSize, kIdFileCountInDirName}, dirLines);
    Enable(surface, {kIdDirNameWidth, kIdDirNameWidthSpin}, dirName);
    Enable(surface, {kIdDirSizeWidth, kIdDirSizeWidthSpin}, dirName && dirSize);
    Enable(surface, {kIdSortDirsBy, kIdSortDirsByLabel, kIdSortDirsDescending}, !together);
    Enable(surface, {kIdDirDate, kIdDirTime, kIdDirAttributes}, dirName);
    Enable(surface, {kIdDirDateFormat}, dirName && IsChecked(surface, kIdDirDate));
    Enable(surface, {kIdDirTimeFormat}, dirName && IsChecked(surface, kIdDirTime));

    Enable(surface,
           {kIdFileNameWidth, kIdFileNameWidthSpin, kIdSubdirs, kIdFileNumber, kIdFilePath, kIdFileExtension,
            kIdFileSize, kIdFileDate, kIdFileTime, kIdFileVersion, kIdFileCrc32, kIdFileXxh3, kIdFileSha256,
            kIdFileAttributes, kIdSortFilesBy, kIdSortFilesByLabel, kIdSortFilesDescending},
           fileName);
    Enable(surface, {kIdKeepChecksums},
           fileName && (IsChecked(surface, kIdFileCrc32) || IsChecked(surface, kIdFileXxh3) ||
                        IsChecked(surface, kIdFileSha256)));
    Enable(surface, {kIdFileSizeWidth, kIdFileSizeWidthSpin}, fileName && fileSize);
    Enable(surface, {kIdFileDateFormat}, fileName && IsChecked(surface, kIdFileDate));
    Enable(surface, {kIdFileTimeFormat}, fileName && IsChecked(surface, kIdFileTime));
    Enable(surface, {kIdFileVersionWidth, kIdFileVersionWidthSpin},
           fileName && IsChecked(surface, kIdFileVersion));

    const bool sizeDisplay = (fileSize && fileName) || (dirSize && dirLines);
    const int sizeUnit = surface.Selection(kIdSizeDisplay);
    const int precision = surface.Selection(kIdSizePrecision);
    Enable(surface, {kIdSizeDisplay, kIdSizeDisplayLabel}, sizeDisplay);
    Enable(surface, {kIdThousandSeparator, kIdThousandSeparatorLabel},
           sizeDisplay || (fileCount && dirLines) || (fileNumber && fileName));
    Enable(surface, {kIdSizePrecision, kIdSizePrecisionLabel}, sizeDisplay && sizeUnit > 0);
    Enable(surface, {kIdDecimalSeparator, kIdDecimalSeparatorLabel},
           sizeDisplay && sizeUnit > 0 && precision > 0);
    Enable(surface, {kIdListingName, kIdListingNameLabel}, IsChecked(surface, kIdListingInEachDir));

    Enable(surface,
           {kIdFileName, kIdMask, kIdMaskLabel, kIdPathStyle, kIdPathStyleLabel, kIdDateTimeKind,
            kIdDateTimeKindLabel, kIdListingInEachDir, kIdRememberSelection},
           true);
}

std::optional<OutputType> SelectedOutputType(const ControlSurface& surface) {
    for (const OutputTypeDef& type : OutputTypes()) {
        if (IsChecked(surface, type.radioId))
            return type.type;
    }
    return std::nullopt;
}

void RefreshOutputTypeEnabling(ControlSurface& surface) {
    const std::optional<OutputType> type = SelectedOutputType(surface);
    for (int id : kHtmlOptionControls)
        surface.SetEnabled(id, type == OutputType::Html);
    for (int id : kCsvOptionControls)
        surface.SetEnabled(id, type == OutputType::Csv);
}

void RefreshEnabling(ControlSurface& surface) {
    RefreshOptions1Enabling(surface);
    RefreshOutputTypeEnabling(surface);
}

int ValidatedWidth(std::string_view text, const SpinRange& range) {
    const std::size_t maxDigits = std::to_string(range.maximum).size();
    if (text.size() > maxDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return range.initial;
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return std::clamp(value, range.minimum, range.maximum);
}

void ValidateWidths(ControlSurface& surface) {
    for (const WidthControl& width : kWidthControls)
        surface.SetText(width.edit, std::to_string(WidthOf(surface, width)));
}

HtmlStyle HtmlStyleFromSamples(const ControlSurface& surface) {
    HtmlStyle style;
    style.pageBackground = surface.Sample(kIdPageSample).background;
    const SampleStyle header = surface.Sample(kIdHeaderSample);
    const SampleStyle directory = surface.Sample(kIdDirSample);
    const SampleStyle odd = surface.Sample(kIdOddSample);
    const SampleStyle even = surface.Sample(kIdEvenSample);
    style.headerBackground = header.background;
    style.headerText = header.text;
    style.headerFont = header.font;
    style.directoryBackground = directory.background;
    style.directoryText = directory.text;
    style.directoryFont = directory.font;
    style.oddBackground = odd.background;
    style.oddText = odd.text;
    style.oddFont = odd.font;
    style.evenBackground = even.background;
    style.evenText = even.text;
    style.evenFont = even.font;
    return style;
}

void SetSamplesFromHtmlStyle(ControlSurface& surface, const HtmlStyle& style) {
    SampleStyle page;
    page.background = style.pageBackground;
    surface.SetSample(kIdPageSample, page);
    surface.SetSample(kIdHeaderSample, {style.headerBackground, style.headerText, style.headerFont});
    surface.SetSample(kIdDirSample, {style.directoryBackground, style.directoryText, style.directoryFont});
    const SampleStyle odd{style.oddBackground, style.oddText, style.oddFont};
    const SampleStyle even{style.evenBackground, style.evenText, style.evenFont};
    for (int id : {kIdOddSample, kIdOddSample2})
        surface.SetSample(id, odd);
    for (int id : {kIdEvenSample, kIdEvenSample2})
        surface.SetSample(id, even);
}

ListingOptions ReadOptions(const ControlSurface& surface) {
    ListingOptions options;
    options.m_bDirName = IsOn(surface, kIdDirName);
    options.m_bFileCountInDirName = IsOn(surface, kIdFileCountInDirName);
    options.m_bDirSize = IsOn(surface, kIdDirSize);
    options.m_bDirDate = IsOn(surface, kIdDirDate);
    options.m_bDirTime = IsOn(surface, kIdDirTime);
    options.m_bDirAttributes = IsOn(surface, kIdDirAttributes);
    options.m_bSubdirs = IsOn(surface, kIdSubdirs);
    options.m_bFileName = IsOn(surface, kIdFileName);
    // The file columns' check boxes, from the column table.
    for (const ColumnDef& column : Columns()) {
        if (column.optionId != 0 && column.fileFlag != nullptr)
            options.*column.fileFlag = IsOn(surface, column.optionId);
    }
    options.m_bSortDirsDescending = IsOn(surface, kIdSortDirsDescending);
    options.m_bSortFilesDescending = IsOn(surface, kIdSortFilesDescending);
    options.m_bFilesAllTogether = IsOn(surface, kIdFilesAllTogether);
    options.m_bRememberSelection = IsOn(surface, kIdRememberSelection);
    options.m_bHtmlLinksToDirs = IsOn(surface, kIdHtmlLinksToDirs);
    options.m_bHtmlLinksToFiles = IsOn(surface, kIdHtmlLinksToFiles);
    options.m_bCsvColumnNames = IsOn(surface, kIdCsvColumnNames);
    options.m_bCsvByteOrderMark = IsOn(surface, kIdCsvByteOrderMark);
    options.m_bCsvFormulaGuard = IsOn(surface, kIdCsvFormulaGuard);

    options.m_nDirNameWidth = WidthOf(surface, kWidthControls[0]);
    options.m_nDirSizeWidth = WidthOf(surface, kWidthControls[1]);
    options.m_nFileNameWidth = WidthOf(surface, kWidthControls[2]);
    options.m_nFileSizeWidth = WidthOf(surface, kWidthControls[3]);
    options.m_nFileVersionWidth = WidthOf(surface, kWidthControls[4]);

    options.m_nDirDateFormat = surface.Selection(kIdDirDateFormat);
    options.m_nDirTimeFormat = surface.Selection(kIdDirTimeFormat);
    options.m_nFileDateFormat = surface.Selection(kIdFileDateFormat);
    options.m_nFileTimeFormat = surface.Selection(kIdFileTimeFormat);
    options.m_sortDirsBy = static_cast<DirSortKey>(surface.Selection(kIdSortDirsBy));
    options.m_sortFilesBy = static_cast<FileSortKey>(surface.Selection(kIdSortFilesBy));
    options.m_sizeDisplay = static_cast<SizeDisplay>(surface.Selection(kIdSizeDisplay));
    options.m_nSizePrecision = surface.Selection(kIdSizePrecision);
    options.m_nThousandSeparator = surface.Selection(kIdThousandSeparator);
    options.m_nDecimalSeparator = surface.Selection(kIdDecimalSeparator);
    options.m_pathStyle = static_cast<PathStyle>(surface.Selection(kIdPathStyle));
    options.m_dateTimeKind = static_cast<TimeKind>(surface.Selection(kIdDateTimeKind));
    options.m_outputType = SelectedOutputType(surface).value_or(OutputType::Text);

    options.m_strMask = surface.Text(kIdMask);
    options.m_strExcludeMask = surface.Text(kIdExcludeMask);
    options.m_bSkipHiddenDirs = IsOn(surface, kIdSkipHiddenDirs);
    options.m_bKeepChecksums = IsChecked(surface, kIdKeepChecksums);
    options.m_strCsvSeparator = surface.Text(kIdCsvSeparator);
    options.m_strListingName = surface.Text(kIdListingName);
    options.m_bListingInEachDir = IsOn(surface, kIdListingInEachDir) && !options.m_strListingName.empty();
    options.m_htmlStyle = HtmlStyleFromSamples(surface);
    return options;
}

} // namespace quillary
