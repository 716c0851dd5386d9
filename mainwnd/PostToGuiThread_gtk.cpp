#include "mainwnd/PostToGuiThread.h"

#include <glib.h>

namespace pw {

// A source of its own at the priority of the toolkit's idle handler, which
// is where the list updates what it shows: the two run side by side in every
// turn of the loop, after input, timers and repaints. Ahead of it, notices
// that keep coming would keep the handler, and with it the list's display,
// waiting; the toolkit's own deferred calls wait for the handler itself.
void PostToGuiThread(std::function<void()> task) {
    auto* owned = new std::function<void()>(std::move(task));
    g_idle_add_full(
        G_PRIORITY_LOW,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        owned, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

}  // namespace pw
