#include "pages/RawPageFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace pw {
namespace {

// The entries kept: what describes the page and its stored data, as the
// page copier copies them, and the strip or tile tables. Sorted.
constexpr uint16_t kKeptTags[] = {
    254, 255, 256, 257, 258, 259, 262, 263, 266, 269, 270, 271, 272, 273, 274, 277, 278, 279, 280, 281, 282,
    283, 284, 285, 286, 287, 292, 293, 296, 297, 301, 305, 306, 315, 316, 317, 318, 319, 320, 321, 322, 323,
    324, 325, 326, 327, 328, 332, 334, 336, 337, 338, 339, 340, 341, 347, 529, 530, 531, 532, 700, 32997,
    32998, 33432, 33723, 34377, 34675, 50674,
};

constexpr uint16_t kStripOffsets = 273;
constexpr uint16_t kStripByteCounts = 279;
constexpr uint16_t kTileOffsets = 324;
constexpr uint16_t kTileByteCounts = 325;
constexpr uint16_t kPageNumber = 297;
constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr size_t kCopyChunk = size_t{4} << 20;

bool IsKept(uint16_t tag)
{
    return std::binary_search(std::begin(kKeptTags), std::end(kKeptTags), tag);
}

size_t TypeSize(uint16_t type)
{
    switch (type) {
    case 1: case 2: case 6: case 7:
        return 1;
    case 3: case 8:
        return 2;
    case 4: case 9: case 11: case 13:
        return 4;
    case 5: case 10: case 12:
        return 8;
    default:
        return 0;  // BigTIFF's 8-byte types, or none
    }
}

class ByteOrder {
public:
    explicit ByteOrder(bool big) : big_(big) {}

    uint32_t Get(const uint8_t* p, size_t size) const
    {
        uint32_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value = (value << 8) | p[big_ ? i : size - 1 - i];
        return value;
    }
    void Put(uint8_t* p, size_t size, uint32_t value) const
    {
        for (size_t i = 0; i < size; ++i)
            p[big_ ? size - 1 - i : i] = static_cast<uint8_t>(value >> (8 * i));
    }

private:
    bool big_;
};

struct Entry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    uint8_t inlineValue[4] = {};
    std::vector<uint8_t> data;  // the value when it does not fit in 4 bytes

    const uint8_t* bytes() const { return data.empty() ? inlineValue : data.data(); }
};

// The numbers of a SHORT or LONG table entry; empty for any other type.
std::vector<uint32_t> TableValues(const Entry& entry, const ByteOrder& order)
{
    if (entry.type != kShort && entry.type != kLong)
        return {};
    const size_t size = TypeSize(entry.type);
    std::vector<uint32_t> values(entry.count);
    for (uint32_t i = 0; i < entry.count; ++i)
        values[i] = order.Get(entry.bytes() + i * size, size);
    return values;
}

class OutputFile {
public:
    explicit OutputFile(const std::string& path) : path_(path) {}
    ~OutputFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (opened_ && !kept_)
            ::unlink(path_.c_str());
    }

    bool Open()
    {
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0)
            error_ = std::strerror(errno);
        opened_ = fd_ >= 0;
        return opened_;
    }
    bool Write(const uint8_t* bytes, size_t size)
    {
        while (size > 0) {
            const ssize_t written = ::write(fd_, bytes, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                error_ = written < 0 ? std::strerror(errno) : "nothing written";
                return false;
            }
            bytes += written;
            size -= static_cast<size_t>(written);
        }
        return true;
    }
    // Copies size bytes at offset of the file fd to the end of this one in
    // the kernel, not through a buffer of ours. False, with nothing
    // written, when the kernel cannot do it for these files.
    bool CopyFrom(int fd, uint64_t offset, uint64_t size)
    {
        auto from = static_cast<off_t>(offset);
        uint64_t left = size;
        while (left > 0) {
            const ssize_t copied = ::copy_file_range(fd, &from, fd_, nullptr, static_cast<size_t>(left), 0);
            if (copied < 0 && errno == EINTR)
                continue;
            if (copied <= 0) {
                if (left == size && copied < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP))
                    return false;
                error_ = copied < 0 ? std::strerror(errno) : "the source ended early";
                failed_ = true;
                return false;
            }
            left -= static_cast<uint64_t>(copied);
        }
        return true;
    }
    bool failed() const { return failed_; }

    bool Keep()
    {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            error_ = std::strerror(errno);
            return false;
        }
        kept_ = true;
        return true;
    }
    const std::string& error() const { return error_; }

