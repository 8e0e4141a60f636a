// "Preview": what "Save listing" would write with the current options. The window makes a preview run
// into its private preview file whenever the page is shown (and again after a configuration is loaded
// while it is shown); this page then shows the file: HTML in the browser view (1087), text and CSV in
// a read-only monospace text view (1088). Both fill the page less 2 pixels left and right and 6 pixels
// top and bottom.
//
// A text listing is streamed into its view a slice at a time from the event loop's idle turns, so
// that a listing of hundreds of thousands of rows never stops the window from answering.
#pragma once

#include <string>

#include <wx/textctrl.h>

#include "ui/html_ctrl.h"
#include "ui/tab_page.h"

namespace quillary {

class CPreviewPage : public CTabPage {
public:
    CPreviewPage(wxWindow* parent, WindowSurface& surface);

    // Before the run: empties the view of the output type and shows it.
    void Prepare(int outputType);
    // After the run: shows the listing the run wrote (nothing when it cannot be read).
    void ShowListing(const std::string& path);

    // The views, and whether a text listing is still being streamed in.
    CHtmlCtrl& HtmlView() { return *m_html; }
    wxTextCtrl& TextView() { return *m_text; }
    bool IsStreaming() const { return m_offset < m_pending.size(); }

private:
    void OnIdle(wxIdleEvent& event);
    void AppendNextSlice();

    CHtmlCtrl* m_html = nullptr;
    wxTextCtrl* m_text = nullptr;
    int m_outputType = 0;
    // The text listing being streamed in and how far it has got; a new preview replaces it.
    std::string m_pending;
    std::size_t m_offset = 0;
};

} // namespace quillary
