#include "pages/TiffSource.h"

#include "pages/BufferedTiffFile_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pw {

// Only regular files: opening a FIFO or a device could block or never end.
// The open itself does not wait, so a FIFO put in the file's place after
// any look at the path is refused all the same.
TIFF* TiffSource::OpenRegularFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        diagnostics_.SetError(std::strerror(errno));
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        diagnostics_.SetError("Not a regular file");
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fileSize_ = static_cast<uint64_t>(st.st_size);
    // "c": strips are seen as the file has them, never chopped up, so that
    // they can be copied as they are. "m": read, not mapped: libtiff walks
    // the whole directory chain on the first jump to a directory, through a
    // mapping at a page fault per directory, and unmapping is not free;
    // the small reads of the directories come from one read of the file
    // around them. The handle closes the descriptor.
    TIFF* tif = OpenBufferedTiffDescriptor(diagnostics_, fd, path, "rcm");
    if (tif == nullptr)
        ::close(fd);
    return tif;
}

}  // namespace pw
