#include "ui/PaintPace.h"

#include <wx/toplevel.h>
#include <wx/window.h>

#include <dlfcn.h>

namespace pw {

namespace {

// GDK's calls, looked up in the process, which has GTK loaded already: the
// build needs no GTK headers. Holding a GDK window holds the painting of
// everything in it; the window keeps the picture it last painted.
using GetWindow = void* (*)(void* widget);
using WindowCall = void (*)(void* window);

template <class F>
F Lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

void* HoldPainting(wxWindow* window) {
    static const auto getWindow = Lookup<GetWindow>("gtk_widget_get_window");
    static const auto freeze = Lookup<WindowCall>("gdk_window_freeze_updates");
    static const auto ref = Lookup<WindowCall>("g_object_ref");
    wxWindow* top = window ? wxGetTopLevelParent(window) : nullptr;
    GtkWidget* widget = top ? top->GetHandle() : nullptr;
    void* gdkWindow = widget && getWindow && freeze && ref ? getWindow(widget) : nullptr;
    if (!gdkWindow)
        return nullptr;
    ref(gdkWindow);  // released with the hold, even if the window goes first
    freeze(gdkWindow);
    return gdkWindow;
}

void ReleasePainting(void* held) {
    static const auto thaw = Lookup<WindowCall>("gdk_window_thaw_updates");
    static const auto unref = Lookup<WindowCall>("g_object_unref");
    if (!held || !thaw || !unref)
        return;
    thaw(held);
    unref(held);
}

}  // namespace pw
