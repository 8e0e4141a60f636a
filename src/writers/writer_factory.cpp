#include "writers/writer_factory.h"

#include "writers/text_writer.h"

namespace quillary {

std::unique_ptr<ListingWriter> CreateWriter(int outputType, const WriterContext& context) {
    switch (outputType) {
    default: return std::make_unique<TextWriter>(context);
    }
}

} // namespace quillary
