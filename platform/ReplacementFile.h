#pragma once
// A file written in full before it takes the place of another: the writing
// goes to a temporary file beside the target, which replaces the target
// only on Commit. Until then an old target stays as it was.
//
// The output is only ever a file in the target's folder: the temporary is
// made there without following a link, and Commit replaces the entry at the
// target's name as it is - a link there is replaced by the file, and what
// it leads to is not touched. Whatever the entry is by then, it is not
// replaced when it is one of the files the batches under way read
// (ProtectedFiles).

#include <sys/types.h>

#include <string>

namespace pw {

class ReplacementFile {
public:
    // extension: of the temporary file's name (".tif").
    ReplacementFile(const std::string& target, const std::string& extension);
    // Removes the temporary file unless it was put in place; one that
    // cannot be removed stays noted for a later start to remove.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // False when no temporary file can be made beside the target, or
    // something other than a regular file or a link is at the target.
    bool ok() const { return !path_.empty(); }
    const std::string& reason() const { return reason_; }

    // The file to write.
    const std::string& path() const { return path_; }

    // True while path() still leads to the temporary made here: it has not
    // been removed or replaced (as when its folder is removed and made
    // again, and a writer then starts a new file of that name).
    bool IsIntact() const;

    // Puts the file in place of the entry at the target's name, with the
    // permissions of an old file there or those of a new file; false with
    // reason() set when that fails or is refused, the temporary then kept.
    bool Commit();

private:
    // The system's side.
    bool OpenFolder();
    bool MakeTemporary(const std::string& extension);
    // What is at the target's name: 0 nothing, 1 a regular file (its
    // permissions in mode), 2 a link, 3 anything else; -1 when it cannot
    // be told (errno).
    int TargetKind(mode_t& mode) const;
    bool FolderStillAtItsPath() const;
    void GiveMode();
    bool RenameIntoPlace();
    bool RemoveTemporary();
    void Close();

    std::string target_;
    std::string folder_;  // with its trailing separator, "" for the current folder
    std::string name_;
    std::string tempName_;
    std::string path_;
    std::string reason_;
    bool replaces_ = false;
    mode_t mode_ = 0;
    int folderFd_ = -1;  // POSIX: the folder, where every step is made
    int heldFd_ = -1;    // POSIX: the temporary, held open so that its identity stays unique
    void* heldHandle_ = nullptr;  // Windows: the same, shared with every other use
};

}  // namespace pw
