#include "pages/RawPageFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "platform/Paths.h"

namespace pw {
namespace {

constexpr uint16_t kBitsPerSample = 258;
constexpr uint16_t kCompression = 259;
constexpr uint16_t kStripOffsets = 273;
constexpr uint16_t kStripByteCounts = 279;
constexpr uint16_t kFreeOffsets = 288;
constexpr uint16_t kFreeByteCounts = 289;
constexpr uint16_t kPageNumber = 297;
constexpr uint16_t kTileOffsets = 324;
constexpr uint16_t kTileByteCounts = 325;
constexpr uint16_t kSubIfds = 330;
constexpr uint16_t kExifIfd = 34665;
constexpr uint16_t kGpsIfd = 34853;
constexpr uint16_t kInteroperabilityIfd = 40965;

constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kSLong = 9;
constexpr uint16_t kIfd = 13;
constexpr uint16_t kLong8 = 16;
constexpr uint16_t kSLong8 = 17;
constexpr uint16_t kIfd8 = 18;

constexpr uint64_t kClassicLimit = 0xFFFFFFFFu;
// libtiff reads no directory of more entries.
constexpr uint64_t kMaxEntries = 4096;
// Sub-directories within sub-directories: EXIF holds Interoperability,
// SubIFDs may hold their own EXIF.
constexpr int kMaxDepth = 4;
constexpr size_t kCopyChunk = size_t{4} << 20;

uint64_t Get(const uint8_t* p, size_t size, bool big)
{
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value = (value << 8) | p[big ? i : size - 1 - i];
    return value;
}

void Put(uint8_t* p, size_t size, uint64_t value, bool big)
{
    for (size_t i = 0; i < size; ++i)
        p[big ? size - 1 - i : i] = static_cast<uint8_t>(value >> (8 * i));
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
    case 5: case 10: case 12: case kLong8: case kSLong8: case kIfd8:
        return 8;
    default:
        return 0;
    }
}

// The numbers swapped one by one in a value of type: a rational is two.
size_t SwapUnit(uint16_t type)
{
    return type == 5 || type == 10 ? 4 : TypeSize(type);
}

void SwapUnits(uint8_t* bytes, size_t size, size_t unit)
{
    if (unit < 2)
        return;
    for (size_t at = 0; at + unit <= size; at += unit)
        std::reverse(bytes + at, bytes + at + unit);
}

bool IsPointerTag(uint16_t tag)
{
    return tag == kSubIfds || tag == kExifIfd || tag == kGpsIfd || tag == kInteroperabilityIfd;
}

bool IsNumberType(uint16_t type)
{
    return type == kShort || type == kLong || type == kIfd || type == kLong8 || type == kIfd8;
}

struct Format {
    bool big = false;
    bool bigTiff = false;
    size_t countSize() const { return bigTiff ? 8 : 2; }
    size_t entrySize() const { return bigTiff ? 20 : 12; }
    size_t valueSize() const { return bigTiff ? 8 : 4; }
};

// An entry as the source stores it, its value in the source's byte order.
struct SourceEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint64_t count = 0;
    std::vector<uint8_t> value;

    std::vector<uint64_t> Numbers(bool big) const
    {
        const size_t size = TypeSize(type);
        std::vector<uint64_t> numbers(static_cast<size_t>(count));
        for (size_t i = 0; i < numbers.size(); ++i)
            numbers[i] = Get(value.data() + i * size, size, big);
        return numbers;
    }
};

// An entry as it is written, its value in the output's byte order.
struct OutputEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint64_t count = 0;
    std::vector<uint8_t> value;
};

OutputEntry NumberEntry(uint16_t tag, uint16_t type, const std::vector<uint64_t>& numbers, bool big)
{
    OutputEntry entry{tag, type, numbers.size(), {}};
    const size_t size = TypeSize(type);
    entry.value.resize(numbers.size() * size);
    for (size_t i = 0; i < numbers.size(); ++i)
        Put(entry.value.data() + i * size, size, numbers[i], big);
    return entry;
}

// What describes a page's stored data: left out of the entries one page
// lends another (RawTiffOutput::EntriesOf). Sorted.
constexpr uint16_t kStoredDataTags[] = {
    256, 257, 258, 259, 262, 263, 265, 266, 273, 277, 278, 279, 280, 281, 284, 288, 289, 290, 291, 292, 293,
    297, 301, 317, 320, 322, 323, 324, 325, 326, 327, 328, 332, 334, 336, 338, 339, 340, 341, 342, 347, 512,
    513, 514, 515, 517, 518, 519, 520, 521, 529, 530, 531, 532, 32995, 32996, 32997, 32998, 37439, 50674,
};

