// The program's plain message box shows the icon its style asks for.

#include "tests/ui/WxTestEnvironment.h"
#include "ui/AppMessageBox.h"
#include "ui/XMessageBox.h"
#include "ui/XMessageBoxDialog.h"

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/statbmp.h>

#include <algorithm>
#include <map>

namespace pw {
namespace {

// Answers every box at once and keeps the picture of its icon.
class IconsSeen : public wxModalDialogHook {
public:
    IconsSeen() { Register(); }
    ~IconsSeen() override { Unregister(); }
    wxImage last;

protected:
    int Enter(wxDialog* dialog) override {
        last = wxImage();
        if (auto* box = dynamic_cast<XMessageBoxDialog*>(dialog))
            if (auto* icon = dynamic_cast<wxStaticBitmap*>(box->FindWindow(kIconControlId)))
                last = icon->GetBitmap().ConvertToImage();
        return IDOK;
    }
    void Exit(wxDialog*) override {}
};

// How many pixels of the picture can be seen.
int VisiblePixels(const wxImage& image) {
    int visible = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            visible += !image.HasAlpha() || image.GetAlpha(x, y) > 64;
    return visible;
}

bool SamePixels(const wxImage& a, const wxImage& b) {
    return a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + 3 * a.GetWidth() * a.GetHeight(), b.GetData());
}

TEST(AppMessageBox, ShowsTheIconOfItsStyle) {
    IconsSeen seen;
    std::map<unsigned, wxImage> icons;
    for (unsigned icon : {MB_ICONERROR, MB_ICONQUESTION, MB_ICONWARNING, MB_ICONINFORMATION}) {
        AppMessageBox(nullptr, "A message", (icon == MB_ICONQUESTION ? MB_YESNO : MB_OK) | icon);
        ASSERT_TRUE(seen.last.IsOk()) << icon;
        EXPECT_GT(VisiblePixels(seen.last), seen.last.GetWidth() * seen.last.GetHeight() / 8) << icon;
        icons[icon] = seen.last;
    }
    // Four different pictures; an OK box without an icon gets the warning's.
    for (auto a = icons.begin(); a != icons.end(); ++a)
        for (auto b = std::next(a); b != icons.end(); ++b)
            EXPECT_FALSE(SamePixels(a->second, b->second)) << a->first << " " << b->first;
    AppMessageBox(nullptr, "A message", MB_OK);
    ASSERT_TRUE(seen.last.IsOk());
    EXPECT_TRUE(SamePixels(seen.last, icons[MB_ICONWARNING]));
}

}  // namespace
}  // namespace pw
