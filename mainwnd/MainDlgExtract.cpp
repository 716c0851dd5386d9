// The Extract button: pages of the selected files copied into new files,
// one per source, named after the source and the range.

#include "mainwnd/CMainDlg.h"

#include "dialogs/CPageRangeDlg.h"
#include "engine/ToolInvocations.h"
#include "pages/ExtractPlan.h"
#include "pages/TiffPages.h"
#include "ui/AppMessageBox.h"
#include "ui/OpenInFileManager.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"

#include <wx/utils.h>

#include <string>
#include <vector>

namespace pw {

void CMainDlg::OnExtract(wxCommandEvent&) {
    if (!Validate() || !TransferDataFromWindow())
        return;
    std::vector<std::string> paths;
    if (GetSelectedPaths(paths) == 0) {
        AppMessageBox(this, "Please select some TIFF files first, and click this button to try again.",
                      MB_OK | MB_ICONERROR);
        return;
    }

    std::string report;
    int pageCount = 0;
    {
        wxBusyCursor wait;
        report = RunTiffInfo(paths.front());
        pageCount = GetTiffPageCount(paths.front());
    }
    CPageRangeDlg dialog(this);
    dialog.SetFileName(paths.front());
    dialog.SetTiffInformation(report);
    dialog.SetPageCountText(std::to_string(pageCount));
    if (dialog.ShowModal() != wxID_OK)
        return;

    const std::string range = dialog.GetRangeText();
    if (range.empty()) {
        AppMessageBox(this, "Please select or input a valid page range.", MB_OK | MB_ICONERROR);
        return;
    }
    const std::string folder = dialog.GetOutputFolder();
    if (folder.empty()) {
        AppMessageBox(this, "Please select a valid output folder.", MB_OK | MB_ICONERROR);
        return;
    }

    // Every output is named before the first is written: an output that is
    // another selected file, or one output for two files, is refused before
    // anything is touched.
    const ExtractPlan plan = PlanExtract(folder, paths, range);
    if (!plan.ok) {
        AppMessageBox(this, PathToWx(plan.error), MB_OK | MB_ICONERROR);
        return;
    }
    // The files are written without the busy cursor: it belongs to reading
    // the first file's report alone.
    int written = 0;
    wxString failures;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // A range that would name a file outside the folder gives no name;
        // that source is passed over like any other that fails.
        ExtractControl control;
        if (!plan.outputs[i].empty() && ExtractPages(paths[i], plan.outputs[i], range.c_str(), control)) {
            ++written;
            continue;
        }
        const std::string& reason = plan.outputs[i].empty() ? plan.refusals[i] : control.reason;
        failures += "\n" + PathToWx(paths[i]) + ": " + PathToWx(reason);
    }
    if (written == 0) {
        AppMessageBox(this, "No file has been extracted:\n" + failures, MB_OK | MB_ICONERROR);
        return;
    }

    const wxString question =
        "Finished the extraction. Would you like to open the output folder?\n\n" + PathToWx(folder);
    if (AppMessageBox(this, question, MB_YESNO | MB_ICONQUESTION) == IDYES)
        OpenInFileManager(folder);
}

}  // namespace pw
