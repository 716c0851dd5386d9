// The combo box with item tips in a dialog of its own on a real display.

#include "tests/ui/RealInput.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/CTipComboBox.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include <memory>

namespace pw {
namespace {

const wxString kLong = "An entry far too long to be read whole in a combo box this narrow";

struct ComboDialog {
    std::unique_ptr<wxDialog, void (*)(wxDialog*)> dlg{new wxDialog(nullptr, wxID_ANY, "Tip combo"),
                                                     [](wxDialog* d) { d->Destroy(); }};
    CTipComboBox* list = nullptr;  // a drop-down list
    CTipComboBox* edit = nullptr;  // with a text part
    std::vector<int> chosen;

    ComboDialog() {
        dlg->SetClientSize(400, 300);
        list = new CTipComboBox(dlg.get(), 1, "", wxPoint(20, 20), wxSize(120, -1), wxCB_READONLY);
        edit = new CTipComboBox(dlg.get(), 2, "", wxPoint(20, 80), wxSize(120, -1));
        for (CTipComboBox* c : {list, edit}) {
            for (const char* text : {"One", "Two", "Three", "Four", "Five", "Six"})
                c->Append(text);
            c->Append(kLong);
        }
        list->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent& e) { chosen.push_back(e.GetInt()); });
        dlg->Show();
        test::WaitUntilPlaced(dlg.get());
    }
    ~ComboDialog() { CTipComboBox::HideTip(); }
    bool TipShown() { return CTipComboBox::GetTipWindow()->IsShown(); }
    bool Open(CTipComboBox* c) {
        c->ShowPopup();
        return test::WaitFor([&] { return c->IsPopupShown() && c->GetListBox()->IsShownOnScreen(); });
    }
    wxPoint Row(CTipComboBox* c, int row) { return c->GetListBox()->GetItemRect(row).GetPosition() + wxPoint(5, 3); }
    void Mouse(CTipComboBox* c, wxEventType type, int row) {
        wxMouseEvent e(type);
        e.SetPosition(Row(c, row));
        e.SetEventObject(c->GetListBox());
        c->GetListBox()->ProcessWindowEvent(e);
        test::Pump();
    }
};

TEST(TipComboBox, TheSharedTipWindowLivesWhileAnyComboDoes) {
    EXPECT_EQ(CTipComboBox::GetTipWindow(), nullptr);
    {
        std::unique_ptr<wxDialog, void (*)(wxDialog*)> dlg(new wxDialog(nullptr, wxID_ANY, "x"),
                                                         [](wxDialog* d) { d->Destroy(); });
        auto* first = new CTipComboBox(dlg.get(), 1, "", wxDefaultPosition, wxDefaultSize, 0, false);
        wxWindow* tip = CTipComboBox::GetTipWindow();
        ASSERT_NE(tip, nullptr);
        auto* second = new CTipComboBox(dlg.get(), 2);
        EXPECT_EQ(CTipComboBox::GetTipWindow(), tip);  // one for all
        delete first;
        EXPECT_EQ(CTipComboBox::GetTipWindow(), tip);
        delete second;
        EXPECT_EQ(CTipComboBox::GetTipWindow(), nullptr);
    }
}

TEST(TipComboBox, ListTipsShowOnlyForEntriesThatDoNotFitAndOnlyOnce) {
    ComboDialog d;
    ASSERT_TRUE(d.Open(d.list));
    CTipComboBox* c = d.list;
    c->OnListMouseMove(d.Row(c, 6));
    ASSERT_TRUE(d.TipShown());
    EXPECT_EQ(CTipComboBox::GetTipItem(), 6);
    wxWindow* tip = CTipComboBox::GetTipWindow();
    EXPECT_EQ(tip->GetLabel(), kLong);
    EXPECT_GT(tip->GetSize().x, c->GetListBox()->GetClientSize().x);  // wider than the row it explains
    const wxRect row = c->GetListBox()->GetItemRect(6);
    EXPECT_EQ(tip->GetPosition(), c->GetListBox()->ClientToScreen(row.GetPosition()) - wxPoint(2, 2));

    // Moving within the same entry does not show it again.
    CTipComboBox::HideTip();
    c->OnListMouseMove(d.Row(c, 6) + wxPoint(10, 0));
    EXPECT_FALSE(d.TipShown());
    // An entry that fits shows no tip and hides one that shows.
    c->OnListMouseMove(d.Row(c, 5));
    c->OnListMouseMove(d.Row(c, 6));
    ASSERT_TRUE(d.TipShown());
    c->OnListMouseMove(d.Row(c, 0));
    EXPECT_EQ(CTipComboBox::GetTipItem(), 0);
    EXPECT_FALSE(d.TipShown());
    // Leaving the list forgets the entry.
    c->OnListMouseLeave();
    EXPECT_EQ(CTipComboBox::GetTipItem(), -1);
    c->HidePopup();
}

