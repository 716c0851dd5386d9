#pragma once
// A TIFF file opened once for reading: its page directories found by
// walking the directory chain, and raw access to its bytes.

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pages/TiffDiagnostics.h"

namespace pw {

class TiffSource {
public:
    // Opens path when it is a regular file whose first page libtiff reads;
    // otherwise the source has no pages. Nothing is decoded.
    TiffSource(const std::string& path, TiffDiagnostics& diagnostics);

    // Directories reachable from the header, in chain order, up to the
    // first one that does not lie wholly inside the file, repeats an
    // earlier one (a loop) or has no or implausibly many entries.
    int pageCount() const { return static_cast<int>(directories_.size()); }

    TIFF* tiff() const { return tif_.get(); }
    uint64_t fileSize() const { return fileSize_; }

    // Where the directory of page index (from 0) lies in the file.
    uint64_t directoryOffset(int index) const { return directories_[static_cast<size_t>(index)]; }

    // Makes page index (from 0) libtiff's current directory.
    bool SelectPage(int index);

    // Reads size bytes at offset; false on a short read.
    bool ReadAt(uint64_t offset, void* buffer, size_t size);

    // More directories than this are not walked.
    static constexpr size_t kMaxPages = size_t{1} << 20;

private:
    void WalkDirectoryChain();

    TiffDiagnostics& diagnostics_;
    TiffHandle tif_;
    uint64_t fileSize_ = 0;
    std::vector<uint64_t> directories_;
};

}  // namespace pw
