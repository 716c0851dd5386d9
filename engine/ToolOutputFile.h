#pragma once
// The file tiffcp writes for a recompress. The destination is never written
// directly: the tool writes a temporary file in the same folder, which takes
// the destination's place (a ReplacementFile) only when the run succeeded;
// a failed run leaves an old destination as it was, and a killed one leaves
// only a temporary that the next start removes.

#include <memory>
#include <string>

namespace pw {

class ReplacementFile;

class ToolOutputFile {
public:
    explicit ToolOutputFile(const std::string& destination);
    // Removes the temporary file unless committed.
    ~ToolOutputFile();
    ToolOutputFile(const ToolOutputFile&) = delete;
    ToolOutputFile& operator=(const ToolOutputFile&) = delete;

    // False when no file can be prepared; reason() says why.
    bool ok() const { return reason_.empty(); }
    const std::string& reason() const { return reason_; }

    // The path to give the tool.
    const std::string& path() const;

    // True when the tool left a non-empty regular file at path().
    bool HasContent() const;

    // Puts the result in place; false with reason() set when that fails.
    bool Commit();

private:
    std::unique_ptr<ReplacementFile> file_;
    std::string reason_;
};

// True when a regular file of at least one byte is at path.
bool IsNonEmptyFile(const std::string& path);

// True when both paths name the same existing file (same device and inode).
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace pw
