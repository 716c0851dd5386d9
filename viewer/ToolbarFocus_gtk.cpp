#include "viewer/ToolbarFocus.h"

#include <wx/toolbar.h>

#include <dlfcn.h>
#include <glib-object.h>

namespace pw {

// GTK leaves a toolbar's buttons out of the keyboard's way; each tool's
// button is let take the focus. The calls are looked up in the process,
// which has GTK loaded.
void LetToolsTakeFocus(wxToolBar* toolbar) {
    using ForEach = void (*)(void* container, void (*callback)(void*, void*), void* data);
    static const auto forEach = reinterpret_cast<ForEach>(dlsym(RTLD_DEFAULT, "gtk_container_forall"));
    static const GType container = g_type_from_name("GtkContainer");
    static const GType button = g_type_from_name("GtkButton");
    GtkWidget* widget = toolbar ? toolbar->GetHandle() : nullptr;
    if (!widget || !forEach || !container || !button)
        return;
    struct Walk {
        static void Visit(void* child, void*) {
            if (g_type_is_a(G_OBJECT_TYPE(child), button))
                g_object_set(G_OBJECT(child), "can-focus", TRUE, nullptr);
            else if (g_type_is_a(G_OBJECT_TYPE(child), container))
                forEach(child, &Visit, nullptr);
        }
    };
    forEach(widget, &Walk::Visit, nullptr);
}

bool FocusFirstTool(wxToolBar* toolbar) {
    using ForEach = void (*)(void* container, void (*callback)(void*, void*), void* data);
    using Check = gboolean (*)(void*);
    using Grab = void (*)(void*);
    static const auto forEach = reinterpret_cast<ForEach>(dlsym(RTLD_DEFAULT, "gtk_container_forall"));
    static const auto usable = reinterpret_cast<Check>(dlsym(RTLD_DEFAULT, "gtk_widget_is_sensitive"));
    static const auto visible = reinterpret_cast<Check>(dlsym(RTLD_DEFAULT, "gtk_widget_is_visible"));
    static const auto grab = reinterpret_cast<Grab>(dlsym(RTLD_DEFAULT, "gtk_widget_grab_focus"));
    static const GType container = g_type_from_name("GtkContainer");
    static const GType button = g_type_from_name("GtkButton");
    GtkWidget* widget = toolbar ? toolbar->GetHandle() : nullptr;
    if (!widget || !forEach || !usable || !visible || !grab)
        return false;
    struct Walk {
        static void Visit(void* child, void* found) {
            void*& first = *static_cast<void**>(found);
            if (first)
                return;
            if (g_type_is_a(G_OBJECT_TYPE(child), button) && usable(child) && visible(child))
                first = child;
            else if (g_type_is_a(G_OBJECT_TYPE(child), container))
                forEach(child, &Visit, found);
        }
    };
    void* first = nullptr;
    forEach(widget, &Walk::Visit, &first);
    if (first)
        grab(first);
    return first != nullptr;
}

}  // namespace pw
