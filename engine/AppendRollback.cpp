#include "engine/AppendRollback.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <set>

namespace pw {
namespace {

class TiffFile {
public:
    explicit TiffFile(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_CLOEXEC)) {}
    ~TiffFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TiffFile(const TiffFile&) = delete;
    TiffFile& operator=(const TiffFile&) = delete;

    bool ok() const { return fd_ >= 0; }

    bool ReadHeader()
    {
        unsigned char h[4];
        if (!ReadAt(0, h, 4))
            return false;
        if (h[0] == 'I' && h[1] == 'I')
            big_endian_ = false;
        else if (h[0] == 'M' && h[1] == 'M')
            big_endian_ = true;
        else
            return false;
        const uint64_t version = Decode(h + 2, 2);
        if (version != 42 && version != 43)
            return false;
        big_tiff_ = version == 43;
        return true;
    }

    // Offset of the header's first-directory field, and the size of offsets.
    off_t FirstLinkField() const { return big_tiff_ ? 8 : 4; }
    size_t OffsetSize() const { return big_tiff_ ? 8 : 4; }

    // Offset of the "next directory" field of the directory at dir.
    bool NextLinkField(uint64_t dir, off_t& field)
    {
        unsigned char n[8];
        const size_t countSize = big_tiff_ ? 8 : 2;
        if (!ReadAt(static_cast<off_t>(dir), n, countSize))
            return false;
        const uint64_t entries = Decode(n, countSize);
        const uint64_t entrySize = big_tiff_ ? 20 : 12;
        if (entries > (1u << 20))
            return false;
        field = static_cast<off_t>(dir + countSize + entries * entrySize);
        return true;
    }

    bool ReadOffset(off_t field, uint64_t& value)
    {
        unsigned char b[8];
        if (!ReadAt(field, b, OffsetSize()))
            return false;
        value = Decode(b, OffsetSize());
        return true;
    }

    bool ClearOffset(off_t field)
    {
        const unsigned char zero[8] = {};
        return ::pwrite(fd_, zero, OffsetSize(), field) == static_cast<ssize_t>(OffsetSize());
    }

private:
    bool ReadAt(off_t at, unsigned char* bytes, size_t n)
    {
        return ::pread(fd_, bytes, n, at) == static_cast<ssize_t>(n);
    }

    uint64_t Decode(const unsigned char* b, size_t n) const
    {
        uint64_t v = 0;
        for (size_t i = 0; i < n; ++i)
            v |= static_cast<uint64_t>(big_endian_ ? b[i] : b[n - 1 - i]) << (8 * (n - 1 - i));
        return v;
    }

    int fd_;
    bool big_endian_ = false;
    bool big_tiff_ = false;
};

}  // namespace

bool ClearLinksPast(const std::string& path, off_t size)
{
    TiffFile file(path);
    if (!file.ok() || !file.ReadHeader())
        return false;
    off_t field = file.FirstLinkField();
    std::set<uint64_t> seen;
    for (;;) {
        uint64_t next = 0;
        if (!file.ReadOffset(field, next))
            return false;
        if (next == 0)
            return true;
        if (next >= static_cast<uint64_t>(size))
            return file.ClearOffset(field);
        if (!seen.insert(next).second || !file.NextLinkField(next, field))
            return false;
    }
}

AppendRollback::AppendRollback(const std::string& output) : output_(output)
{
    struct stat st;
    if (::stat(output.c_str(), &st) == 0) {
        existed_ = true;
        regular_ = S_ISREG(st.st_mode);
        size_ = st.st_size;
    }
}

bool AppendRollback::Restore() const
{
    struct stat st;
    if (!existed_) {
        if (::lstat(output_.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return ::unlink(output_.c_str()) == 0;
        return true;
    }
    if (!regular_)
        return true;
    if (::stat(output_.c_str(), &st) != 0)
        return false;
    if (st.st_size == size_)
        return true;
    if (::truncate(output_.c_str(), size_) != 0)
        return false;
    return size_ == 0 || ClearLinksPast(output_, size_);
}

}  // namespace pw

