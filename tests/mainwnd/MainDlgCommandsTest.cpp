// The main window's commands: the Open dialog, drops, Remove and Remove All,
// the context menu, the keyboard, opening files and About.

#include "dialogs/CAboutDlg.h"
#include "mainwnd/BrowseTiffFiles.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/ListContextMenu.h"
#include "platform/ProductIdentity.h"
#include "res/ResourceIds.h"
#include "settings/DialogSettings.h"
#include "tests/fixtures/FakeLauncher.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/ExpectMessageBox.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/CLinkStatic.h"
#include "ui/PathText.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/datetime.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/testing.h>
#include <wx/uiaction.h>

#include <memory>

namespace pw {
namespace {

using test::TempFolder;

using ExpectMessage = test::ExpectMessageBox;

// A main window, set up as when it opens, with the settings in a folder of
// the test's own and the Open dialog answered by the test.
struct Window {
    TempFolder config;
    test::ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path()};
    std::vector<OpenFilesRequest> requests;
    std::optional<OpenFilesAnswer> answer;
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{new CMainDlg(nullptr), [](CMainDlg* d) { d->Destroy(); }};

    Window() {
        SetOpenFilesDialogRunner([this](wxWindow*, const OpenFilesRequest& request) {
            requests.push_back(request);
            return answer;
        });
        dlg->InitDialogOnce();
    }
    ~Window() { SetOpenFilesDialogRunner(nullptr); }

    CFileListCtrl* list() { return dlg->GetFileList(); }
    std::vector<std::string> paths() {
        std::vector<std::string> p;
        for (long i = 0; i < list()->GetItemCount(); ++i)
            p.push_back(PathFromWx(list()->GetItemText(i, 0)));
        return p;
    }
    void rows(int n) {
        for (int i = 0; i < n; ++i)
            dlg->AddFile("r" + std::to_string(i));
    }
    void select(std::initializer_list<long> rows) {
        list()->DeselectAllItems();
        for (long r : rows)
            list()->SelectItem(r);
    }
    bool enabled(int id) { return dlg->FindWindow(id)->IsEnabled(); }
    // A key pressed in the list; true when the list may act on it itself.
    bool key(int code, int modifiers = wxMOD_NONE) {
        wxKeyEvent event(EVT_FILELIST_KEY_DOWN);
        event.m_keyCode = code;
        event.SetControlDown(modifiers & wxMOD_CONTROL);
        event.SetShiftDown(modifiers & wxMOD_SHIFT);
        event.SetEventObject(list());
        event.Skip(false);
        list()->GetEventHandler()->ProcessEvent(event);
        return event.GetSkipped();
    }
    // A key as the window sees it before any of its controls.
    bool charHook(int code) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = code;
        event.SetEventObject(dlg.get());
        event.Skip(false);
        dlg->GetEventHandler()->ProcessEvent(event);
        return event.GetSkipped();
    }
};

TEST(Remove, SelectsTheRowThatTookThePlaceOfTheFirstRemoved) {
    Window w;
    w.rows(6);
    w.select({2, 4});
    w.dlg->RemoveSelected();
    EXPECT_EQ(w.paths(), (std::vector<std::string>{"r0", "r1", "r3", "r5"}));
    EXPECT_EQ(w.list()->GetSelectedItems(), std::vector<long>{2});
    EXPECT_EQ(w.list()->GetFocusedItem(), 2);

    w.dlg->RemoveAll();
    w.rows(5);
    w.select({3, 4});
    w.dlg->RemoveSelected();
    EXPECT_EQ(w.paths(), (std::vector<std::string>{"r0", "r1", "r2"}));
    EXPECT_EQ(w.list()->GetSelectedItems(), std::vector<long>{2});

    // Nothing selected: nothing goes, and the first row is selected.
    w.select({});
    w.dlg->RemoveSelected();
    EXPECT_EQ(w.list()->GetItemCount(), 3);
    EXPECT_EQ(w.list()->GetSelectedItems(), std::vector<long>{0});
    EXPECT_EQ(w.list()->GetFocusedItem(), 0);
    EXPECT_TRUE(w.enabled(IDC_REMOVE));

    w.dlg->RemoveAll();
    EXPECT_EQ(w.list()->GetItemCount(), 0);
    for (int id : {IDC_REMOVE, IDC_EXTRACT, IDC_REMOVEALL, IDC_MERGEALL, IDC_COMPRESS, IDC_SPLITALL})
        EXPECT_FALSE(w.enabled(id)) << id;
    // Removing from an empty list selects nothing and stays empty.
    w.dlg->RemoveSelected();
    EXPECT_EQ(w.list()->GetItemCount(), 0);
}

