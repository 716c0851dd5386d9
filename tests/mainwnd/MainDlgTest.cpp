// The main window on a real display: template 102, start-up, the command
// line, the file list's rows and buttons, and the layout.

#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "mainwnd/FileListRules.h"
#include "mainwnd/SystemImageLists.h"
#include "platform/ProductIdentity.h"
#include "res/DialogTemplate.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/DialogBuilder.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/gauge.h>
#include <wx/settings.h>
#include <wx/statline.h>
#include <wx/testing.h>
#include <wx/stattext.h>

#include <memory>

namespace pw {
namespace {

using test::TempFolder;

// Some file that exists on every system.
std::string AnyExistingFile() { return "/bin/sh"; }

wxRect Moved(wxRect r, int dx, int dy) {
    r.Offset(dx, dy);
    return r;
}

const int kListButtons[] = {IDC_REMOVE, IDC_EXTRACT, IDC_REMOVEALL, IDC_MERGEALL, IDC_COMPRESS, IDC_SPLITALL};
const int kAlwaysOnButtons[] = {IDC_ADDFILES, IDC_OPTIONS, IDC_ABOUT};

// A main window that is destroyed when the test ends; start-up never shows
// a real box nor ends the test program.
struct MainWindow {
    struct Box {
        wxWindow* owner;
        std::string text, caption;
        unsigned style;
        bool windowShown;
    };
    std::vector<Box> boxes;
    std::vector<int> exits;
    std::vector<bool> shownAtExit;
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{new CMainDlg(nullptr), [](CMainDlg* d) { d->Destroy(); }};

    explicit MainWindow(std::vector<std::string> args = {"pagewright"}) {
        std::vector<const char*> argv;
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        SetProgramArguments(static_cast<int>(argv.size()), argv.data());
        CMainDlg::StartupHooks hooks;
        hooks.messageBox = [this](wxWindow* owner, const char* text, const char* caption, unsigned style) {
            boxes.push_back({owner, text, caption, style, dlg->IsShown()});
            return IDOK;
        };
        hooks.exitProcess = [this](int code) {
            exits.push_back(code);
            shownAtExit.push_back(dlg->IsShown());
        };
        dlg->SetStartupHooks(hooks);
    }
    ~MainWindow() { SetProgramArguments(0, nullptr); }

