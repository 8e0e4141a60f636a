// The HTML view of the preview: a panel that the browser (wxWebView) fills. A navigation to an address
// that starts with "app:" (in any case) is not a navigation but a command to the program: it is
// cancelled and the rest of the address goes to the command handler.
//
// The browser is created the first time something is shown, so that a window that never previews HTML
// never starts the web engine.
#pragma once

#include <functional>

#include <wx/panel.h>

class wxWebView;
class wxWebViewEvent;

namespace quillary {

class CHtmlCtrl final : public wxPanel {
public:
    using CommandHandler = std::function<void(const wxString& command)>;

    CHtmlCtrl(wxWindow* parent, int id, CommandHandler onCommand = {});

    // Shows an empty page.
    void ShowBlank();
    // Shows a file of the local file system.
    void ShowFile(const wxString& path);
    // Shows a document held in memory; relative addresses in it are taken from `baseUrl`.
    void ShowDocument(const wxString& html, const wxString& baseUrl);
    void LoadUrl(const wxString& url);

    // The address of the last page that finished loading ("" before any), and its text.
    const wxString& LoadedUrl() const { return m_loadedUrl; }
    wxString PageText() const;
    // The height of the page's body in pixels (0 before any page); reading it lays the page out.
    long PageHeight() const;

private:
    wxWebView* View();
    void OnNavigating(wxWebViewEvent& event);
    void OnLoaded(wxWebViewEvent& event);

    wxWebView* m_view = nullptr; // null until something is shown, and where no engine can be made
    bool m_noEngine = false;
    CommandHandler m_onCommand;
    wxString m_loadedUrl;
};

} // namespace quillary
