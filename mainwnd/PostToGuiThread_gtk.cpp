#include "mainwnd/PostToGuiThread.h"

#include <glib.h>

namespace pw {

// The toolkit's own deferred calls are handled by its lowest-priority idle
// handler, which can lag behind by up to a second while the window is busy
// with timers and repaints; a batch whose worker waits for every notice
// would pay that lag per file. A source of its own, just ahead of the
// repaint, reaches the loop at once.
void PostToGuiThread(std::function<void()> task) {
    auto* owned = new std::function<void()>(std::move(task));
    g_idle_add_full(
        G_PRIORITY_HIGH_IDLE,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        owned, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

}  // namespace pw
