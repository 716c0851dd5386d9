#include "pages/TiffSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_set>


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

TiffSource::TiffSource(const std::string& path, TiffDiagnostics& diagnostics, Chain chain)
    : diagnostics_(diagnostics)
{
    tif_.reset(OpenRegularFile(path));
    if (tif_)
        WalkDirectoryChain(chain);
}

// Reads only each directory's entry count and link, never its entries.
void TiffSource::WalkDirectoryChain(Chain chain)
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
    std::string broken;
    auto unreadable = [&] {
        const int code = errno;
        return "cannot be read (" + std::string(code != 0 ? std::strerror(code) : "the file ends early") + ")";
    };
    while (offset != 0 && directories_.size() < kMaxPages) {
        if (offset < headerSize || !seen.insert(offset).second)
            break;  // a loop: the pages up to it are the file's
        if (offset >= fileSize_) {
            broken = "lies past the end of the file";
            break;
        }
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(buffer.size(), fileSize_ - offset));
        errno = 0;
        if (chunk < countSize || !ReadAt(offset, buffer.data(), chunk)) {
            broken = chunk < countSize ? "lies past the end of the file" : unreadable();
            break;
        }
        const uint64_t entries = ReadNumber(buffer.data(), countSize, bigEndian);
        if (entries == 0 || entries > kMaxDirectoryEntries) {
            broken = "is damaged (" + std::to_string(entries) + " entries)";
            break;
        }
        const uint64_t linkAt = countSize + entries * entrySize;
        if (offset + linkAt + linkSize > fileSize_) {
            broken = "runs past the end of the file";
            break;
        }
        uint8_t link[8];
        errno = 0;
        if (linkAt + linkSize <= chunk) {
            std::memcpy(link, buffer.data() + linkAt, linkSize);
        } else if (!ReadAt(offset + linkAt, link, linkSize)) {
            broken = unreadable();
            break;
        }
        directories_.push_back(offset);
        offset = ReadNumber(link, linkSize, bigEndian);
    }
    if (!broken.empty() && chain == Chain::Whole) {
        diagnostics_.SetError("the directory of page " + std::to_string(directories_.size() + 1) + " " + broken);
        directories_.clear();
    }
}

std::string TiffSource::ChainFault(const std::string& path)
{
    TiffDiagnostics diagnostics;
    const TiffSource source(path, diagnostics, Chain::Whole);
    return source.tiff() != nullptr && source.pageCount() == 0 ? diagnostics.lastError() : std::string();
}

bool TiffSource::SelectPage(int index)
{
    if (index < 0 || index >= pageCount())
        return false;
    if (selected_ == index && TIFFCurrentDirOffset(tif_.get()) == directories_[static_cast<size_t>(index)])
        return true;
    const bool read = TIFFSetSubDirectory(tif_.get(), directories_[static_cast<size_t>(index)]) != 0;
    selected_ = read ? index : -1;
    return read;
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
