#pragma once
// Where Merge All writes: the desktop's save dialog for one TIFF file, with
// ".tif" added to a name typed without an extension.

#include <functional>
#include <optional>
#include <string>

class wxWindow;

namespace pw {

// The chosen output file, or the empty text when the user cancels (also by
// declining to replace a file the completed name names).
std::string AskMergeOutputFile(wxWindow* owner);

// Stands in for the desktop's dialog: the path as the user typed it, or
// nullopt for a cancel. An empty function puts the real dialog back. For
// tests and benchmarks that answer the dialog without a person.
using SaveDialogRunner = std::function<std::optional<std::string>(wxWindow* owner)>;
void SetSaveDialogRunner(SaveDialogRunner runner);

}  // namespace pw
