// The program's icon (res/quillary.svg), drawn at the sizes window managers ask for.
#pragma once

#include <wx/iconbndl.h>

namespace quillary {

wxIconBundle ProgramIcons();

} // namespace quillary
