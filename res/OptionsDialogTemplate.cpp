// Template 138: the Options dialog.

#include "res/DialogTemplate.h"
#include "res/ResourceIds.h"

namespace pw {

namespace {

constexpr int kLabel = -1;

constexpr ControlTemplate kControls[] = {
    {kLabel, ControlClass::GroupBox, "TIFF Conversion Naming Rule", {7, 7, 231, 75}, CS_NONE},
    {kLabel, ControlClass::Static, "&Name:", {18, 27, 27, 8}, CS_NONE},
    {IDC_OPTIONS_NAME, ControlClass::Edit, "", {53, 24, 166, 14}, CS_BORDER},
    {kLabel, ControlClass::Static, "Compression: Save as source file name.", {18, 44, 217, 8}, CS_NONE},
    {kLabel, ControlClass::Static, "Split: Name the folder to store the splitted files.", {18, 61, 217, 8}, CS_NONE},
    {kLabel, ControlClass::Static, "&Compression Method:", {18, 96, 77, 8}, CS_NONE},
    {IDC_OPTIONS_COMPRESSION, ControlClass::DropDownList, "", {109, 94, 74, 154}, CS_NONE},
    {IDC_OPTIONS_USECOMPRESSION, ControlClass::CheckBox, "&Use Compression for TIFF Merge", {18, 118, 202, 10}, CS_NONE},
    // Merge All and Split All copy the pages themselves, or run the tools.
    {IDC_OPTIONS_ENGINE, ControlClass::CheckBox, "Copy &pages as stored", {18, 133, 202, 10}, CS_NONE},
    {IDC_DIALOG_CANCEL, ControlClass::Button, "Cancel", {42, 155, 50, 17}, CS_NONE},
    {IDC_OPTIONS_RESET, ControlClass::Button, "&Reset", {97, 155, 50, 17}, CS_NONE},
    {IDC_DIALOG_OK, ControlClass::Button, "OK", {152, 155, 50, 17}, CS_DEFAULT},
};

}  // namespace

extern const DialogTemplate kOptionsDialogTemplate = {
    IDD_OPTIONS, "", 245, 179,
    DS_CAPTION | DS_SYSMENU | DS_CENTER,
    kControls,
};

}  // namespace pw
