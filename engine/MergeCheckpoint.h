#pragma once
// The state of a merge output before one more file is appended to it, so
// that an append that failed or was stopped half-way can be taken back and
// the output keeps exactly the pages of the files that were appended whole.

#include <string>

namespace pw {

class MergeCheckpoint {
public:
    // Records whether the file exists and its size.
    explicit MergeCheckpoint(const std::string& path);

    // Brings the file back to the recorded state: removed when it did not
    // exist; otherwise cut to the recorded size, with the directory chain
    // ended at the last directory that lies wholly inside it (an append only
    // adds bytes at the end and links its first new directory to the last
    // old one). False when the file could not be restored.
    bool Restore() const;

private:
    std::string path_;
    bool existed_ = false;
    long long size_ = 0;
};

// Ends the TIFF directory chain of the file at the last directory that lies
// wholly inside its first `size` bytes: the first link that leads beyond
// them is set to 0. Classic and BigTIFF, either byte order. False when the
// file is not a TIFF file or cannot be written.
bool CutTiffDirectoryChain(const std::string& path, long long size);

}  // namespace pw