bool DescribesStoredData(uint16_t tag)
{
    return std::binary_search(std::begin(kStoredDataTags), std::end(kStoredDataTags), tag);
}

uint64_t Align2(uint64_t at)
{
    return at + at % 2;
}

}  // namespace

OtherByteOrder CopyIntoOtherByteOrder(uint16_t compression, uint16_t bitsPerSample)
{
    // libtiff swaps decoded samples of these sizes only, all others are
    // read the same in either byte order.
    if (bitsPerSample != 16 && bitsPerSample != 24 && bitsPerSample != 32 && bitsPerSample != 64 &&
        bitsPerSample != 128)
        return OtherByteOrder::AsStored;
    switch (compression) {
    case COMPRESSION_NONE:
        return OtherByteOrder::SwapSamples;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_JPEG:
    case COMPRESSION_JBIG:
    case COMPRESSION_SGILOG:
    case COMPRESSION_SGILOG24:
    case COMPRESSION_WEBP:
        return OtherByteOrder::AsStored;  // byte streams, decoded the same from any file
    default:
        return OtherByteOrder::NotPossible;
    }
}

// One page copied into a RawTiffOutput: its strips, its sub-directories,
// its directory, in that order at the output's end.
class RawDirectoryCopy {
public:
    RawDirectoryCopy(TiffSource& source, RawTiffOutput& out, std::string& error)
        : source_(source), out_(out), error_(error)
    {
        in_.big = TIFFIsBigEndian(source.tiff()) != 0;
        in_.bigTiff = TIFFIsBigTIFF(source.tiff()) != 0;
        to_.big = out.bigEndian_;
        to_.bigTiff = out.bigTiff_;
        sourceFd_ = TIFFFileno(source.tiff());
    }

    struct Written {
        uint64_t offset = 0;  // of the directory
        uint64_t linkAt = 0;  // of its next-directory field
    };

    RawPageResult Page(int index, uint32_t number, uint32_t total, Written& written)
    {
        index_ = index;
        number_ = number;
        total_ = total;
        return Directory(source_.directoryOffset(index), 0, written);
    }

    // The entries page index lends another page, their sub-directories
    // written.
    RawPageResult Lent(int index, std::vector<OutputEntry>& lent)
    {
        index_ = index;
        std::vector<SourceEntry> entries;
        RawPageResult result = ReadEntries(source_.directoryOffset(index), entries);
        for (size_t i = 0; result == RawPageResult::Written && i < entries.size(); ++i) {
            if (!DescribesStoredData(entries[i].tag))
                result = Entry(entries[i], 0, nullptr, {}, lent);
        }
        return result;
    }

    void Lend(std::vector<OutputEntry> entries) { lent_ = std::move(entries); }

private:
    std::string PageText() const { return " of page " + std::to_string(index_ + 1); }

