#include "ui/html_ctrl.h"

#include <wx/filesys.h>
#include <wx/sizer.h>
#include <wx/webview.h>
#if defined(__WXMSW__) && wxUSE_WEBVIEW_IE
#include <wx/log.h>
#include <wx/msw/registry.h>
#include <wx/msw/webview_ie.h>
#endif

namespace quillary {

namespace {

constexpr const char* kCommandScheme = "app:";

} // namespace

CHtmlCtrl::CHtmlCtrl(wxWindow* parent, int id, CommandHandler onCommand)
    : wxPanel(parent, id), m_onCommand(std::move(onCommand)) {
    SetSizer(new wxBoxSizer(wxVERTICAL));
}

wxWebView* CHtmlCtrl::View() {
    if (m_view == nullptr && !m_noEngine) {
#if defined(__WXMSW__) && wxUSE_WEBVIEW_IE
        // The Internet Explorer control renders as IE 7 unless the program asks for the current engine,
        // in the user's key of the browser features (made when missing, as on a fresh profile).
        {
            wxLogNull quiet;
            wxRegKey(wxRegKey::HKCU, "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\"
                                     "FEATURE_BROWSER_EMULATION")
                .Create(false);
            wxWebViewIE::MSWSetEmulationLevel(wxWEBVIEWIE_EMU_IE11);
        }
#endif
        m_view = wxWebView::New(this, wxID_ANY, "about:blank");
        // Without an HTML engine the panel stays empty.
        m_noEngine = m_view == nullptr;
        if (m_noEngine)
            return nullptr;
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
    if (wxWebView* view = View())
        view->LoadURL(url);
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
