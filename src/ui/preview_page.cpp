#include "ui/preview_page.h"

#include <wx/filesys.h>
#include <wx/fontenum.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include "listing/listing_preview.h"
#include "platform/file_io.h"
#include "platform/number_format.h"
#include "res/controls.h"
#include "ui/wx_string.h"

namespace quillary {

namespace {

// The largest listing file the page reads.
constexpr std::size_t kMaxPreviewBytes = std::size_t{2} << 30;

// "Courier New" at 8 points where it is installed, else the platform's monospace font.
wxFont PreviewFont() {
    if (wxFontEnumerator::IsValidFacename("Courier New"))
        return wxFont(wxFontInfo(8).FaceName("Courier New"));
    const int size = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetPointSize();
    return wxFont(wxFontInfo(size).Family(wxFONTFAMILY_TELETYPE));
}

// A row count with its digits grouped as the listings group sizes.
std::string CountText(std::size_t count) {
    std::string text;
    if (!FormatNumber(std::to_string(count), NumberFormat{}, text))
        return std::to_string(count);
    return text;
}

// The message, or its built-in English text when a language file leaves it empty.
std::string MessageText(const MessageTable& messages, int id) {
    const std::string& text = messages.Get(id);
    return text.empty() ? MessageTable().Get(id) : text;
}

} // namespace

CPreviewPage::CPreviewPage(wxWindow* parent, WindowSurface& surface)
    : CTabPage(parent, kPreviewPage, surface) {
    m_html = new CHtmlCtrl(this, kIdHtmlView);
    m_surface.Add(kIdHtmlView, ControlKind::HtmlView, m_html);
    m_text = static_cast<CTextPreviewView*>(Make(kIdTextView));
    m_text->SetFont(PreviewFont());
    m_html->Hide();
    m_cutNote = new wxStaticText(this, wxID_ANY, wxString());
    m_openWhole = new wxButton(this, wxID_ANY, wxString());
    m_openWhole->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { wxLaunchDefaultBrowser(m_wholeUrl); });
    m_cutBar = new wxBoxSizer(wxHORIZONTAL);
    m_cutBar->Add(m_cutNote, wxSizerFlags(1).CenterVertical().Border(wxRIGHT, kGap));
    m_cutBar->Add(m_openWhole, wxSizerFlags().CenterVertical());
    // One view at a time is shown; a hidden one takes no room.
    auto* views = new wxBoxSizer(wxVERTICAL);
    views->Add(m_cutBar, wxSizerFlags().Expand().Border(wxTOP, 6));
    for (wxWindow* view : {static_cast<wxWindow*>(m_html), static_cast<wxWindow*>(m_text)})
        views->Add(view, wxSizerFlags(1).Expand().Border(wxTOP | wxBOTTOM, 6));
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(views, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT, 2));
    FinishLayout(sizer);
    ShowCutBar(false);
}

void CPreviewPage::ShowCutBar(bool shown) {
    m_cutBar->ShowItems(shown);
    m_cutBar->Show(shown);
    Layout();
}

// What the reading thread hands to the page.
struct CPreviewPage::Loaded {
    bool read = false;
    LineIndex lines;
    HtmlPreview html;
};

CPreviewPage::~CPreviewPage() {
    if (m_reader.joinable())
        m_reader.join();
}

void CPreviewPage::Prepare(OutputType outputType) {
    ++m_generation; // a result still on its way is no longer wanted
    m_loading = false;
    m_outputType = outputType;
    const bool html = outputType == OutputType::Html || outputType == OutputType::BrowsableHtml;
    if (html) {
        m_html->ShowBlank();
    } else {
        m_text->Clear();
    }
    m_html->Show(html);
    m_text->Show(!html);
    ShowCutBar(false);
}

void CPreviewPage::ShowListing(const std::string& path, const MessageTable& messages) {
    if (m_reader.joinable())
        m_reader.join();
    const unsigned generation = ++m_generation;
    const bool html = m_outputType == OutputType::Html;
    // The browsable listing draws only the rows in view itself: the web view opens the whole file.
    const bool browsable = m_outputType == OutputType::BrowsableHtml;
    m_path = path;
    m_cutNoteText = MessageText(messages, MSG_PREVIEW_FIRST_ROWS);
    m_openWholeText = MessageText(messages, MSG_PREVIEW_OPEN_IN_BROWSER);
    m_loading = true;
    m_reader = std::thread([this, path, html, browsable, generation] {
        auto loaded = std::make_shared<Loaded>();
        std::string contents;
        loaded->read = browsable || ReadWholeFile(path, contents, kMaxPreviewBytes);
        if (loaded->read && html)
            loaded->html = CutHtmlListing(std::move(contents), kHtmlPreviewRows);
        else if (loaded->read)
            loaded->lines = LineIndex(std::move(contents));
        // Queued to the page's event handler (safe from any thread); the page joins this thread
        // before it goes, and a page that goes drops what is still queued for it.
        CallAfter([this, loaded, generation] {
            if (generation != m_generation)
                return;
            m_loading = false;
            ShowLoaded(*loaded);
        });
    });
}

void CPreviewPage::ShowLoaded(Loaded& loaded) {
    if (!loaded.read)
        return;
    if (m_outputType == OutputType::BrowsableHtml) {
        m_html->ShowFile(ToWx(m_path));
        return;
    }
    if (m_outputType != OutputType::Html) {
        m_text->SetLines(std::move(loaded.lines));
        return;
    }
    const HtmlPreview& preview = loaded.html;
    m_wholeUrl = wxFileSystem::FileNameToURL(wxFileName(ToWx(m_path)));
    if (!preview.IsCut()) {
        m_html->ShowFile(ToWx(m_path));
        return;
    }
    m_cutNote->SetLabel(
        ToWx(FillPlaceholders(m_cutNoteText, {CountText(preview.shownRows), CountText(preview.totalRows),
                                              CountText(preview.totalRows - preview.shownRows)})));
    m_openWhole->SetLabel(ToWx(m_openWholeText));
    ShowCutBar(true);
    // Links relative to the listing's folder resolve as they do in the file.
    m_html->ShowDocument(ToWx(preview.document), m_wholeUrl);
}

} // namespace quillary
