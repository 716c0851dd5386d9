#include "mainwnd/BrowseTiffFiles.h"

#include "mainwnd/CMainDlg.h"
#include "platform/Paths.h"
#include "platform/ProductIdentity.h"
#include "settings/DialogSettings.h"
#include "ui/AppMessageBox.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"

#include <wx/filedlg.h>

namespace pw {

namespace {

OpenFilesDialogRunner& Runner() {
    static OpenFilesDialogRunner runner;
    return runner;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!name.empty() && name.front() == kPathSeparator)
        return name;
    return WithTrailingSeparator(folder) + name;
}

// The dialog's default extension: a name typed without one that names
// nothing stands for the ".tif" file of that name.
std::string WithDefaultExtension(const std::string& path) {
    if (PathExists(path) || !SplitPath(path).ext.empty() || !PathExists(path + ".tif"))
        return path;
    return path + ".tif";
}

// GTK's dialog knows no default extension and, asked to let only existing
// files be chosen, refuses a name typed without its ".tif"; so the names
// are checked here, after the extension has been added.
std::optional<OpenFilesAnswer> RunDesktopDialog(wxWindow* owner, const OpenFilesRequest& request) {
    std::string folder = request.initialFolder;
    for (;;) {
        wxFileDialog dialog(owner, wxString::FromUTF8(request.caption), PathToWx(folder), wxString(),
                            wxString::FromUTF8(request.wildcard), wxFD_OPEN | wxFD_MULTIPLE);
        if (dialog.ShowModal() != wxID_OK)
            return std::nullopt;
        OpenFilesAnswer answer;
        answer.folder = PathFromWx(dialog.GetDirectory());
        wxArrayString paths;
        dialog.GetPaths(paths);
        // The names as the dialog gives them, relative to its folder; a name
        // picked from elsewhere (recent files) keeps its own folder.
        std::string missing;
        for (const wxString& path : paths) {
            const std::string full = PathFromWx(path);
            const std::string prefix = WithTrailingSeparator(answer.folder);
            answer.names.push_back(full.compare(0, prefix.size(), prefix) == 0 ? full.substr(prefix.size()) : full);
            if (missing.empty() && !PathExists(WithDefaultExtension(full)))
                missing = full;
        }
        if (missing.empty())
            return answer;
        AppMessageBox(owner, PathToWx(missing) + "\nFile not found. Please choose an existing file.",
                      MB_OK | MB_ICONERROR);
        folder = answer.folder;
    }
}

}  // namespace

void SetOpenFilesDialogRunner(OpenFilesDialogRunner runner) { Runner() = std::move(runner); }

bool CMainDlg::BrowseTiffFiles(wxWindow* owner, std::vector<std::string>& paths) {
    const OpenFilesRequest request{GetProductIdentity().shortName, kTiffOpenWildcard, ReadInputDir()};
    const std::optional<OpenFilesAnswer> answer =
        Runner() ? Runner()(owner, request) : RunDesktopDialog(owner, request);
    if (!answer || answer->names.empty())
        return false;
    for (const std::string& name : answer->names)
        paths.push_back(WithDefaultExtension(JoinPath(answer->folder, name)));
    // Several names keep the folder as the dialog gave it; one name stores
    // its folder with the trailing separator.
    if (answer->names.size() > 1)
        WriteInputDir(answer->folder);
    else
        WriteInputDir(SplitPath(paths.back()).dir);
    return true;
}

}  // namespace pw
