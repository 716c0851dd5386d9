// Template 102: the main window.

#include "res/DialogTemplate.h"
#include "res/ResourceIds.h"

namespace pw {

namespace {

constexpr ControlTemplate kControls[] = {
    {IDC_PREVIEW, ControlClass::Panel, "", {7, 7, 305, 251}, CS_BORDER},
    {IDC_SPLITTER, ControlClass::EtchedLine, "", {314, 7, 4, 251}, CS_NONE},
    {IDC_FILELIST, ControlClass::ListView, "List1", {319, 7, 185, 251}, CS_REPORT | CS_SHOWSELALWAYS | CS_BORDER},
    {IDC_ADDFILES, ControlClass::Button, "Add File(s)", {13, 261, 53, 24}, CS_DEFAULT},
    {IDC_REMOVE, ControlClass::Button, "Remove", {67, 261, 53, 24}, CS_NONE},
    {IDC_REMOVEALL, ControlClass::Button, "Remove All", {121, 261, 53, 24}, CS_NONE},
    {IDC_OPTIONS, ControlClass::Button, "Options", {175, 261, 53, 24}, CS_NONE},
    {IDC_COMPRESS, ControlClass::Button, "Compress", {229, 261, 53, 24}, CS_NONE},
    {IDC_MERGEALL, ControlClass::Button, "Merge All", {283, 261, 53, 24}, CS_NONE},
    {IDC_SPLITALL, ControlClass::Button, "Split All", {337, 261, 53, 24}, CS_NONE},
    {IDC_EXTRACT, ControlClass::Button, "Extract", {391, 261, 53, 24}, CS_NONE},
    {IDC_ABOUT, ControlClass::Button, "About", {445, 261, 53, 24}, CS_NONE},
    {IDC_INFORMATION, ControlClass::Static, "Information", {7, 286, 494, 9}, CS_NONE},
    {IDC_PROGRESS, ControlClass::Progress, "", {7, 297, 494, 9}, CS_NONE},
};

}  // namespace

extern const DialogTemplate kMainDialogTemplate = {
    IDD_MAIN, "", 511, 313,
    DS_CAPTION | DS_SYSMENU | DS_MINIMIZEBOX | DS_MAXIMIZEBOX | DS_RESIZABLE | DS_CENTER | DS_APPWINDOW,
    kControls,
};

}  // namespace pw
