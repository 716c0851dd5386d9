// The file list keeps its rows itself; selection and focus must follow the
// rows when rows come and go, the list must report what the user does to
// it, and a screen reader must find its rows through the desktop's list.

#include "mainwnd/CFileListCtrl.h"
#include "tests/ui/WxTestEnvironment.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pw {
namespace {

struct ListWindow {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "list", wxPoint(50, 50), wxSize(500, 400));
    CFileListCtrl* list = new CFileListCtrl(frame, 1002, wxPoint(0, 0), wxSize(480, 360), 0);
    std::vector<std::string> events;  // what reached the parent, in order
    ListWindow() {
        for (int c = 0; c < 4; ++c)
            list->InsertColumn(c, wxString::Format("c%d", c), wxLIST_FORMAT_LEFT, 100);
        auto log = [this](const char* what) {
            return [this, what](wxCommandEvent& e) {
                events.push_back(std::string(what) + " " + std::to_string(e.GetInt()));
            };
        };
        frame->Bind(EVT_FILELIST_CLICK, log("click"));
        frame->Bind(EVT_FILELIST_DOUBLE_CLICK, log("double"));
        frame->Bind(EVT_FILELIST_RIGHT_CLICK, log("right"));
        frame->Bind(EVT_FILELIST_SELECTION_CHANGED, log("selection"));
    }
    ~ListWindow() { frame->Destroy(); }

    void Fill(int rows) {
        for (int i = 0; i < rows; ++i)
            list->InsertItem(list->GetItemCount(), wxString::Format("r%d", i));
    }
    std::vector<std::string> Column(int col) const {
        std::vector<std::string> v;
        for (long i = 0; i < list->GetItemCount(); ++i)
            v.push_back(list->GetItemText(i, col).ToStdString());
        return v;
    }
    // The middle of a row in screen coordinates.
    wxPoint RowOnScreen(long row) {
        int top = -1, bottom = -1;
        for (int y = 0; y < list->GetClientSize().y; ++y)
            if (list->HitTestRow(wxPoint(20, y)) == row) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        if (top >= 0)
            return list->ClientToScreen(wxPoint(20, (top + bottom) / 2));
        ADD_FAILURE() << "row " << row << " is not in view";
        return wxPoint();
    }
    void Show() {
        frame->Show();
        ASSERT_TRUE(test::WaitFor([&] { return list->IsShownOnScreen(); }));
        test::WaitUntilPlaced(frame);  // placed, laid out and drawn
    }
};

using Texts = std::vector<std::string>;
using Rows = std::vector<long>;
using Events = std::vector<std::string>;

TEST(FileListCtrl, KeepsTheTextsAndIconsOfItsRows) {
    ListWindow w;
    EXPECT_EQ(w.list->GetColumnCount(), 4u);
    EXPECT_EQ(w.list->GetColumnTitle(2), "c2");
    EXPECT_EQ(w.list->InsertColumn(4, "fifth"), -1);
    EXPECT_EQ(w.list->InsertItem(0, "a", 3), 0);
    EXPECT_EQ(w.list->InsertItem(1, "b"), 1);
    EXPECT_EQ(w.list->InsertItem(3, "out of range"), -1);
    EXPECT_EQ(w.list->InsertItem(-1, "out of range"), -1);
    EXPECT_EQ(w.list->InsertItem(2, {"c", "1", "2 KB", "Failed"}, 0), 2);
    EXPECT_TRUE(w.list->SetItem(0, 2, "size"));
    EXPECT_TRUE(w.list->SetItem(1, 3, "Success"));
    EXPECT_FALSE(w.list->SetItem(3, 0, "no row"));
    EXPECT_FALSE(w.list->SetItem(0, 4, "no column"));
    EXPECT_EQ(w.Column(0), (Texts{"a", "b", "c"}));
    EXPECT_EQ(w.Column(2), (Texts{"size", "", "2 KB"}));
    EXPECT_EQ(w.Column(3), (Texts{"", "Success", "Failed"}));
    EXPECT_EQ(w.list->GetItemText(7, 0), "");
    EXPECT_EQ(w.list->GetItemImage(0), 3);
    EXPECT_EQ(w.list->GetItemImage(1), -1);
    EXPECT_EQ(w.list->GetItemImage(7), -1);
    EXPECT_TRUE(w.list->SetItemText(1, "b2"));
    EXPECT_EQ(w.Column(0), (Texts{"a", "b2", "c"}));
}

