#include "writers/output_types.h"

#include <string>

#include "listing/message_table.h"
#include "platform/path_syntax.h"
#include "res/controls.h"
#include "writers/csv_writer.h"
#include "writers/html_writer.h"
#include "writers/jsonl_writer.h"
#include "writers/text_writer.h"

namespace quillary {

namespace {

template <typename Writer> std::unique_ptr<ListingWriter> MakeWriter(const WriterContext& context) {
    return std::make_unique<Writer>(context);
}

constexpr OutputTypeDef kOutputTypes[] = {
    {OutputType::Text, "txt", "", kIdOutputText, MSG_TEXT_FILTER, &MakeWriter<TextWriter>},
    {OutputType::Html, "html", "htm", kIdOutputHtml, MSG_HTML_FILTER, &MakeWriter<HtmlWriter>},
    {OutputType::Csv, "csv", "", kIdOutputCsv, MSG_CSV_FILTER, &MakeWriter<CsvWriter>},
    {OutputType::JsonLines, "jsonl", "", kIdOutputJsonLines, MSG_JSONL_FILTER, &MakeWriter<JsonLinesWriter>},
};

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
    std::string extension(path.substr(dot + 1));
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    for (const OutputTypeDef& row : kOutputTypes) {
        if (extension == row.extension || (!row.otherExtension.empty() && extension == row.otherExtension))
            return row.type;
    }
    return std::nullopt;
}

} // namespace quillary
