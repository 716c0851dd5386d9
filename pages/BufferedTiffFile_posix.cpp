#include "pages/BufferedTiffFile_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

namespace pw {
namespace {

class BufferedFile {
public:
    explicit BufferedFile(int fd) : fd_(fd) {}

    tmsize_t Read(void* buffer, tmsize_t size) {
        if (size <= 0)
            return 0;
        const uint64_t count = static_cast<uint64_t>(size);
        if (position_ >= blockStart_ && position_ - blockStart_ <= blockLength_ &&
            count <= blockLength_ - (position_ - blockStart_)) {
            std::memcpy(buffer, block_ + (position_ - blockStart_), static_cast<size_t>(count));
            position_ += count;
            return size;
        }
        if (count >= kBlockBytes / 2 || !LoadBlockAround(position_))
            return ReadDirect(buffer, size);
        // The block ends where the file ends: a read past it gets what there is.
        const uint64_t offset = position_ - blockStart_;
        const uint64_t available = offset < blockLength_ ? std::min(count, blockLength_ - offset) : 0;
        if (available > 0)
            std::memcpy(buffer, block_ + offset, static_cast<size_t>(available));
        position_ += available;
        return static_cast<tmsize_t>(available);
    }

    toff_t Seek(toff_t offset, int whence) {
        uint64_t base = 0;
        if (whence == SEEK_CUR) {
            base = position_;
        } else if (whence == SEEK_END) {
            struct stat st;
            if (::fstat(fd_, &st) != 0)
                return static_cast<toff_t>(-1);
            base = static_cast<uint64_t>(st.st_size);
        } else if (whence != SEEK_SET) {
            errno = EINVAL;
            return static_cast<toff_t>(-1);
        }
        // The system's offsets are signed: anything beyond them is no place
        // in any file, as lseek would answer.
        const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<off_t>::max());
        if (offset > limit || base > limit - offset) {
            errno = EINVAL;
            return static_cast<toff_t>(-1);
        }
        position_ = base + offset;
        return position_;
    }

    toff_t Size() const {
        struct stat st;
        return ::fstat(fd_, &st) == 0 ? static_cast<toff_t>(st.st_size) : 0;
    }

    int Close() { return ::close(fd_); }

private:
    static constexpr uint64_t kBlockBytes = 8192;
    static constexpr uint64_t kAlignment = 512;

    // Reads exactly what was asked, from where libtiff is: a read error is
    // then the error of these bytes, not of bytes near them. A read that
    // fails gives what came before the failure, never -1: libtiff takes the
    // count it is given as bytes read, and a strip read that got -1 clears
    // from one byte before its buffer. A place the system cannot seek to
    // (beyond the largest file it can hold) holds nothing.
    tmsize_t ReadDirect(void* buffer, tmsize_t size) {
        if (::lseek(fd_, static_cast<off_t>(position_), SEEK_SET) < 0)
            return 0;
        tmsize_t done = 0;
        auto* out = static_cast<unsigned char*>(buffer);
        while (done < size) {
            const size_t piece = static_cast<size_t>(std::min<tmsize_t>(size - done, 1 << 30));
            const ssize_t n = ::read(fd_, out + done, piece);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                break;
            }
            if (n == 0)
                break;
            done += n;
        }
        position_ += static_cast<uint64_t>(done);
        return done;
    }

    // The block from a little before position on; false when it cannot be
    // read (then only the bytes asked for are tried).
    bool LoadBlockAround(uint64_t position) {
        blockLength_ = 0;
        const uint64_t start = position - position % kAlignment;
        if (::lseek(fd_, static_cast<off_t>(start), SEEK_SET) < 0)
            return false;
        uint64_t length = 0;
        while (length < kBlockBytes) {
            const ssize_t n = ::read(fd_, block_ + length, static_cast<size_t>(kBlockBytes - length));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (n == 0)
                break;
            length += static_cast<uint64_t>(n);
        }
        blockStart_ = start;
        blockLength_ = length;
        return true;
    }

    int fd_;
    uint64_t position_ = 0;
    uint64_t blockStart_ = 0;
    uint64_t blockLength_ = 0;
    unsigned char block_[kBlockBytes];
};

BufferedFile* Of(thandle_t handle) { return static_cast<BufferedFile*>(handle); }

tmsize_t ReadProc(thandle_t h, void* buffer, tmsize_t size) { return Of(h)->Read(buffer, size); }
tmsize_t WriteProc(thandle_t, void*, tmsize_t) {
    errno = EBADF;
    return -1;
}
toff_t SeekProc(thandle_t h, toff_t offset, int whence) { return Of(h)->Seek(offset, whence); }
int CloseProc(thandle_t h) {
    std::unique_ptr<BufferedFile> file(Of(h));
    return file->Close();
}
toff_t SizeProc(thandle_t h) { return Of(h)->Size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

}  // namespace

TIFF* OpenBufferedTiffDescriptor(TiffDiagnostics& diagnostics, int fd, const std::string& path, const char* mode) {
    auto file = std::make_unique<BufferedFile>(fd);
    TIFF* tif = diagnostics.OpenWith([&](TIFFOpenOptions* options) {
        return TIFFClientOpenExt(path.c_str(), mode, file.get(), ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                                 MapProc, UnmapProc, options);
    });
    if (tif == nullptr)
        return nullptr;  // libtiff does not close what it could not open
    file.release();      // the handle's close deletes it
    TIFFSetFileno(tif, fd);
    return tif;
}

}  // namespace pw
