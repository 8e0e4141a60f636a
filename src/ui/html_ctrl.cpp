#include "ui/html_ctrl.h"

#include <wx/filesys.h>
#include <wx/sizer.h>
#include <wx/webview.h>

namespace quillary {

namespace {

constexpr const char* kCommandScheme = "app:";

} // namespace

CHtmlCtrl::CHtmlCtrl(wxWindow* parent, int id, CommandHandler onCommand)
    : wxPanel(parent, id), m_onCommand(std::move(onCommand)) {
    SetSizer(new wxBoxSizer(wxVERTICAL));
}

wxWebView* CHtmlCtrl::View() {
    if (m_view == nullptr) {
        m_view = wxWebView::New(this, wxID_ANY, "about:blank");
        m_view->Bind(wxEVT_WEBVIEW_NAVIGATING, &CHtmlCtrl::OnNavigating, this);
        m_view->Bind(wxEVT_WEBVIEW_LOADED, &CHtmlCtrl::OnLoaded, this);
        GetSizer()->Add(m_view, wxSizerFlags(1).Expand());
        Layout();
    }
    return m_view;
}

void CHtmlCtrl::ShowBlank() {
    LoadUrl("about:blank");
}

void CHtmlCtrl::ShowFile(const wxString& path) {
    LoadUrl(wxFileSystem::FileNameToURL(wxFileName(path)));
}

void CHtmlCtrl::ShowDocument(const wxString& html, const wxString& baseUrl) {
    m_loadedUrl.clear();
    View()->SetPage(html, baseUrl);
}

void CHtmlCtrl::LoadUrl(const wxString& url) {
    m_loadedUrl.clear();
    View()->LoadURL(url);
}

// Read through the page's script: the engine's own text access needs a wx web extension that is not
// always installed.
wxString CHtmlCtrl::PageText() const {
    wxString text;
    if (m_view == nullptr || !m_view->RunScript("document.body ? document.body.innerText : ''", &text))
        return {};
    return text;
}

long CHtmlCtrl::PageHeight() const {
    wxString text;
    long height = 0;
    if (m_view == nullptr || !m_view->RunScript("document.body ? document.body.scrollHeight : 0", &text))
        return 0;
    return text.ToLong(&height) ? height : 0;
}

void CHtmlCtrl::OnNavigating(wxWebViewEvent& event) {
    const wxString url = event.GetURL();
    const wxString scheme(kCommandScheme);
    if (!url.Left(scheme.length()).IsSameAs(scheme, false))
        return;
    event.Veto();
    if (m_onCommand)
        m_onCommand(url.Mid(scheme.length()));
}

// The engine reports the empty page it starts with as loaded too; only the page asked for counts.
void CHtmlCtrl::OnLoaded(wxWebViewEvent& event) {
    m_loadedUrl = event.GetURL();
}

} // namespace quillary
