#include "ui/fitting_size.h"

#include <string>

#include <wx/notebook.h>

#ifdef __WXGTK__
#include "ui/loaded_symbol.h"
#endif

#include "persistence/language_file.h"

namespace quillary {

ProfileFile CaptionsAsLanguage(const ControlSurface& surface) {
    ProfileFile language;
    for (const ControlRef& control : surface.Controls()) {
        if (IsLanguageNeutral(control))
            continue;
        const std::string section = std::to_string(control.id);
        if (control.kind == ControlKind::ComboBox || control.kind == ControlKind::TabControl) {
            std::string caption;
            for (const std::string& item : surface.Items(control.id))
                caption += (caption.empty() ? "" : "|") + item;
            language.Set(section, "Caption", caption);
        } else if (control.kind != ControlKind::Edit) {
            language.Set(section, "Caption", surface.Text(control.id));
        }
        if (surface.HasHint(control.id))
            language.Set(section, "Hint", surface.Hint(control.id));
    }
    return language;
}

#ifdef __WXGTK__

namespace {

// The GTK calls needed, looked up in the libraries wxWidgets has loaded (no GTK headers in the build).
struct GtkCalls {
    struct Allocation {
        int x, y, width, height;
    };
    using SetScrollable = void (*)(void* notebook, int scrollable);
    using GetScrollable = int (*)(void* notebook);
    using PreferredWidth = void (*)(void* widget, int* minimum, int* natural);
    using TabLabel = void* (*)(void* notebook, void* child);
    using GetAllocation = void (*)(void* widget, Allocation* allocation);
    using ChildVisible = int (*)(void* widget);

    SetScrollable setScrollable = nullptr;
    GetScrollable getScrollable = nullptr;
    PreferredWidth preferredWidth = nullptr;
    TabLabel tabLabel = nullptr;
    GetAllocation getAllocation = nullptr;
    ChildVisible childVisible = nullptr;

    GtkCalls() {
        setScrollable = LoadedSymbol<SetScrollable>("gtk_notebook_set_scrollable");
        getScrollable = LoadedSymbol<GetScrollable>("gtk_notebook_get_scrollable");
        preferredWidth = LoadedSymbol<PreferredWidth>("gtk_widget_get_preferred_width");
        tabLabel = LoadedSymbol<TabLabel>("gtk_notebook_get_tab_label");
        getAllocation = LoadedSymbol<GetAllocation>("gtk_widget_get_allocation");
        childVisible = LoadedSymbol<ChildVisible>("gtk_widget_get_child_visible");
    }
};

const GtkCalls& Gtk() {
    static const GtkCalls calls;
    return calls;
}

} // namespace

// A notebook that is not scrollable asks for the room of all its tabs: ask it once that way.
int TabStripWidth(wxNotebook* tabs) {
    const GtkCalls& gtk = Gtk();
    void* notebook = tabs->GetHandle();
    if (notebook == nullptr || gtk.setScrollable == nullptr || gtk.getScrollable == nullptr ||
        gtk.preferredWidth == nullptr)
        return 0;
    const int scrollable = gtk.getScrollable(notebook);
    gtk.setScrollable(notebook, 0);
    int minimum = 0;
    int natural = 0;
    gtk.preferredWidth(notebook, &minimum, &natural);
    gtk.setScrollable(notebook, scrollable);
    return minimum;
}

wxRect TabLabelRect(wxNotebook* tabs, std::size_t index) {
    const GtkCalls& gtk = Gtk();
    if (index >= tabs->GetPageCount() || gtk.tabLabel == nullptr || gtk.getAllocation == nullptr ||
        gtk.childVisible == nullptr)
        return {};
    void* label = gtk.tabLabel(tabs->GetHandle(), tabs->GetPage(index)->GetHandle());
    if (label == nullptr || gtk.childVisible(label) == 0)
        return {};
    GtkCalls::Allocation shown{};
    GtkCalls::Allocation strip{};
    gtk.getAllocation(label, &shown);
    gtk.getAllocation(tabs->GetHandle(), &strip);
    return wxRect(shown.x - strip.x, shown.y - strip.y, shown.width, shown.height);
}

#else

// The native tab control of Windows draws each label with a fixed padding around its text; the sum of
// the labels is the strip's width (a few pixels too many rather than too few).
int TabStripWidth(wxNotebook* tabs) {
    constexpr int kLabelPadding = 20; // both sides of the text and the tab's frame
    int width = 4;                    // the strip's own edges
    for (std::size_t page = 0; page < tabs->GetPageCount(); ++page)
        width += tabs->GetTextExtent(tabs->GetPageText(page)).x + kLabelPadding;
    return width;
}

// Found by asking the tab control which tab each point of its strip belongs to (the strip is the band
// above the pages), so that no system call is needed.
wxRect TabLabelRect(wxNotebook* tabs, std::size_t index) {
    if (index >= tabs->GetPageCount())
        return {};
    const int stripHeight = tabs->GetPage(index)->GetPosition().y;
    const int y = stripHeight / 2;
    int left = -1;
    int right = -1;
    for (int x = 0; x < tabs->GetClientSize().x; ++x) {
        if (tabs->HitTest(wxPoint(x, y)) == static_cast<int>(index)) {
            if (left < 0)
                left = x;
            right = x;
        }
    }
    if (left < 0)
        return {};
    return wxRect(left, 0, right - left + 1, stripHeight);
}

#endif

} // namespace quillary
