// Template 220: the TIFF Information dialog, one report text over the whole
// client area.

#include "res/DialogTemplate.h"
#include "res/ResourceIds.h"

namespace pw {

namespace {

constexpr ControlTemplate kControls[] = {
    {IDC_TIFFINFO_TEXT, ControlClass::Edit, "", {0, 0, 210, 181}, CS_MULTILINE | CS_READONLY | CS_BORDER},
};

}  // namespace

extern const DialogTemplate kTiffInfoDialogTemplate = {
    IDD_TIFFINFO, "Dialog", 210, 181,
    DS_CAPTION | DS_SYSMENU | DS_MINIMIZEBOX | DS_MAXIMIZEBOX | DS_RESIZABLE,
    kControls,
};

}  // namespace pw
