// The three output types and their file extensions, in one place for the engine's extension rule,
// the console's choice of type from an output name and the window's file dialogs.
#pragma once

#include <string_view>

namespace quillary {

enum OutputType { kOutputText = 0, kOutputHtml = 1, kOutputCsv = 2 };

// The extension of an output type without the dot: "txt", "html" or "csv" (text for unknown values).
const char* ExtensionFor(int outputType);

// The output type a file name asks for by its extension (.txt, .html, .htm, .csv, any case), or -1
// when the name has no such extension.
int OutputTypeFromName(std::string_view path);

} // namespace quillary
