#include "ui/PointerPassThrough.h"

#include <wx/window.h>

#include <dlfcn.h>

namespace pw {

// An empty input shape: the display server hands every pointer event to the
// window below. The calls are looked up in the process, which has GTK and
// cairo loaded already.
void LetPointerPassThrough(wxWindow* window) {
    using CreateRegion = void* (*)();
    using DestroyRegion = void (*)(void*);
    using SetInputShape = void (*)(void* widget, void* region);
    static const auto create = reinterpret_cast<CreateRegion>(dlsym(RTLD_DEFAULT, "cairo_region_create"));
    static const auto destroy = reinterpret_cast<DestroyRegion>(dlsym(RTLD_DEFAULT, "cairo_region_destroy"));
    static const auto shape =
        reinterpret_cast<SetInputShape>(dlsym(RTLD_DEFAULT, "gtk_widget_input_shape_combine_region"));
    GtkWidget* widget = window ? window->GetHandle() : nullptr;
    if (!widget || !create || !destroy || !shape)
        return;
    void* empty = create();
    shape(widget, empty);  // kept by the widget, also across its realisation
    destroy(empty);
}

}  // namespace pw
