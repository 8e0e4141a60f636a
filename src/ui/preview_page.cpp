#include "ui/preview_page.h"

#include <fstream>
#include <iterator>

#include <wx/fontenum.h>
#include <wx/settings.h>

#include "listing/output_type.h"
#include "res/controls.h"
#include "ui/wx_string.h"

namespace quillary {

namespace {

// How much text goes into the view per turn of the event loop: small enough that the window answers
// between slices, large enough that a big listing is in within seconds.
constexpr std::size_t kSliceBytes = 256 * 1024;

// "Courier New" at 8 points where it is installed, else the platform's monospace font.
wxFont PreviewFont() {
    if (wxFontEnumerator::IsValidFacename("Courier New"))
        return wxFont(wxFontInfo(8).FaceName("Courier New"));
    const int size = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetPointSize();
    return wxFont(wxFontInfo(size).Family(wxFONTFAMILY_TELETYPE));
}

// The end of the slice that starts at `offset`: after the last line end within kSliceBytes, so that a
// slice never ends inside a character; a longer line is cut at a character boundary.
std::size_t SliceEnd(const std::string& text, std::size_t offset) {
    if (text.size() - offset <= kSliceBytes)
        return text.size();
    std::size_t end = offset + kSliceBytes;
    const std::size_t lineEnd = text.rfind('\n', end - 1);
    if (lineEnd != std::string::npos && lineEnd >= offset)
        return lineEnd + 1;
    while (end > offset + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return end;
}

} // namespace

CPreviewPage::CPreviewPage(wxWindow* parent, WindowSurface& surface)
    : CTabPage(parent, kPreviewPage, surface) {
    m_html = new CHtmlCtrl(this, kIdHtmlView);
    m_surface.Add(kIdHtmlView, ControlKind::HtmlView, m_html);
    m_text = static_cast<wxTextCtrl*>(Make(kIdTextView));
    m_text->SetFont(PreviewFont());
    m_html->Hide();
    // One view at a time is shown; a hidden one takes no room.
    auto* views = new wxBoxSizer(wxVERTICAL);
    for (wxWindow* view : {static_cast<wxWindow*>(m_html), static_cast<wxWindow*>(m_text)})
        views->Add(view, wxSizerFlags(1).Expand().Border(wxTOP | wxBOTTOM, 6));
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(views, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT, 2));
    FinishLayout(sizer);
    Bind(wxEVT_IDLE, &CPreviewPage::OnIdle, this);
}

void CPreviewPage::Prepare(int outputType) {
    m_outputType = outputType;
    m_pending.clear(); // stops a stream still running
    m_offset = 0;
    const bool html = outputType == kOutputHtml;
    if (html) {
        m_html->ShowBlank();
    } else {
        m_text->Clear();
    }
    m_html->Show(html);
    m_text->Show(!html);
    Layout();
}

void CPreviewPage::ShowListing(const std::string& path) {
    if (m_outputType == kOutputHtml) {
        m_html->ShowFile(ToWx(path));
        return;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;
    m_pending.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    m_offset = 0;
    m_text->Clear();
    if (IsStreaming())
        AppendNextSlice();
}

// One slice per idle turn of the event loop: input and painting are handled between slices. (A chain
// of queued calls would not do: the loop runs queued calls until none are left.)
void CPreviewPage::OnIdle(wxIdleEvent& event) {
    event.Skip();
    if (!IsStreaming())
        return;
    AppendNextSlice();
    if (IsStreaming())
        event.RequestMore();
}

void CPreviewPage::AppendNextSlice() {
    const std::size_t end = SliceEnd(m_pending, m_offset);
    const bool first = m_offset == 0;
    m_text->AppendText(ToWx(std::string_view(m_pending).substr(m_offset, end - m_offset)));
    m_offset = end;
    // Back to the start after the first slice: the view then stays there while the rest comes in.
    if (first)
        m_text->ShowPosition(0);
    if (IsStreaming())
        return;
    m_pending.clear();
    m_pending.shrink_to_fit();
    m_offset = 0;
    m_text->SetInsertionPoint(0);
    m_text->ShowPosition(0);
}

} // namespace quillary