    RawPageResult ReadEntries(uint64_t offset, std::vector<SourceEntry>& entries)
    {
        const uint64_t fileSize = source_.fileSize();
        uint8_t countBytes[8];
        if (offset < 8 || offset >= fileSize || fileSize - offset < in_.countSize())
            return RawPageResult::NotHandled;
        if (!source_.ReadAt(offset, countBytes, in_.countSize())) {
            error_ = "cannot read a directory" + PageText();
            return RawPageResult::SourceFailed;
        }
        const uint64_t count = Get(countBytes, in_.countSize(), in_.big);
        if (count == 0 || count > kMaxEntries || (fileSize - offset - in_.countSize()) / in_.entrySize() < count)
            return RawPageResult::NotHandled;
        std::vector<uint8_t> raw(static_cast<size_t>(count) * in_.entrySize());
        if (!source_.ReadAt(offset + in_.countSize(), raw.data(), raw.size())) {
            error_ = "cannot read a directory" + PageText();
            return RawPageResult::SourceFailed;
        }
        for (uint64_t i = 0; i < count; ++i) {
            const uint8_t* at = raw.data() + i * in_.entrySize();
            SourceEntry entry;
            entry.tag = static_cast<uint16_t>(Get(at, 2, in_.big));
            entry.type = static_cast<uint16_t>(Get(at + 2, 2, in_.big));
            entry.count = Get(at + 4, in_.bigTiff ? 8 : 4, in_.big);
            const uint8_t* field = at + (in_.bigTiff ? 12 : 8);
            const size_t size = TypeSize(entry.type);
            if (size == 0 || (!in_.bigTiff && size == 8 && entry.type >= kLong8))
                return RawPageResult::NotHandled;  // a type of no TIFF, or of BigTIFF in a classic file
            if (entry.count > fileSize / size + in_.valueSize())
                return RawPageResult::NotHandled;
            const uint64_t bytes = entry.count * size;
            entry.value.resize(static_cast<size_t>(bytes));
            if (bytes <= in_.valueSize()) {
                std::memcpy(entry.value.data(), field, static_cast<size_t>(bytes));
            } else {
                const uint64_t valueAt = Get(field, in_.valueSize(), in_.big);
                if (valueAt > fileSize || bytes > fileSize - valueAt)
                    return RawPageResult::NotHandled;  // libtiff's view of such an entry may differ
                if (!source_.ReadAt(valueAt, entry.value.data(), entry.value.size())) {
                    error_ = "cannot read tag " + std::to_string(entry.tag) + PageText();
                    return RawPageResult::SourceFailed;
                }
            }
            entries.push_back(std::move(entry));
        }
        return RawPageResult::Written;
    }

    // The value as the output writes it: swapped into its byte order, 8-byte
    // numbers made 4-byte ones in a classic file. False when one does not fit.
    bool Convert(const SourceEntry& entry, OutputEntry& converted) const
    {
        converted.tag = entry.tag;
        converted.type = entry.type;
        converted.count = entry.count;
        converted.value = entry.value;
        if (in_.big != to_.big)
            SwapUnits(converted.value.data(), converted.value.size(), SwapUnit(entry.type));
        if (to_.bigTiff || (entry.type != kLong8 && entry.type != kSLong8 && entry.type != kIfd8))
            return true;
        std::vector<uint8_t> narrow(converted.value.size() / 2);
        for (size_t i = 0; i < entry.count; ++i) {
            const uint64_t value = Get(converted.value.data() + 8 * i, 8, to_.big);
            if (entry.type == kSLong8) {
                const auto signedValue = static_cast<int64_t>(value);
                if (signedValue < INT32_MIN || signedValue > INT32_MAX)
                    return false;
            } else if (value > kClassicLimit) {
                return false;
            }
            Put(narrow.data() + 4 * i, 4, value, to_.big);
        }
        converted.type = entry.type == kLong8 ? kLong : entry.type == kSLong8 ? kSLong : kIfd;
        converted.value = std::move(narrow);
        return true;
    }

    // The type of a table of new offsets: 4 bytes where they fit.
    uint16_t OffsetType(uint16_t stored, const std::vector<uint64_t>& offsets) const
    {
        const bool fits = std::all_of(offsets.begin(), offsets.end(), [](uint64_t o) { return o <= kClassicLimit; });
        const bool ifd = stored == kIfd || stored == kIfd8;
        if (fits || !to_.bigTiff)
            return ifd ? kIfd : kLong;
        return ifd ? kIfd8 : kLong8;
    }