TEST(ContextMenu, GreysOutWhatNeedsRowsOrASelection) {
    const auto states = [](int count, int selected) {
        std::unique_ptr<wxMenu> menu = BuildListContextMenu(count, selected);
        std::vector<bool> enabled;
        for (int id = 1; id <= 5; ++id)
            enabled.push_back(menu->IsEnabled(id));
        return enabled;
    };
    EXPECT_EQ(states(0, 0), (std::vector<bool>{true, false, false, false, false}));
    EXPECT_EQ(states(3, 0), (std::vector<bool>{true, false, true, false, false}));
    EXPECT_EQ(states(3, 2), (std::vector<bool>{true, true, true, true, true}));
    std::unique_ptr<wxMenu> menu = BuildListContextMenu(1, 1);
    const char* texts[] = {"&Add Files", "&Remove", "Remove &All", "&View File", "&View File Information"};
    ASSERT_EQ(menu->GetMenuItemCount(), 5u);
    for (int id = 1; id <= 5; ++id)
        EXPECT_EQ(menu->GetLabel(id), texts[id - 1]);
}

TEST(ContextMenu, ViewsTheSelectedFilesAndReportsAMissingPath) {
    Window w;
    test::FakeLauncher opener;
    TempFolder files;
    ASSERT_TRUE(test::WriteTiff(files / "a b.tif", 1));
    ASSERT_TRUE(test::WriteTiff(files / "c.tif", 1));
    w.dlg->AddFile(files / "a b.tif");
    w.dlg->AddFile("");
    w.dlg->AddFile(files / "c.tif");
    w.select({0, 1, 2});
    w.dlg->RunListCommand(kListMenuViewFile);
    ASSERT_TRUE(opener.WaitForCalls(2));
    auto calls = opener.Calls();
    std::sort(calls.begin(), calls.end());
    EXPECT_EQ(calls, (std::vector<std::vector<std::string>>{{files / "a b.tif"}, {files / "c.tif"}}));

    wxString text;
    w.select({1, 2});
    wxTEST_DIALOG(w.dlg->RunListCommand(kListMenuViewFileInformation), ExpectMessage(&text));
    EXPECT_EQ(text, "No file selected!");
}

// The desktop's opener takes its time to give its verdict on each file;
// the window handles its events meanwhile, and the files still open in the
// list's order.
TEST(ContextMenu, ViewFileDoesNotMakeTheWindowWaitForTheOpener) {
    Window w;
    TempFolder files;
    test::FakeLauncher opener("");
    opener.AddProgram("xdg-open", 0, files / "go");
    for (const char* name : {"a.tif", "b.tif", "c.tif"}) {
        ASSERT_TRUE(test::WriteTiff(files / name, 1));
        w.dlg->AddFile(files / name);
    }
    w.select({0, 1, 2});
    int startedWhenFree = -1;
    w.dlg->CallAfter([&] {
        startedWhenFree = static_cast<int>(opener.Calls().size());
        test::WriteBytes(files / "go", "");
    });
    w.dlg->RunListCommand(kListMenuViewFile);
    ASSERT_TRUE(test::WaitFor([&] { return startedWhenFree >= 0; }, 20000));
    EXPECT_LT(startedWhenFree, 3);
    ASSERT_TRUE(opener.WaitForCalls(3));
    EXPECT_EQ(opener.Calls(), (std::vector<std::vector<std::string>>{{files / "a.tif"}, {files / "b.tif"}, {files / "c.tif"}}));
}

