#include "mainwnd/BrowseTiffFiles.h"

#include "platform/ProductIdentity.h"
#include "mainwnd/CMainDlg.h"
#include "platform/Paths.h"
#include "settings/DialogSettings.h"
#include "ui/PathText.h"

#include <wx/filedlg.h>

namespace pw {

namespace {

OpenFilesDialogRunner& Runner() {
    static OpenFilesDialogRunner runner;
    return runner;
}

std::optional<OpenFilesAnswer> RunDesktopDialog(wxWindow* owner, const OpenFilesRequest& request) {
    wxFileDialog dialog(owner, wxString::FromUTF8(request.caption), PathToWx(request.initialFolder), wxString(),
                        wxString::FromUTF8(request.wildcard), wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    OpenFilesAnswer answer;
    answer.folder = PathFromWx(dialog.GetDirectory());
    wxArrayString paths;
    dialog.GetPaths(paths);
    // The names as the dialog gives them, relative to its folder; a name
    // picked from elsewhere (recent files) keeps its own folder.
    for (const wxString& path : paths) {
        const std::string full = PathFromWx(path);
        const std::string prefix = WithTrailingSeparator(answer.folder);
        answer.names.push_back(full.compare(0, prefix.size(), prefix) == 0 ? full.substr(prefix.size()) : full);
    }
    return answer;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!name.empty() && name.front() == kPathSeparator)
        return name;
    return WithTrailingSeparator(folder) + name;
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
        paths.push_back(JoinPath(answer->folder, name));
    // Several names keep the folder as the dialog gave it; one name stores
    // its folder with the trailing separator.
    if (answer->names.size() > 1)
        WriteInputDir(answer->folder);
    else
        WriteInputDir(SplitPath(paths.back()).dir);
    return true;
}

}  // namespace pw
