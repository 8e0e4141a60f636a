#pragma once

#include <memory>

#include "writers/listing_writer.h"

namespace quillary {

// The writer of an output type: HTML, CSV, or plain text for any other value.
std::unique_ptr<ListingWriter> CreateWriter(int outputType, const WriterContext& context);

} // namespace quillary
