// What both systems' program-file bodies share: the program's folder and where its own files are found.
#include "platform/program_files.h"

#include "platform/path_syntax.h"

namespace quillary {

std::string ProgramDirectory() {
    const std::string path = ExecutablePath();
    const std::size_t separator = kNativePaths.FindLastSeparator(path);
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::vector<std::string> ProgramDataDirectories() {
    const std::string programDir = ProgramDirectory();
    const std::string up = std::string(1, kPathSeparator) + "..";
    return {programDir, programDir + up + kPathSeparator + "share" + kPathSeparator + "quillary"};
}

} // namespace quillary
