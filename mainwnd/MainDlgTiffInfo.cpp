// The TIFF Information report of one file.

#include "mainwnd/CMainDlg.h"

#include "dialogs/CTiffInfoDlg.h"
#include "engine/ToolInvocations.h"

#include <wx/utils.h>

namespace pw {

bool CMainDlg::ShowTiffInformation(const std::string& path) {
    std::string report;
    {
        wxBusyCursor wait;
        report = RunTiffInfo(path);
    }
    // RunTiffInfo's word for a missing file, program path or tool.
    if (report == "ERROR")
        return false;
    CTiffInfoDlg dialog(this);
    dialog.SetReport(report);
    dialog.ShowModal();
    return true;
}

}  // namespace pw
