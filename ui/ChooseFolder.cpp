#include "ui/ChooseFolder.h"

#include "settings/DialogSettings.h"
#include "ui/AppMessageBox.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"

#include <wx/filefn.h>
#include <wx/utils.h>

namespace pw {

namespace {

FolderDialogRunner& Runner() {
    static FolderDialogRunner runner;
    return runner;
}

}  // namespace

// Without a folder to start in, GTK's chooser opens on its list of recent
// files, where a folder typed in its location field cannot be chosen.
std::string FolderChooserStart(const std::string& remembered) {
    if (!remembered.empty() && wxDirExists(PathToWx(remembered)))
        return remembered;
    return PathFromWx(wxGetHomeDir());
}

void SetFolderDialogRunner(FolderDialogRunner runner) { Runner() = std::move(runner); }

// The desktop's chooser takes a typed path as it is, also one that names no
// folder; the user is told and chooses again.
std::string ChooseFolder(wxWindow* owner) {
    const std::string remembered = ReadOpenFolder();
    for (;;) {
        const std::optional<std::string> chosen =
            Runner() ? Runner()(owner, remembered) : RunFolderDialog(owner, remembered);
        if (!chosen || chosen->empty())
            return std::string();
        if (wxDirExists(PathToWx(*chosen))) {
            // Storing a settings file waits for the disk: the folder chosen
            // again, as it mostly is, is not stored again.
            if (remembered != *chosen)
                WriteOpenFolder(*chosen);
            return *chosen;
        }
        AppMessageBox(owner, PathToWx(*chosen) + "\nis not an existing folder. Please select a folder that exists.",
                      MB_OK | MB_ICONERROR);
    }
}

}  // namespace pw
