// Where the program's own files live.
#pragma once

#include <string>

namespace quillary {

// Directory of the running executable, without a trailing separator ("" when it cannot be found).
std::string ProgramDirectory();

// The executable's file name without directory and extension ("quillary-cli").
std::string ProgramName();

bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
std::string CurrentDirectory();
// Absolute form of a path (relative to the current directory), "." and ".." resolved textually,
// no trailing separator; the root is "".
std::string AbsolutePath(const std::string& path);

} // namespace quillary
