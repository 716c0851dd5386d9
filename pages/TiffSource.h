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
    // How a directory chain that cannot be read to its end counts: a
    // directory past the end of the file (a file cut short), one that
    // cannot be read (a read error), one with no or implausibly many
    // entries.
    enum class Chain {
        // The pages before the break are the file's (enough to show a page).
        UpToTheBreak,
        // The file has no pages, and the diagnostics' error says where and
        // why the chain breaks off: what counts, copies or splits a file
        // must not take part of it for the whole.
        Whole,
    };

    // Opens path when it is a regular file whose first page libtiff reads;
    // otherwise the source has no pages. The file is opened without waiting
    // (a FIFO put in its place is refused, not waited on). Nothing is
    // decoded.
    TiffSource(const std::string& path, TiffDiagnostics& diagnostics, Chain chain = Chain::UpToTheBreak);

    // Directories reachable from the header, in chain order, up to the end
    // of the chain or to one that repeats an earlier one (a loop); for a
    // chain that breaks off, as the Chain rule says.
    int pageCount() const { return static_cast<int>(directories_.size()); }

    TIFF* tiff() const { return tif_.get(); }
    uint64_t fileSize() const { return fileSize_; }

    // Where the directory of page index (from 0) lies in the file.
    uint64_t directoryOffset(int index) const { return directories_[static_cast<size_t>(index)]; }

    // Why the file's directory chain cannot be read to its end, when libtiff
    // opens the file but the chain breaks off (see pageCount); "" otherwise,
    // also for a file libtiff does not open at all.
    static std::string ChainFault(const std::string& path);

    // Makes page index (from 0) libtiff's current directory; false when
    // libtiff cannot read that directory, every time it is asked.
    bool SelectPage(int index);

    // Reads size bytes at offset; false on a short read.
    bool ReadAt(uint64_t offset, void* buffer, size_t size);

    // More directories than this are not walked.
    static constexpr size_t kMaxPages = size_t{1} << 20;

private:
    void WalkDirectoryChain(Chain chain);
    // Opens path for reading without waiting on it; fileSize_ set.
    TIFF* OpenRegularFile(const std::string& path);

    TiffDiagnostics& diagnostics_;
    TiffHandle tif_;
    uint64_t fileSize_ = 0;
    std::vector<uint64_t> directories_;
    // The page SelectPage last read, -1 after a failed read: libtiff's
    // current offset names a directory it failed to read too.
    int selected_ = -1;
};

}  // namespace pw
