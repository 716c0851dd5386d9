#pragma once
// Removal of a folder with everything below it, used for a split folder
// before it is created anew.

#include <string>

namespace pw {

// Empties and removes the folder (given without a trailing separator), depth
// first. Read-only files and folders inside are removed as well. Symbolic
// links are never followed: a link inside is removed as a link, and a link
// given as the folder itself is removed as a link, so nothing outside the
// folder is touched. A mount point of any kind - another file system, or a
// folder bound there from the same one - is never entered or emptied: one
// inside stays with everything in it, and a folder that is one stays as it
// is. Entries that cannot be removed stay, silently.
// True when the folder (or the link) itself was removed at the end; false
// otherwise, also when nothing exists at the path.
bool RemoveFolderTree(const std::string& folder);

// Why the folder must not be emptied, naming what is in the way: it is, or
// holds, a mount point, or it holds a file another batch is writing (a
// temporary of a running process, the lock of a merge's output). Empty
// when nothing is in the way, also when nothing is at the path.
std::string FolderRemovalObstacle(const std::string& folder);

}  // namespace pw
