#include "engine/MergeCheckpoint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <set>

namespace pw {
namespace {

class TiffFile {
public:
    TiffFile(int fd, bool bigEndian) : fd_(fd), bigEndian_(bigEndian) {}

    bool Read(long long offset, int bytes, uint64_t* value) const
    {
        unsigned char buffer[8];
        if (::pread(fd_, buffer, bytes, offset) != bytes)
            return false;
        uint64_t result = 0;
        for (int i = 0; i < bytes; ++i) {
            const int shift = bigEndian_ ? 8 * (bytes - 1 - i) : 8 * i;
            result |= static_cast<uint64_t>(buffer[i]) << shift;
        }
        *value = result;
        return true;
    }

    bool WriteZero(long long offset, int bytes) const
    {
        const unsigned char zeros[8] = {};
        return ::pwrite(fd_, zeros, bytes, offset) == bytes;
    }

private:
    int fd_;
    bool bigEndian_;
};

}  // namespace

bool CutTiffDirectoryChain(const std::string& path, long long size)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    unsigned char header[4];
    bool ok = ::pread(fd, header, 4, 0) == 4 &&
              ((header[0] == 'I' && header[1] == 'I') || (header[0] == 'M' && header[1] == 'M'));
    if (ok) {
        const TiffFile file(fd, header[0] == 'M');
        uint64_t version = 0;
        file.Read(2, 2, &version);
        const bool big = version == 43;
        ok = version == 42 || big;
        const int offsetBytes = big ? 8 : 4;
        const int countBytes = big ? 8 : 2;
        const int entryBytes = big ? 20 : 12;
        long long linkAt = big ? 8 : 4;  // where the offset of the next directory is kept
        std::set<uint64_t> seen;
        while (ok) {
            uint64_t next = 0;
            if (!file.Read(linkAt, offsetBytes, &next) || next == 0)
                break;
            uint64_t count = 0;
            const bool inside = next < static_cast<uint64_t>(size) && seen.insert(next).second &&
                                file.Read(static_cast<long long>(next), countBytes, &count) &&
                                count < static_cast<uint64_t>(size) &&
                                next + countBytes + count * entryBytes + offsetBytes <=
                                    static_cast<uint64_t>(size);
            if (!inside) {
                ok = file.WriteZero(linkAt, offsetBytes);
                break;
            }
            linkAt = static_cast<long long>(next + countBytes + count * entryBytes);
        }
    }
    return (::close(fd) == 0) && ok;
}

MergeCheckpoint::MergeCheckpoint(const std::string& path) : path_(path)
{
    struct stat st;
    existed_ = ::stat(path.c_str(), &st) == 0;
    size_ = existed_ ? static_cast<long long>(st.st_size) : 0;
}

bool MergeCheckpoint::Restore() const
{
    struct stat st;
    const bool exists = ::stat(path_.c_str(), &st) == 0;
    if (!existed_)
        return !exists || ::unlink(path_.c_str()) == 0;
    if (!exists)
        return false;
    if (static_cast<long long>(st.st_size) != size_ && ::truncate(path_.c_str(), size_) != 0)
        return false;
    // Also with the size unchanged: a link may already lead past the end.
    return CutTiffDirectoryChain(path_, size_);
}

}  // namespace pw