TEST(TipComboBox, EditAndFaceTipsShowTheWholeText) {
    ComboDialog d;
    d.edit->SetValue(kLong);
    d.edit->ShowEditTip();
    ASSERT_TRUE(d.TipShown());
    EXPECT_EQ(CTipComboBox::GetTipWindow()->GetLabel(), kLong);
    d.edit->SetValue("Two");
    d.edit->ShowEditTip();
    EXPECT_FALSE(d.TipShown());
    d.edit->SetValue(kLong);
    d.edit->ShowFaceTip();  // a combo with a text part has no face tip
    EXPECT_FALSE(d.TipShown());

    d.list->SetSelection(6);
    d.list->ShowFaceTip();
    ASSERT_TRUE(d.TipShown());
    EXPECT_EQ(CTipComboBox::GetTipWindow()->GetLabel(), kLong);
    d.list->SetSelection(1);
    d.list->ShowFaceTip();
    EXPECT_FALSE(d.TipShown());
}

// Under the user's own pointer: a tip comes up beneath the pointer, and it
// stays for its time, not shown again while the pointer moves within the
// same entry or text, until the pointer really leaves.
TEST(TipComboBox, TipsUnderTheRealPointerStayUntilItLeaves) {
    ComboDialog d;
    int shows = 0;
    CTipComboBox::GetTipWindow()->Bind(wxEVT_SHOW, [&](wxShowEvent& e) {
        shows += e.IsShown();
        e.Skip();
    });
    const wxPoint away = d.dlg->GetScreenPosition() + wxPoint(350, 250);
    const auto stays = [&](const wxPoint& at, const char* part) {
        shows = 0;
        test::GlidePointer(at);
        ASSERT_TRUE(test::WaitFor([&] { return d.TipShown(); })) << part << " shown " << shows << " times";
        test::WaitFor([] { return false; }, 1500);
        EXPECT_TRUE(d.TipShown()) << part;
        test::GlidePointer(at + wxPoint(4, 1));
        test::WaitFor([] { return false; }, 1000);
        EXPECT_TRUE(d.TipShown()) << part;
        EXPECT_EQ(shows, 1) << part;
    };
    d.list->SetSelection(6);
    test::GlidePointer(away);
    stays(d.list->GetScreenPosition() + wxPoint(15, d.list->GetSize().y / 2), "face");
    test::GlidePointer(away);
    ASSERT_TRUE(test::WaitFor([&] { return !d.TipShown(); }));
    d.edit->SetValue(kLong);
    stays(d.edit->GetTextCtrl()->GetScreenRect().GetLeftTop() + wxPoint(10, 8), "text part");
    test::GlidePointer(away);
    EXPECT_TRUE(test::WaitFor([&] { return !d.TipShown(); })) << "a real leave";
    // The list opens by a click on its button.
    test::GlidePointer(d.list->GetScreenRect().GetRightTop() + wxPoint(-8, d.list->GetSize().y / 2));
    test::Click();
    ASSERT_TRUE(test::WaitFor([&] { return d.list->IsPopupShown() && d.list->GetListBox()->IsShownOnScreen(); }));
    stays(d.list->GetListBox()->ClientToScreen(d.Row(d.list, 6)), "open list");
    d.list->HidePopup();
}

