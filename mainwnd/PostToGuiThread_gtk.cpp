#include "mainwnd/PostToGuiThread.h"

#include <glib.h>

namespace pw {

namespace {
// GDK's repaint priority (GDK_PRIORITY_REDRAW), without GDK's headers.
constexpr int kRepaintPriority = G_PRIORITY_HIGH_IDLE + 20;
}  // namespace

// The toolkit's own deferred calls are handled by its lowest-priority idle
// handler, which can lag behind by up to a second while the window is busy
// with timers and repaints. A source of its own comes right after input,
// timers and the repaint: a batch's notices, which can keep coming as fast
// as the window handles them, never hold those up.
void PostToGuiThread(std::function<void()> task) {
    auto* owned = new std::function<void()>(std::move(task));
    g_idle_add_full(
        kRepaintPriority + 10,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        owned, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

}  // namespace pw
