#include "platform/path_syntax.h"

namespace quillary {

std::vector<RootFolder> RootFolders() {
    return {RootFolder{"/", true}};
}

} // namespace quillary
