// The read-only view of a text or CSV listing on the Preview page: it holds the file's lines (a
// LineIndex) and draws only those on screen, so that a listing of any length is shown at once.
//
// The keyboard scrolls it (arrows, Page Up/Down, Home/End; with Ctrl to the first or last line). Whole
// lines are selected with the mouse (a drag, Shift+click), with Shift and the up/down keys, or all with
// Ctrl+A; Ctrl+C copies them.
#pragma once

#include <cstddef>
#include <string>

#include <wx/scrolwin.h>

#include "listing/listing_preview.h"

namespace quillary {

class CTextPreviewView final : public wxScrolled<wxWindow> {
public:
    CTextPreviewView(wxWindow* parent, int id);

    // Shows these lines, scrolled to the first one; nothing is selected.
    void SetLines(LineIndex lines);
    void Clear() { SetLines(LineIndex()); }

    const LineIndex& Lines() const { return m_lines; }
    // The selected lines [first, last), first == last when none is.
    std::size_t SelectionFirst() const { return std::min(m_anchor, m_caret); }
    std::size_t SelectionLast() const {
        return m_selecting ? std::max(m_anchor, m_caret) + 1 : SelectionFirst();
    }
    void SelectAll();
    // Copies the selected lines to the clipboard; false when none is selected or it cannot be opened.
    bool CopySelection();
    // The first line shown at the top.
    std::size_t TopLine() const;

    bool AcceptsFocus() const override { return true; }
    bool SetFont(const wxFont& font) override;

private:
    void OnDraw(wxDC& dc) override;
    void UpdateExtent();
    std::size_t LineAt(int y) const;
    std::size_t VisibleLines() const;
    void ScrollToLine(std::size_t line);
    void Select(std::size_t line, bool extend);

    void OnKeyDown(wxKeyEvent& event);
    void OnMouse(wxMouseEvent& event);

    LineIndex m_lines;
    int m_lineHeight = 1;
    int m_charWidth = 1;
    bool m_selecting = false;
    std::size_t m_anchor = 0;
    std::size_t m_caret = 0;
};

} // namespace quillary
