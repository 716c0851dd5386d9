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

// The widget a screen reader meets: a list's tree view rather than the
// scrolled frame around it, and the client area of a window of the
// program's own drawing, which is what takes the focus.
void* AccessibleOf(wxWindow* window) {
    static const auto getAccessible = Lookup<GetAccessible>("gtk_widget_get_accessible");
    if (!window || !getAccessible)
        return nullptr;
    GtkWidget* widget = window->m_wxwindow ? window->m_wxwindow : window->m_widget;
    if (auto* list = wxDynamicCast(window, wxDataViewCtrl))
        widget = list->GtkGetTreeView();
    return widget ? getAccessible(widget) : nullptr;
}

void SetAccessibleText(wxWindow* window, const char* setter, const wxString& text) {
    const auto set = Lookup<SetText>(setter);
    if (void* object = AccessibleOf(window); object && set)
        set(object, text.utf8_str());
}

}  // namespace

wxString GetAccessibleDescription(wxWindow* window) {
    static const auto get = Lookup<GetText>("atk_object_get_description");
    void* object = AccessibleOf(window);
    const char* text = object && get ? get(object) : nullptr;
    return text ? wxString::FromUTF8(text) : wxString();
}

void SetAccessibleName(wxWindow* window, const wxString& name) {
    SetAccessibleText(window, "atk_object_set_name", name);
}

void SetAccessibleDescription(wxWindow* window, const wxString& description) {
    SetAccessibleText(window, "atk_object_set_description", description);
}

}  // namespace pw
