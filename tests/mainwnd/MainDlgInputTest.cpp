// The main window under a user's real input: clicks, Ctrl+clicks, drags and
// keys through the display server, under a window manager as well.

#include "dialogs/COptionsDlg.h"
#include "mainwnd/BrowseTiffFiles.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "res/ResourceIds.h"
#include "settings/ProgramSettings.h"
#include "tests/fixtures/TiffFixtures.h"
#include "ui/SplitterBar.h"
#include "tests/ui/RealInput.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/AccessibleName.h"
#include "ui/PathText.h"
#include "viewer/CFoliocx.h"
#include "viewer/FolioToolbar.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/control.h>
#include <wx/timer.h>

#include <memory>
#include <string>
#include <vector>

namespace pw {
namespace {

using Rows = std::vector<long>;
using Texts = std::vector<std::string>;

// The main window on the screen with rows "r0", "r1", ... in its list.
struct ShownWindow {
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{nullptr, [](CMainDlg* d) { d->Destroy(); }};

    explicit ShownWindow(int rows, const std::vector<std::string>& files = {}) {
        SetProgramArguments(0, nullptr);
        dlg.reset(new CMainDlg(nullptr));
        for (int i = 0; i < rows; ++i)
            dlg->AddFile("r" + std::to_string(i));
        for (const std::string& file : files)
            dlg->AddFile(file);
        dlg->UpdateButtons();
        dlg->Show();
        dlg->Raise();
        EXPECT_TRUE(test::WaitFor([&] { return dlg->IsShownOnScreen(); }, 5000));
        test::WaitFor([] { return false; }, 500);  // framed, laid out and drawn
    }
    ~ShownWindow() { dlg->Hide(); }

