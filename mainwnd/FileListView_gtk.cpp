#include "mainwnd/FileListView.h"

#include <gio/gio.h>
#include <glib-object.h>

#include <dlfcn.h>

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

namespace pw {

namespace {

// GTK's and ATK's calls, looked up in the process, which has them loaded.
template <class F>
F Gtk(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

using TipFunction = std::function<wxString(long, unsigned)>;

struct CellTips {
    wxDataViewCtrl* view;
    TipFunction tip;
};

gboolean OnQueryTooltip(GtkWidget* tree, gint x, gint y, gboolean keyboard, void* tooltip, gpointer data) {
    using Context = gboolean (*)(GtkWidget*, gint*, gint*, gboolean, void**, void**, void*);
    using PathAt = gboolean (*)(GtkWidget*, gint, gint, void**, void**, gint*, gint*);
    using Indices = gint* (*)(void*);
    using FreePath = void (*)(void*);
    using SetText = void (*)(void*, const char*);
    using SetCell = void (*)(GtkWidget*, void*, void*, void*, void*);
    static const auto context = Gtk<Context>("gtk_tree_view_get_tooltip_context");
    static const auto pathAt = Gtk<PathAt>("gtk_tree_view_get_path_at_pos");
    static const auto indices = Gtk<Indices>("gtk_tree_path_get_indices");
    static const auto freePath = Gtk<FreePath>("gtk_tree_path_free");
    static const auto setText = Gtk<SetText>("gtk_tooltip_set_text");
    static const auto setCell = Gtk<SetCell>("gtk_tree_view_set_tooltip_cell");
    auto* tips = static_cast<CellTips*>(data);
    if (!context || !pathAt || !indices || !freePath || !setText || !setCell)
        return FALSE;
    void* path = nullptr;
    if (!context(tree, &x, &y, keyboard, nullptr, &path, nullptr) || !path)
        return FALSE;
    freePath(path);
    path = nullptr;
    void* column = nullptr;
    // The context gave x and y in the rows' own coordinates.
    if (!pathAt(tree, x, y, &path, &column, nullptr, nullptr) || !path || !column) {
        if (path)
            freePath(path);
        return FALSE;
    }
    const long row = indices(path)[0];
    wxString text;
    for (unsigned i = 0; i < tips->view->GetColumnCount(); ++i)
        if (static_cast<void*>(tips->view->GetColumn(i)->GetGtkHandle()) == column)
            text = tips->tip(row, tips->view->GetColumn(i)->GetModelColumn());
    if (!text.empty()) {
        setText(tooltip, text.utf8_str());
        setCell(tree, tooltip, path, column, nullptr);
    }
    freePath(path);
    return !text.empty();
}

}  // namespace

void SetCellTips(wxDataViewCtrl* view, std::function<wxString(long row, unsigned column)> tip) {
    GtkWidget* tree = view->GtkGetTreeView();
    if (!tree)
        return;
    g_object_set(G_OBJECT(tree), "has-tooltip", TRUE, nullptr);
    g_signal_connect_data(G_OBJECT(tree), "query-tooltip", G_CALLBACK(OnQueryTooltip),
                          new CellTips{view, std::move(tip)},
                          [](gpointer data, GClosure*) { delete static_cast<CellTips*>(data); }, GConnectFlags(0));
}

void DescribeCell(wxDataViewCtrl* view, long row, unsigned column, const wxString& name,
                  const wxString& description, const wxString& firstPartName) {
    using Accessible = void* (*)(GtkWidget*);
    using RefAt = void* (*)(void*, gint, gint);
    using RefChild = void* (*)(void*, gint);
    using SetString = void (*)(void*, const char*);
    static const auto accessible = Gtk<Accessible>("gtk_widget_get_accessible");
    static const auto refAt = Gtk<RefAt>("atk_table_ref_at");
    static const auto refChild = Gtk<RefChild>("atk_object_ref_accessible_child");
    static const auto setName = Gtk<SetString>("atk_object_set_name");
    static const auto setDescription = Gtk<SetString>("atk_object_set_description");
    GtkWidget* tree = view->GtkGetTreeView();
    if (!tree || !accessible || !refAt || !refChild || !setName || !setDescription)
        return;
    int position = -1;
    for (unsigned i = 0; i < view->GetColumnCount(); ++i)
        if (view->GetColumn(i)->GetModelColumn() == column)
            position = view->GetColumnPosition(view->GetColumn(i));
    void* table = accessible(tree);
    void* cell = table && position >= 0 ? refAt(table, static_cast<gint>(row), position) : nullptr;
    if (!cell)
        return;
    if (!name.empty())
        setName(cell, name.utf8_str());
    setDescription(cell, description.utf8_str());
    if (!firstPartName.empty())
        if (void* part = refChild(cell, 0)) {
            setName(part, firstPartName.utf8_str());
            g_object_unref(part);
        }
    g_object_unref(cell);
}

bool AssistiveProgramsListen() {
    // The desktop's accessibility bus says whether anything listens.
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return false;
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", "org.a11y.Status", "IsEnabled"), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NO_AUTO_START,
        500, nullptr, nullptr);
    bool enabled = false;
    if (reply) {
        GVariant* value = nullptr;
        g_variant_get(reply, "(v)", &value);
        enabled = value && g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN) && g_variant_get_boolean(value);
        if (value)
            g_variant_unref(value);
        g_variant_unref(reply);
    }
    g_object_unref(bus);
    return enabled;
}

}  // namespace pw
