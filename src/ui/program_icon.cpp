#include "ui/program_icon.h"

#include <wx/bmpbndl.h>

#include "quillary_svg.h" // generated from res/quillary.svg: kQuillarySvg

namespace quillary {

wxIconBundle ProgramIcons() {
    wxIconBundle icons;
    const wxBitmapBundle bundle = wxBitmapBundle::FromSVG(kQuillarySvg, wxSize(64, 64));
    for (int size : {16, 32, 48, 64}) {
        wxIcon icon;
        icon.CopyFromBitmap(bundle.GetBitmap(wxSize(size, size)));
        icons.AddIcon(icon);
    }
    return icons;
}

} // namespace quillary
