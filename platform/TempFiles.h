#pragma once
// Temporary files and folders of this process. Their names carry the
// process id and a tag of the machine, and each one is noted in a journal
// in the user's configuration folder before it is made, so that the ones a
// process left behind when it was killed can be told apart and removed at
// the next start. Where the journal cannot be written (a home folder the
// user may not write), the name alone still tells: a batch removes what
// the names in its output folder show as left by a process of this machine
// that no longer runs.

#include <string>

namespace pw {

// "pagewright-<pid>-<machine tag>-": how every temporary name of the
// process pid of this machine begins (after a leading dot for those made
// beside outputs).
std::string OwnTempPrefix(long pid);

// A name for a new temporary of this process: "." + OwnTempPrefix + six
// random letters or digits + extension. Nothing is made.
std::string NewTempName(const std::string& extension);

// Notes path in the journal; call before making it.
void NoteTemp(const std::string& path);

// Takes the file or folder off the journal: call once it has been removed or
// has become a real file (renamed into place).
void ForgetTemp(const std::string& path);

// Creates an empty file named NewTempName(extension) in folder (with its
// trailing separator, or empty for the current folder), noted first.
// Returns its path, or "" with errno set.
std::string CreateTempFile(const std::string& folder, const std::string& extension);

// Creates the folder "<temporary folder>pagewright-<pid>-<tag>-XXXXXX",
// noted first. Returns its path, or "" with errno set.
std::string CreateTempFolder();

// Creates a private folder named NewTempName("") in folder (with its
// trailing separator), noted first. Returns its path, or "" with errno set.
std::string CreateTempFolderIn(const std::string& folder);

// Removes a temporary file, or a temporary folder with the plain files in
// it, and takes it off the journal. When it cannot be removed it stays
// noted, for a later start to try again; false then.
bool RemoveTemp(const std::string& path);

// Removes the temporary files and folders noted by processes of this
// machine that no longer run, and their journal entries. Called once at
// start-up.
void RemoveStaleTemporaries();

// Removes the entries of folder whose names are temporaries of processes
// of this machine that no longer run, noted or not.
void RemoveStaleTemporariesIn(const std::string& folder);

// True when the name (of an entry of some folder) is one of this program's
// temporary names and the process that made it may still be at work: it
// runs, or it ran on another machine, where that cannot be told.
bool IsTemporaryInUse(const std::string& name);

}  // namespace pw
