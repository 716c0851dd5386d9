// Decoded pages compared: the same pixels in other storage are the same,
// every change a tool makes to what the pixels mean is found and placed.

#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pages/PageComparison.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"

namespace pw {
namespace {

using namespace pw::test;
using Result = PageComparison::Result;

struct Shape {
    uint32_t width = 70, height = 50;
    uint16_t bits = 1, samples = 1;
    int photometric = PHOTOMETRIC_MINISWHITE;  // -1: no tag
    uint16_t compression = COMPRESSION_NONE;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint32_t rowsPerStrip = 16;
    uint32_t tile = 0;
    std::function<void(TIFF*)> extra;
};

// Packed rows of the shape (all planes one after the other for a planar
// page), with the byte at flip (if any) inverted.
std::vector<uint8_t> Pixels(const Shape& s, size_t flip = SIZE_MAX)
{
    const size_t planes = s.planar == PLANARCONFIG_SEPARATE ? s.samples : 1;
    const size_t row = (size_t{s.width} * s.bits * (s.samples / planes) + 7) / 8;
    std::vector<uint8_t> pixels(row * s.height * planes);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>((i * 37 + i / row * 11) ^ (i >> 5));
    if (flip < pixels.size())
        pixels[flip] ^= 0xFF;
    return pixels;
}

Shape Of(uint32_t width, uint32_t height, uint16_t bits, uint16_t samples, int photometric,
         uint16_t compression = COMPRESSION_NONE, uint16_t planar = PLANARCONFIG_CONTIG)
{
    Shape s;
    s.width = width;
    s.height = height;
    s.bits = bits;
    s.samples = samples;
    s.photometric = photometric;
    s.compression = compression;
    s.planar = planar;
    return s;
}

bool WritePages(const std::string& path, const std::vector<std::pair<Shape, std::vector<uint8_t>>>& pages,
                const char* mode = "w")
{
    TIFF* tif = TIFFOpen(path.c_str(), mode);
    if (tif == nullptr)
        return false;
    bool ok = true;
    for (const auto& [s, pixels] : pages) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, s.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, s.height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, s.bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, s.samples);
        if (s.photometric >= 0)
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, s.photometric);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, s.compression);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, s.planar);
        if (s.tile != 0) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, s.tile);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, s.tile);
        } else {
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, s.rowsPerStrip);
        }
        if (s.extra)
            s.extra(tif);
        const size_t planes = s.planar == PLANARCONFIG_SEPARATE ? s.samples : 1;
        const size_t row = pixels.size() / planes / s.height;
        if (s.tile == 0) {
            for (size_t p = 0; p < planes; ++p)
                for (uint32_t y = 0; y < s.height; ++y)
                    ok = ok && TIFFWriteScanline(tif, const_cast<uint8_t*>(&pixels[(p * s.height + y) * row]), y,
                                                 static_cast<uint16_t>(p)) == 1;
        } else {
            std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize(tif)));
            const size_t tileRow = static_cast<size_t>(TIFFTileRowSize(tif));
            for (size_t p = 0; p < planes; ++p)
                for (uint32_t ty = 0; ty < s.height; ty += s.tile)
                    for (uint32_t tx = 0; tx < s.width; tx += s.tile) {
                        std::fill(tile.begin(), tile.end(), 0);
                        const size_t at = tx * row * 8 / s.width / 8;  // byte-aligned for these shapes
                        for (uint32_t r = 0; r < s.tile && ty + r < s.height; ++r)
                            std::copy_n(&pixels[(p * s.height + ty + r) * row + at], std::min(tileRow, row - at),
                                        &tile[r * tileRow]);
                        ok = ok && TIFFWriteTile(tif, tile.data(), tx, ty, 0, static_cast<uint16_t>(p)) > 0;
                    }
        }
        ok = ok && TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

bool WritePage(const std::string& path, const Shape& s, size_t flip = SIZE_MAX)
{
    return WritePages(path, {{s, Pixels(s, flip)}});
}

class PageComparisonTest : public ::testing::Test {
protected:
    // The comparison with and without the source taken ahead agree.
    PageComparison Compare(const std::string& source, const std::string& output)
    {
        const PageComparison plain = CompareFiles(source, output);
        const SourcePrint print(source, 0, 8);
        const PageComparison ahead = CompareFiles(source, output, &print);
        EXPECT_EQ(plain.result, ahead.result) << plain.what << " / " << ahead.what;
        EXPECT_EQ(plain.page, ahead.page);
        return plain;
    }
    TempFolder folder;
    const std::string source = folder / "source.tif";
    const std::string output = folder / "output.tif";
};