    CFileListCtrl* list() const { return dlg->GetFileList(); }
    Texts paths() const {
        Texts p;
        for (long i = 0; i < list()->GetItemCount(); ++i)
            p.push_back(PathFromWx(list()->GetItemText(i, 0)));
        return p;
    }
    // The middle of a row's path cell, on the screen.
    wxPoint RowOnScreen(long row) const {
        int top = -1, bottom = -1;
        for (int y = 0; y < list()->GetClientSize().y; ++y)
            if (list()->HitTestRow(wxPoint(30, y)) == row) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        EXPECT_GE(top, 0) << "row " << row << " is not in view";
        return list()->ClientToScreen(wxPoint(30, (top + bottom) / 2));
    }
    wxPoint ControlOnScreen(int id) const { return Middle(dlg->FindWindow(id)); }
    static wxPoint Middle(const wxWindow* control) {
        return control->GetScreenPosition() + control->GetSize() / 2;
    }
    // A click on the row, and Ctrl+clicks on the others, in the order given;
    // true once the list has exactly these rows selected.
    bool SelectByClicks(const Rows& clicks) {
        for (size_t i = 0; i < clicks.size(); ++i) {
            // Apart by more than the double-click time, so that no two
            // clicks make a double click.
            test::WaitFor([] { return false; }, 500);
            test::GlidePointer(RowOnScreen(clicks[i]));
            test::Click(1, i == 0 ? "" : "ctrl");
        }
        Rows sorted = clicks;
        std::sort(sorted.begin(), sorted.end());
        return test::WaitFor([&] { return list()->GetSelectedItems() == sorted; });
    }
};

// Remove takes the rows the user selected, whichever row has the focus and
// however the view moves its selection while rows go.
TEST(RemoveByHand, TakesExactlyTheSelectedRows) {
    struct Case {
        Rows clicks;         // click, then Ctrl+clicks
        bool withDeleteKey;  // else the Remove button
        Texts left;
        long selectedAfter;
    };
    const Case cases[] = {
        {{4}, false, {"r0", "r1", "r2", "r3"}, 3},
        {{4}, true, {"r0", "r1", "r2", "r3"}, 3},
        {{1, 2}, false, {"r0", "r3", "r4"}, 1},
        {{1, 2}, true, {"r0", "r3", "r4"}, 1},
        {{2, 1}, true, {"r0", "r3", "r4"}, 1},
        {{2, 4}, false, {"r0", "r1", "r3"}, 2},
        {{0, 3, 4}, true, {"r1", "r2"}, 0},
    };
    for (const Case& c : cases) {
        ShownWindow w(5);
        const std::string name = ::testing::PrintToString(c.clicks) + (c.withDeleteKey ? " Delete" : " Remove");
        ASSERT_TRUE(w.SelectByClicks(c.clicks)) << name;
        if (c.withDeleteKey) {
            test::PressKeys("Delete");
        } else {
            test::MovePointer(w.ControlOnScreen(IDC_REMOVE));
            test::Click();
        }
        ASSERT_TRUE(test::WaitFor([&] { return w.list()->GetItemCount() < 5; })) << name;
        test::WaitFor([] { return false; }, 300);
        EXPECT_EQ(w.paths(), c.left) << name;
        EXPECT_EQ(w.list()->GetSelectedItems(), Rows{c.selectedAfter}) << name;
        EXPECT_EQ(w.list()->GetFocusedItem(), c.selectedAfter) << name;
    }
}

// The viewer's page field takes a typed page number with Return or the
// keypad's Enter; neither closes the window nor presses its default button.
TEST(PageFieldByHand, TakesReturnAndEnter) {
    test::TempFolder files;
    ASSERT_TRUE(test::WriteTiff(files / "three.tif", 3));
    int dialogs = 0;
    SetOpenFilesDialogRunner([&](wxWindow*, const OpenFilesRequest&) {
        ++dialogs;
        return std::optional<OpenFilesAnswer>();
    });
    ShownWindow w(0, {files / "three.tif"});
    w.list()->SelectItem(0);
    CFoliocx* viewer = w.dlg->GetViewer();
    ASSERT_TRUE(test::WaitFor([&] { return viewer->GetPageCount() == 3; }, 10000));
    test::WaitFor([] { return false; }, 300);
    wxWindow* field = viewer->GetToolbarWindow()->FindWindow(kToolPageNumber);
    ASSERT_NE(field, nullptr);
    const std::pair<const char*, int> entries[] = {{"Return", 2}, {"KP_Enter", 0}};
    for (const auto& [key, index] : entries) {
        test::MovePointer(ShownWindow::Middle(field));
        test::Click();
        ASSERT_TRUE(test::WaitFor([&] { return wxWindow::FindFocus() == field; })) << key;
        test::PressKeys("ctrl+a");
        test::Xdotool(std::string("type ") + std::to_string(index + 1));
        test::PressKeys(key);
        EXPECT_TRUE(test::WaitFor([&] { return viewer->GetPageIndex() == index; }, 5000)) << key;
    }
    test::WaitFor([] { return false; }, 300);
    EXPECT_TRUE(w.dlg->IsShown());
    EXPECT_EQ(dialogs, 0);
    SetOpenFilesDialogRunner(nullptr);
}

// The desktop's Open dialog, typed into: a name without its extension is
// the ".tif" file of that name.
TEST(OpenDialogByHand, TakesANameTypedWithoutItsExtension) {
    test::TempFolder files, config;
    test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path());
    // Two names that begin alike: the dialog's completion cannot finish
    // the typed name by itself.
    ASSERT_TRUE(test::WriteTiff(files / "scan.tif", 1));
    ASSERT_TRUE(test::WriteTiff(files / "scanner.tif", 1));
    ShownWindow w(0);
    // The dialog runs its own loop; the keys are typed from within it. A
    // dialog still up later is closed, as a user would give up.
    wxTimer typist, giveUp;
    typist.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        test::Xdotool("type --delay 30 '" + (files / "scan") + "'");
        test::WaitFor([] { return false; }, 500);
        test::PressKeys("Return");
    });
    giveUp.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { test::PressKeys("Escape Escape Escape"); });
    typist.StartOnce(2000);
    giveUp.Start(4000);
    w.dlg->AddFilesFromDialog();
    giveUp.Stop();
    EXPECT_EQ(w.paths(), Texts{files / "scan.tif"});
}

