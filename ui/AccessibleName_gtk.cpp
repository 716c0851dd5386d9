#include "ui/AccessibleName.h"

#include <wx/dataview.h>
#include <wx/window.h>

#include <dlfcn.h>

namespace pw {

namespace {

// The toolkit's accessibility calls, looked up in the process, which has
// GTK and ATK loaded already: the build needs no ATK headers.
using GetAccessible = void* (*)(void* widget);
using SetText = void (*)(void* object, const char* text);
using GetText = const char* (*)(void* object);

template <class F>
F Lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

// The widget a screen reader meets, which is the one that takes the focus:
// a list's tree view or a text's view rather than the scrolled frame around
// it, the client area of a window of the program's own drawing.
void* AccessibleOf(wxWindow* window) {
    static const auto getAccessible = Lookup<GetAccessible>("gtk_widget_get_accessible");
    if (!window || !getAccessible)
        return nullptr;
    GtkWidget* widget = window->GetConnectWidget();
    if (auto* list = dynamic_cast<wxDataViewCtrl*>(window))
        widget = list->GtkGetTreeView();
    return widget ? getAccessible(widget) : nullptr;
}

void SetAccessibleText(wxWindow* window, const char* setter, const wxString& text) {
    const auto set = Lookup<SetText>(setter);
    if (void* object = AccessibleOf(window); object && set)
        set(object, text.utf8_str());
}

wxString GetAccessibleText(wxWindow* window, const char* getter) {
    const auto get = Lookup<GetText>(getter);
    void* object = AccessibleOf(window);
    const char* text = object && get ? get(object) : nullptr;
    return text ? wxString::FromUTF8(text) : wxString();
}

}  // namespace

wxString GetAccessibleName(wxWindow* window) { return GetAccessibleText(window, "atk_object_get_name"); }

wxString GetAccessibleDescription(wxWindow* window) {
    return GetAccessibleText(window, "atk_object_get_description");
}

void PresentAsDialogToScreenReaders(wxWindow* window) {
    using SetRole = void (*)(void* object, int role);
    static const auto getAccessible = Lookup<GetAccessible>("gtk_widget_get_accessible");
    static const auto setRole = Lookup<SetRole>("atk_object_set_role");
    constexpr int kAtkRoleDialog = 16;  // ATK_ROLE_DIALOG
    // The top-level window itself, not its client area.
    GtkWidget* widget = window ? window->GetHandle() : nullptr;
    if (void* object = widget && getAccessible ? getAccessible(widget) : nullptr; object && setRole)
        setRole(object, kAtkRoleDialog);
}

void SetAccessibleName(wxWindow* window, const wxString& name) {
    SetAccessibleText(window, "atk_object_set_name", name);
}

void SetAccessibleDescription(wxWindow* window, const wxString& description) {
    SetAccessibleText(window, "atk_object_set_description", description);
}

}  // namespace pw
