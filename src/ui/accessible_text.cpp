#include "ui/accessible_text.h"

#ifdef __WXGTK__
#include "ui/loaded_symbol.h"
#elif defined(__WXMSW__) && wxUSE_ACCESSIBILITY
#include <wx/access.h>
#include <wx/msw/wrapwin.h>

#include <oleacc.h>
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
        getAccessible = LoadedSymbol<GetAccessible>("gtk_widget_get_accessible");
        setName = LoadedSymbol<SetText>("atk_object_set_name");
        setDescription = LoadedSymbol<SetText>("atk_object_set_description");
        getName = LoadedSymbol<GetText>("atk_object_get_name");
        getDescription = LoadedSymbol<GetText>("atk_object_get_description");
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

#elif defined(__WXMSW__) && wxUSE_ACCESSIBILITY

namespace {

// The window's own object answers with the texts; everything else (its role, state, the items of a
// native control) comes from the system's standard object, as wx falls back to it for what is not
// implemented here.
class TextAccessible final : public wxWindowAccessible {
public:
    explicit TextAccessible(wxWindow* window) : wxWindowAccessible(window) {}

    wxAccStatus GetName(int childId, wxString* name) override {
        if (childId != wxACC_SELF)
            return wxACC_NOT_IMPLEMENTED;
        *name = m_name;
        return wxACC_OK;
    }
    wxAccStatus GetDescription(int childId, wxString* description) override {
        if (childId != wxACC_SELF)
            return wxACC_NOT_IMPLEMENTED;
        *description = m_description;
        return wxACC_OK;
    }

    wxString m_name;
    wxString m_description;
};

// Asks the window's client object through the accessibility API, as a screen reader would.
wxString ReadText(wxWindow* window, bool description) {
    if (window == nullptr)
        return {};
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(static_cast<HWND>(window->GetHWND()), OBJID_CLIENT, IID_IAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr)
        return {};
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    const HRESULT result =
        description ? object->get_accDescription(self, &text) : object->get_accName(self, &text);
    object->Release();
    wxString read;
    if (SUCCEEDED(result) && text != nullptr)
        read = wxString(text, SysStringLen(text));
    SysFreeString(text);
    return read;
}

} // namespace

void SetAccessibleText(wxWindow* window, const wxString& name, const wxString& description) {
    if (window == nullptr)
        return;
    auto* accessible = dynamic_cast<TextAccessible*>(window->GetAccessible());
    if (accessible == nullptr) {
        accessible = new TextAccessible(window);
        window->SetAccessible(accessible); // the window owns it
    }
    accessible->m_name = name;
    accessible->m_description = description;
    wxAccessible::NotifyEvent(wxACC_EVENT_OBJECT_NAMECHANGE, window, wxOBJID_CLIENT, wxACC_SELF);
    wxAccessible::NotifyEvent(wxACC_EVENT_OBJECT_DESCRIPTIONCHANGE, window, wxOBJID_CLIENT, wxACC_SELF);
}

wxString AccessibleName(wxWindow* window) {
    return ReadText(window, false);
}

wxString AccessibleDescription(wxWindow* window) {
    return ReadText(window, true);
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