    CFileListCtrl* list() { return dlg->GetFileList(); }
    std::string cell(long row, int col) { return PathFromWx(list()->GetItemText(row, col)); }
    std::vector<std::string> paths() {
        std::vector<std::string> p;
        for (long i = 0; i < list()->GetItemCount(); ++i)
            p.push_back(cell(i, 0));
        return p;
    }
    bool enabled(int id) { return dlg->FindWindow(id)->IsEnabled(); }
};

// Files for the list: a 3-page TIFF, a 1-page TIFF and a text file.
struct Files {
    TempFolder dir;
    std::string three = dir / "three.tif";
    std::string one = dir / "one page.TIFF";
    std::string text = dir / "notes.txt";
    Files() {
        EXPECT_TRUE(test::WriteTiff(three, 3));
        EXPECT_TRUE(test::WriteTiff(one, 1));
        EXPECT_TRUE(test::WriteNonTiff(text));
    }
};

TEST(MainDialogTemplate, BuildsEveryControlAtItsPlace) {
    const DialogTemplate* tmpl = FindDialogTemplate(IDD_MAIN);
    ASSERT_NE(tmpl, nullptr);
    EXPECT_EQ(tmpl->width, 511);
    EXPECT_EQ(tmpl->height, 313);
    ASSERT_EQ(tmpl->controls.size(), 14u);
    MainWindow w;
    EXPECT_EQ(w.dlg->GetClientSize(), w.dlg->ConvertDialogToPixels(wxSize(511, 313)));
    for (const ControlTemplate& row : tmpl->controls) {
        wxWindow* c = w.dlg->FindWindow(row.id);
        ASSERT_NE(c, nullptr) << row.id;
        EXPECT_EQ(c->GetRect(), DialogUnitsToPixels(w.dlg.get(), row.rect)) << row.id;
    }
    const std::pair<int, const char*> buttons[] = {
        {IDC_ADDFILES, "Add File(s)"}, {IDC_REMOVE, "Remove"},     {IDC_REMOVEALL, "Remove All"},
        {IDC_OPTIONS, "Options"},      {IDC_COMPRESS, "Compress"}, {IDC_MERGEALL, "Merge All"},
        {IDC_SPLITALL, "Split All"},   {IDC_EXTRACT, "Extract"},   {IDC_ABOUT, "About"},
    };
    for (const auto& [id, text] : buttons) {
        auto* b = dynamic_cast<wxButton*>(w.dlg->FindWindow(id));
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->GetLabelText(), text);
    }
    EXPECT_EQ(w.dlg->GetDefaultItem(), w.dlg->FindWindow(IDC_ADDFILES));
    auto* info = dynamic_cast<wxStaticText*>(w.dlg->FindWindow(IDC_INFORMATION));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetLabel(), "Information");
    EXPECT_NE(dynamic_cast<wxStaticLine*>(w.dlg->FindWindow(IDC_SPLITTER)), nullptr);
    EXPECT_TRUE(dynamic_cast<wxStaticLine*>(w.dlg->FindWindow(IDC_SPLITTER))->IsVertical());
    EXPECT_NE(dynamic_cast<wxGauge*>(w.dlg->FindWindow(IDC_PROGRESS)), nullptr);
    EXPECT_EQ(w.dlg->GetPreview(), w.dlg->FindWindow(IDC_PREVIEW));
    EXPECT_TRUE(w.dlg->HasFlag(wxRESIZE_BORDER));
    EXPECT_TRUE(w.dlg->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_TRUE(w.dlg->HasFlag(wxMINIMIZE_BOX));
}

TEST(MainDialog, OpensWithAnEmptyListAndOnlyTheAlwaysAvailableButtons) {
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    EXPECT_EQ(w.dlg->GetTitle(), GetProductIdentity().displayName);
    EXPECT_EQ(w.dlg->GetTitle(), "Pagewright");
    // The icons the window itself carries, in the three sizes.
    const wxIconBundle& icons = static_cast<wxTopLevelWindow*>(w.dlg.get())->GetIcons();
    EXPECT_EQ(icons.GetIconCount(), 3u);
    for (int size : {16, 32, 48})
        EXPECT_EQ(icons.GetIcon(size, wxIconBundle::FALLBACK_NONE).GetWidth(), size) << size;
    EXPECT_EQ(w.list()->GetItemCount(), 0);
    for (int id : kListButtons)
        EXPECT_FALSE(w.enabled(id)) << id;
    for (int id : kAlwaysOnButtons)
        EXPECT_TRUE(w.enabled(id)) << id;
    EXPECT_EQ(w.dlg->GetProgressBar()->GetRange(), 100);
    EXPECT_EQ(w.dlg->GetProgressBar()->GetValue(), 0);
    // Grown by a fifth of the template on each side.
    const wxSize templ = w.dlg->GetLayoutManager().GetInitialWindowSize();
    EXPECT_EQ(w.dlg->GetSize(), wxSize(templ.x + 2 * (10 * templ.x / 50), templ.y + 2 * (10 * templ.y / 50)));
    EXPECT_NE(w.dlg->GetLayoutManager().GetSizeGrip(), nullptr);
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_TRUE(w.exits.empty());
}

TEST(MainDialog, SetsUpTheFileList) {
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    CFileListCtrl* list = w.list();
    const char* titles[] = {"TIFF File", "Page Count", "File Size", "Information"};
    ASSERT_EQ(list->GetColumnCount(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list->GetColumnTitle(i), titles[i]);
    // The designed widths, or wider where a title needs more room.
    const int widths[] = {list->GetColumnWidth(0), list->GetColumnWidth(1), list->GetColumnWidth(2),
                          list->GetColumnWidth(3)};
    EXPECT_EQ(widths[0], 200);
    EXPECT_GE(widths[1], 70);
    EXPECT_EQ(widths[2], 100);
    EXPECT_GE(widths[3], 70);
    for (int i = 1; i < 4; ++i)
        EXPECT_GT(widths[i], list->GetTextExtent(titles[i]).x) << titles[i];
    // The status column is in sight in the window at its opening size.
    EXPECT_LE(widths[0] + widths[1] + widths[2] + widths[3], list->GetClientSize().x);
    // Several rows can be selected at once.
    w.dlg->AddFile(AnyExistingFile());
    w.dlg->AddFile(AnyExistingFile());
    list->SelectItem(0);
    list->SelectItem(1);
    EXPECT_EQ(list->GetSelectedItemCount(), 2);
}

TEST(FileListColumnWidth, IsTheGivenWidthUnlessTheTitleNeedsMore) {
    MainWindow w;
    const wxString title = "Information";
    const int text = w.dlg->GetTextExtent(title).x;
    EXPECT_EQ(FileListColumnWidth(w.dlg.get(), title, text + 40), text + 40);
    EXPECT_EQ(FileListColumnWidth(w.dlg.get(), title, 10), text + 20);
    EXPECT_EQ(FileListColumnWidth(w.dlg.get(), "", 70), 70);
}

TEST(MainDialog, LeavesTheSharedIconsWholeWhenItGoes) {
    auto* dlg = new CMainDlg(nullptr);
    dlg->SetStartupHooks({[](wxWindow*, const char*, const char*, unsigned) { return IDOK; }, [](int) {}});
    SetProgramArguments(0, nullptr);
    ASSERT_TRUE(dlg->OnInitDialog());
    dlg->AddFile(AnyExistingFile());
    test::Pump();  // the look-ups the window makes once it is up
    const int images = SystemImageLists::Get().GetSmallList()->GetImageCount();
    ASSERT_GT(images, 0);
    dlg->Destroy();  // the window itself goes later, with pending deletions
    test::Pump();
    wxTheApp->ProcessIdle();
    // The icons stay whole for the next window.
    EXPECT_EQ(SystemImageLists::Get().GetSmallList()->GetImageCount(), images);
    EXPECT_EQ(SystemImageLists::Get().GetLargeList()->GetImageCount(), images);
    EXPECT_TRUE(SystemImageLists::Get().GetIconBundle(0).IsOk());
}

TEST(CommandLine, AddsTheFilesOfAddAndOpenInOrder) {
    Files f;
    MainWindow w({"pagewright", "-add", f.three, "-ADD", f.one, "-Open", f.text, "-open"});
    ASSERT_TRUE(w.dlg->OnInitDialog());
    EXPECT_EQ(w.paths(), (std::vector<std::string>{f.three, f.one, f.text}));
    for (int id : {IDC_REMOVEALL, IDC_MERGEALL, IDC_COMPRESS, IDC_SPLITALL})
        EXPECT_TRUE(w.enabled(id)) << id;
    EXPECT_FALSE(w.enabled(IDC_REMOVE));
    EXPECT_FALSE(w.enabled(IDC_EXTRACT));
}

TEST(CommandLine, SkipsWhatIsNotAFollowingExistingPath) {
    Files f;
    const std::vector<std::vector<std::string>> cases = {
        {"pagewright", f.three},                               // a plain file name
        {"pagewright", "-add", f.dir / "missing.tif"},         // nothing there
        {"pagewright", "-add", ""},                            // empty
        {"pagewright", "-add", "-copyright"},                  // consumed as a path
        {"pagewright", "-add"},                                // trailing switch
        {"pagewright", "-addfile", f.three, "add", f.three},   // not a switch
    };
    for (const auto& args : cases) {
        MainWindow w(args);
        ASSERT_TRUE(w.dlg->OnInitDialog());
        EXPECT_EQ(w.list()->GetItemCount(), 0) << args.back();
        EXPECT_TRUE(w.boxes.empty());
        EXPECT_TRUE(w.exits.empty());
    }
    MainWindow w({"pagewright", "-add", f.three, f.one});
    ASSERT_TRUE(w.dlg->OnInitDialog());
    EXPECT_EQ(w.paths(), std::vector<std::string>{f.three});
}

TEST(CommandLine, CopyrightShowsItsBoxAndEndsBeforeTheWindowShows) {
    Files f;
    MainWindow w({"pagewright", "-add", f.three, "-COPYRIGHT", "-add", f.one, "-copyright"});
    w.dlg->Show();
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].owner, w.dlg.get());
    EXPECT_EQ(w.boxes[0].caption, "Pagewright");
    EXPECT_EQ(w.boxes[0].text, GetProductIdentity().copyrightNotice);
    EXPECT_EQ(w.boxes[0].style, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(w.boxes[0].style, 0x40u);
    EXPECT_FALSE(w.boxes[0].windowShown);
    EXPECT_EQ(w.exits, std::vector<int>{0});
    EXPECT_EQ(w.shownAtExit, std::vector<bool>{false});
    // Nothing after the switch was looked at.
    EXPECT_EQ(w.paths(), std::vector<std::string>{f.three});
    w.dlg->Hide();
}

// The notice as the message box really shows it, answered by the test.
class ExpectNotice : public wxExpectModalBase<wxDialog, ExpectNotice> {
public:
    explicit ExpectNotice(std::string* title, wxWindow** parent) : m_title(title), m_parent(parent) {}

protected:
    int OnInvoked(wxDialog* box) const override {
        *m_title = box->GetTitle().utf8_string();
        *m_parent = box->GetParent();
        return wxID_OK;
    }

private:
    std::string* m_title;
    wxWindow** m_parent;
};

TEST(CommandLine, CopyrightGoesThroughTheMessageBox) {
    std::vector<int> exits;
    auto dlg = std::unique_ptr<CMainDlg, void (*)(CMainDlg*)>(new CMainDlg(nullptr), [](CMainDlg* d) { d->Destroy(); });
    CMainDlg::StartupHooks hooks;
    hooks.exitProcess = [&](int code) { exits.push_back(code); };
    dlg->SetStartupHooks(hooks);  // the real message box, no real exit
    SetProgramArguments(0, nullptr);
    dlg->InitLayout(10);
    std::string title;
    wxWindow* parent = nullptr;
    wxTEST_DIALOG(dlg->ProcessCommandLine({"pagewright", "-copyright"}), ExpectNotice(&title, &parent));
    EXPECT_EQ(title, "Pagewright");
    EXPECT_EQ(parent, dlg.get());
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST(CommandLine, ProcessCommandLineReportsWhetherThereWereArguments) {
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    EXPECT_EQ(w.dlg->ProcessCommandLine({"pagewright"}), 0);
    EXPECT_EQ(w.dlg->ProcessCommandLine({"pagewright", "x"}), 1);
}

TEST(FileList, RowsHoldPathPageCountSizeAndAnEmptyStatus) {
    Files f;
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    const std::string odd = f.dir / "-odd 'name\" \xff.tif";
    ASSERT_TRUE(test::WriteTiff(odd, 2));
    EXPECT_EQ(w.dlg->AddFile(f.three), 0);
    EXPECT_EQ(w.dlg->AddFile(f.text), 1);
    EXPECT_EQ(w.dlg->AddFile(f.dir / "gone.tif"), 2);  // AddFile does not check
    EXPECT_EQ(w.dlg->AddFile(f.three), 3);             // duplicates are kept
    EXPECT_EQ(w.dlg->AddFile(odd), 4);
    EXPECT_EQ(w.dlg->AddFile(f.dir.path()), 5);
    const struct {
        std::string path, pages;
    } rows[] = {{f.three, "3"}, {f.text, "0"}, {f.dir / "gone.tif", "0"}, {f.three, "3"}, {odd, "2"},
                {f.dir.path(), "0"}};
    ASSERT_EQ(w.list()->GetItemCount(), 6);
    for (long i = 0; i < 6; ++i) {
        EXPECT_EQ(w.cell(i, 0), rows[i].path);
        EXPECT_EQ(w.cell(i, 1), rows[i].pages);
        EXPECT_EQ(w.cell(i, 2), FormatFileSize(rows[i].path));
        EXPECT_EQ(w.cell(i, 3), "");
    }
    EXPECT_EQ(w.cell(2, 2), "    0.00 KB");
    // AddFile leaves the buttons to its callers.
    EXPECT_FALSE(w.enabled(IDC_REMOVEALL));
}

TEST(FileList, RowsOfOneKindShareOneIconLookup) {
    Files f;
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    w.dlg->AddFile(f.three);
    const std::size_t lookups = SystemImageLists::Get().LookupCount();
    const int icon = SystemImageLists::Get().IconIndexForPath(f.three);
    for (int i = 0; i < 50; ++i)
        w.dlg->AddFile(i % 2 ? f.three : f.dir / ("copy" + std::to_string(i) + ".TIF"));
    EXPECT_EQ(SystemImageLists::Get().LookupCount(), lookups);
    // Every row has an icon, and it is the one of its kind.
    ASSERT_GE(icon, 0);
    for (long i = 0; i < w.list()->GetItemCount(); ++i)
        EXPECT_EQ(w.list()->GetItemImage(i), icon) << i;
    EXPECT_LT(icon, SystemImageLists::Get().GetSmallList()->GetImageCount());
    EXPECT_TRUE(SystemImageLists::Get().GetIconBundle(icon).IsOk());
    EXPECT_EQ(SystemImageLists::Get().GetSmallList()->GetImageCount(),
              SystemImageLists::Get().GetLargeList()->GetImageCount());
}

TEST(FileList, AddExistingFileRefusesSilentlyWhatIsNotThere) {
    Files f;
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    // Refusals do not touch the buttons: one set by hand stays as it is.
    w.dlg->FindWindow(IDC_REMOVEALL)->Enable(true);
    w.dlg->AddExistingFile(nullptr);
    w.dlg->AddExistingFile("");
    w.dlg->AddExistingFile((f.dir / "missing.tif").c_str());
    EXPECT_EQ(w.list()->GetItemCount(), 0);
    EXPECT_TRUE(w.enabled(IDC_REMOVEALL));
    w.dlg->FindWindow(IDC_REMOVEALL)->Enable(false);
    w.dlg->AddExistingFile(f.dir.path().c_str());  // a folder exists too
    EXPECT_EQ(w.paths(), std::vector<std::string>{f.dir.path()});
    EXPECT_EQ(w.cell(0, 1), "0");
    EXPECT_TRUE(w.enabled(IDC_REMOVEALL));
}

TEST(FileList, AddFilesShowsProgressAndHandlesWaitingEventsBeforeEachFile) {
    Files f;
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    std::vector<int> progressAtInsert;
    std::vector<std::string> order;
    w.list()->Bind(wxEVT_LIST_INSERT_ITEM, [&](wxListEvent& e) {
        progressAtInsert.push_back(w.dlg->GetProgressBar()->GetValue());
        order.push_back("row");
        e.Skip();
    });
    // Waiting events run before the first file; one of them adds files
    // itself, which then come first.
    w.dlg->CallAfter([&] {
        order.push_back("event");
        w.dlg->AddFiles({f.text});
    });
    w.dlg->AddFiles({f.three, f.one, f.three, f.one});
    EXPECT_EQ(order, (std::vector<std::string>{"event", "row", "row", "row", "row", "row"}));
    // The nested call ran with n = 1 (99), the outer one with n = 4.
    EXPECT_EQ(progressAtInsert, (std::vector<int>{99, 24, 49, 74, 99}));
    EXPECT_EQ(w.paths(), (std::vector<std::string>{f.text, f.three, f.one, f.three, f.one}));
    EXPECT_EQ(w.dlg->GetProgressBar()->GetValue(), 0);
    EXPECT_TRUE(w.enabled(IDC_MERGEALL));
    EXPECT_FALSE(w.enabled(IDC_REMOVE));
    // The last row is the one scrolled into view.
    EXPECT_EQ(w.list()->GetItemCount(), 5);
}

TEST(FileList, AddFilesWithNothingChangesNothing) {
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    w.dlg->GetProgressBar()->SetValue(37);
    w.dlg->FindWindow(IDC_REMOVE)->Enable(true);
    w.dlg->AddFiles({});
    EXPECT_EQ(w.dlg->GetProgressBar()->GetValue(), 37);
    EXPECT_TRUE(w.enabled(IDC_REMOVE));
}

TEST(FileList, ButtonsFollowRowsAndSelection) {
    Files f;
    MainWindow w({"pagewright", "-add", f.three, "-add", f.one});
    ASSERT_TRUE(w.dlg->OnInitDialog());
    EXPECT_FALSE(w.enabled(IDC_REMOVE));
    EXPECT_FALSE(w.enabled(IDC_EXTRACT));
    w.list()->SelectItem(1);
    w.dlg->UpdateButtons();
    for (int id : kListButtons)
        EXPECT_TRUE(w.enabled(id)) << id;
    w.list()->DeleteAllItems();
    w.dlg->UpdateButtons();
    for (int id : kListButtons)
        EXPECT_FALSE(w.enabled(id)) << id;
    for (int id : kAlwaysOnButtons)
        EXPECT_TRUE(w.enabled(id)) << id;
}

TEST(FileList, SelectionReadingAndClearing) {
    Files f;
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    for (const std::string& p : {f.three, f.one, f.text, f.three})
        w.dlg->AddFile(p);
    w.list()->InsertItem(4, wxString());  // a row without a path
    for (long i : {0L, 2L, 4L})
        w.list()->SelectItem(i);
    w.list()->FocusItem(2);
    std::vector<std::string> paths{"earlier"};
    EXPECT_EQ(w.dlg->GetSelectedPaths(paths), 3);
    EXPECT_EQ(paths, (std::vector<std::string>{"earlier", f.three, f.text}));

    w.dlg->DeselectAll();
    EXPECT_EQ(w.list()->GetSelectedItemCount(), 0);
    EXPECT_EQ(w.list()->GetFocusedItem(), -1);
    paths.clear();
    EXPECT_EQ(w.dlg->GetSelectedPaths(paths), 0);

    w.list()->SetItem(1, 3, "Success");
    w.list()->SetItem(3, 3, "Failed");
    w.dlg->ClearInformationColumn();
    for (long i = 0; i < w.list()->GetItemCount(); ++i)
        EXPECT_EQ(w.cell(i, 3), "") << i;
    EXPECT_EQ(w.cell(1, 0), f.one);
}

TEST(MainDialogLayout, FollowsTheTableOfPercentages) {
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    cdxCLayoutManager& layout = w.dlg->GetLayoutManager();
    const wxSize init = layout.GetInitialClientSize();
    auto rectAt = [&](int dx, int dy, int id) {
        EXPECT_TRUE(layout.Layout(init.x + dx, init.y + dy));
        return w.dlg->FindWindow(id)->GetRect();
    };
    const DialogTemplate* tmpl = FindDialogTemplate(IDD_MAIN);
    auto templ = [&](int id) { return DialogUnitsToPixels(w.dlg.get(), tmpl->FindControl(id)->rect); };

    const wxRect preview = rectAt(100, 0, IDC_PREVIEW);
    EXPECT_EQ(preview, wxRect(templ(IDC_PREVIEW).GetPosition(), templ(IDC_PREVIEW).GetSize() + wxSize(70, 0)));
    EXPECT_EQ(rectAt(100, 0, IDC_SPLITTER), Moved(templ(IDC_SPLITTER), 70, 0));
    EXPECT_EQ(rectAt(100, 0, IDC_FILELIST),
              wxRect(templ(IDC_FILELIST).GetPosition() + wxPoint(70, 0), templ(IDC_FILELIST).GetSize() + wxSize(30, 0)));
    for (int id : {IDC_ADDFILES, IDC_REMOVE, IDC_REMOVEALL, IDC_OPTIONS, IDC_COMPRESS, IDC_MERGEALL, IDC_SPLITALL,
                   IDC_EXTRACT, IDC_ABOUT})
        EXPECT_EQ(rectAt(100, 40, id), Moved(templ(id), 50, 40)) << id;
    for (int id : {IDC_INFORMATION, IDC_PROGRESS})
        EXPECT_EQ(rectAt(100, 40, id),
                  wxRect(templ(id).GetPosition() + wxPoint(0, 40), templ(id).GetSize() + wxSize(100, 0)))
            << id;
    EXPECT_EQ(rectAt(100, 40, IDC_FILELIST),
              wxRect(templ(IDC_FILELIST).GetPosition() + wxPoint(70, 0), templ(IDC_FILELIST).GetSize() + wxSize(30, 40)));
    // 15 pixels: half of it is 7 for the buttons, 70% is 10 for the preview.
    EXPECT_EQ(rectAt(15, 0, IDC_ABOUT), Moved(templ(IDC_ABOUT), 7, 0));
    EXPECT_EQ(rectAt(15, 0, IDC_PREVIEW).width, templ(IDC_PREVIEW).width + 10);
}

TEST(MainDialogLayout, AnEnlargedWindowKeepsItsControlsInside) {
    MainWindow w;
    w.dlg->Show();
    w.dlg->SetSize(wxSize(1500, 950));
    ASSERT_TRUE(test::WaitFor([&] { return w.dlg->GetClientSize() == wxSize(1500, 950) || w.dlg->GetSize() == wxSize(1500, 950); }));
    test::Pump();
    const wxSize client = w.dlg->GetClientSize();
    const wxRect list = w.dlg->FindWindow(IDC_FILELIST)->GetRect();
    const wxRect progress = w.dlg->FindWindow(IDC_PROGRESS)->GetRect();
    const wxRect about = w.dlg->FindWindow(IDC_ABOUT)->GetRect();
    const wxRect templList = DialogUnitsToPixels(w.dlg.get(), FindDialogTemplate(IDD_MAIN)->FindControl(IDC_FILELIST)->rect);
    const wxSize init = w.dlg->GetLayoutManager().GetInitialClientSize();
    EXPECT_EQ(client.x - list.GetRight(), init.x - templList.GetRight());
    EXPECT_EQ(client.y - progress.GetBottom(),
              init.y - DialogUnitsToPixels(w.dlg.get(), FindDialogTemplate(IDD_MAIN)->FindControl(IDC_PROGRESS)->rect)
                           .GetBottom());
    EXPECT_LT(about.GetRight(), client.x);
    wxWindow* grip = w.dlg->GetLayoutManager().GetSizeGrip();
    EXPECT_EQ(grip->GetRect().GetBottomRight(), wxPoint(client.x - 1, client.y - 1));
    w.dlg->Hide();
}

TEST(MainDialog, ErasesItsBackgroundAroundThePreviewAndTheList) {
    MainWindow w;
    ASSERT_TRUE(w.dlg->OnInitDialog());
    const wxSize client = w.dlg->GetClientSize();
    wxBitmap canvas(client);
    wxMemoryDC dc(canvas);
    dc.SetBackground(*wxRED_BRUSH);
    dc.Clear();
    wxEraseEvent erase(w.dlg->GetId(), &dc);
    erase.SetEventObject(w.dlg.get());
    EXPECT_TRUE(w.dlg->ProcessWindowEvent(erase));
    dc.SelectObject(wxNullBitmap);
    const wxImage image = canvas.ConvertToImage();
    auto colourAt = [&](const wxPoint& p) {
        return wxColour(image.GetRed(p.x, p.y), image.GetGreen(p.x, p.y), image.GetBlue(p.x, p.y));
    };
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    const wxRect preview = w.dlg->GetPreview()->GetRect();
    const wxRect list = w.list()->GetRect();
    EXPECT_EQ(colourAt(wxPoint(1, 1)), face);
    EXPECT_EQ(colourAt(wxPoint(client.x - 2, client.y - 2)), face);
    EXPECT_EQ(colourAt(w.dlg->FindWindow(IDC_ABOUT)->GetRect().GetTopLeft()), face);
    EXPECT_EQ(colourAt(preview.GetTopLeft() + wxPoint(5, 5)), *wxRED);
    EXPECT_EQ(colourAt(wxPoint(preview.x + preview.width / 2, preview.y + preview.height / 2)), *wxRED);
    EXPECT_EQ(colourAt(list.GetBottomRight() - wxPoint(5, 5)), *wxRED);
}

}  // namespace
}  // namespace pw
