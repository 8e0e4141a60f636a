#include "ui/text_preview_view.h"

#include <algorithm>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dc.h>
#include <wx/dcclient.h>
#include <wx/settings.h>

#include "ui/wx_string.h"

namespace quillary {

namespace {

// Room left of the text, in pixels, as a text control leaves it.
constexpr int kMargin = 3;

} // namespace

CTextPreviewView::CTextPreviewView(wxWindow* parent, int id)
    : wxScrolled<wxWindow>(parent, id, wxDefaultPosition, wxDefaultSize,
                           wxBORDER_THEME | wxVSCROLL | wxHSCROLL | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    // The keys are handled here, not by the scrolling helper's own key handling.
    DisableKeyboardScrolling();
    ShowScrollbars(wxSHOW_SB_DEFAULT, wxSHOW_SB_ALWAYS);
    Bind(wxEVT_KEY_DOWN, &CTextPreviewView::OnKeyDown, this);
    Bind(wxEVT_LEFT_DOWN, &CTextPreviewView::OnMouse, this);
    Bind(wxEVT_LEFT_UP, &CTextPreviewView::OnMouse, this);
    Bind(wxEVT_MOTION, &CTextPreviewView::OnMouse, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [](wxMouseCaptureLostEvent&) {});
    UpdateExtent();
}

bool CTextPreviewView::SetFont(const wxFont& font) {
    const bool changed = wxScrolled<wxWindow>::SetFont(font);
    UpdateExtent();
    return changed;
}

void CTextPreviewView::SetLines(LineIndex lines) {
    m_lines = std::move(lines);
    m_selecting = false;
    m_anchor = m_caret = 0;
    UpdateExtent();
    Scroll(0, 0);
    Refresh();
}

void CTextPreviewView::UpdateExtent() {
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    const wxSize extent = dc.GetTextExtent("M");
    m_charWidth = std::max(1, extent.x);
    m_lineHeight = std::max(1, dc.GetCharHeight());
    SetScrollRate(m_charWidth, m_lineHeight);
    const auto width = static_cast<int>(std::min<std::size_t>(m_lines.WidestLine(), 1 << 20)) * m_charWidth;
    const auto lines = static_cast<int>(std::min<std::size_t>(m_lines.LineCount(), (1 << 30) / m_lineHeight));
    SetVirtualSize(width + 2 * kMargin, lines * m_lineHeight);
}

std::size_t CTextPreviewView::TopLine() const {
    int x = 0;
    int y = 0;
    GetViewStart(&x, &y);
    return static_cast<std::size_t>(std::max(0, y));
}

std::size_t CTextPreviewView::VisibleLines() const {
    return static_cast<std::size_t>(std::max(1, GetClientSize().y / m_lineHeight));
}

std::size_t CTextPreviewView::LineAt(int y) const {
    const long line = static_cast<long>(TopLine()) + (y < 0 ? -1 : y / m_lineHeight);
    if (line < 0 || m_lines.LineCount() == 0)
        return 0;
    return std::min(static_cast<std::size_t>(line), m_lines.LineCount() - 1);
}

// Drawn in client coordinates from the first line shown: the scrolled origin of a long listing would be
// further from 0 than some drawing back ends can go.
void CTextPreviewView::OnDraw(wxDC& dc) {
    dc.SetDeviceOrigin(0, 0);
    const wxSize client = GetClientSize();
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    dc.SetFont(GetFont());
    int column = 0;
    int top = 0;
    GetViewStart(&column, &top);
    const int left = kMargin - column * m_charWidth;
    const std::size_t first = static_cast<std::size_t>(top);
    const std::size_t shown = static_cast<std::size_t>(client.y / m_lineHeight) + 1;
    const std::size_t selFirst = SelectionFirst();
    const std::size_t selLast = SelectionLast();
    const wxColour text = GetForegroundColour();
    const wxColour highlight = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    const wxColour highlightText = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
    for (std::size_t line = first; line < m_lines.LineCount() && line < first + shown; ++line) {
        const int y = static_cast<int>(line - first) * m_lineHeight;
        const bool selected = line >= selFirst && line < selLast;
        if (selected) {
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(highlight));
            dc.DrawRectangle(0, y, client.x, m_lineHeight);
        }
        dc.SetTextForeground(selected ? highlightText : text);
        dc.DrawText(ToWx(m_lines.Line(line)), left, y);
    }
}

