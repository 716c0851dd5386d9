// What the codec libraries allocate, as their streams' headers name it:
// every block of an .xz stream and every frame of a zstd stream counts,
// not only the first.

#include "pages/PageRasterCodecs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace pw {
namespace {

StoredBytes Over(const std::string& bytes) {
    return [&bytes](uint64_t at, uint8_t* out, size_t n) {
        if (at > bytes.size() || n > bytes.size() - at)
            return false;
        std::memcpy(out, bytes.data() + at, n);
        return true;
    };
}

// An .xz block of 32 bytes: a 12-byte header naming LZMA2 with the given
// dictionary property, and 20 bytes of data.
std::string XzBlock(uint8_t dictionary) {
    std::string block("\x02\x00\x21\x01", 4);
    block += static_cast<char>(dictionary);
    block.resize(32, '\0');
    return block;
}

std::string XzStream(const std::string& blocks, int count, bool footer) {
    std::string xz("\xFD" "7zXZ\0\0\x01\0\0\0\0", 12);
    xz += blocks;
    std::string index("\x00", 1);
    index += static_cast<char>(count);
    for (int i = 0; i < count; ++i)
        index += "\x20\x64";  // 32 bytes stored, 100 decoded
    index.resize((index.size() + 3) / 4 * 4 + 4, '\0');
    xz += index;
    std::string end("\0\0\0\0", 4);
    end += static_cast<char>(index.size() / 4 - 1);
    end += std::string("\0\0\0\0\x01", 5) + "YZ";
    return footer ? xz + end : xz + std::string(12, '\x55');
}

TEST(CodecMemory, EveryBlockOfAnXzStreamCounts) {
    const std::string one = XzStream(XzBlock(22), 1, true);  // 8 MiB
    EXPECT_GE(LzmaDecoderBytes(one.size(), Over(one)), uint64_t{8} << 20);
    EXPECT_LT(LzmaDecoderBytes(one.size(), Over(one)), uint64_t{9} << 20);
    // A second block naming 1 GiB, found through the index.
    const std::string two = XzStream(XzBlock(22) + XzBlock(36), 2, true);
    EXPECT_GE(LzmaDecoderBytes(two.size(), Over(two)), uint64_t{1} << 30);
    // Without an index to find further blocks by, the most a stream can name.
    const std::string lost = XzStream(XzBlock(22) + XzBlock(36), 2, false);
    EXPECT_GE(LzmaDecoderBytes(lost.size(), Over(lost)), uint64_t{4} << 30);
    // What liblzma refuses before it allocates costs nothing.
    const std::string other = "not an xz stream at all";
    EXPECT_EQ(LzmaDecoderBytes(other.size(), Over(other)), 0u);
    const std::string refused = XzStream(XzBlock(41), 1, true);
    EXPECT_EQ(LzmaDecoderBytes(refused.size(), Over(refused)), 0u);
}

// A zstd frame with a window descriptor and one last raw block of n bytes.
std::string ZstdFrame(uint8_t window, uint8_t n) {
    std::string frame("\x28\xB5\x2F\xFD\x00", 5);
    frame += static_cast<char>(window);
    frame += static_cast<char>(n << 3 | 1);
    frame += std::string("\0\0", 2) + std::string(n, 'x');
    return frame;
}

TEST(CodecMemory, EveryFrameOfAZstdStreamCounts) {
    const std::string skip = std::string("\x50\x2A\x4D\x18\x03\x00\x00\x00", 8) + "abc";
    const std::string small = skip + ZstdFrame(0, 5);  // 1 KiB
    EXPECT_LT(ZstdDecoderBytes(small.size(), Over(small)), uint64_t{2} << 20);
    const std::string two = small + ZstdFrame(16 << 3, 0);  // then 64 MiB
    EXPECT_GE(ZstdDecoderBytes(two.size(), Over(two)), uint64_t{64} << 20);
    // A window over the decoder's limit is refused before anything is made.
    const std::string refused = ZstdFrame(18 << 3, 1);
    EXPECT_EQ(ZstdDecoderBytes(refused.size(), Over(refused)), 0u);
}

TEST(CodecMemory, AWebpPictureCountsAtTheSizeItNames) {
    std::string extended("RIFF\0\0\0\0WEBPVP8X\x0A\0\0\0\0\0\0\0", 24);
    extended += std::string("\xFF\x3F\x00\xFF\x3F\x00", 6);  // 16384 x 16384
    EXPECT_GE(WebpDecoderBytes(extended.size(), Over(extended)), uint64_t{1} << 30);
    // A lossless picture of 100 x 50: width-1 and height-1 in 14 bits each.
    const uint32_t bits = 99 | 49u << 14;
    std::string lossless("RIFF\0\0\0\0WEBPVP8L\0\0\0\0\x2F", 21);
    for (int i = 0; i < 4; ++i)
        lossless += static_cast<char>(bits >> (8 * i));
    const uint64_t bytes = WebpDecoderBytes(lossless.size(), Over(lossless));
    EXPECT_GE(bytes, uint64_t{100} * 50 * 4);
    EXPECT_LT(bytes, uint64_t{2} << 20);
}

}  // namespace
}  // namespace pw
