#pragma once
// Opens a folder in the desktop's file manager.

#include <functional>
#include <string>

namespace pw {

// Hands the folder, as one argument, to the desktop's default application
// for it; false when the desktop could not be asked.
bool OpenInFileManager(const std::string& folder);

// Stands in for the desktop: called with the folder instead. An empty
// function puts the desktop back. Tests use it so that no program starts.
using FileManagerLauncher = std::function<bool(const std::string& folder)>;
void SetFileManagerLauncher(FileManagerLauncher launcher);

}  // namespace pw