TEST(TipComboBox, DisabledEntriesCannotBeChosenByMouseOrWheel) {
    ComboDialog d;
    CTipComboBox* c = d.list;
    c->AddDisabledEntry(3);
    c->AddDisabledEntry(4);
    c->SetSelection(1);
    ASSERT_TRUE(d.Open(c));
    d.Mouse(c, wxEVT_LEFT_DOWN, 3);
    d.Mouse(c, wxEVT_LEFT_UP, 3);
    d.Mouse(c, wxEVT_LEFT_DCLICK, 4);
    d.Mouse(c, wxEVT_LEFT_UP, 4);
    EXPECT_TRUE(c->IsPopupShown());
    EXPECT_EQ(c->GetSelection(), 1);
    EXPECT_TRUE(d.chosen.empty());
    d.Mouse(c, wxEVT_LEFT_DOWN, 5);
    d.Mouse(c, wxEVT_LEFT_UP, 5);
    EXPECT_EQ(c->GetSelection(), 5);
    EXPECT_EQ(d.chosen, std::vector<int>({5}));
    ASSERT_TRUE(test::WaitFor([&] { return !c->IsPopupShown(); }));

    // Towards the user from 2: one on to 3, then past 3 and 4.
    c->SetSelection(2);
    c->WheelStep(-120);
    EXPECT_EQ(c->GetSelection(), 5);
    c->SetSelection(3);  // chosen by the keyboard, say
    c->WheelStep(-120);
    EXPECT_EQ(c->GetSelection(), 5);
    c->WheelStep(120);  // away: one on to 4, then past 4 and 3 to 2
    EXPECT_EQ(c->GetSelection(), 2);
    // The keyboard can choose any entry, disabled ones too.
    c->SetSelection(2);
    wxKeyEvent down(wxEVT_KEY_DOWN);
    down.m_keyCode = WXK_DOWN;
    down.SetEventObject(c);
    c->ProcessWindowEvent(down);
    EXPECT_EQ(c->GetSelection(), 3);
    // A disabled last entry is not left for nothing beyond the end.
    c->AddDisabledEntry(6);
    c->SetSelection(5);
    c->WheelStep(-120);
    EXPECT_EQ(c->GetSelection(), 5);
}

TEST(TipComboBox, DisabledEntriesAreNeverDrawnHighlighted) {
    ComboDialog d;
    CTipComboBox* c = d.list;
    c->AddDisabledEntry(2);
    wxBitmap bitmap(100, 20);
    wxMemoryDC dc(bitmap);
    auto fillAt = [&](int index, bool selected) {
        c->DrawEntry(dc, wxRect(0, 0, 100, 20), index, selected);
        wxColour colour;
        dc.GetPixel(98, 1, &colour);
        return colour;
    };
    const wxColour highlight = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    EXPECT_EQ(fillAt(1, true), highlight);
    EXPECT_NE(fillAt(2, true), highlight);
    EXPECT_EQ(fillAt(2, true), fillAt(1, false));
}

TEST(TipComboBox, AWiderListKeepsToTheChosenEdge) {
    EXPECT_EQ(CTipComboBox::DropShift(CTipComboBox::AlignRight, 140, 100), 40);
    EXPECT_EQ(CTipComboBox::DropShift(CTipComboBox::AlignCentre, 140, 100), 20);
    EXPECT_EQ(CTipComboBox::DropShift(CTipComboBox::AlignLeft, 140, 100), 0);
    EXPECT_EQ(CTipComboBox::DropShift(CTipComboBox::AlignRight, 80, 100), 0);  // not wider: no shift

    ComboDialog d;
    CTipComboBox* c = d.list;
    const int client = c->GetClientSize().x;
    for (auto [alignment, shift] : {std::pair{CTipComboBox::AlignRight, 40}, std::pair{CTipComboBox::AlignCentre, 20},
                                    std::pair{CTipComboBox::AlignLeft, 0}}) {
        c->SetDroppedWidth(client + 40);
        c->SetDropAlignment(alignment);
        ASSERT_TRUE(d.Open(c));
        // Read once the list is open: a window manager may still have been
        // placing the dialog before.
        const int originX = c->ClientToScreen(wxPoint(0, 0)).x;
        wxWindow* popup = c->GetPopupWindow();
        EXPECT_EQ(popup->GetScreenPosition().x, originX - shift) << alignment;
        EXPECT_EQ(popup->GetSize().x, client + 40) << alignment;
        c->HidePopup();
        test::WaitFor([&] { return !c->IsPopupShown(); });
    }
}

}  // namespace
}  // namespace pw
