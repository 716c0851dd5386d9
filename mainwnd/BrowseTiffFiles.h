#pragma once
// The Open dialog of Add File(s): several TIFF files at once, starting in
// the folder of the last files picked ("Parameter"/"InputDir").

#include <functional>
#include <optional>
#include <string>
#include <vector>

class wxWindow;

namespace pw {

// The dialog's one filter. GTK matches patterns letter case and all, and
// scanners often name their files in upper case, so those are listed too.
inline constexpr const char* kTiffOpenWildcard = "TIFF File(*.tiff*.tif)|*.tiff;*.tif;*.TIFF;*.TIF;*.Tiff;*.Tif";

// What the dialog returned: the folder, and the names chosen in it in the
// dialog's order.
struct OpenFilesAnswer {
    std::string folder;
    std::vector<std::string> names;
};

// What the dialog is shown with.
struct OpenFilesRequest {
    std::string caption;
    std::string wildcard;
    std::string initialFolder;
};

// Stands in for the desktop's Open dialog: the answer, or nullopt for a
// cancel. An empty function puts the real dialog back. For tests.
using OpenFilesDialogRunner =
    std::function<std::optional<OpenFilesAnswer>(wxWindow* owner, const OpenFilesRequest& request)>;
void SetOpenFilesDialogRunner(OpenFilesDialogRunner runner);

}  // namespace pw
