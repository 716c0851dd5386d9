// The three dialogs as built from their templates: every control at its
// place and in the template's keyboard order, nothing clipped, OK and
// Cancel reachable by Return and Escape.

#include "dialogs/COptionsDlg.h"
#include "dialogs/CPageRangeDlg.h"
#include "dialogs/CTiffInfoDlg.h"
#include "res/DialogTemplate.h"
#include "res/ResourceIds.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/AccessibleName.h"
#include "ui/DialogBuilder.h"

#include <gtest/gtest.h>
#include <wx/control.h>
#include <wx/stattext.h>

#include <cstdlib>
#include <memory>

namespace pw {
namespace {

bool IsButton(ControlClass cls) {
    return cls == ControlClass::Button || cls == ControlClass::RadioButton || cls == ControlClass::CheckBox;
}

void ExpectBuiltFromTemplate(wxDialog* dlg, int templateId, const char* caption) {
    const DialogTemplate* tmpl = FindDialogTemplate(templateId);
    ASSERT_NE(tmpl, nullptr) << templateId;
    EXPECT_STREQ(tmpl->caption, caption);
    EXPECT_EQ(dlg->GetClientSize(), dlg->ConvertDialogToPixels(wxSize(tmpl->width, tmpl->height)));
    const wxWindowList& children = dlg->GetChildren();
    ASSERT_GE(children.size(), tmpl->controls.size());
    auto child = children.begin();
    for (const ControlTemplate& row : tmpl->controls) {
        wxWindow* control = *child++;
        const wxRect place = DialogUnitsToPixels(dlg, row.rect);
        if (row.id > 0) {
            EXPECT_EQ(control->GetId(), row.id) << row.text;
        }
        const wxRect r = control->GetRect();
        EXPECT_EQ(r.x, place.x) << row.text;
        EXPECT_EQ(r.width, place.width) << row.text;
        if (IsButton(row.cls)) {
            // Never lower than the toolkit draws them, around the row's middle.
            EXPECT_GE(r.height, place.height) << row.text;
            EXPECT_LE(std::abs((r.y + r.height / 2) - (place.y + place.height / 2)), 1) << row.text;
        } else {
            EXPECT_EQ(r.y, place.y) << row.text;
            if (row.cls != ControlClass::DropDownList) {
                EXPECT_EQ(r.height, place.height) << row.text;
            }
        }
        // No text is cut: what the control needs fits the place it has.
        if (row.text && *row.text && row.cls != ControlClass::GroupBox && row.cls != ControlClass::Edit) {
            // The text as in the template, wrapped lines joined again.
            wxString label = static_cast<wxControl*>(control)->GetLabel();
            label.Replace("\n", " ");
            EXPECT_EQ(label, row.text);
            const wxSize text = control->GetTextExtent(static_cast<wxControl*>(control)->GetLabelText());
            // Push buttons ask for a standard width; their text needs a
            // little room on both sides.
            const wxSize needed = row.cls == ControlClass::Static   ? text
                                  : row.cls == ControlClass::Button ? text + wxSize(8, 0)
                                                                    : control->GetBestSize();
            EXPECT_LE(needed.x, r.width) << row.text;
            EXPECT_LE(needed.y, r.height) << row.text;
        }
    }
}

TEST(DialogTemplates, ExtractDialog) {
    CPageRangeDlg dlg(nullptr);
    ExpectBuiltFromTemplate(&dlg, IDD_PAGERANGE, "Extract Page Range from TIFF file");
    EXPECT_EQ(dlg.GetDefaultItem(), dlg.FindWindow(IDC_DIALOG_OK));
    EXPECT_EQ(dlg.GetAffirmativeId(), IDC_DIALOG_OK);
    EXPECT_EQ(dlg.GetEscapeId(), IDC_DIALOG_CANCEL);
    // The list mode's text runs over several lines, as in the template.
    EXPECT_GE(static_cast<wxControl*>(dlg.FindWindow(IDC_PAGERANGE_MODELIST))->GetLabel().Freq('\n'), 1);
    // A screen reader names each field after the label before it.
    EXPECT_EQ(GetAccessibleName(dlg.FindWindow(IDC_PAGERANGE_FILENAME)), "TIFF File Name");
    EXPECT_EQ(GetAccessibleName(dlg.FindWindow(IDC_PAGERANGE_INFO)), "TIFF Information");
    EXPECT_TRUE(GetAccessibleName(dlg.FindWindow(IDC_PAGERANGE_LIST)).StartsWith("Specify pages"));
}

TEST(DialogTemplates, OptionsDialog) {
    COptionsDlg dlg(nullptr);
    ExpectBuiltFromTemplate(&dlg, IDD_OPTIONS, "");
    EXPECT_EQ(dlg.GetDefaultItem(), dlg.FindWindow(IDC_DIALOG_OK));
    EXPECT_EQ(dlg.GetEscapeId(), IDC_DIALOG_CANCEL);
    EXPECT_EQ(GetAccessibleName(dlg.FindWindow(IDC_OPTIONS_NAME)), "Name");
    EXPECT_EQ(GetAccessibleName(dlg.FindWindow(IDC_OPTIONS_COMPRESSION)), "Compression Method");
    // The copy box comes last of the settings, below the compression box and
    // before the buttons, in place and in keyboard order.
    const wxWindow* use = dlg.FindWindow(IDC_OPTIONS_USECOMPRESSION);
    const wxWindow* engine = dlg.FindWindow(IDC_OPTIONS_ENGINE);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(wxControl::RemoveMnemonics(static_cast<const wxControl*>(engine)->GetLabel()), "Copy pages as stored");
    EXPECT_EQ(engine->GetPrevSibling(), use);
    EXPECT_GE(engine->GetRect().y, use->GetRect().GetBottom());
    for (int button : {IDC_DIALOG_CANCEL, IDC_OPTIONS_RESET, IDC_DIALOG_OK})
        EXPECT_GT(dlg.FindWindow(button)->GetRect().y, engine->GetRect().GetBottom()) << button;
}

TEST(DialogTemplates, TiffInformationDialog) {
    CTiffInfoDlg dlg(nullptr);
    ExpectBuiltFromTemplate(&dlg, IDD_TIFFINFO, "Dialog");
    EXPECT_TRUE(dlg.HasFlag(wxRESIZE_BORDER));
    EXPECT_TRUE(dlg.HasFlag(wxMAXIMIZE_BOX));
}

}  // namespace
}  // namespace pw
