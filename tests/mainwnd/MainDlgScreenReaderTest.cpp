// The main window as a screen reader finds it, through the desktop's
// accessibility bus: the list's cells, their names and descriptions, and
// what has the focus.

#include "dialogs/COptionsDlg.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/CommandOutput.h"
#include "tests/ui/RealInput.h"
#include "tests/ui/WxTestEnvironment.h"

#include <dlfcn.h>
#include <glib-object.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <string>

namespace pw {
namespace {

// The screen reader's view of this program, read while the program goes on
// handling its events (it answers the reader's questions).
std::string ScreenReaderView() {
    auto reading = std::async(std::launch::async, [] {
        return test::CommandOutput(std::string(PAGEWRIGHT_SCREEN_READER) + " " + std::to_string(::getpid()));
    });
    test::WaitFor([&] { return reading.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 60000);
    return reading.get();
}

bool Has(const std::string& view, const std::string& line) { return view.find(line) != std::string::npos; }

// The text of the desktop's tooltip the program shows now, "" for none.
// Tooltip windows stay out of the screen reader's tree, so GTK is asked.
std::string ShownTooltipText() {
    using ListToplevels = GList* (*)();
    using Visible = gboolean (*)(void*);
    using Children = GList* (*)(void*);
    using LabelText = const char* (*)(void*);
    static const auto toplevels = reinterpret_cast<ListToplevels>(dlsym(RTLD_DEFAULT, "gtk_window_list_toplevels"));
    static const auto visible = reinterpret_cast<Visible>(dlsym(RTLD_DEFAULT, "gtk_widget_get_visible"));
    static const auto children = reinterpret_cast<Children>(dlsym(RTLD_DEFAULT, "gtk_container_get_children"));
    static const auto labelText = reinterpret_cast<LabelText>(dlsym(RTLD_DEFAULT, "gtk_label_get_text"));
    std::string text;
    std::function<void(void*)> look = [&](void* widget) {
        if (std::string(G_OBJECT_TYPE_NAME(widget)) == "GtkLabel")
            text = labelText(widget);
        else if (g_type_is_a(G_OBJECT_TYPE(widget), g_type_from_name("GtkContainer")))
            for (GList* child = children(widget); child; child = child->next)
                look(child->data);
    };
    GList* windows = toplevels();
    for (GList* w = windows; w; w = w->next)
        if (std::string(G_OBJECT_TYPE_NAME(w->data)) == "GtkTooltipWindow" && visible(w->data))
            look(w->data);
    g_list_free(windows);
    return text;
}

struct ShownWindow {
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{nullptr, [](CMainDlg* d) { d->Destroy(); }};
    ShownWindow() {
        SetProgramArguments(0, nullptr);
        dlg.reset(new CMainDlg(nullptr));
        dlg->Show();
        test::WaitFor([&] { return dlg->IsShownOnScreen(); }, 5000);
        test::Pump();
    }
    CFileListCtrl* list() { return dlg->GetFileList(); }
};

TEST(ScreenReader, ReadsTheStatusOfEveryRow) {
    ShownWindow w;
    w.dlg->AddFile("/tmp/a.tif");
    w.dlg->AddFile("/tmp/b.tif");
    // The reader has met the rows before their batch.
    ASSERT_TRUE(Has(ScreenReaderView(), "cell 1,3|"));
    w.list()->SetItem(0, 3, "Success");
    w.list()->SetItem(1, 3, "Failed");
    test::Pump();
    const std::string view = ScreenReaderView();
    EXPECT_TRUE(Has(view, "cell 0,3|Success|")) << view;
    EXPECT_TRUE(Has(view, "\n  frame|Pagewright|")) << view;  // the main window stays a window
    EXPECT_TRUE(Has(view, "cell 1,3|Failed|")) << view;
}

// Which file a row is, and why a row failed: the cells' names and
// descriptions, and the tooltips under the user's pointer.
TEST(ScreenReader, ReadsWhichFileARowIsAndWhyItFailed) {
    ShownWindow w;
    const std::string path = "/tmp/a folder with a long name/and another one below it/scan 0001.tif";
    w.dlg->AddFile(path);
    w.dlg->AddFile("/tmp/b.tif");
    w.list()->SetItem(1, 3, "Failed");
    w.list()->SetItemNote(1, "tiffcp ended with status 1");
    test::Pump();
    const std::string view = ScreenReaderView();
    EXPECT_TRUE(Has(view, "cell 0,0|" + path + "||File icon/" + path + "|")) << view;
    EXPECT_TRUE(Has(view, "cell 1,3|Failed|tiffcp ended with status 1|")) << view;
    EXPECT_TRUE(Has(view, "cell 0,3|||")) << view;

    const auto tipAt = [&](long row, int column) {
        int y = 0;
        while (y < w.list()->GetClientSize().y && w.list()->HitTestRow(wxPoint(5, y)) != row)
            ++y;
        int x = 10;
        for (int c = 0; c < column; ++c)
            x += w.list()->GetColumnWidth(c);
        test::GlidePointer(w.list()->ClientToScreen(wxPoint(x, y + 5)));
        std::string tip;
        test::WaitFor([&] { return !(tip = ShownTooltipText()).empty(); }, 5000);
        return tip;
    };
    EXPECT_EQ(tipAt(1, 3), "tiffcp ended with status 1");
    EXPECT_EQ(tipAt(0, 0), path);
}

// Rows moved with the keyboard: the reader finds the moved row, selected
// and focused, at its new place.
TEST(ScreenReader, HearsTheNewPlaceOfAMovedRow) {
    ShownWindow w;
    for (const char* path : {"/tmp/a.tif", "/tmp/b.tif", "/tmp/c.tif"})
        w.dlg->AddFile(path);
    w.list()->SetFocus();
    w.list()->SelectItem(0);
    w.list()->FocusItem(0);
    w.dlg->MoveSelectedRows(1);
    w.dlg->MoveSelectedRows(1);
    test::Pump();
    const std::string view = ScreenReaderView();
    EXPECT_TRUE(Has(view, "cell 2,0|/tmp/a.tif||File icon//tmp/a.tif|focused,selected")) << view;
    EXPECT_TRUE(Has(view, "cell 0,0|/tmp/b.tif||File icon//tmp/b.tif|\n")) << view;
}

TEST(ScreenReader, FindsTheFocusOnTheOptionsCompressionBox) {
    test::TempFolder config;
    test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path());
    COptionsDlg options(nullptr);
    options.Show();
    ASSERT_TRUE(test::WaitFor([&] { return options.IsShownOnScreen(); }, 5000));
    options.FindWindow(IDC_OPTIONS_COMPRESSION)->SetFocus();
    test::WaitFor([] { return false; }, 300);
    // The focused object is the box's part that takes the keys, under the
    // box's name.
    const std::string view = ScreenReaderView();
    EXPECT_TRUE(Has(view, "|Compression Method||focused")) << view;
    // Announced as a dialog, not as a window of its own.
    EXPECT_TRUE(Has(view, "\n  dialog|")) << view;
    EXPECT_FALSE(Has(view, "text|Name||focused")) << view;
    // The copy box is heard by its text.
    options.FindWindow(IDC_OPTIONS_ENGINE)->SetFocus();
    test::WaitFor([] { return false; }, 300);
    const std::string copyView = ScreenReaderView();
    EXPECT_TRUE(Has(copyView, "check box|Copy pages as stored||focused")) << copyView;
    options.Hide();
}

}  // namespace
}  // namespace pw