// The rows in the order of the merge: dragged to another place, moved with
// Alt+Up and Alt+Down, sorted by a click on a column's title; every cell
// goes with its row, and so do the selection and the focus.
TEST(RowOrderByHand, DragAltArrowsAndTitleClicksPutTheRowsInOrder) {
    ShownWindow w(5);
    for (long i = 0; i < 5; ++i)
        w.list()->SetItem(i, 3, i % 2 ? "Failed" : "Success");
    const auto statusOf = [&](const std::string& path) {
        for (long i = 0; i < w.list()->GetItemCount(); ++i)
            if (PathFromWx(w.list()->GetItemText(i, 0)) == path)
                return PathFromWx(w.list()->GetItemText(i, 3));
        return std::string();
    };
    ASSERT_TRUE(w.SelectByClicks({1, 2}));
    // Pressed on a selected row, let go over the upper half of r4.
    test::WaitFor([] { return false; }, 500);
    test::MovePointer(w.RowOnScreen(1));
    test::PressButton();
    const wxPoint r4 = w.RowOnScreen(4);
    test::GlidePointer(r4 - wxPoint(0, 3));
    test::ReleaseButton();
    ASSERT_TRUE(test::WaitFor([&] { return w.paths() != Texts{"r0", "r1", "r2", "r3", "r4"}; }));
    EXPECT_EQ(w.paths(), (Texts{"r0", "r3", "r1", "r2", "r4"}));
    EXPECT_EQ(w.list()->GetSelectedItems(), (Rows{2, 3}));
    EXPECT_EQ(statusOf("r1"), "Failed");
    EXPECT_EQ(statusOf("r2"), "Success");

    test::PressKeys("alt+Down");
    ASSERT_TRUE(test::WaitFor([&] { return w.paths() == Texts{"r0", "r3", "r4", "r1", "r2"}; }));
    EXPECT_EQ(w.list()->GetSelectedItems(), (Rows{3, 4}));
    test::PressKeys("alt+Down");  // at the end already: nothing moves
    test::PressKeys("alt+Up alt+Up alt+Up");
    ASSERT_TRUE(test::WaitFor([&] { return w.paths() == Texts{"r1", "r2", "r0", "r3", "r4"}; }));
    EXPECT_EQ(w.list()->GetSelectedItems(), (Rows{0, 1}));
    EXPECT_EQ(w.list()->GetFocusedItem() >= 0 && w.list()->GetFocusedItem() <= 1, true);

    // A click on a title sorts by that column; a second one the other way.
    const wxPoint title = w.list()->GetScreenPosition() + wxPoint(20, 8);
    test::MovePointer(title);
    test::Click();
    ASSERT_TRUE(test::WaitFor([&] { return w.paths() == Texts{"r0", "r1", "r2", "r3", "r4"}; }));
    test::WaitFor([] { return false; }, 600);
    test::Click();
    ASSERT_TRUE(test::WaitFor([&] { return w.paths() == Texts{"r4", "r3", "r2", "r1", "r0"}; }));
    const wxPoint statusTitle = title + wxPoint(w.list()->GetColumnWidth(0) + w.list()->GetColumnWidth(1) +
                                                    w.list()->GetColumnWidth(2), 0);
    test::WaitFor([] { return false; }, 600);
    test::MovePointer(statusTitle);
    test::Click();
    ASSERT_TRUE(test::WaitFor([&] { return w.paths() == Texts{"r3", "r1", "r4", "r2", "r0"}; }));
    for (const char* row : {"r0", "r2", "r4"})
        EXPECT_EQ(statusOf(row), "Success") << row;

    // Ctrl+A in the list selects every row.
    ASSERT_TRUE(w.SelectByClicks({2}));
    test::PressKeys("ctrl+a");
    EXPECT_TRUE(test::WaitFor([&] { return w.list()->GetSelectedItemCount() == 5; }));
}

// Alt and a button's marked letter press it, its text read as before;
// Tab comes round to the viewer's tools, once a page is shown.
TEST(KeyboardByHand, MnemonicsPressButtonsAndTabReachesTheViewersTools) {
    int dialogs = 0;
    SetOpenFilesDialogRunner([&](wxWindow*, const OpenFilesRequest&) {
        ++dialogs;
        return std::optional<OpenFilesAnswer>();
    });
    test::TempFolder files;
    ASSERT_TRUE(test::WriteTiff(files / "three.tif", 3));
    ShownWindow w(1, {files / "three.tif"});
    ASSERT_TRUE(w.SelectByClicks({1}));
    ASSERT_TRUE(test::WaitFor([&] { return w.dlg->GetViewer()->GetPageCount() == 3; }, 10000));
    test::PressKeys("alt+a");
    EXPECT_TRUE(test::WaitFor([&] { return dialogs == 1; }));
    EXPECT_EQ(wxControl::RemoveMnemonics(w.dlg->FindWindow(IDC_ADDFILES)->GetLabel()), "Add File(s)");
    EXPECT_EQ(GetAccessibleName(w.dlg->FindWindow(IDC_ADDFILES)), "Add File(s)");

    // GTK's own focus: a tool's button is no window of the program.
    using Focus = void* (*)(void*);
    using IsAncestor = int (*)(void*, void*);
    static const auto focus = reinterpret_cast<Focus>(dlsym(RTLD_DEFAULT, "gtk_window_get_focus"));
    static const auto isAncestor = reinterpret_cast<IsAncestor>(dlsym(RTLD_DEFAULT, "gtk_widget_is_ancestor"));
    ASSERT_TRUE(focus && isAncestor);
    void* tools = w.dlg->GetViewer()->GetToolbarWindow()->GetHandle();
    bool reached = false;
    for (int i = 0; i < 40 && !reached; ++i) {
        test::PressKeys("Tab");
        test::WaitFor([] { return false; }, 50);
        void* focused = focus(w.dlg->GetHandle());
        reached = focused && isAncestor(focused, tools);
    }
    EXPECT_TRUE(reached);
    SetOpenFilesDialogRunner(nullptr);
}

