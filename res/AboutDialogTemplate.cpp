// Template 100: the About box. The texts of the name, the rights notice and
// the two links are placeholders that the box replaces when it opens.

#include "res/DialogTemplate.h"
#include "res/ResourceIds.h"

namespace pw {

namespace {

constexpr ControlTemplate kControls[] = {
    // The program icon takes this place.
    {-1, ControlClass::Panel, "", {11, 10, 21, 20}, CS_NONE},
    {IDC_ABOUT_NAME, ControlClass::Static, "Pagewright", {40, 10, 148, 8}, CS_NOPREFIX},
    // Below the OK button the lines have the box's whole width.
    {IDC_ABOUT_RIGHTS, ControlClass::Static, "Copyright (C)", {40, 24, 204, 8}, CS_NOPREFIX},
    {IDC_ABOUT_HOMEPAGE, ControlClass::Static, "home page", {40, 37, 204, 8}, CS_NOPREFIX},
    {IDC_ABOUT_MAIL, ControlClass::Static, "mail", {40, 50, 204, 8}, CS_NOPREFIX},
    {IDC_DIALOG_OK, ControlClass::Button, "OK", {194, 7, 50, 14}, CS_DEFAULT},
    {IDC_ABOUT_WEB, ControlClass::Button, "On the Web", {25, 69, 202, 29}, CS_NONE},
};

}  // namespace

extern const DialogTemplate kAboutDialogTemplate = {
    IDD_ABOUTBOX, "About", 251, 110, DS_CAPTION | DS_SYSMENU | DS_CENTER, kControls,
};

}  // namespace pw
