#include "pages/PageRasterCodecs.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pw {

namespace {

uint64_t Times(uint64_t a, uint64_t b) { return a != 0 && b > UINT64_MAX / a ? UINT64_MAX : a * b; }
uint64_t Plus(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

uint32_t Le32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }
uint32_t Le24(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16; }
uint32_t Le16(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }

// Reads up to n bytes at `at`, fewer where the stored bytes end.
size_t ReadSome(const StoredBytes& read, uint64_t size, uint64_t at, uint8_t* out, size_t n) {
    if (at >= size)
        return 0;
    n = static_cast<size_t>(std::min<uint64_t>(n, size - at));
    return read(at, out, n) ? n : 0;
}

// --- liblzma (.xz streams, one per strip or tile) ---

// The LZMA decoder's state beside its dictionary.
constexpr uint64_t kLzmaState = 64 << 10;
// The largest dictionary a stream can name (LZMA2's property 40).
constexpr uint64_t kLzmaWorst = uint64_t{UINT32_MAX} + kLzmaState;
// Index records followed, at most, to find the blocks after the first.
constexpr uint64_t kMaxLzmaBlocks = 4096;
constexpr uint64_t kMaxLzmaIndexBytes = 1 << 20;
constexpr size_t kMaxBlockHeader = 1024;

bool Varint(const uint8_t* p, size_t n, size_t& pos, uint64_t& value) {
    value = 0;
    for (int i = 0; i < 9; ++i) {
        if (pos >= n)
            return false;
        const uint8_t b = p[pos++];
        value |= uint64_t{b & 0x7Fu} << (7 * i);
        if ((b & 0x80) == 0)
            return true;
    }
    return false;
}

// What decoding one block takes, from its header (h, n bytes read of it).
uint64_t LzmaBlockBytes(const uint8_t* h, size_t n) {
    if (n < 1)
        return kLzmaWorst;
    if (h[0] == 0)
        return 0;  // the index: no further block
    const size_t headerSize = (size_t{h[0]} + 1) * 4;
    if (n < headerSize)
        return kLzmaWorst;
    const uint8_t flags = h[1];
    if ((flags & 0x3C) != 0)
        return 0;  // reserved flags: liblzma refuses the block
    size_t pos = 2;
    uint64_t ignored = 0;
    if ((flags & 0x40) && !Varint(h, headerSize - 4, pos, ignored))
        return kLzmaWorst;
    if ((flags & 0x80) && !Varint(h, headerSize - 4, pos, ignored))
        return kLzmaWorst;
    uint64_t total = 0;
    for (int f = 0; f <= (flags & 3); ++f) {
        uint64_t id = 0, propsSize = 0;
        if (!Varint(h, headerSize - 4, pos, id) || !Varint(h, headerSize - 4, pos, propsSize) ||
            propsSize > headerSize - 4 - pos)
            return kLzmaWorst;
        const uint8_t* props = h + pos;
        pos += static_cast<size_t>(propsSize);
        uint64_t dictionary = 0;
        if (id == 0x21) {  // LZMA2
            if (propsSize != 1)
                return kLzmaWorst;
            if (props[0] > 40)
                return 0;  // refused
            dictionary = props[0] == 40 ? UINT32_MAX : uint64_t{2u | (props[0] & 1u)} << (props[0] / 2 + 11);
        } else if (id == 0x4000000000000001ull) {  // LZMA1
            if (propsSize != 5)
                return kLzmaWorst;
            dictionary = Le32(props + 1);
        }
        // Dictionaries are at least 4 KiB, in steps of 16 bytes; the other
        // filters (delta, branch converters) keep a few hundred bytes.
        if (dictionary != 0)
            dictionary = (std::max<uint64_t>(dictionary, 4096) + 15) & ~uint64_t{15};
        total = Plus(total, Plus(dictionary, kLzmaState));
    }
    return total;
}

// --- zstd (frames, one after another) ---

// Frames whose window is larger are refused by the decoder's default limit.
constexpr uint64_t kZstdMaxWindow = uint64_t{1} << 27;
// The decoder's context, its input buffer and the blocks it keeps beside
// the window.
constexpr uint64_t kZstdState = 1 << 20;
constexpr uint64_t kZstdWorst = kZstdMaxWindow + kZstdState;
constexpr int kMaxZstdSteps = 1024;  // frames and blocks followed, at most

// --- libwebp (one picture per strip or tile) ---

// Lossless pictures and alpha planes are decoded into 32-bit pixels of
// the whole picture, beside its plane of alpha; both keep rows of caches.
uint64_t WebpPictureBytes(uint64_t width, uint64_t height) {
    return Plus(Plus(Times(Times(width, height), 5), Times(width, 256)), 1 << 20);
}

}  // namespace

