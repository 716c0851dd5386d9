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

namespace pw {

bool ScrollBandIntoView(wxDataViewCtrl* view, int top, int height) {
    GtkWidget* tree = view->GtkGetTreeView();
    if (!tree || top < 0 || height <= 0)
        return false;
    GObject* adjustment = nullptr;
    g_object_get(G_OBJECT(tree), "vadjustment", &adjustment, nullptr);
    if (!adjustment)
        return false;
    // The view's vertical offset is the adjustment's value, in pixels from
    // the first row's top; the page is the height of the rows' area.
    double value = 0, upper = 0, page = 0;
    g_object_get(adjustment, "value", &value, "upper", &upper, "page-size", &page, nullptr);
    const bool known = page > 0 && top + height <= upper;
    if (known) {
        const double target = BandScrollTarget(value, page, top, height);
        // Setting the value moves the view in one step; the view's own
        // scrolling to a row glides there over several frames, each of
        // which repaints every row in view.
        if (target != value)
            g_object_set(adjustment, "value", target, nullptr);
    }
    g_object_unref(adjustment);
    return known;
}

}  // namespace pw

