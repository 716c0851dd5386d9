#pragma once
// The per-user folders the program keeps files in.

#include <string>

namespace pw {

// The user's temporary folder ($TMPDIR, else /tmp), with a trailing separator.
std::string GetTempFolder();

// The user's home folder ($HOME, else the password database), without a
// trailing separator.
std::string GetHomeFolder();

// Pagewright's folder for per-user settings ($XDG_CONFIG_HOME/pagewright, else
// ~/.config/pagewright), with a trailing separator. Not created here.
std::string GetUserConfigFolder();

// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolders(const std::string& folder);

// True when a file can be created in the folder.
bool IsFolderWritable(const std::string& folder);

}  // namespace pw
