#include "ui/ChooseFolder.h"

#include "ui/PathText.h"

#include <wx/dirdlg.h>

namespace pw {

std::optional<std::string> RunFolderDialog(wxWindow* owner, const std::string& initial) {
    // GTK's chooser shows the current folder's path itself, so it needs no
    // status line of ours.
    wxDirDialog dialog(owner, "Please select a folder:", PathToWx(FolderChooserStart(initial)),
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return PathFromWx(dialog.GetPath());
}

}  // namespace pw