    bool WriteAt(uint64_t at, const uint8_t* bytes, size_t size)
    {
        while (size > 0) {
            const ssize_t written = ::pwrite(out_.fd_, bytes, size, static_cast<int64_t>(at));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                error_ = written < 0 ? std::strerror(errno) : "nothing written";
                return false;
            }
            bytes += written;
            size -= static_cast<size_t>(written);
            at += static_cast<uint64_t>(written);
        }
        return true;
    }

    // Copies size bytes at offset of the source to the output's end,
    // swapping units of unit bytes (0: none).
    RawPageResult CopyBytes(uint64_t offset, uint64_t size, size_t unit)
    {
        if (unit == 0 && sourceFd_ >= 0) {
            auto from = static_cast<off_t>(offset);
            auto to = static_cast<off_t>(out_.end_);
            uint64_t left = size;
            while (left > 0) {
                const ssize_t copied =
                    ::copy_file_range(sourceFd_, &from, out_.fd_, &to, static_cast<size_t>(std::min<uint64_t>(left, 1u << 30)), 0);
                if (copied < 0 && errno == EINTR)
                    continue;
                if (copied <= 0)
                    break;
                left -= static_cast<uint64_t>(copied);
            }
            if (left == 0) {
                out_.end_ += size;
                return RawPageResult::Written;
            }
            // What the kernel could not copy goes through a buffer.
            offset += size - left;
            out_.end_ += size - left;
            size = left;
        }
        std::vector<uint8_t> buffer;
        const size_t chunk = unit > 1 ? kCopyChunk / unit * unit : kCopyChunk;
        while (size > 0) {
            const size_t piece = static_cast<size_t>(std::min<uint64_t>(size, chunk));
            buffer.resize(piece);
            if (!source_.ReadAt(offset, buffer.data(), piece)) {
                error_ = "cannot read the stored data" + PageText();
                return RawPageResult::SourceFailed;
            }
            SwapUnits(buffer.data(), piece, unit);
            if (!WriteAt(out_.end_, buffer.data(), piece)) {
                error_ = "cannot write " + out_.path_ + ": " + error_;
                return RawPageResult::OutputFailed;
            }
            out_.end_ += piece;
            offset += piece;
            size -= piece;
        }
        return RawPageResult::Written;
    }

    // The strips or tiles: each stretch of bytes that strips cover copied
    // once, every strip given its place in the copy.
    RawPageResult CopyData(const std::vector<uint64_t>& offsets, const std::vector<uint64_t>& sizes, size_t unit,
                           std::vector<uint64_t>& moved)
    {
        std::vector<size_t> order(offsets.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return offsets[a] < offsets[b]; });
        struct Stretch {
            uint64_t start, end;
        };
        std::vector<Stretch> stretches;
        std::vector<size_t> stretchOf(offsets.size());
        for (size_t i : order) {
            if (stretches.empty() || offsets[i] >= stretches.back().end)
                stretches.push_back({offsets[i], offsets[i] + sizes[i]});
            else
                stretches.back().end = std::max(stretches.back().end, offsets[i] + sizes[i]);
            stretchOf[i] = stretches.size() - 1;
        }
        uint64_t bytes = 0;
        for (const Stretch& s : stretches)
            bytes += s.end - s.start;
        if (!to_.bigTiff && out_.end_ + bytes > kClassicLimit)
            return RawPageResult::NotHandled;  // beyond a classic file
        for (size_t i = 0; i < offsets.size(); ++i) {
            if (unit > 1 && (offsets[i] - stretches[stretchOf[i]].start) % unit != 0)
                return RawPageResult::NotHandled;  // strips that share bytes but not samples
        }
        std::vector<uint64_t> placed(stretches.size());
        for (size_t s = 0; s < stretches.size(); ++s) {
            placed[s] = out_.end_;
            const RawPageResult copied = CopyBytes(stretches[s].start, stretches[s].end - stretches[s].start, unit);
            if (copied != RawPageResult::Written)
                return copied;
        }
        moved.resize(offsets.size());
        for (size_t i = 0; i < offsets.size(); ++i)
            moved[i] = placed[stretchOf[i]] + (offsets[i] - stretches[stretchOf[i]].start);
        return RawPageResult::Written;
    }

    // The strip or tile tables of a directory, checked; for the page also
    // against what libtiff reads from them (it mends some damaged ones):
    // the bytes copied are the bytes a reader of the source decodes.
    RawPageResult CheckTables(const SourceEntry* offsets, const SourceEntry* counts, bool isPage,
                              std::vector<uint64_t>& where, std::vector<uint64_t>& sizes)
    {
        if (!IsNumberType(offsets->type) || !IsNumberType(counts->type) || offsets->count != counts->count ||
            offsets->count == 0)
            return RawPageResult::NotHandled;
        where = offsets->Numbers(in_.big);
        sizes = counts->Numbers(in_.big);
        const uint64_t fileSize = source_.fileSize();
        TIFF* tif = source_.tiff();
        if (isPage && (TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif)) != where.size())
            return RawPageResult::NotHandled;
        for (size_t i = 0; i < where.size(); ++i) {
            if (sizes[i] == 0 || where[i] > fileSize || sizes[i] > fileSize - where[i])
                return RawPageResult::NotHandled;
            const auto strip = static_cast<uint32_t>(i);
            if (isPage && (TIFFGetStrileOffset(tif, strip) != where[i] || TIFFGetStrileByteCount(tif, strip) != sizes[i]))
                return RawPageResult::NotHandled;
        }
        return RawPageResult::Written;
    }

    // Adds entry to out as the output writes it: the strip offsets as
    // moved, the directories a pointer points to copied.
    RawPageResult Entry(const SourceEntry& entry, int depth, const SourceEntry* offsets,
                        const std::vector<uint64_t>& moved, std::vector<OutputEntry>& out)
    {
        if (entry.tag == kFreeOffsets || entry.tag == kFreeByteCounts)
            return RawPageResult::Written;
        if (&entry == offsets) {
            out.push_back(NumberEntry(entry.tag, OffsetType(kLong, moved), moved, to_.big));
            return RawPageResult::Written;
        }
        if (IsPointerTag(entry.tag) &&
            (entry.type == kLong || entry.type == kIfd || entry.type == kLong8 || entry.type == kIfd8)) {
            std::vector<uint64_t> targets = entry.Numbers(in_.big);
            for (uint64_t& target : targets) {
                Written sub;
                if (target == 0)
                    continue;
                const RawPageResult result = Directory(target, depth + 1, sub);
                if (result != RawPageResult::Written)
                    return result;
                target = sub.offset;
            }
            out.push_back(NumberEntry(entry.tag, OffsetType(entry.type, targets), targets, to_.big));
            return RawPageResult::Written;
        }
        OutputEntry converted;
        if (!Convert(entry, converted))
            return RawPageResult::NotHandled;
        out.push_back(std::move(converted));
        return RawPageResult::Written;
    }

    RawPageResult Directory(uint64_t offset, int depth, Written& written)
    {
        const bool isPage = depth == 0;
        if (depth > kMaxDepth || !visited_.insert(offset).second)
            return RawPageResult::NotHandled;  // sub-directories in a loop
        std::vector<SourceEntry> entries;
        RawPageResult result = ReadEntries(offset, entries);
        if (result != RawPageResult::Written)
            return result;
        auto find = [&entries](uint16_t tag) -> const SourceEntry* {
            for (const SourceEntry& entry : entries) {
                if (entry.tag == tag)
                    return &entry;
            }
            return nullptr;
        };

        // The stored data.
        const SourceEntry* offsets = find(kStripOffsets);
        const SourceEntry* counts = find(kStripByteCounts);
        const SourceEntry* tileOffsets = find(kTileOffsets);
        const SourceEntry* tileCounts = find(kTileByteCounts);
        if ((offsets != nullptr) != (counts != nullptr) || (tileOffsets != nullptr) != (tileCounts != nullptr) ||
            (offsets != nullptr && tileOffsets != nullptr))
            return RawPageResult::NotHandled;
        if (offsets == nullptr) {
            offsets = tileOffsets;
            counts = tileCounts;
        }
        if (isPage && offsets == nullptr)
            return RawPageResult::NotHandled;
        std::vector<uint64_t> moved;
        if (offsets != nullptr) {
            std::vector<uint64_t> where, sizes;
            result = CheckTables(offsets, counts, isPage, where, sizes);
            if (result != RawPageResult::Written)
                return result;
            size_t unit = 0;
            if (in_.big != to_.big) {
                const SourceEntry* compression = find(kCompression);
                const SourceEntry* bits = find(kBitsPerSample);
                auto first = [this](const SourceEntry* entry, uint16_t otherwise) {
                    return entry != nullptr && entry->count > 0 && IsNumberType(entry->type)
                               ? static_cast<uint16_t>(entry->Numbers(in_.big)[0])
                               : otherwise;
                };
                const uint16_t bitsPerSample = first(bits, 1);
                switch (CopyIntoOtherByteOrder(first(compression, COMPRESSION_NONE), bitsPerSample)) {
                case OtherByteOrder::AsStored:
                    break;
                case OtherByteOrder::SwapSamples:
                    unit = bitsPerSample == 128 ? 8 : bitsPerSample / 8;  // as libtiff swaps them
                    break;
                case OtherByteOrder::NotPossible:
                    return RawPageResult::NotHandled;
                }
            }
            result = CopyData(where, sizes, unit, moved);
            if (result != RawPageResult::Written)
                return result;
        }

        // The entries, sub-directories copied first.
        std::vector<OutputEntry> out;
        for (const SourceEntry& entry : entries) {
            if (isPage && entry.tag == kPageNumber)
                continue;
            result = Entry(entry, depth, offsets, moved, out);
            if (result != RawPageResult::Written)
                return result;
        }
        if (isPage) {
            for (OutputEntry& entry : lent_) {
                if (std::none_of(out.begin(), out.end(), [&entry](const OutputEntry& e) { return e.tag == entry.tag; }))
                    out.push_back(std::move(entry));
            }
        }
        if (isPage && number_ <= 0xFFFF && total_ <= 0xFFFF)
            out.push_back(NumberEntry(kPageNumber, kShort, {number_, total_}, to_.big));
        std::stable_sort(out.begin(), out.end(), [](const OutputEntry& a, const OutputEntry& b) { return a.tag < b.tag; });

        // The directory, then the values that do not fit their entries,
        // each on a word boundary.
        const uint64_t at = Align2(out_.end_);
        const uint64_t linkAt = at + to_.countSize() + out.size() * to_.entrySize();
        uint64_t end = linkAt + to_.valueSize();
        std::vector<uint64_t> valueAt(out.size(), 0);
        for (size_t i = 0; i < out.size(); ++i) {
            if (out[i].value.size() <= to_.valueSize())
                continue;
            end = Align2(end);
            valueAt[i] = end;
            end += out[i].value.size();
        }
        if (!to_.bigTiff && end > kClassicLimit)
            return RawPageResult::NotHandled;
        const uint64_t start = out_.end_;
        std::vector<uint8_t> bytes(static_cast<size_t>(end - start), 0);
        auto place = [&bytes, start](uint64_t fileOffset) { return bytes.data() + (fileOffset - start); };
        Put(place(at), to_.countSize(), out.size(), to_.big);
        for (size_t i = 0; i < out.size(); ++i) {
            uint8_t* entry = place(at + to_.countSize() + i * to_.entrySize());
            Put(entry, 2, out[i].tag, to_.big);
            Put(entry + 2, 2, out[i].type, to_.big);
            Put(entry + 4, to_.bigTiff ? 8 : 4, out[i].count, to_.big);
            uint8_t* field = entry + (to_.bigTiff ? 12 : 8);
            if (valueAt[i] == 0) {
                std::memcpy(field, out[i].value.data(), out[i].value.size());
            } else {
                Put(field, to_.valueSize(), valueAt[i], to_.big);
                std::memcpy(place(valueAt[i]), out[i].value.data(), out[i].value.size());
            }
        }
        if (!WriteAt(out_.end_, bytes.data(), bytes.size())) {
            error_ = "cannot write " + out_.path_ + ": " + error_;
            return RawPageResult::OutputFailed;
        }
        out_.end_ = end;
        written.offset = at;
        written.linkAt = linkAt;
        return RawPageResult::Written;
    }

    TiffSource& source_;
    RawTiffOutput& out_;
    std::string& error_;
    Format in_;
    Format to_;
    int sourceFd_ = -1;
    int index_ = 0;
    uint32_t number_ = 0;
    uint32_t total_ = 0;
    std::set<uint64_t> visited_;
    std::vector<OutputEntry> lent_;
};

