#include "mainwnd/MergeOutputFile.h"

#include "platform/Paths.h"
#include "ui/AppMessageBox.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"

#include <wx/filedlg.h>
#include <wx/filefn.h>

namespace pw {

namespace {

SaveDialogRunner& Runner() {
    static SaveDialogRunner runner;
    return runner;
}

std::optional<std::string> RunDesktopDialog(wxWindow* owner) {
    wxFileDialog dialog(owner, "Save As", wxString(), wxString(), "TIFF File(*.tif)|*.tif",
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return PathFromWx(dialog.GetPath());
}

}  // namespace

void SetSaveDialogRunner(SaveDialogRunner runner) { Runner() = std::move(runner); }

// GTK's dialog has no default extension, so ".tif" is added here; its
// overwrite prompt only saw the name as typed, so the prompt for the
// completed name is ours.
std::string AskMergeOutputFile(wxWindow* owner) {
    const std::optional<std::string> chosen = Runner() ? Runner()(owner) : RunDesktopDialog(owner);
    if (!chosen || chosen->empty())
        return std::string();
    std::string path = *chosen;
    if (!SplitPath(path).ext.empty())
        return path;
    path += ".tif";
    if (wxFileExists(PathToWx(path))) {
        const wxString question = PathToWx(path) + " already exists.\nDo you want to replace it?";
        if (AppMessageBox(owner, question, MB_YESNO | MB_ICONWARNING) != IDYES)
            return std::string();
    }
    return path;
}

}  // namespace pw
