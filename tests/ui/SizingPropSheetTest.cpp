// The resizable property sheet and page.

#include "tests/ui/WxTestEnvironment.h"
#include "ui/cdxCSizingPropPage.h"
#include "ui/cdxCSizingPropSheet.h"

#include <gtest/gtest.h>
#include <wx/bookctrl.h>
#include <wx/button.h>

namespace pw {
namespace {

TEST(SizingPropPage, IsCreatableByItsClassName) {
    wxClassInfo* info = wxClassInfo::FindClass("cdxCSizingPropPage");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->IsDynamic());
    std::unique_ptr<wxObject> object(info->CreateObject());
    EXPECT_NE(dynamic_cast<cdxCSizingPropPage*>(object.get()), nullptr);
    wxClassInfo* sheet = wxClassInfo::FindClass("cdxCSizingPropSheet");
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->IsKindOf(wxCLASSINFO(wxPropertySheetDialog)));
}

struct Sheet {
    cdxCSizingPropSheet* sheet = new cdxCSizingPropSheet();
    ~Sheet() { sheet->Destroy(); }
};

TEST(SizingPropSheet, GetsAResizingFrameAndLaysOutItsPages) {
    Sheet s;
    ASSERT_TRUE(s.sheet->Create(nullptr, wxID_ANY, "Sheet", wxDefaultPosition, wxDefaultSize, wxCAPTION));
    EXPECT_TRUE(s.sheet->HasFlag(wxRESIZE_BORDER));
    EXPECT_TRUE(s.sheet->HasFlag(wxSYSTEM_MENU));

    auto* first = new cdxCSizingPropPage(s.sheet->GetBookCtrl());
    auto* second = new cdxCSizingPropPage(s.sheet->GetBookCtrl());
    auto* button = new wxButton(first, wxID_ANY, "Go", wxPoint(10, 10), wxSize(80, 30));
    first->SetMinSize(wxSize(300, 200));
    ASSERT_TRUE(s.sheet->AddSizingPage(first, "One", true));
    ASSERT_TRUE(s.sheet->AddSizingPage(second, "Two"));
    EXPECT_EQ(first->GetSheet(), s.sheet);
    EXPECT_EQ(second->GetSheet(), s.sheet);
    s.sheet->CreateButtons(wxOK | wxCANCEL);
    s.sheet->LayoutDialog();

    first->InitDialog();  // the page's own initialisation: no grip, no growth
    const wxSize pageSize = first->GetClientSize();
    ASSERT_TRUE(first->GetLayoutManager().IsInitialised());
    EXPECT_EQ(first->GetLayoutManager().GetSizeGrip(), nullptr);
    EXPECT_EQ(first->GetLayoutManager().GetInitialClientSize(), pageSize);
    EXPECT_EQ(first->GetClientSize(), pageSize);
    ASSERT_NE(first->GetLayoutManager().AddControl(button, cdxCLayoutManager::ModeMove, cdxCLayoutManager::ModeMove),
              nullptr);

    const wxSize frame = s.sheet->GetSize();
    ASSERT_TRUE(s.sheet->InitLayout());
    EXPECT_EQ(s.sheet->GetSize(), frame);
    EXPECT_EQ(s.sheet->GetMinSize(), frame);

    // A larger page moves the button by the growth at the next activation.
    first->SetSize(pageSize.x + 40, pageSize.y + 30);
    button->SetPosition(wxPoint(0, 0));
    EXPECT_TRUE(first->OnSetActive());
    EXPECT_EQ(button->GetPosition(), wxPoint(50, 40));
}

}  // namespace
}  // namespace pw
