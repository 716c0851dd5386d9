#include "ui/AccessibleLink.h"

#include <wx/window.h>

#include <dlfcn.h>

namespace pw {

namespace {

// The toolkit's accessibility calls, looked up in the process, which has
// GTK and ATK loaded already: the build then needs neither library's
// headers, and the role comes by its name rather than an enum value.
using GetAccessible = void* (*)(void* widget);
using SetName = void (*)(void* object, const char* name);
using RoleForName = int (*)(const char* name);
using SetRole = void (*)(void* object, int role);

template <class F>
F Lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

void ExposeAsLink(wxWindow* window, const wxString& text) {
    static const auto getAccessible = Lookup<GetAccessible>("gtk_widget_get_accessible");
    static const auto setName = Lookup<SetName>("atk_object_set_name");
    static const auto roleForName = Lookup<RoleForName>("atk_role_for_name");
    static const auto setRole = Lookup<SetRole>("atk_object_set_role");
    if (!window || !window->GetHandle() || !getAccessible || !setName)
        return;
    void* object = getAccessible(window->GetHandle());
    if (!object)
        return;
    setName(object, text.utf8_str());
    if (roleForName && setRole) {
        const int link = roleForName("link");
        if (link > 0)
            setRole(object, link);
    }
}

}  // namespace pw
