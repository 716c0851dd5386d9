// Template 221: the Extract dialog.

#include "res/DialogTemplate.h"
#include "res/ResourceIds.h"

namespace pw {

namespace {

constexpr int kLabel = -1;

constexpr ControlTemplate kControls[] = {
    {kLabel, ControlClass::Static, "TIFF File &Name:", {7, 7, 64, 8}, CS_NONE},
    {IDC_PAGERANGE_FILENAME, ControlClass::Edit, "", {73, 7, 239, 12}, CS_READONLY | CS_BORDER},
    {kLabel, ControlClass::Static, "Page Count:", {7, 23, 64, 8}, CS_NONE},
    {IDC_PAGERANGE_PAGECOUNT, ControlClass::Static, "", {73, 23, 45, 8}, CS_NOPREFIX},
    {kLabel, ControlClass::Static, "TIFF &Information:", {7, 39, 80, 8}, CS_NONE},
    {IDC_PAGERANGE_INFO, ControlClass::Edit, "", {7, 52, 305, 112}, CS_MULTILINE | CS_READONLY | CS_BORDER},
    {IDC_PAGERANGE_GROUP, ControlClass::GroupBox, "Page Range", {7, 169, 305, 68}, CS_NONE},
    {IDC_PAGERANGE_MODERANGE, ControlClass::RadioButton, "&Page Range", {19, 184, 64, 10}, CS_GROUP},
    {IDC_PAGERANGE_FROMLABEL, ControlClass::Static, "&From", {117, 184, 20, 10}, CS_NONE},
    {IDC_PAGERANGE_FROM, ControlClass::Edit, "", {141, 183, 40, 13}, CS_BORDER},
    {IDC_PAGERANGE_TOLABEL, ControlClass::Static, "&To", {187, 184, 13, 10}, CS_NONE},
    {IDC_PAGERANGE_TO, ControlClass::Edit, "", {205, 183, 40, 13}, CS_BORDER},
    {IDC_PAGERANGE_MODELIST, ControlClass::RadioButton, "&Specify pages, e.g.: -5, 6-7, 10-20, 30-, even, odd",
     {19, 200, 93, 31}, CS_MULTILINETEXT},
    {IDC_PAGERANGE_LIST, ControlClass::Edit, "", {117, 203, 189, 26}, CS_BORDER},
    {kLabel, ControlClass::Static, "&Output Folder:", {19, 247, 59, 8}, CS_NONE},
    {IDC_PAGERANGE_FOLDER, ControlClass::Edit, "", {84, 244, 182, 14}, CS_BORDER},
    {IDC_PAGERANGE_BROWSE, ControlClass::Button, "&Browse", {269, 244, 31, 13}, CS_NONE},
    {IDC_DIALOG_CANCEL, ControlClass::Button, "Cancel", {112, 263, 50, 14}, CS_NONE},
    {IDC_DIALOG_OK, ControlClass::Button, "OK", {173, 263, 50, 14}, CS_DEFAULT},
};

}  // namespace

extern const DialogTemplate kPageRangeDialogTemplate = {
    IDD_PAGERANGE, "Extract Page Range from TIFF file", 319, 284,
    DS_CAPTION | DS_SYSMENU | DS_CENTER,
    kControls,
};

}  // namespace pw
