// The output types a listing can be written in. What belongs to each type (its extensions, its radio
// button, its file-dialog filter, its writer) is one row of the table in writers/output_types.h.
#pragma once

namespace quillary {

enum class OutputType { Text, Html, Csv, JsonLines, BrowsableHtml };

} // namespace quillary