private:
    std::string path_;
    int fd_ = -1;
    bool opened_ = false;
    bool kept_ = false;
    bool failed_ = false;
    std::string error_;
};

}  // namespace

RawPageResult WriteRawPageFile(TiffSource& source, int index, const std::string& path, std::string& error)
{
    TIFF* tif = source.tiff();
    if (tif == nullptr || TIFFIsBigTIFF(tif) || index < 0 || index >= source.pageCount())
        return RawPageResult::NotHandled;
    const ByteOrder order(TIFFIsBigEndian(tif) != 0);
    const uint64_t fileSize = source.fileSize();
    const uint64_t directory = source.directoryOffset(index);

    // The directory as stored: its entry count, checked when the chain was
    // walked, then the entries.
    uint8_t countBytes[2];
    if (!source.ReadAt(directory, countBytes, 2)) {
        error = "cannot read the directory of page " + std::to_string(index + 1);
        return RawPageResult::SourceFailed;
    }
    const uint32_t entryCount = order.Get(countBytes, 2);
    std::vector<uint8_t> raw(size_t{12} * entryCount);
    if (!source.ReadAt(directory + 2, raw.data(), raw.size())) {
        error = "cannot read the directory of page " + std::to_string(index + 1);
        return RawPageResult::SourceFailed;
    }

    std::vector<Entry> entries;
    for (uint32_t i = 0; i < entryCount; ++i) {
        const uint8_t* at = raw.data() + size_t{12} * i;
        Entry entry;
        entry.tag = static_cast<uint16_t>(order.Get(at, 2));
        if (!IsKept(entry.tag))
            continue;
        entry.type = static_cast<uint16_t>(order.Get(at + 2, 2));
        entry.count = order.Get(at + 4, 4);
        const size_t size = TypeSize(entry.type);
        if (size == 0)
            return RawPageResult::NotHandled;
        const uint64_t bytes = uint64_t{entry.count} * size;
        if (bytes <= 4) {
            std::memcpy(entry.inlineValue, at + 8, 4);
        } else {
            const uint64_t offset = order.Get(at + 8, 4);
            if (offset > fileSize || bytes > fileSize - offset)
                return RawPageResult::NotHandled;  // libtiff's view of such a page may differ
            entry.data.resize(static_cast<size_t>(bytes));
            if (!source.ReadAt(offset, entry.data.data(), entry.data.size())) {
                error = "cannot read tag " + std::to_string(entry.tag) + " of page " + std::to_string(index + 1);
                return RawPageResult::SourceFailed;
            }
        }
        entries.push_back(std::move(entry));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });

    auto find = [&entries](uint16_t tag) -> Entry* {
        for (Entry& entry : entries) {
            if (entry.tag == tag)
                return &entry;
        }
        return nullptr;
    };
    Entry* offsets = find(kStripOffsets);
    Entry* counts = find(kStripByteCounts);
    if (offsets == nullptr || counts == nullptr) {
        offsets = find(kTileOffsets);
        counts = find(kTileByteCounts);
    }
    if (offsets == nullptr || counts == nullptr || (find(kStripOffsets) != nullptr && find(kTileOffsets) != nullptr))
        return RawPageResult::NotHandled;
    const uint16_t offsetsTag = offsets->tag;
    const std::vector<uint32_t> oldOffsets = TableValues(*offsets, order);
    const std::vector<uint32_t> sizes = TableValues(*counts, order);
    if (oldOffsets.empty() || oldOffsets.size() != sizes.size())
        return RawPageResult::NotHandled;
    // The tables must say what libtiff reads from them (it mends some damaged
    // ones): the bytes copied are the bytes a reader of the source decodes.
    if (!source.SelectPage(index)) {
        error = "cannot read page " + std::to_string(index + 1);
        return RawPageResult::SourceFailed;
    }
    const uint32_t strips = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    if (strips != oldOffsets.size())
        return RawPageResult::NotHandled;
    uint64_t dataBytes = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] == 0 || oldOffsets[i] > fileSize || sizes[i] > fileSize - oldOffsets[i])
            return RawPageResult::NotHandled;
        const auto strip = static_cast<uint32_t>(i);
        if (TIFFGetStrileOffset(tif, strip) != oldOffsets[i] || TIFFGetStrileByteCount(tif, strip) != sizes[i])
            return RawPageResult::NotHandled;
        dataBytes += sizes[i];
    }

    // Page 1 of 1.
    if (find(kPageNumber) == nullptr) {
        Entry added;
        added.tag = kPageNumber;
        entries.insert(std::upper_bound(entries.begin(), entries.end(), added,
                                        [](const Entry& a, const Entry& b) { return a.tag < b.tag; }),
                       std::move(added));
    }
    Entry* pageNumber = find(kPageNumber);
    offsets = find(offsetsTag);
    pageNumber->type = kShort;
    pageNumber->count = 2;
    pageNumber->data.clear();
    order.Put(pageNumber->inlineValue, 2, 0);
    order.Put(pageNumber->inlineValue + 2, 2, 1);

    // Layout: header, directory, values that do not fit an entry (each on a
    // word boundary), then the strips one after another.
    offsets->type = kLong;
    offsets->data.assign(oldOffsets.size() > 1 ? oldOffsets.size() * 4 : 0, 0);
    const uint64_t directoryBytes = 2 + 12 * uint64_t{entries.size()} + 4;
    uint64_t end = 8 + directoryBytes;
    std::vector<uint64_t> valueAt(entries.size(), 0);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].data.empty())
            continue;
        end += end % 2;
        valueAt[i] = end;
        end += entries[i].data.size();
    }
    end += end % 2;
    const uint64_t dataStart = end;
    if (dataStart + dataBytes > 0xFFFFFFFFu)
        return RawPageResult::NotHandled;  // beyond a classic file
    std::vector<uint32_t> newOffsets(oldOffsets.size());
    for (size_t i = 0, at = static_cast<size_t>(dataStart); i < newOffsets.size(); at += sizes[i], ++i)
        newOffsets[i] = static_cast<uint32_t>(at);
    offsets->count = static_cast<uint32_t>(newOffsets.size());
    uint8_t* table = offsets->data.empty() ? offsets->inlineValue : offsets->data.data();
    for (size_t i = 0; i < newOffsets.size(); ++i)
        order.Put(table + 4 * i, 4, newOffsets[i]);

    std::vector<uint8_t> head(static_cast<size_t>(dataStart), 0);
    head[0] = head[1] = TIFFIsBigEndian(tif) ? 'M' : 'I';
    order.Put(&head[2], 2, 42);
    order.Put(&head[4], 4, 8);
    order.Put(&head[8], 2, static_cast<uint32_t>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        uint8_t* at = &head[10 + 12 * i];
        const Entry& entry = entries[i];
        order.Put(at, 2, entry.tag);
        order.Put(at + 2, 2, entry.type);
        order.Put(at + 4, 4, entry.count);
        if (entry.data.empty()) {
            std::memcpy(at + 8, entry.inlineValue, 4);
        } else {
            order.Put(at + 8, 4, static_cast<uint32_t>(valueAt[i]));
            std::memcpy(&head[static_cast<size_t>(valueAt[i])], entry.data.data(), entry.data.size());
        }
    }
    // The next-directory link stays 0: one page.

    OutputFile out(path);
    if (!out.Open()) {
        error = "cannot create " + path + ": " + out.error();
        return RawPageResult::OutputFailed;
    }
    if (!out.Write(head.data(), head.size())) {
        error = "cannot write " + path + ": " + out.error();
        return RawPageResult::OutputFailed;
    }
    std::vector<uint8_t> buffer;
    const int sourceFd = TIFFFileno(tif);
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sourceFd >= 0 && out.CopyFrom(sourceFd, oldOffsets[i], sizes[i]))
            continue;
        if (out.failed()) {
            error = "cannot copy strip " + std::to_string(i) + " of page " + std::to_string(index + 1) + ": " +
                    out.error();
            return RawPageResult::OutputFailed;
        }
        uint64_t from = oldOffsets[i];
        for (uint64_t left = sizes[i]; left > 0;) {
            const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, kCopyChunk));
            if (buffer.size() < piece)
                buffer.resize(piece);
            if (!source.ReadAt(from, buffer.data(), piece)) {
                error = "cannot read strip " + std::to_string(i) + " of page " + std::to_string(index + 1);
                return RawPageResult::SourceFailed;
            }
            if (!out.Write(buffer.data(), piece)) {
                error = "cannot write " + path + ": " + out.error();
                return RawPageResult::OutputFailed;
            }
            from += piece;
            left -= piece;
        }
    }
    if (!out.Keep()) {
        error = "cannot write " + path + ": " + out.error();
        return RawPageResult::OutputFailed;
    }
    return RawPageResult::Written;
}

}  // namespace pw