RawTiffOutput::~RawTiffOutput()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool RawTiffOutput::Create(const std::string& path, bool bigEndian, bool bigTiff, std::string& error)
{
    path_ = path;
    bigEndian_ = bigEndian;
    bigTiff_ = bigTiff;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    uint8_t header[16] = {};
    header[0] = header[1] = bigEndian ? 'M' : 'I';
    Put(header + 2, 2, bigTiff ? 43 : 42, bigEndian);
    if (bigTiff)
        Put(header + 4, 2, 8, bigEndian);
    end_ = bigTiff ? 16 : 8;
    lastLink_ = bigTiff ? 8 : 4;
    const size_t size = static_cast<size_t>(end_);
    if (::pwrite(fd_, header, size, 0) != static_cast<ssize_t>(size)) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

bool RawTiffOutput::OpenForAppend(const std::string& path, std::string& error)
{
    path_ = path;
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    // Sizes beyond 2 GiB where off_t is 32 bits too.
    std::error_code sizeError;
    const uintmax_t fileEnd = std::filesystem::file_size(FileSystemPath(path), sizeError);
    uint8_t header[16] = {};
    if (sizeError || fileEnd < 8 || ::pread(fd_, header, 16, 0) < 8 || header[0] != header[1] || (header[0] != 'I' && header[0] != 'M')) {
        error = path + " is not a TIFF file";
        return false;
    }
    bigEndian_ = header[0] == 'M';
    const uint64_t version = Get(header + 2, 2, bigEndian_);
    if (version != 42 && version != 43) {
        error = path + " is not a TIFF file";
        return false;
    }
    bigTiff_ = version == 43;
    const Format format{bigEndian_, bigTiff_};
    end_ = static_cast<uint64_t>(fileEnd);
    lastLink_ = bigTiff_ ? 8 : 4;
    std::set<uint64_t> seen;
    for (;;) {
        uint8_t field[8];
        if (::pread(fd_, field, format.valueSize(), static_cast<int64_t>(lastLink_)) != static_cast<ssize_t>(format.valueSize())) {
            error = "cannot read the directories of " + path;
            return false;
        }
        const uint64_t next = Get(field, format.valueSize(), bigEndian_);
        if (next == 0)
            return true;
        uint8_t count[8];
        if (next >= end_ || !seen.insert(next).second ||
            ::pread(fd_, count, format.countSize(), static_cast<int64_t>(next)) != static_cast<ssize_t>(format.countSize())) {
            error = "the directory chain of " + path + " is damaged";
            return false;
        }
        const uint64_t entries = Get(count, format.countSize(), bigEndian_);
        if (entries > kMaxEntries) {
            error = "the directory chain of " + path + " is damaged";
            return false;
        }
        lastLink_ = next + format.countSize() + entries * format.entrySize();
    }
}

RawPageResult RawTiffOutput::AppendPage(TiffSource& source, int index, uint32_t pageNumber, uint32_t pageTotal,
                                        std::string& error, const EntriesOf* more)
{
    if (fd_ < 0 || source.tiff() == nullptr || index < 0 || index >= source.pageCount())
        return RawPageResult::NotHandled;
    if (more != nullptr && (more->source.tiff() == nullptr || more->index < 0 || more->index >= more->source.pageCount()))
        return RawPageResult::NotHandled;
    const uint64_t before = end_;
    RawDirectoryCopy copy(source, *this, error);
    RawPageResult result = RawPageResult::Written;
    if (more != nullptr) {
        RawDirectoryCopy lender(more->source, *this, error);
        std::vector<OutputEntry> lent;
        result = lender.Lent(more->index, lent);
        copy.Lend(std::move(lent));
    }
    // libtiff must read the page's directory.
    if (result == RawPageResult::Written && !source.SelectPage(index))
        result = RawPageResult::NotHandled;
    RawDirectoryCopy::Written written;
    if (result == RawPageResult::Written)
        result = copy.Page(index, pageNumber, pageTotal, written);
    if (result == RawPageResult::Written) {
        uint8_t link[8];
        const size_t size = bigTiff_ ? 8 : 4;
        Put(link, size, written.offset, bigEndian_);
        if (::pwrite(fd_, link, size, static_cast<int64_t>(lastLink_)) == static_cast<ssize_t>(size)) {
            lastLink_ = written.linkAt;
            return result;
        }
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        result = RawPageResult::OutputFailed;
    }
    end_ = before;
    std::error_code cutError;
    std::filesystem::resize_file(FileSystemPath(path_), before, cutError);
    if (cutError && result != RawPageResult::OutputFailed) {
        error = "cannot cut " + path_ + " back: " + cutError.message();
        result = RawPageResult::OutputFailed;
    }
    return result;
}

bool RawTiffOutput::Close(std::string& error)
{
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

RawPageResult WriteRawPageFile(TiffSource& source, int index, const std::string& path, std::string& error)
{
    TIFF* tif = source.tiff();
    if (tif == nullptr || index < 0 || index >= source.pageCount() || !source.SelectPage(index))
        return RawPageResult::NotHandled;
    // Leaves nothing at path on failure.
    struct Removal {
        const std::string& path;
        bool keep = false;
        bool made = false;
        ~Removal()
        {
            if (made && !keep)
                ::unlink(path.c_str());
        }
    } removal{path};
    RawTiffOutput out;
    const bool bigTiff = TIFFIsBigTIFF(tif) && source.fileSize() > kClassicLimit - (kClassicLimit >> 4);
    if (!out.Create(path, TIFFIsBigEndian(tif) != 0, bigTiff, error))
        return RawPageResult::OutputFailed;
    removal.made = true;
    const RawPageResult result = out.AppendPage(source, index, 0, 1, error);
    if (result != RawPageResult::Written)
        return result;
    if (!out.Close(error))
        return RawPageResult::OutputFailed;
    removal.keep = true;
    return result;
}

}  // namespace pw