TEST(FileListCtrl, SelectionMovesWithTheRows) {
    ListWindow w;
    w.Fill(6);
    w.list->SelectItem(2);
    w.list->SelectItem(4);
    w.list->InsertItem(3, "new");
    EXPECT_EQ(w.Column(0), (Texts{"r0", "r1", "r2", "new", "r3", "r4", "r5"}));
    EXPECT_EQ(w.list->GetSelectedItems(), (Rows{2, 5}));
    EXPECT_TRUE(w.list->DeleteItem(2));
    EXPECT_EQ(w.Column(0), (Texts{"r0", "r1", "new", "r3", "r4", "r5"}));
    EXPECT_EQ(w.list->GetSelectedItems(), (Rows{4}));
    EXPECT_TRUE(w.list->IsSelected(4));
    EXPECT_FALSE(w.list->IsSelected(3));
    EXPECT_EQ(w.list->GetSelectedItemCount(), 1);
    EXPECT_FALSE(w.list->DeleteItem(6));
    EXPECT_TRUE(w.list->DeleteAllItems());
    EXPECT_EQ(w.list->GetItemCount(), 0);
    EXPECT_EQ(w.list->GetSelectedItemCount(), 0);
    EXPECT_EQ(w.list->GetFocusedItem(), -1);
    w.list->InsertItem(0, "again");
    EXPECT_EQ(w.Column(0), Texts{"again"});
    EXPECT_TRUE(w.list->GetSelectedItems().empty());
}

TEST(FileListCtrl, TellsOfEveryChangeOfTheSelectionOnce) {
    ListWindow w;
    std::vector<long> inserted;
    w.list->Bind(wxEVT_LIST_INSERT_ITEM, [&](wxListEvent& e) { inserted.push_back(e.GetIndex()); });
    w.Fill(2);
    w.list->InsertItem(0, "first");
    EXPECT_EQ(inserted, (Rows{0, 1, 0}));
    w.list->SelectItem(1);
    w.list->SelectItem(1);  // no change
    w.list->SelectItem(2);
    w.list->SelectItem(2, false);
    w.list->DeleteItem(0);  // not selected
    w.list->DeleteItem(0);  // selected
    w.list->SelectItem(0);
    w.list->DeselectAllItems();
    w.list->DeselectAllItems();  // nothing left to clear
    EXPECT_EQ(w.events, (Events{"selection -1", "selection -1", "selection -1", "selection -1", "selection -1",
                                "selection -1"}));
}

TEST(FileListCtrl, FocusIsKeptApartFromTheSelection) {
    ListWindow w;
    w.Fill(5);
    EXPECT_EQ(w.list->GetFocusedItem(), -1);
    w.list->SelectItem(1);
    w.list->SelectItem(3);
    w.list->FocusItem(2);
    EXPECT_EQ(w.list->GetFocusedItem(), 2);
    EXPECT_EQ(w.list->GetSelectedItems(), (Rows{1, 3}));
    w.list->FocusItem(9);
    EXPECT_EQ(w.list->GetFocusedItem(), 2);
    w.list->DeselectAllItems();
    EXPECT_EQ(w.list->GetFocusedItem(), -1);
    EXPECT_EQ(w.list->GetSelectedItemCount(), 0);
}

TEST(FileListCtrl, NavigationKeysMoveFocusAndSelectionToOneRow) {
    ListWindow w;
    w.Fill(60);
    w.Show();
    w.list->SelectItem(3);
    w.list->SelectItem(5);
    w.list->FocusItem(5);
    w.events.clear();
    w.list->SendNavigationKey(WXK_DOWN);
    EXPECT_EQ(w.list->GetFocusedItem(), 6);
    EXPECT_EQ(w.list->GetSelectedItems(), Rows{6});
    EXPECT_EQ(w.events, Events{"selection -1"});
    w.list->SendNavigationKey(WXK_UP);
    w.list->SendNavigationKey(WXK_UP);
    EXPECT_EQ(w.list->GetSelectedItems(), Rows{4});
    w.list->SendNavigationKey(WXK_END);
    EXPECT_EQ(w.list->GetFocusedItem(), 59);
    w.list->SendNavigationKey(WXK_DOWN);  // stays on the last row
    EXPECT_EQ(w.list->GetSelectedItems(), Rows{59});
    w.list->SendNavigationKey(WXK_HOME);
    EXPECT_EQ(w.list->GetSelectedItems(), Rows{0});
    w.list->SendNavigationKey(WXK_PAGEDOWN);
    const long page = w.list->GetFocusedItem();
    EXPECT_GT(page, 1);   // a page is more than a row
    EXPECT_LT(page, 59);  // and less than the 60 rows of a 360-pixel list
    w.list->SendNavigationKey(WXK_PAGEUP);
    EXPECT_EQ(w.list->GetSelectedItems(), Rows{0});
    // Left and Right scroll the columns sideways.
    for (int c = 0; c < 4; ++c)
        w.list->SetColumnWidth(c, 300);
    test::WaitFor([] { return false; }, 200);
    // Where the first column starts, against the list's left edge.
    auto firstColumnX = [&] { return w.list->GetItemRect(w.list->GetTopItem(), w.list->GetColumn(0)).x; };
    const int home = firstColumnX();
    EXPECT_GE(home, 0);
    for (int i = 0; i < 40; ++i)
        w.list->SendNavigationKey(WXK_RIGHT);
    test::WaitFor([] { return false; }, 200);
    // To the end: more than two of the four 300-pixel columns have gone
    // past the left edge of the 480-pixel list.
    EXPECT_LE(firstColumnX(), home - 600);
    for (int i = 0; i < 40; ++i)
        w.list->SendNavigationKey(WXK_LEFT);
    test::WaitFor([] { return false; }, 200);
    EXPECT_EQ(firstColumnX(), home);
    EXPECT_EQ(w.list->GetSelectedItems(), Rows{0});
    // A key handed back is not reported as a key again.
    int keys = 0;
    w.frame->Bind(EVT_FILELIST_KEY_DOWN, [&](wxKeyEvent&) { ++keys; });
    w.list->SendNavigationKey(WXK_DOWN);
    EXPECT_EQ(keys, 0);
}

