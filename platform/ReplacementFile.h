#pragma once
// A file written in full before it takes the place of another: the writing
// goes to a temporary file beside the target, which replaces the target
// only on Commit. Until then an old target stays as it was.

#include <sys/types.h>

#include <string>

namespace pw {

class ReplacementFile {
public:
    // extension: of the temporary file's name (".tif").
    ReplacementFile(const std::string& target, const std::string& extension);
    // Removes the temporary file unless it was put in place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // False when no temporary file can be made beside the target, or the
    // target is not a regular file.
    bool ok() const { return !path_.empty(); }
    const std::string& reason() const { return reason_; }

    // The file to write.
    const std::string& path() const { return path_; }

    // Puts the file in place of the target (of the file a link leads to),
    // with an old target's permissions or those of a new file; false with
    // reason() set when that fails.
    bool Commit();

private:
    std::string target_;
    std::string path_;
    std::string reason_;
    bool replaces_ = false;
    mode_t mode_ = 0;
};

// The system's side of Commit: gives the finished file the old target's
// permissions (replaces) or those of a new file.
void GiveReplacementMode(const std::string& path, bool replaces, mode_t oldMode);

}  // namespace pw
