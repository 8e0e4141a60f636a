// The colour dialog of the HTML colours, answered through GTK itself.
#include <string_view>

#include <dlfcn.h>

#include <wx/timer.h>

#include "../gui_test_support.h"
#include "model/options_rules.h"
#include "res/controls.h"

namespace quillary::test {
namespace {

// Answers the colour dialog with "Cancel" once it is open. The GTK colour dialog is not a wx window: it
// runs a loop of its own, in which GLib timers still fire, and is found among GTK's windows and
// answered as its Cancel button would answer it (wx uses GtkColorSelectionDialog for the full one). GTK is
// reached through the loaded library, as the program's accessibility code does.
class ColourDialogCanceller : public wxTimer {
public:
    bool sawDialog = false;

    void Notify() override {
        struct GList {
            void* data;
            GList* next;
            GList* prev;
        };
        using ListToplevels = GList* (*)();
        using FreeList = void (*)(GList*);
        using TypeName = const char* (*)(void*);
        using Visible = int (*)(void*);
        using Respond = void (*)(void* dialog, int response);
        const auto toplevels =
            reinterpret_cast<ListToplevels>(dlsym(RTLD_DEFAULT, "gtk_window_list_toplevels"));
        const auto freeList = reinterpret_cast<FreeList>(dlsym(RTLD_DEFAULT, "g_list_free"));
        const auto typeName = reinterpret_cast<TypeName>(dlsym(RTLD_DEFAULT, "g_type_name_from_instance"));
        const auto visible = reinterpret_cast<Visible>(dlsym(RTLD_DEFAULT, "gtk_widget_get_visible"));
        const auto respond = reinterpret_cast<Respond>(dlsym(RTLD_DEFAULT, "gtk_dialog_response"));
        ASSERT_TRUE(toplevels && freeList && typeName && visible && respond);
        constexpr int kGtkResponseCancel = -6;
        GList* windows = toplevels();
        for (GList* node = windows; node != nullptr; node = node->next) {
            if (std::string_view(typeName(node->data)).starts_with("GtkColor") && visible(node->data)) {
                sawDialog = true;
                Stop();
                respond(node->data, kGtkResponseCancel);
                break;
            }
        }
        freeList(windows);
    }
};

TEST(ColourDialog, ACancelledColourDialogChangesNothing) {
    ScratchDir folder;
    CQuillaryDlg* window = MakeWindow(folder);
    WindowCloser closer{window};
    window->Show();
    WindowSurface& surface = window->Surface();
    surface.SetCheckState(kIdOutputHtml, 1);
    RefreshEnabling(surface);
    const SampleStyle before = surface.Sample(kIdOddSample);
    ColourDialogCanceller canceller;
    canceller.Start(10);
    wxCommandEvent click(wxEVT_BUTTON, kIdOddBackgroundButton);
    click.SetEventObject(surface.Window(kIdOddBackgroundButton));
    surface.Window(kIdOddBackgroundButton)->ProcessWindowEvent(click);
    canceller.Stop();
    EXPECT_TRUE(canceller.sawDialog);
    EXPECT_EQ(surface.Sample(kIdOddSample), before);
    EXPECT_EQ(surface.Sample(kIdOddSample2), before);
}

} // namespace
} // namespace quillary::test
