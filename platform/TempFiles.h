#pragma once
// Temporary files and folders of this process. Their names carry the
// process id, and each one is noted in a journal in the user's
// configuration folder while it exists, so that the ones a process left
// behind when it was killed can be told apart and removed at the next start.

#include <string>

namespace pw {

// Creates an empty file "<folder>.pagewright-<pid>-XXXXXX<extension>" (folder
// with its trailing separator, or empty for the current folder) and notes
// it. Returns its path, or "" with errno set.
std::string CreateTempFile(const std::string& folder, const std::string& extension);

// Creates the folder "<temporary folder>pagewright-<pid>-XXXXXX" and notes
// it. Returns its path, or "" with errno set.
std::string CreateTempFolder();

// Takes the file or folder off the journal: call once it has been removed or
// has become a real file (renamed into place).
void ForgetTemp(const std::string& path);

// Removes the temporary files and folders noted by processes that no longer
// run, and their journal entries. Called once at start-up.
void RemoveStaleTemporaries();

}  // namespace pw
