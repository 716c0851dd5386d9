#include "mainwnd/FileListView.h"

#include <glib-object.h>

namespace pw {

void UseUniformRowHeight(wxDataViewCtrl* view) {
    // Without it the tree view lays out the texts of every row it is given,
    // which makes adding thousands of rows slow.
    if (GtkWidget* tree = view->GtkGetTreeView())
        g_object_set(G_OBJECT(tree), "fixed-height-mode", TRUE, nullptr);
}

}  // namespace pw

namespace pw {

void ScrollColumnsBy(wxDataViewCtrl* view, int steps) {
    GtkWidget* tree = view->GtkGetTreeView();
    if (!tree)
        return;
    GObject* adjustment = nullptr;
    g_object_get(G_OBJECT(tree), "hadjustment", &adjustment, nullptr);
    if (!adjustment)
        return;
    double value = 0, step = 0, lower = 0, upper = 0, page = 0;
    g_object_get(adjustment, "value", &value, "step-increment", &step, "lower", &lower, "upper", &upper, "page-size",
                 &page, nullptr);
    if (step <= 0)
        step = 20;
    double target = value + steps * step;
    if (target > upper - page)
        target = upper - page;
    if (target < lower)
        target = lower;
    g_object_set(adjustment, "value", target, nullptr);
    g_object_unref(adjustment);
}

}  // namespace pw