// The Options dialog's copy box answers Alt and its marked letter, and OK
// then stores what it shows.
TEST(KeyboardByHand, TheOptionsCopyBoxTogglesWithItsMnemonic) {
    test::TempFolder config;
    test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path());
    test::ProgramFolder program(false);
    COptionsDlg options(nullptr);
    options.ResetOptions();
    options.LoadOptions();
    options.Show();
    options.Raise();
    ASSERT_TRUE(test::WaitFor([&] { return options.IsShownOnScreen(); }, 5000));
    test::WaitFor([] { return false; }, 500);
    ASSERT_TRUE(options.GetEngineBox()->GetValue());
    test::PressKeys("alt+p");
    EXPECT_TRUE(test::WaitFor([&] { return !options.GetEngineBox()->GetValue(); }));
    wxCommandEvent ok(wxEVT_BUTTON, IDC_DIALOG_OK);
    options.FindWindow(IDC_DIALOG_OK)->ProcessWindowEvent(ok);
    EXPECT_EQ(ReadEngineSetting(), "tools");
    test::PressKeys("alt+p");
    EXPECT_TRUE(test::WaitFor([&] { return options.GetEngineBox()->GetValue(); }));
    options.FindWindow(IDC_DIALOG_OK)->ProcessWindowEvent(ok);
    EXPECT_EQ(ReadEngineSetting(), "builtin");
    options.Hide();
}

// The bar between the preview and the list under the user's own mouse and
// keys.
struct BarDrag {
    ShownWindow& w;
    std::vector<int> moves;
    explicit BarDrag(ShownWindow& window) : w(window) {
        w.dlg->Bind(EVT_SPLITTER_MOVED, [this](wxCommandEvent& e) { moves.push_back(e.GetInt()); });
    }
    wxRect Rect(int id) const { return w.dlg->FindWindow(id)->GetRect(); }
    // Presses on the middle of the bar and moves by dx, holding the button.
    void Start(int dx) {
        const wxPoint at = ShownWindow::Middle(w.dlg->FindWindow(IDC_SPLITTER));
        test::GlidePointer(at);
        test::PressButton();
        ASSERT_TRUE(test::WaitFor([&] { return w.dlg->GetSplitter().IsDragging(); }));
        test::GlidePointer(at + wxPoint(dx, 0));
    }
};

TEST(SplitterByHand, TheFirstDragMovesThePanesByExactlyTheDistance) {
    ShownWindow w(0);
    BarDrag drag(w);
    const wxRect bar = drag.Rect(IDC_SPLITTER), preview = drag.Rect(IDC_PREVIEW), list = drag.Rect(IDC_FILELIST);
    drag.Start(40);
    test::ReleaseButton();
    ASSERT_TRUE(test::WaitFor([&] { return !drag.moves.empty(); }));
    EXPECT_EQ(drag.moves, std::vector<int>{40});
    EXPECT_EQ(drag.Rect(IDC_SPLITTER), wxRect(bar.x + 40, bar.y, bar.width, bar.height));
    EXPECT_EQ(drag.Rect(IDC_PREVIEW), wxRect(preview.x, preview.y, preview.width + 40, preview.height));
    EXPECT_EQ(drag.Rect(IDC_FILELIST), wxRect(list.x + 40, list.y, list.width - 40, list.height));
}

TEST(SplitterByHand, KeysDuringADragReachNothingAndATapOfEscapeEndsIt) {
    int dialogs = 0;
    SetOpenFilesDialogRunner([&](wxWindow*, const OpenFilesRequest&) {
        ++dialogs;
        return std::optional<OpenFilesAnswer>();
    });
    ShownWindow w(3);
    ASSERT_TRUE(w.SelectByClicks({1}));
    BarDrag drag(w);
    drag.Start(-30);
    test::PressKeys("Delete Insert");
    test::WaitFor([] { return false; }, 300);
    EXPECT_EQ(w.list()->GetItemCount(), 3);
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(w.dlg->GetSplitter().IsDragging());
    // A short tap while the button is still held.
    test::Xdotool("keydown --delay 0 Escape keyup --delay 0 Escape");
    EXPECT_TRUE(test::WaitFor([&] { return !drag.moves.empty(); })) << "the tap was lost";
    test::ReleaseButton();
    test::WaitFor([] { return false; }, 300);
    EXPECT_EQ(drag.moves, std::vector<int>{-30});
    EXPECT_EQ(w.list()->GetItemCount(), 3);
    SetOpenFilesDialogRunner(nullptr);
}

}  // namespace
}  // namespace pw
