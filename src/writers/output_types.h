// The output types, one row each: its file extensions, its radio button on "Options 2", the filter of
// the "Save listing..." dialog and its writer. The engine takes the extension and the writer from here,
// the session the type an output name asks for, the option rules the radio buttons and the window the
// file-dialog filter; a new type is a new row (with its writer, its radio button and its filter text).
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "listing/output_type.h"
#include "writers/listing_writer.h"

namespace quillary {

struct OutputTypeDef {
    OutputType type;
    std::string_view name;           // the word quillary-cli's --type takes for it
    std::string_view extension;      // what the type's files are given, without the dot
    std::string_view otherExtension; // also chooses the type in an output name ("" when none)
    bool chosenByExtension;          // an output name with its extension asks for this type
    int radioId;                     // its radio button
    int filterMessage;               // the message id of its file-dialog filter
    std::unique_ptr<ListingWriter> (*makeWriter)(const WriterContext& context);
};

// Every type, in the order of their radio buttons.
std::span<const OutputTypeDef> OutputTypes();

// The row of a type (the text type's for a value that is not one).
const OutputTypeDef& OutputTypeRow(OutputType type);

// The output type a file name asks for by its extension (any case), or nullopt when the name has no
// such extension.
std::optional<OutputType> OutputTypeFromName(std::string_view path);

// The output type of a --type word (any case), or nullopt when no type has that name.
std::optional<OutputType> OutputTypeNamed(std::string_view name);

} // namespace quillary
