#include "pages/TiffSource.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <unordered_set>

#include "platform/Paths.h"

namespace pw {
namespace {

// libtiff refuses directories with more entries than this.
constexpr uint64_t kMaxDirectoryEntries = 4096;

uint64_t ReadNumber(const uint8_t* bytes, size_t size, bool bigEndian)
{
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        const size_t at = bigEndian ? i : size - 1 - i;
        value = (value << 8) | bytes[at];
    }
    return value;
}

}  // namespace

TiffSource::TiffSource(const std::string& path, TiffDiagnostics& diagnostics) : diagnostics_(diagnostics)
{
    // Only regular files: opening a pipe or a device could block or never end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(FileSystemPath(path), error)) {
        diagnostics_.SetError("Not a regular file");
        return;
    }
    fileSize_ = std::filesystem::file_size(FileSystemPath(path), error);
    if (error)
        return;
    // "c": strips are seen as the file has them, never chopped up, so that
    // they can be copied as they are. "m": read, not mapped: libtiff walks
    // the whole directory chain on the first jump to a directory, through a
    // mapping at a page fault per directory, and unmapping is not free.
    tif_.reset(diagnostics_.Open(path, "rcm"));
    if (tif_)
        WalkDirectoryChain();
}

// Reads only each directory's entry count and link, never its entries.
void TiffSource::WalkDirectoryChain()
{
    TIFF* tif = tif_.get();
    const bool big = TIFFIsBigTIFF(tif) != 0;
    const bool bigEndian = TIFFIsBigEndian(tif) != 0;
    const size_t countSize = big ? 8 : 2;
    const size_t entrySize = big ? 20 : 12;
    const size_t linkSize = big ? 8 : 4;
    const uint64_t headerSize = big ? 16 : 8;

    std::unordered_set<uint64_t> seen;
    std::vector<uint8_t> buffer(512);  // holds most directories whole
    uint64_t offset = TIFFCurrentDirOffset(tif);
    while (offset != 0 && directories_.size() < kMaxPages) {
        if (offset < headerSize || offset >= fileSize_ || !seen.insert(offset).second)
            break;
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(buffer.size(), fileSize_ - offset));
        if (chunk < countSize || !ReadAt(offset, buffer.data(), chunk))
            break;
        const uint64_t entries = ReadNumber(buffer.data(), countSize, bigEndian);
        if (entries == 0 || entries > kMaxDirectoryEntries)
            break;
        const uint64_t linkAt = countSize + entries * entrySize;
        if (offset + linkAt + linkSize > fileSize_)
            break;
        uint8_t link[8];
        if (linkAt + linkSize <= chunk)
            std::memcpy(link, buffer.data() + linkAt, linkSize);
        else if (!ReadAt(offset + linkAt, link, linkSize))
            break;
        directories_.push_back(offset);
        offset = ReadNumber(link, linkSize, bigEndian);
    }
}

bool TiffSource::SelectPage(int index)
{
    if (index < 0 || index >= pageCount())
        return false;
    if (TIFFCurrentDirOffset(tif_.get()) == directories_[static_cast<size_t>(index)])
        return true;
    return TIFFSetSubDirectory(tif_.get(), directories_[static_cast<size_t>(index)]) != 0;
}

bool TiffSource::ReadAt(uint64_t offset, void* buffer, size_t size)
{
    TIFF* tif = tif_.get();
    const thandle_t handle = TIFFClientdata(tif);
    if (TIFFGetSeekProc(tif)(handle, offset, SEEK_SET) != offset)
        return false;
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        const tmsize_t got = TIFFGetReadProc(tif)(handle, bytes, static_cast<tmsize_t>(size));
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

}  // namespace pw
