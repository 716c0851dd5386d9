#pragma once
// The file tiffcp writes for a recompress. A destination that exists already
// (it may be the source itself) is never written directly: the tool writes a
// temporary file in the same folder, which replaces the destination only
// when the run succeeded. A new destination is written directly and removed
// again when the run fails.

#include <sys/types.h>

#include <string>

namespace pw {

class ToolOutputFile {
public:
    explicit ToolOutputFile(const std::string& destination);
    // Removes the temporary file, or the new destination, unless committed.
    ~ToolOutputFile();
    ToolOutputFile(const ToolOutputFile&) = delete;
    ToolOutputFile& operator=(const ToolOutputFile&) = delete;

    // False when no file can be prepared; reason() says why.
    bool ok() const { return reason_.empty(); }
    const std::string& reason() const { return reason_; }

    // The path to give the tool.
    const std::string& path() const { return path_; }

    // True when the tool left a non-empty regular file at path().
    bool HasContent() const;

    // Puts the result in place; false with reason() set when that fails.
    bool Commit();

private:
    std::string destination_;  // the file to create or replace (links resolved)
    std::string path_;
    bool temporary_ = false;
    bool committed_ = false;
    mode_t mode_ = 0;
    std::string reason_;
};

// True when a regular file of at least one byte is at path.
bool IsNonEmptyFile(const std::string& path);

// True when both paths name the same existing file (same device and inode).
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace pw