TEST(OpenDialog, AddsTheChosenFilesAndRemembersTheirFolder) {
    Window w;
    TempFolder files;
    w.answer = OpenFilesAnswer{files.path(), {"c.tif", "a.TIF", "b.tiff"}};
    w.dlg->AddFilesFromDialog();
    ASSERT_EQ(w.requests.size(), 1u);
    EXPECT_EQ(w.requests[0].caption, GetProductIdentity().shortName);
    EXPECT_NE(w.requests[0].wildcard.find("*.TIF;"), std::string::npos);
    EXPECT_EQ(w.paths(), (std::vector<std::string>{files / "c.tif", files / "a.TIF", files / "b.tiff"}));
    EXPECT_EQ(ReadInputDir(), files.path());

    w.answer = OpenFilesAnswer{files.path(), {"d.tif"}};
    w.dlg->AddFilesFromDialog();
    EXPECT_EQ(w.requests.back().initialFolder, files.path());
    EXPECT_EQ(w.paths().back(), files / "d.tif");
    EXPECT_EQ(ReadInputDir(), files.path() + "/");

    w.answer = std::nullopt;
    w.dlg->AddFilesFromDialog();
    EXPECT_EQ(w.list()->GetItemCount(), 4);
    EXPECT_EQ(ReadInputDir(), files.path() + "/");

    // A name typed without its extension names the ".tif" file; one that
    // exists as typed stays as it is.
    ASSERT_TRUE(test::WriteTiff(files / "e.tif", 1));
    ASSERT_TRUE(test::WriteTiff(files / "f", 1));
    ASSERT_TRUE(test::WriteTiff(files / "f.tif", 1));
    w.answer = OpenFilesAnswer{files.path(), {"e", "f"}};
    w.dlg->AddFilesFromDialog();
    ASSERT_EQ(w.list()->GetItemCount(), 6);
    EXPECT_EQ(w.paths()[4], files / "e.tif");
    EXPECT_EQ(w.paths()[5], files / "f");
}

TEST(Drop, AddsOnlyTiffNamesInTheDroppedOrder) {
    Window w;
    const auto drop = [&](std::vector<wxString> names) {
        // The event owns and deletes the array of names.
        auto* owned = new wxString[names.size()];
        std::copy(names.begin(), names.end(), owned);
        wxDropFilesEvent event(wxEVT_DROP_FILES, static_cast<int>(names.size()), owned);
        event.SetEventObject(w.dlg.get());
        w.dlg->GetEventHandler()->ProcessEvent(event);
    };
    drop({"/none/a.tif", "/none/b.jpg", "/none/c.TIFF"});
    EXPECT_EQ(w.paths(), (std::vector<std::string>{"/none/a.tif", "/none/c.TIFF"}));
    w.dlg->GetProgressBar()->SetValue(37);
    drop({"/none/b.jpg", "/none/d.png"});
    EXPECT_EQ(w.list()->GetItemCount(), 2);
    EXPECT_EQ(w.dlg->GetProgressBar()->GetValue(), 37);
}

TEST(Keyboard, TheListGetsOnlyTheNavigationKeys) {
    Window w;
    w.rows(4);
    w.select({1});
    for (int code : {WXK_PAGEUP, WXK_PAGEDOWN, WXK_LEFT, WXK_UP, WXK_RIGHT, WXK_DOWN, WXK_NUMPAD_DOWN})
        EXPECT_TRUE(w.key(code)) << code;
    EXPECT_TRUE(w.key(WXK_DOWN, wxMOD_SHIFT));
    // Home, End, Return and letters do nothing in the list; Tab leaves it.
    for (int code : {int(WXK_HOME), int(WXK_END), int(WXK_RETURN), int(WXK_SPACE), int('R')})
        EXPECT_FALSE(w.key(code)) << code;
    EXPECT_TRUE(w.key(WXK_TAB));
    EXPECT_EQ(w.list()->GetItemCount(), 4);

    EXPECT_FALSE(w.key(WXK_DELETE));
    EXPECT_EQ(w.paths(), (std::vector<std::string>{"r0", "r2", "r3"}));

    TempFolder files;
    w.answer = OpenFilesAnswer{files.path(), {"x.tif", "y.tif"}};
    EXPECT_FALSE(w.key(WXK_INSERT));
    EXPECT_EQ(w.requests.size(), 1u);
    EXPECT_EQ(w.list()->GetItemCount(), 5);
}

