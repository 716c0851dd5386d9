#pragma once
// Undoing a failed "tiffcp -a". tiffcp writes the appended pages after the
// old end of the output and links them in through a single offset: the
// "next directory" field of the last old directory (or the header's first
// directory offset when the file was new). A run that fails part way may
// still have linked a broken page. Cutting the file back to its old length
// and clearing any link that now points past that length gives the pages
// merged so far back exactly as they were.

#include <sys/types.h>

#include <string>

namespace pw {

class AppendRollback {
public:
    // Notes how the output is now.
    explicit AppendRollback(const std::string& output);

    // Puts the output back as noted: removes a file that did not exist,
    // cuts an existing one back to its old length and unlinks what was
    // appended. True when the file is back as it was.
    bool Restore() const;

private:
    std::string output_;
    bool existed_ = false;
    bool regular_ = false;
    off_t size_ = 0;
};

// Clears the first directory link of the TIFF file at path that points at
// or past `size` bytes (the header's first offset or a directory's next
// offset). Classic and BigTIFF, either byte order. False when the file
// cannot be read or written as TIFF.
bool ClearLinksPast(const std::string& path, off_t size);

}  // namespace pw