TEST_F(PageComparisonTest, TheSamePixelsStoredOtherwiseAreTheSame)
{
    Shape g4;
    g4.compression = COMPRESSION_CCITTFAX4;
    g4.rowsPerStrip = 50;
    Shape lzw = g4;
    lzw.compression = COMPRESSION_LZW;
    lzw.rowsPerStrip = 7;
    Shape tiled = g4;
    tiled.compression = COMPRESSION_ADOBE_DEFLATE;
    tiled.tile = 16;
    tiled.width = 64;
    g4.width = lzw.width = 64;
    ASSERT_TRUE(WritePage(source, g4));
    for (const Shape& copy : {lzw, tiled}) {
        ASSERT_TRUE(WritePage(output, copy));
        EXPECT_EQ(Compare(source, output).result, Result::Same) << Compare(source, output).what;
    }

    // 16-bit grey in the other byte order, and RGB planar against contiguous
    // (compared as rendered).
    Shape grey = Of(40, 30, 16, 1, PHOTOMETRIC_MINISBLACK);
    ASSERT_TRUE(WritePage(source, grey));
    grey.compression = COMPRESSION_ADOBE_DEFLATE;
    ASSERT_TRUE(WritePages(output, {{grey, Pixels(grey)}}, "wb"));
    EXPECT_EQ(Compare(source, output).result, Result::Same) << Compare(source, output).what;

    Shape planar = Of(40, 30, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_NONE, PLANARCONFIG_SEPARATE);
    std::vector<uint8_t> planes = Pixels(planar), contiguous(planes.size());
    for (size_t i = 0; i < 40 * 30; ++i)
        for (size_t c = 0; c < 3; ++c)
            contiguous[i * 3 + c] = planes[c * 40 * 30 + i];
    Shape contig = planar;
    contig.planar = PLANARCONFIG_CONTIG;
    ASSERT_TRUE(WritePages(source, {{planar, planes}}));
    ASSERT_TRUE(WritePages(output, {{contig, contiguous}}));
    EXPECT_EQ(Compare(source, output).result, Result::Same) << Compare(source, output).what;
}

TEST_F(PageComparisonTest, AChangeIsFoundOnItsPageAndRow)
{
    Shape page;
    page.width = 64;
    const size_t rowBytes = 8;
    // Page 2, row 21, bytes 3: pixels 25 to 32.
    ASSERT_TRUE(WritePages(source, {{page, Pixels(page)}, {page, Pixels(page)}}));
    ASSERT_TRUE(WritePages(output, {{page, Pixels(page)}, {page, Pixels(page, 20 * rowBytes + 3)}}));
    PageComparison found = Compare(source, output);
    EXPECT_EQ(found.result, Result::Differs);
    EXPECT_EQ(found.page, 2);
    EXPECT_EQ(found.what, "its pixels differ from the source's from row 21, column 25 on");
    const SourcePrint print(source, 0, 2);
    EXPECT_EQ(CompareFiles(source, output, &print).what, "its pixels differ from the source's from row 21 on");

    // Pages missing or added, another size, a dropped profile.
    ASSERT_TRUE(WritePage(output, page));
    found = Compare(source, output);
    EXPECT_EQ(found.page, 2);
    EXPECT_EQ(found.what, "it is missing from the output");
    EXPECT_EQ(ComparePages(source, 1, output, 0, 1).result, Result::Same);
    ASSERT_TRUE(WritePages(output, {{page, Pixels(page)}, {page, Pixels(page)}, {page, Pixels(page)}}));
    EXPECT_EQ(Compare(source, output).what, "the output has 3 pages instead of 2");

    Shape wider = page;
    wider.width = 72;
    ASSERT_TRUE(WritePage(output, wider));
    EXPECT_EQ(ComparePages(source, 0, output, 0, 1).what, "it is 72 x 50 pixels instead of 64 x 50");

    Shape profiled = page;
    profiled.extra = [](TIFF* tif) {
        static const char profile[128] = "profile";
        TIFFSetField(tif, TIFFTAG_ICCPROFILE, 128u, profile);
    };
    ASSERT_TRUE(WritePage(source, profiled));
    ASSERT_TRUE(WritePage(output, page));
    EXPECT_EQ(Compare(source, output).what, "its colour profile was dropped");
}

// Without a Photometric tag libtiff reads a CCITT page as min-is-white and
// an LZW page as min-is-black: the same samples are the negative.
TEST_F(PageComparisonTest, AMissingPhotometricMeansWhatLibtiffMakesOfIt)
{
    Shape g4;
    g4.photometric = -1;
    g4.compression = COMPRESSION_CCITTFAX4;
    Shape lzw = g4;
    lzw.compression = COMPRESSION_LZW;
    ASSERT_TRUE(WritePage(source, g4));
    ASSERT_TRUE(WritePage(output, lzw));
    EXPECT_EQ(Compare(source, output).what, "its pixels differ from the source's from row 1, column 1 on");
    Shape g3 = g4;
    g3.compression = COMPRESSION_CCITTFAX3;
    ASSERT_TRUE(WritePage(output, g3));
    EXPECT_EQ(Compare(source, output).result, Result::Same);
    lzw.photometric = PHOTOMETRIC_MINISWHITE;
    ASSERT_TRUE(WritePage(output, lzw));
    EXPECT_EQ(Compare(source, output).result, Result::Same);
}

// A page that cannot be decoded counts as copied when its stored data is.
TEST_F(PageComparisonTest, AnUndecodablePageIsRightOnlyAsTheSameBytes)
{
    Shape lzw = Of(64, 32, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW);
    lzw.rowsPerStrip = 32;
    ASSERT_TRUE(WritePage(source, lzw));
    std::string bytes = ReadBytes(source);
    for (size_t i = 8; i < 40; ++i)
        bytes[i] = static_cast<char>(0xFF ^ i);
    ASSERT_TRUE(WriteBytes(source, bytes));
    ASSERT_TRUE(WriteBytes(output, bytes));
    EXPECT_EQ(Compare(source, output).result, Result::Same);
    ASSERT_TRUE(WritePage(output, lzw));
    EXPECT_EQ(Compare(source, output).result, Result::SourceUnreadable);
}

}  // namespace
}  // namespace pw
