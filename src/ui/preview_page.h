// "Preview": what "Save listing" would write with the current options. The window makes a preview run
// into its private preview file whenever the page is shown (and again after a configuration is loaded
// while it is shown); this page then shows the file: HTML in the browser view (1087), text and CSV in
// a read-only monospace view (1088) that draws only the lines on screen. Both fill the page less 2
// pixels left and right and 6 pixels top and bottom.
//
// An HTML listing with more rows than a browser lays out in a moment is shown cut to its first rows,
// under a line that says how many more the file holds and a button that opens the whole file in the
// user's browser.
//
// The file is read, indexed or cut on a thread of its own, so that the window keeps answering while a
// big listing is prepared; the page shows the result when it arrives, unless a newer preview started.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include <wx/button.h>
#include <wx/stattext.h>

#include "listing/message_table.h"
#include "listing/output_type.h"
#include "ui/html_ctrl.h"
#include "ui/tab_page.h"
#include "ui/text_preview_view.h"

namespace quillary {

// The listing rows the HTML preview shows of a bigger listing.
inline constexpr std::size_t kHtmlPreviewRows = 2000;

class CPreviewPage : public CTabPage {
public:
    CPreviewPage(wxWindow* parent, WindowSurface& surface);
    ~CPreviewPage() override;

    // Before the run: empties the view of the output type and shows it.
    void Prepare(OutputType outputType);
    // After the run: starts reading the listing the run wrote and shows it when it is read (nothing
    // when it cannot be read); the line over a cut HTML listing is taken from `messages`.
    void ShowListing(const std::string& path, const MessageTable& messages);
    // A listing is being read for the page.
    bool IsLoading() const { return m_loading; }

    CHtmlCtrl& HtmlView() { return *m_html; }
    CTextPreviewView& TextView() { return *m_text; }
    // The line over a cut HTML listing and its button; hidden when the whole listing is shown.
    wxStaticText& CutNote() { return *m_cutNote; }
    wxButton& OpenWholeButton() { return *m_openWhole; }
    // The address the button opens: the whole listing file.
    const wxString& WholeListingUrl() const { return m_wholeUrl; }

private:
    struct Loaded;
    void ShowLoaded(Loaded& loaded);
    void ShowCutBar(bool shown);

    CHtmlCtrl* m_html = nullptr;
    CTextPreviewView* m_text = nullptr;
    wxSizer* m_cutBar = nullptr;
    wxStaticText* m_cutNote = nullptr;
    wxButton* m_openWhole = nullptr;
    wxString m_wholeUrl;
    OutputType m_outputType = OutputType::Text;
    std::string m_path;
    std::string m_cutNoteText;
    std::string m_openWholeText;
    // The reading thread (joined before the next one starts and at the end) and the number of the
    // preview whose result the page waits for.
    std::thread m_reader;
    unsigned m_generation = 0;
    bool m_loading = false;
};

} // namespace quillary
