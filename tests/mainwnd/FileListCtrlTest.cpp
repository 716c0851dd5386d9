// The file list control keeps its rows itself; selection and focus must
// follow the rows when rows come and go.

#include "mainwnd/CFileListCtrl.h"
#include "tests/ui/WxTestEnvironment.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <string>
#include <vector>

namespace pw {
namespace {

struct ListWindow {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "list");
    CFileListCtrl* list = new CFileListCtrl(frame, 1002, wxPoint(0, 0), wxSize(400, 300), 0);
    ListWindow() {
        for (int c = 0; c < 4; ++c)
            list->AppendColumn(wxString::Format("c%d", c));
    }
    ~ListWindow() { frame->Destroy(); }

    std::vector<std::string> Column(int col) const {
        std::vector<std::string> v;
        for (long i = 0; i < list->GetItemCount(); ++i)
            v.push_back(list->GetItemText(i, col).ToStdString());
        return v;
    }
    std::vector<long> Selected() const {
        std::vector<long> v;
        for (long i = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i != -1;
             i = list->GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
            v.push_back(i);
        return v;
    }
    void Select(long i) { list->SetItemState(i, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED); }
};

using Texts = std::vector<std::string>;
using Rows = std::vector<long>;

TEST(FileListCtrl, KeepsTheTextsAndIconsOfItsRows) {
    ListWindow w;
    EXPECT_TRUE(w.list->HasFlag(wxLC_VIRTUAL));
    EXPECT_TRUE(w.list->InReportView());
    EXPECT_EQ(w.list->InsertItem(0, "a", 3), 0);
    EXPECT_EQ(w.list->InsertItem(1, "b"), 1);
    EXPECT_EQ(w.list->InsertItem(3, "out of range"), -1);
    EXPECT_EQ(w.list->InsertItem(-1, "out of range"), -1);
    EXPECT_TRUE(w.list->SetItem(0, 2, "size"));
    EXPECT_TRUE(w.list->SetItem(1, 3, "Success"));
    EXPECT_FALSE(w.list->SetItem(2, 0, "no row"));
    EXPECT_FALSE(w.list->SetItem(0, 4, "no column"));
    EXPECT_EQ(w.Column(0), (Texts{"a", "b"}));
    EXPECT_EQ(w.Column(2), (Texts{"size", ""}));
    EXPECT_EQ(w.Column(3), (Texts{"", "Success"}));
    EXPECT_EQ(w.list->GetItemImage(0), 3);
    EXPECT_EQ(w.list->GetItemImage(1), -1);
    EXPECT_EQ(w.list->GetItemImage(7), -1);
    EXPECT_TRUE(w.list->SetItemText(1, "b2"));
    EXPECT_EQ(w.Column(0), (Texts{"a", "b2"}));
}

TEST(FileListCtrl, SelectionMovesWithTheRows) {
    ListWindow w;
    for (const char* t : {"r0", "r1", "r2", "r3", "r4", "r5"})
        w.list->InsertItem(w.list->GetItemCount(), t);
    w.Select(2);
    w.Select(4);
    w.list->InsertItem(3, "new");
    EXPECT_EQ(w.Column(0), (Texts{"r0", "r1", "r2", "new", "r3", "r4", "r5"}));
    EXPECT_EQ(w.Selected(), (Rows{2, 5}));
    EXPECT_TRUE(w.list->DeleteItem(2));
    EXPECT_EQ(w.Column(0), (Texts{"r0", "r1", "new", "r3", "r4", "r5"}));
    EXPECT_EQ(w.Selected(), (Rows{4}));
    EXPECT_EQ(w.list->GetSelectedItemCount(), 1);
    EXPECT_FALSE(w.list->DeleteItem(6));
    EXPECT_TRUE(w.list->DeleteAllItems());
    EXPECT_EQ(w.list->GetItemCount(), 0);
    EXPECT_EQ(w.list->GetSelectedItemCount(), 0);
    w.list->InsertItem(0, "again");
    EXPECT_EQ(w.Column(0), Texts{"again"});
    EXPECT_TRUE(w.Selected().empty());
}

TEST(FileListCtrl, TellsOfInsertedRows) {
    ListWindow w;
    std::vector<long> inserted;
    w.list->Bind(wxEVT_LIST_INSERT_ITEM, [&](wxListEvent& e) { inserted.push_back(e.GetIndex()); });
    w.list->InsertItem(0, "a");
    w.list->InsertItem(0, "b");
    w.list->InsertItem(2, "c");
    EXPECT_EQ(inserted, (Rows{0, 0, 2}));
}

}  // namespace
}  // namespace pw
