#include "pages/TiffSource.h"

#include <filesystem>

#include "platform/Paths.h"

namespace pw {

// No FIFO can take a file's place here; devices are refused by their kind.
TIFF* TiffSource::OpenRegularFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(FileSystemPath(path), error)) {
        diagnostics_.SetError("Not a regular file");
        return nullptr;
    }
    fileSize_ = std::filesystem::file_size(FileSystemPath(path), error);
    if (error)
        return nullptr;
    // "c": strips as stored; "m": read, not mapped (see the POSIX sibling).
    return diagnostics_.Open(path, "rcm");
}

}  // namespace pw