TEST(Keyboard, EscapeAndReturnNeitherCloseTheWindowNorPressAButton) {
    Window w;
    EXPECT_FALSE(w.charHook(WXK_ESCAPE));
    EXPECT_FALSE(w.charHook(WXK_RETURN));
    EXPECT_FALSE(w.charHook(WXK_NUMPAD_ENTER));
    EXPECT_TRUE(w.charHook('A'));

    // The same with real key presses, the default button Add File(s) having
    // the focus.
    w.dlg->Show();
    ASSERT_TRUE(test::WaitFor([&] { return w.dlg->IsShownOnScreen(); }));
    w.dlg->Raise();
    w.dlg->FindWindow(IDC_ADDFILES)->SetFocus();
    test::Pump();
    wxUIActionSimulator sim;
    sim.Char(WXK_RETURN);
    sim.Char(WXK_ESCAPE);
    test::WaitFor([] { return false; }, 300);
    EXPECT_TRUE(w.dlg->IsShown());
    EXPECT_TRUE(w.requests.empty());
    // Space still presses the focused button.
    sim.Char(' ');
    EXPECT_TRUE(test::WaitFor([&] { return !w.requests.empty(); }));
}

TEST(Help, F1AndDoubleClicksOpenThroughTheDesktop) {
    Window w;
    test::FakeLauncher opener;
    EXPECT_FALSE(w.charHook(WXK_F1));
    ASSERT_TRUE(opener.WaitForCalls(1));
    EXPECT_EQ(opener.Calls()[0], std::vector<std::string>{GetProductIdentity().homePage});

    TempFolder files;
    ASSERT_TRUE(test::WriteTiff(files / "one.tif", 1));
    w.dlg->AddFile(files / "one.tif");
    for (int row : {-1, 0}) {
        wxCommandEvent click(EVT_FILELIST_DOUBLE_CLICK, IDC_FILELIST);
        click.SetInt(row);
        click.SetEventObject(w.list());
        w.list()->GetEventHandler()->ProcessEvent(click);
    }
    ASSERT_TRUE(opener.WaitForCalls(2));
    EXPECT_EQ(opener.Calls().size(), 2u);
    EXPECT_EQ(opener.Calls()[1], std::vector<std::string>{files / "one.tif"});
}

TEST(About, ShowsTheIdentityAndOpensTheWebPage) {
    const ProductIdentity& id = GetProductIdentity();
    CAboutDlg about(nullptr);
    EXPECT_EQ(about.GetTitle(), id.displayName);
    EXPECT_EQ(about.FindWindow(IDC_ABOUT_NAME)->GetLabel(), id.displayName);
    EXPECT_EQ(about.FindWindow(IDC_ABOUT_RIGHTS)->GetLabel(),
              wxString::Format(id.rightsNoticeFormat, wxDateTime::Now().GetYear()));
    EXPECT_EQ(about.FindWindow(IDC_ABOUT_WEB)->GetLabel(), id.displayName);
    CLinkStatic* home = about.GetHomePageLink();
    CLinkStatic* mail = about.GetMailLink();
    ASSERT_TRUE(home && mail);
    EXPECT_EQ(home->GetLabel(), id.homePage);
    EXPECT_EQ(home->GetLinkTarget(), id.homePage);
    EXPECT_EQ(mail->GetLabel(), wxString("mailto:") + id.supportEmail);
    EXPECT_EQ(mail->GetLinkTarget(), wxString("mailto:") + id.supportEmail);
    EXPECT_FALSE(home->IsUnderlined() || home->GetFont().GetUnderlined());
    EXPECT_FALSE(mail->IsUnderlined() || mail->GetFont().GetUnderlined());

    test::FakeLauncher opener;
    wxCommandEvent press(wxEVT_BUTTON, IDC_ABOUT_WEB);
    press.SetEventObject(about.FindWindow(IDC_ABOUT_WEB));
    about.FindWindow(IDC_ABOUT_WEB)->GetEventHandler()->ProcessEvent(press);
    ASSERT_TRUE(opener.WaitForCalls(1));
    EXPECT_EQ(opener.Calls()[0], std::vector<std::string>{id.webPage});
}

}  // namespace
}  // namespace pw