// The row comes fully into view by the least scroll, and is there as soon
// as the call returns (the desktop's own scrolling to a row glides).
TEST(FileListCtrl, ScrollIntoViewShowsTheWholeRowAtOnce) {
    ListWindow w;
    w.Fill(100);
    w.Show();
    auto pixels = [&](long row) {
        int n = 0;
        for (int y = 0; y < w.list->GetClientSize().y; ++y)
            n += w.list->HitTestRow(wxPoint(20, y)) == row ? 1 : 0;
        return n;
    };
    const int whole = pixels(0);
    ASSERT_GT(whole, 0);
    auto topRow = [&] { return w.list->GetTopItem(); };
    for (long row : {80L, 99L, 30L, 0L, 57L}) {
        w.list->ScrollIntoView(row);
        // The list's frame covers the last pixel line of a row at its
        // bottom edge, as it does after the view's own scrolling.
        EXPECT_GE(pixels(row), whole - 1) << "row " << row;
    }
    const wxDataViewItem top = topRow();
    w.list->ScrollIntoView(56);  // in view already: nothing moves
    EXPECT_EQ(topRow(), top);
    w.list->ScrollIntoView(200);  // no such row
    EXPECT_EQ(topRow(), top);
}

// Real input through the display: the user's clicks and keys.
TEST(FileListCtrl, ReportsClicksAndKeysOfTheUser) {
    ListWindow w;
    w.Fill(8);
    w.Show();
    std::vector<int> keys;
    bool passKeys = false;
    w.frame->Bind(EVT_FILELIST_KEY_DOWN, [&](wxKeyEvent& e) {
        keys.push_back(e.GetKeyCode());
        e.Skip(passKeys);
    });
    wxUIActionSimulator sim;
    sim.MouseMove(w.RowOnScreen(2));
    sim.MouseClick();
    ASSERT_TRUE(test::WaitFor([&] { return w.list->GetSelectedItems() == Rows{2}; }));
    test::Pump();
    EXPECT_EQ(w.events, (Events{"selection -1", "click 2"}));
    EXPECT_EQ(w.list->GetFocusedItem(), 2);

    // A key the parent keeps does not move the list; one it passes on does.
    sim.Char(WXK_DOWN);
    ASSERT_TRUE(test::WaitFor([&] { return keys.size() == 1; }));
    test::Pump();
    EXPECT_EQ(w.list->GetSelectedItems(), Rows{2});
    passKeys = true;
    sim.Char(WXK_DOWN);
    ASSERT_TRUE(test::WaitFor([&] { return w.list->GetSelectedItems() == Rows{3}; }));
    EXPECT_EQ(keys, (std::vector<int>{WXK_DOWN, WXK_DOWN}));

    w.events.clear();
    // Clicks closer together than the desktop's double-click time would
    // make the next one a double click's second.
    test::WaitFor([] { return false; }, 600);
    sim.MouseMove(w.RowOnScreen(4));
    sim.MouseDblClick();
    auto has = [&](const std::string& event) {
        return std::find(w.events.begin(), w.events.end(), event) != w.events.end();
    };
    ASSERT_TRUE(test::WaitFor([&] { return has("double 4"); })) << ::testing::PrintToString(w.events);
    w.events.clear();
    test::WaitFor([] { return false; }, 600);
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(test::WaitFor([&] { return has("right 4"); })) << ::testing::PrintToString(w.events);
    // Beside the rows a click names no row.
    w.events.clear();
    test::WaitFor([] { return false; }, 600);
    sim.MouseMove(w.list->ClientToScreen(wxPoint(20, w.list->GetClientSize().y - 5)));
    sim.MouseClick();
    ASSERT_TRUE(test::WaitFor([&] { return has("click -1"); })) << ::testing::PrintToString(w.events);
    w.frame->Hide();
}

}  // namespace
}  // namespace pw
