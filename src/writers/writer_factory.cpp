#include "writers/writer_factory.h"

#include "writers/csv_writer.h"
#include "writers/html_writer.h"
#include "writers/text_writer.h"

namespace quillary {

std::unique_ptr<ListingWriter> CreateWriter(int outputType, const WriterContext& context) {
    switch (outputType) {
    case kOutputHtml:
        return std::make_unique<HtmlWriter>(context);
    case kOutputCsv:
        return std::make_unique<CsvWriter>(context);
    default:
        return std::make_unique<TextWriter>(context);
    }
}

} // namespace quillary