void CTextPreviewView::ScrollToLine(std::size_t line) {
    int column = 0;
    int top = 0;
    GetViewStart(&column, &top);
    Scroll(column, static_cast<int>(std::min<std::size_t>(line, 1 << 30)));
}

void CTextPreviewView::Select(std::size_t line, bool extend) {
    if (m_lines.LineCount() == 0)
        return;
    if (!extend || !m_selecting)
        m_anchor = line;
    m_caret = line;
    m_selecting = true;
    // The caret line stays in sight.
    const std::size_t top = TopLine();
    if (line < top)
        ScrollToLine(line);
    else if (line >= top + VisibleLines())
        ScrollToLine(line + 1 - VisibleLines());
    Refresh();
}

void CTextPreviewView::SelectAll() {
    if (m_lines.LineCount() == 0)
        return;
    m_anchor = 0;
    m_caret = m_lines.LineCount() - 1;
    m_selecting = true;
    Refresh();
}

bool CTextPreviewView::CopySelection() {
    if (SelectionFirst() == SelectionLast() || !wxTheClipboard->Open())
        return false;
    wxTheClipboard->SetData(new wxTextDataObject(ToWx(m_lines.Lines(SelectionFirst(), SelectionLast()))));
    wxTheClipboard->Close();
    return true;
}

void CTextPreviewView::OnKeyDown(wxKeyEvent& event) {
    const bool control = event.ControlDown();
    const bool shift = event.ShiftDown();
    const std::size_t page = VisibleLines();
    const std::size_t count = m_lines.LineCount();
    const std::size_t last = count == 0 ? 0 : count - 1;
    int column = 0;
    int top = 0;
    GetViewStart(&column, &top);
    const auto topLine = static_cast<std::size_t>(top);
    // With Shift the selection's moving end goes; without it the view does.
    const std::size_t from = shift && m_selecting ? m_caret : topLine;
    const auto move = [&](std::size_t target) {
        if (shift && !m_selecting && count > 0) {
            m_anchor = m_caret = from; // the selection starts at the top line
            m_selecting = true;
        }
        if (shift)
            Select(std::min(target, last), true);
        else
            ScrollToLine(std::min(target, count > page ? count - page : 0));
    };
    switch (event.GetKeyCode()) {
    case 'A':
        if (!control)
            break;
        SelectAll();
        return;
    case 'C':
    case WXK_INSERT:
        if (!control)
            break;
        CopySelection();
        return;
    case WXK_UP:
        move(from > 0 ? from - 1 : 0);
        return;
    case WXK_DOWN:
        move(from + 1);
        return;
    case WXK_PAGEUP:
        move(from > page ? from - page : 0);
        return;
    case WXK_PAGEDOWN:
        move(from + page);
        return;
    case WXK_HOME:
        if (control || shift)
            move(0);
        else
            Scroll(0, top);
        return;
    case WXK_END:
        if (control || shift)
            move(last);
        else
            Scroll(GetVirtualSize().x / m_charWidth, top);
        return;
    case WXK_LEFT:
        Scroll(std::max(0, column - 1), top);
        return;
    case WXK_RIGHT:
        Scroll(column + 1, top);
        return;
    default:
        break;
    }
    event.Skip();
}

void CTextPreviewView::OnMouse(wxMouseEvent& event) {
    event.Skip();
    if (event.LeftDown()) {
        SetFocus();
        CaptureMouse();
        Select(LineAt(event.GetY()), event.ShiftDown());
    } else if (event.Dragging() && HasCapture()) {
        Select(LineAt(event.GetY()), true);
    } else if (event.LeftUp() && HasCapture()) {
        ReleaseMouse();
    }
}

} // namespace quillary