uint64_t LzmaDecoderBytes(uint64_t size, const StoredBytes& read) {
    uint8_t head[12 + kMaxBlockHeader] = {};
    const size_t got = ReadSome(read, size, 0, head, sizeof head);
    static const uint8_t kMagic[6] = {0xFD, '7', 'z', 'X', 'Z', 0};
    if (got < 12 || std::memcmp(head, kMagic, 6) != 0)
        return 0;  // not a stream liblzma decodes
    uint64_t most = LzmaBlockBytes(head + 12, got - 12);
    if (head[12] == 0 || most >= kLzmaWorst)
        return most;
    // Blocks after the first are found through the index before the
    // stream's footer, which ends the stored bytes.
    uint8_t footer[12];
    if (size < 12 + 12 + 8 || ReadSome(read, size, size - 12, footer, 12) != 12 || footer[10] != 'Y' ||
        footer[11] != 'Z')
        return kLzmaWorst;
    const uint64_t indexSize = (uint64_t{Le32(footer + 4)} + 1) * 4;
    if (indexSize > kMaxLzmaIndexBytes || indexSize > size - 24)
        return kLzmaWorst;
    std::vector<uint8_t> index(static_cast<size_t>(indexSize));
    if (ReadSome(read, size, size - 12 - indexSize, index.data(), index.size()) != index.size() || index[0] != 0)
        return kLzmaWorst;
    size_t pos = 1;
    uint64_t records = 0;
    if (!Varint(index.data(), index.size(), pos, records) || records > kMaxLzmaBlocks)
        return kLzmaWorst;
    uint64_t at = 12;
    uint8_t header[kMaxBlockHeader] = {};
    for (uint64_t r = 0; r < records; ++r) {
        uint64_t unpadded = 0, uncompressed = 0;
        if (!Varint(index.data(), index.size(), pos, unpadded) || !Varint(index.data(), index.size(), pos, uncompressed))
            return kLzmaWorst;
        if (r > 0)
            most = std::max(most, LzmaBlockBytes(header, ReadSome(read, size, at, header, sizeof header)));
        at = Plus(at, (unpadded + 3) & ~uint64_t{3});
    }
    return most;
}

uint64_t ZstdDecoderBytes(uint64_t size, const StoredBytes& read) {
    uint64_t pos = 0, most = 0;
    int steps = 0;
    uint8_t b[18] = {};
    for (size_t got = 0; pos < size && (got = ReadSome(read, size, pos, b, 8)) >= 4;) {
        if (++steps > kMaxZstdSteps)
            return kZstdWorst;
        const uint32_t magic = Le32(b);
        if ((magic & 0xFFFFFFF0u) == 0x184D2A50u) {  // skippable frame
            if (got < 8)
                break;
            pos = Plus(pos, Plus(8, Le32(b + 4)));
            continue;
        }
        if (magic >= 0xFD2FB522u && magic <= 0xFD2FB527u)
            return kZstdWorst;  // an older format, decoded by older rules
        if (magic != 0xFD2FB528u)
            break;  // the decoder stops here
        const size_t headerRead = ReadSome(read, size, pos + 4, b, 14);
        if (headerRead < 1)
            break;
        const uint8_t descriptor = b[0];
        if (descriptor & 0x08)
            break;  // reserved bit: refused
        const bool singleSegment = (descriptor & 0x20) != 0;
        const size_t dictionaryIdSize = size_t{0x04020100u >> (8 * (descriptor & 3)) & 0xFF};
        const int contentSizeFlag = descriptor >> 6;
        const size_t contentSizeSize = contentSizeFlag == 0 ? (singleSegment ? 1 : 0) : size_t{1} << contentSizeFlag;
        const size_t headerSize = 1 + (singleSegment ? 0 : 1) + dictionaryIdSize + contentSizeSize;
        if (headerRead < headerSize)
            break;
        uint64_t window = 0;
        if (!singleSegment) {
            const uint64_t base = uint64_t{1} << (10 + (b[1] >> 3));
            window = base + base / 8 * (b[1] & 7);
        } else {
            const uint8_t* p = b + 1 + dictionaryIdSize;
            for (size_t i = 0; i < contentSizeSize; ++i)
                window |= uint64_t{p[i]} << (8 * i);
            if (contentSizeSize == 2)
                window += 256;
        }
        if (window > kZstdMaxWindow)
            break;  // refused before its buffers are made
        most = std::max(most, Plus(std::max<uint64_t>(window, 1 << 10), kZstdState));
        // Its blocks, to the frame's last.
        pos = Plus(pos, 4 + headerSize);
        for (;;) {
            if (++steps > kMaxZstdSteps)
                return kZstdWorst;
            if (ReadSome(read, size, pos, b, 3) != 3)
                return most;
            const uint32_t block = Le24(b);
            const uint32_t type = (block >> 1) & 3;
            if (type == 3)
                return most;  // reserved: refused
            pos = Plus(pos, 3 + (type == 1 ? 1 : block >> 3));
            if (block & 1)
                break;
        }
        if (descriptor & 0x04)
            pos = Plus(pos, 4);  // checksum
    }
    return most;
}

uint64_t WebpDecoderBytes(uint64_t size, const StoredBytes& read) {
    uint8_t b[40] = {};
    const size_t got = ReadSome(read, size, 0, b, sizeof b);
    size_t p = 0;
    if (got >= 12 && std::memcmp(b, "RIFF", 4) == 0 && std::memcmp(b + 8, "WEBP", 4) == 0)
        p = 12;
    // A chunk's payload, or the bare bitstream libwebp also takes.
    size_t q = p;
    if (p + 8 <= got) {
        if (std::memcmp(b + p, "VP8X", 4) == 0) {
            if (p + 8 + 10 > got)
                return 0;
            return WebpPictureBytes(uint64_t{Le24(b + p + 12)} + 1, uint64_t{Le24(b + p + 15)} + 1);
        }
        if (std::memcmp(b + p, "VP8L", 4) == 0 || std::memcmp(b + p, "VP8 ", 4) == 0)
            q = p + 8;
    }
    if (q + 5 <= got && b[q] == 0x2F) {  // lossless
        const uint32_t bits = Le32(b + q + 1);
        return WebpPictureBytes((bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1);
    }
    if (q + 10 <= got && b[q + 3] == 0x9D && b[q + 4] == 0x01 && b[q + 5] == 0x2A)  // lossy
        return WebpPictureBytes(Le16(b + q + 6) & 0x3FFF, Le16(b + q + 8) & 0x3FFF);
    return 0;  // libwebp finds no picture
}

}  // namespace pw
