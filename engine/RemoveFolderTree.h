#pragma once
// Removal of a folder with everything below it, used for a split folder
// before it is created anew.

#include <string>

namespace pw {

// Empties and removes the folder (given without a trailing separator), depth
// first. Read-only files and folders inside are removed as well. Symbolic
// links are never followed: a link inside is removed as a link, and a link
// given as the folder itself is removed as a link, so nothing outside the
// folder is touched. Removal never leaves the folder's file system: a
// folder inside on which another file system is mounted stays, with
// everything in it. Entries that cannot be removed stay, silently.
// True when the folder (or the link) itself was removed at the end; false
// otherwise, also when nothing exists at the path.
bool RemoveFolderTree(const std::string& folder);

}  // namespace pw
