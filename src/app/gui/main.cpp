// quillary: the window. Everything it does is in CQuillaryApp and CQuillaryDlg.
#include "app/gui/quillary_app.h"

wxIMPLEMENT_APP(quillary::CQuillaryApp);
