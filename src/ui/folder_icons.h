// The folder tree's icons: a folder, an open folder and a drive.
#pragma once

#include <wx/bmpbndl.h>
#include <wx/event.h> // withimages.h needs wxDPIChangedEvent
#include <wx/withimages.h>

namespace quillary {

// The three icons at `size` logical pixels, in that order. On Windows they are the shell's own, as
// Explorer shows them; elsewhere they come from the icon theme.
wxWithImages::Images FolderIcons(const wxSize& size);

} // namespace quillary
