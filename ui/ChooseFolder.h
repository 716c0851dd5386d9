#pragma once
// The folder chooser of the batch start and the Extract dialog: the
// desktop's folder dialog, starting at and remembering the folder kept
// under "OpenFolder"/"Folder" in the application profile.

#include <functional>
#include <optional>
#include <string>

class wxWindow;

namespace pw {

// Shows the folder dialog owned by owner; the chosen folder, which is then
// remembered, or the empty text when the user cancels (nothing is written).
// Only an existing folder is returned: for any other path the user is told
// so and the dialog comes again.
std::string ChooseFolder(wxWindow* owner);

// The folder the desktop's chooser opens in: the remembered one while it
// exists, the home folder otherwise.
std::string FolderChooserStart(const std::string& remembered);

// The desktop's own folder dialog, once: the folder chosen, or nullopt for a
// cancel.
std::optional<std::string> RunFolderDialog(wxWindow* owner, const std::string& initial);

// Stands in for the desktop's dialog: given the owner and the initial
// folder, the folder chosen, or nullopt for a cancel. An empty function
// puts the real dialog back. For tests and benchmarks that answer the
// chooser without a person.
using FolderDialogRunner = std::function<std::optional<std::string>(wxWindow* owner, const std::string& initial)>;
void SetFolderDialogRunner(FolderDialogRunner runner);

}  // namespace pw
