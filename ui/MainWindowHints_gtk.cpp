#include "ui/MainWindowHints.h"

#include <glib-object.h>

namespace pw {

namespace {
// GdkWindowTypeHint's value for a normal top-level window.
constexpr int kNormalWindowType = 0;
}  // namespace

void PresentAsMainWindow(wxDialog* dialog) {
    GtkWidget* window = dialog->GetHandle();
    if (!window)
        return;
    // The type must be set before the window is realised.
    g_object_set(G_OBJECT(window), "type-hint", kNormalWindowType, nullptr);
    // ShowModal marks the window modal just before showing it; with no
    // other window of the program to block, the mark only tells the window
    // manager that this is a transient dialog, so it is taken back as soon
    // as the window shows.
    dialog->Bind(wxEVT_SHOW, [dialog](wxShowEvent& event) {
        if (event.IsShown())
            if (GtkWidget* shown = dialog->GetHandle())
                g_object_set(G_OBJECT(shown), "modal", FALSE, nullptr);
        event.Skip();
    });
}

}  // namespace pw
