// What both systems' file bodies share.
#include "platform/file_io.h"

namespace quillary {

bool ReadWholeFile(const std::string& path, std::string& contents, std::size_t maxBytes) {
    InputFile file;
    if (!file.Open(path))
        return false;
    contents.clear();
    char buffer[65536];
    for (;;) {
        const long long got = file.Read(buffer, sizeof buffer);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (contents.size() + static_cast<std::size_t>(got) > maxBytes)
            return false;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace quillary
