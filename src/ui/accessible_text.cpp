#include "ui/accessible_text.h"

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

namespace quillary {

#ifdef __WXGTK__

namespace {

// The few ATK calls needed, looked up in the GTK and ATK libraries the program has already loaded
// through wxWidgets. Declaring them here keeps GTK's development headers out of the build; a missing
// symbol only turns the accessible texts off.
struct AtkCalls {
    using GetAccessible = void* (*)(void* widget);
    using SetText = void (*)(void* object, const char* text);
    using GetText = const char* (*)(void* object);

    GetAccessible getAccessible = nullptr;
    SetText setName = nullptr;
    SetText setDescription = nullptr;
    GetText getName = nullptr;
    GetText getDescription = nullptr;

    AtkCalls() {
        getAccessible = reinterpret_cast<GetAccessible>(dlsym(RTLD_DEFAULT, "gtk_widget_get_accessible"));
        setName = reinterpret_cast<SetText>(dlsym(RTLD_DEFAULT, "atk_object_set_name"));
        setDescription = reinterpret_cast<SetText>(dlsym(RTLD_DEFAULT, "atk_object_set_description"));
        getName = reinterpret_cast<GetText>(dlsym(RTLD_DEFAULT, "atk_object_get_name"));
        getDescription = reinterpret_cast<GetText>(dlsym(RTLD_DEFAULT, "atk_object_get_description"));
    }

    bool Ok() const {
        return getAccessible != nullptr && setName != nullptr && setDescription != nullptr &&
               getName != nullptr && getDescription != nullptr;
    }
};

const AtkCalls& Atk() {
    static const AtkCalls calls;
    return calls;
}

void* AccessibleOf(void* widget) {
    return widget != nullptr ? Atk().getAccessible(widget) : nullptr;
}

wxString ReadText(wxWindow* window, AtkCalls::GetText get) {
    if (!Atk().Ok() || window == nullptr)
        return {};
    void* object = AccessibleOf(window->GetConnectWidget());
    const char* text = object != nullptr ? get(object) : nullptr;
    return text != nullptr ? wxString::FromUTF8(text) : wxString();
}

} // namespace

void SetAccessibleText(wxWindow* window, const wxString& name, const wxString& description) {
    if (!Atk().Ok() || window == nullptr)
        return;
    // The outer widget (a scrolled window for the generic controls) and the inner one that has the
    // keyboard focus: a screen reader reads the focused one, a test driver may find either.
    for (void* widget :
         {static_cast<void*>(window->GetHandle()), static_cast<void*>(window->GetConnectWidget())}) {
        if (void* object = AccessibleOf(widget)) {
            Atk().setName(object, name.utf8_str());
            Atk().setDescription(object, description.utf8_str());
        }
    }
}

wxString AccessibleName(wxWindow* window) {
    return ReadText(window, Atk().getName);
}

wxString AccessibleDescription(wxWindow* window) {
    return ReadText(window, Atk().getDescription);
}

#else

void SetAccessibleText(wxWindow*, const wxString&, const wxString&) {}
wxString AccessibleName(wxWindow*) {
    return {};
}
wxString AccessibleDescription(wxWindow*) {
    return {};
}

#endif

} // namespace quillary
