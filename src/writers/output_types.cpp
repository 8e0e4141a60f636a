#include "writers/output_types.h"

#include <string>

#include "listing/message_table.h"
#include "platform/path_syntax.h"
#include "res/controls.h"
#include "writers/browsable_html_writer.h"
#include "writers/csv_writer.h"
#include "writers/html_writer.h"
#include "writers/jsonl_writer.h"
#include "writers/text_writer.h"

namespace quillary {

namespace {

template <typename Writer> std::unique_ptr<ListingWriter> MakeWriter(const WriterContext& context) {
    return std::make_unique<Writer>(context);
}

// The browsable HTML file is an .html file too, but ".html" keeps asking for the table: that type is
// chosen by its name (--type) or its radio button.
constexpr OutputTypeDef kOutputTypes[] = {
    {OutputType::Text, "txt", "txt", "", true, kIdOutputText, MSG_TEXT_FILTER, &MakeWriter<TextWriter>},
    {OutputType::Html, "html", "html", "htm", true, kIdOutputHtml, MSG_HTML_FILTER, &MakeWriter<HtmlWriter>},
    {OutputType::Csv, "csv", "csv", "", true, kIdOutputCsv, MSG_CSV_FILTER, &MakeWriter<CsvWriter>},
    {OutputType::JsonLines, "jsonl", "jsonl", "", true, kIdOutputJsonLines, MSG_JSONL_FILTER,
     &MakeWriter<JsonLinesWriter>},
    {OutputType::BrowsableHtml, "browsable-html", "html", "", false, kIdOutputBrowsableHtml, MSG_HTML_FILTER,
     &MakeWriter<BrowsableHtmlWriter>},
};

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return lower;
}

} // namespace

std::span<const OutputTypeDef> OutputTypes() {
    return kOutputTypes;
}

const OutputTypeDef& OutputTypeRow(OutputType type) {
    for (const OutputTypeDef& row : kOutputTypes) {
        if (row.type == type)
            return row;
    }
    return kOutputTypes[0];
}

std::optional<OutputType> OutputTypeFromName(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = kNativePaths.FindLastSeparator(path);
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    const std::string extension = LowerCase(path.substr(dot + 1));
    for (const OutputTypeDef& row : kOutputTypes) {
        if (row.chosenByExtension &&
            (extension == row.extension || (!row.otherExtension.empty() && extension == row.otherExtension)))
            return row.type;
    }
    return std::nullopt;
}

std::optional<OutputType> OutputTypeNamed(std::string_view name) {
    const std::string lower = LowerCase(name);
    for (const OutputTypeDef& row : kOutputTypes) {
        if (lower == row.name)
            return row.type;
    }
    return std::nullopt;
}

} // namespace quillary
