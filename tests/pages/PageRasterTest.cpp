// The viewer's page decoding against libtiff's own RGBA reading of the same
// page, at full size and reduced, for every kind of page it draws.

#include "pages/PageRaster.h"
#include "tests/fixtures/HostileTiffs.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <functional>

namespace pw {
namespace {

using test::TestPage;
using test::TiffPatcher;

struct RasterCase {
    std::string name;
    TestPage page;
};

void PrintTo(const RasterCase& c, std::ostream* os) { *os << c.name; }

TestPage Make(uint16_t bits, uint16_t samples, uint16_t photometric, uint16_t compression,
              std::function<void(TIFF*)> extra = nullptr) {
    TestPage page;
    page.width = 45;  // not a multiple of the reductions below: the edge boxes are partial
    page.height = 32;
    page.bitsPerSample = bits;
    page.samplesPerPixel = samples;
    page.photometric = photometric;
    page.compression = compression;
    page.rowsPerStrip = 16;
    page.extraTags = std::move(extra);
    return page;
}

TestPage Tiled(TestPage page) {
    page.tileSize = 16;
    return page;
}

void Palette(TIFF* tif, int bits) {
    std::vector<uint16_t> red(size_t{1} << bits), green(red.size()), blue(red.size());
    for (size_t i = 0; i < red.size(); ++i) {
        red[i] = static_cast<uint16_t>(i * 257);
        green[i] = static_cast<uint16_t>(65535 - i * 100);
        blue[i] = static_cast<uint16_t>(i * 7919 % 65536);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
}

std::vector<RasterCase> Cases() {
    return {
        {"BilevelNone", Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE)},
        {"BilevelBlackIsZero", Make(1, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS)},
        {"G3", Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX3)},
        {"G4", Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4)},
        {"G4Tiles", Tiled(Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4))},
        {"Grey4", Make(4, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE)},
        {"Grey8Lzw", Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW)},
        {"Grey16ZipPredictor", Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE,
                                    [](TIFF* t) { TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL); })},
        {"Rgb8Lzw", Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW)},
        {"Rgb8PackBitsTiles", Tiled(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_PACKBITS))},
        {"Rgb16", Make(16, 3, PHOTOMETRIC_RGB, COMPRESSION_NONE)},
        {"RgbaZip", Make(8, 4, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE, [](TIFF* t) {
             const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
             TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
         })},
        {"Palette8", Make(8, 1, PHOTOMETRIC_PALETTE, COMPRESSION_LZW, [](TIFF* t) { Palette(t, 8); })},
        {"Palette4Tiles", Tiled(Make(4, 1, PHOTOMETRIC_PALETTE, COMPRESSION_NONE, [](TIFF* t) { Palette(t, 4); }))},
        {"JpegYCbCr", Make(8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
             TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
         })},
        {"JpegGreyTiles", Tiled(Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_JPEG))},
        // Libraries that size their own buffers by what the stream names.
        {"Grey8Lzma", Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZMA)},
        {"Rgb8ZstdTiles", Tiled(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_ZSTD))},
        {"Rgb8WebpLossless", Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_WEBP, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_WEBP_LOSSLESS, 1);
         })},
        {"Rgba8WebpTiles", Tiled(Make(8, 4, PHOTOMETRIC_RGB, COMPRESSION_WEBP, [](TIFF* t) {
             const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
             TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
         }))},
        // Not converted directly: these go through libtiff's RGBA reading.
        {"PlanarSeparate", [] {
             TestPage p = Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW);
             p.planar = PLANARCONFIG_SEPARATE;
             return p;
         }()},
        {"Cmyk", Make(8, 4, PHOTOMETRIC_SEPARATED, COMPRESSION_NONE)},
    };
}

// The page as libtiff's RGBA reading sees it, averaged over boxes of f x f.
std::vector<uint8_t> ReferenceRgb(const std::vector<uint32_t>& rgba, uint32_t w, uint32_t h, int f) {
    const uint32_t ow = (w + f - 1) / f, oh = (h + f - 1) / f;
    std::vector<uint8_t> out(size_t{ow} * oh * 3);
    for (uint32_t oy = 0; oy < oh; ++oy)
        for (uint32_t ox = 0; ox < ow; ++ox) {
            uint32_t sum[3] = {0, 0, 0}, n = 0;
            for (uint32_t y = oy * f; y < std::min(h, (oy + 1) * f); ++y)
                for (uint32_t x = ox * f; x < std::min(w, (ox + 1) * f); ++x, ++n) {
                    const uint32_t p = rgba[size_t{y} * w + x];
                    sum[0] += TIFFGetR(p);
                    sum[1] += TIFFGetG(p);
                    sum[2] += TIFFGetB(p);
                }
            for (int c = 0; c < 3; ++c)
                out[(size_t{oy} * ow + ox) * 3 + c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
        }
    return out;
}

class PageRasterTest : public testing::TestWithParam<RasterCase> {};

TEST_P(PageRasterTest, MatchesLibtiffsRgbaReadingAtFullAndReducedSize) {
    test::TempFolder folder;
    const std::string path = folder / "page.tif";
    if (!TIFFIsCODECConfigured(GetParam().page.compression))
        GTEST_SKIP() << "this libtiff has no codec " << GetParam().page.compression;
    ASSERT_TRUE(test::WriteTestTiff(path, {GetParam().page, GetParam().page}));
    for (int page = 0; page < 2; ++page) {
        const std::vector<uint32_t> rgba = test::RgbaPixels(path, page);
        ASSERT_FALSE(rgba.empty());
        for (int f : {1, 3}) {
            PageRasterLimits limits;
            limits.maxWidth = (45 + f - 1) / f;
            const PageRaster raster = DecodePageRaster(path, page, limits);
            ASSERT_TRUE(raster.ok()) << raster.error;
            EXPECT_EQ(raster.pageCount, 2);
            EXPECT_EQ(raster.reduction, f);
            ASSERT_EQ(raster.width, (45 + f - 1) / f);
            ASSERT_EQ(raster.height, (32 + f - 1) / f);
            const std::vector<uint8_t> want = ReferenceRgb(rgba, 45, 32, f);
            ASSERT_EQ(raster.rgb.size(), want.size());
            int worst = 0;
            size_t at = 0;
            for (size_t i = 0; i < want.size(); ++i) {
                const int d = std::abs(int{raster.rgb[i]} - int{want[i]});
                if (d > worst) {
                    worst = d;
                    at = i;
                }
            }
            // 16-bit samples are rounded a little differently from libtiff's table.
            EXPECT_LE(worst, 1) << "page " << page << " reduction " << f << " at byte " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PageRasterTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<RasterCase>& info) { return info.param.name; });

TEST(PageRasterLimits, ReductionKeepsTheOutputWithinEveryLimit) {
    PageRasterLimits limits;  // 8192 x 8192, 16 M pixels
    EXPECT_EQ(ReductionFor(2480, 3508, limits), 1);
    EXPECT_EQ(ReductionFor(10000, 10000, limits), 3);  // 5000 x 5000 is more than 16 M pixels
    EXPECT_EQ(ReductionFor(20000, 20000, limits), 5);
    EXPECT_EQ(ReductionFor(100000, 10, limits), 13);  // the width alone
    EXPECT_EQ(ReductionFor(1, 1, limits), 1);
}

TEST(PageRasterFailures, DamagedAndForeignFilesGiveAMessageAndNoPixels) {
    test::TempFolder folder;
    int checked = 0;
    for (const test::DamagedCase& c : test::MakeDamagedCases(folder.path())) {
        const std::string path = folder / ("damaged-" + std::to_string(checked++) + ".tif");
        ASSERT_TRUE(test::WriteBytes(path, c.bytes));
        const PageRaster raster = DecodePageRaster(path, 0);
        if (!raster.ok()) {
            EXPECT_FALSE(raster.error.empty()) << c.name;
            EXPECT_TRUE(raster.rgb.empty()) << c.name;
        } else {
            EXPECT_EQ(raster.rgb.size(), size_t(raster.width) * raster.height * 3) << c.name;
        }
    }
    EXPECT_GT(checked, 5);
    const std::string text = folder / "notes.tif";
    ASSERT_TRUE(test::WriteNonTiff(text));
    EXPECT_FALSE(DecodePageRaster(text, 0).ok());
    EXPECT_FALSE(DecodePageRaster(folder / "missing.tif", 0).ok());
    ASSERT_TRUE(test::WriteTiff(folder / "one.tif", 1));
    EXPECT_FALSE(DecodePageRaster(folder / "one.tif", 1).ok());  // no second page
}

// A 20,000 x 20,000 scan is read a strip at a time and kept reduced: the
// decoded page stays within the limits whatever the page's size.
TEST(PageRasterLimits, AHugePageIsReducedWhileItIsRead) {
    test::TempFolder folder;
    const std::string path = folder / "huge.tif";
    constexpr uint32_t kSide = 20000;
    {
        TIFF* tif = TIFFOpen(path.c_str(), "w");
        ASSERT_NE(tif, nullptr);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kSide);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kSide);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kSide);  // one strip
        std::vector<uint8_t> row(kSide / 8);
        for (uint32_t y = 0; y < kSide; ++y) {
            // Black where x and y are both in the first 5000: a quarter of the page.
            std::fill(row.begin(), row.end(), 0);
            if (y < 5000)
                std::fill(row.begin(), row.begin() + 5000 / 8, 0xFF);
            ASSERT_GE(TIFFWriteScanline(tif, row.data(), y, 0), 0);
        }
        TIFFClose(tif);
    }
    const PageRaster raster = DecodePageRaster(path, 0);
    ASSERT_TRUE(raster.ok()) << raster.error;
    EXPECT_EQ(raster.reduction, 5);
    EXPECT_EQ(raster.width, 4000);
    EXPECT_LE(raster.rgb.size(), size_t{PageRasterLimits().maxPixels} * 3);
    EXPECT_EQ(raster.rgb[0], 0);                                      // black corner
    EXPECT_EQ(raster.rgb[(size_t{999} * 4000 + 999) * 3], 0);
    EXPECT_EQ(raster.rgb[(size_t{999} * 4000 + 1000) * 3], 255);     // white beyond it
    EXPECT_EQ(raster.rgb.back(), 255);
}

// Files that broke the decoder (overflows, gigabytes for a few hundred
// bytes, errors shown as pages): each is shown or refused with a message,
// as a sound decoder would.
TEST(PageRasterHostile, EveryFileIsShownOrRefusedWithAMessage) {
    test::TempFolder folder;
    for (const test::HostileTiff& h : test::HostileTiffs()) {
        if (h.slow)
            continue;  // below
        const std::string path = folder / (h.name + ".tif");
        ASSERT_TRUE(test::WriteBytes(path, h.bytes));
        // At the preview's limits, and at limits that even the largest
        // reduction may not reach.
        for (uint32_t side : {8192u, 7u}) {
            PageRasterLimits limits;
            limits.maxWidth = limits.maxHeight = side;
            const PageRaster raster = DecodePageRaster(path, 0, limits);
            if (side == 8192) {
                EXPECT_EQ(raster.ok(), h.showable) << h.name << ": " << raster.error;
            }
            if (raster.ok()) {
                EXPECT_TRUE(raster.width <= int(side) && raster.height <= int(side)) << h.name;
            }
            EXPECT_EQ(raster.error.empty(), raster.ok()) << h.name;
            // Reading stops at the strip, tile or row libtiff complains of,
            // not after the last one.
            EXPECT_NE(raster.error.rfind("The page cannot be decoded.", 0), 0u) << h.name << ": " << raster.error;
            EXPECT_EQ(raster.rgb.size(), raster.ok() ? size_t(raster.width) * raster.height * 3 : 0) << h.name;
        }
    }
}

// Tiles whose rows do not end on a byte: every pixel lands where it belongs.
TEST(PageRasterHostile, TilesOfOddWidthsGiveThePixelsTheTilesHold) {
    test::TempFolder folder;
    for (const test::HostileTiff& h : test::HostileTiffs()) {
        if (h.name.rfind("tiles-", 0) != 0)
            continue;
        const std::string path = folder / "tiles.tif";
        ASSERT_TRUE(test::WriteBytes(path, h.bytes));
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        ASSERT_NE(tif, nullptr);
        uint32_t width = 0, tileWidth = 0;
        uint16_t bits = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bits);
        const size_t tileRowBytes = static_cast<size_t>(TIFFTileRowSize(tif));
        TIFFClose(tif);
        const std::vector<uint8_t> tiles = test::DecodedStrips(path, 0);  // one row of 16-row tiles
        const PageRaster raster = DecodePageRaster(path, 0);
        ASSERT_TRUE(raster.ok()) << raster.error;
        ASSERT_EQ(raster.width, int(width));
        int wrong = 0;
        for (uint32_t y = 0; y < 16; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                const size_t bit = size_t{x % tileWidth} * bits;
                const uint8_t byte = tiles[(x / tileWidth * 16 + y) * tileRowBytes + bit / 8];
                const unsigned max = (1u << bits) - 1;
                const unsigned v = (byte >> (8 - bits - bit % 8)) & max;
                wrong += raster.rgb[(size_t{y} * width + x) * 3] != v * 255 / max;
            }
        EXPECT_EQ(wrong, 0) << h.name;
    }
}

TEST(PageRasterBudget, APageNeedingMoreThanTheBudgetIsRefusedBeforeItIsRead) {
    test::TempFolder folder;
    for (const test::HostileTiff& h : test::HostileTiffs())
        if (h.name == "65535-samples") {
            ASSERT_TRUE(test::WriteBytes(folder / "samples.tif", h.bytes));
            const PageRaster raster = DecodePageRaster(folder / "samples.tif", 0);
            EXPECT_NE(raster.error.find("too large to show"), std::string::npos) << raster.error;
        }
    // The budget counts the page as shown too: 600 x 400 RGB is 720,000 bytes.
    ASSERT_TRUE(test::WriteTiff(folder / "page.tif", 1, test::Page(8, COMPRESSION_LZW, 600, 400)));
    PageRasterLimits limits;
    limits.maxWorkingBytes = 700000;
    EXPECT_NE(DecodePageRaster(folder / "page.tif", 0, limits).error.find("too large"), std::string::npos);
    limits.maxWorkingBytes = 800000;
    EXPECT_TRUE(DecodePageRaster(folder / "page.tif", 0, limits).ok());
}

uint32_t Crc32(const std::string& bytes, size_t from, size_t to) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < to; ++i) {
        crc ^= static_cast<uint8_t>(bytes[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A page whose every stored strip is the one of the plain page, edited.
std::string EditedStrips(const test::TempFolder& folder, const TestPage& plain,
                         const std::function<void(std::string&)>& edit) {
    const std::string plainPath = folder / "plain.tif", editedPath = folder / "edited.tif";
    EXPECT_TRUE(test::WriteTestTiff(plainPath, {plain}));
    std::vector<std::string> strips = test::StoredStrips(plainPath, 0);
    for (std::string& strip : strips)
        edit(strip);
    TestPage page = plain;
    page.rawStrips = [strips](int) { return strips; };
    EXPECT_TRUE(test::WriteTestTiff(editedPath, {page}));
    return editedPath;
}

TEST(PageRasterBudget, TheDictionaryOrWindowAStreamNamesCountsTowardsTheBudget) {
    if (!TIFFIsCODECConfigured(COMPRESSION_LZMA) || !TIFFIsCODECConfigured(COMPRESSION_ZSTD))
        GTEST_SKIP() << "this libtiff has no LZMA or Zstd codec";
    test::TempFolder folder;
    // An .xz stream whose block names a dictionary of 1 GiB (LZMA2's
    // property 36), which liblzma allocates as it starts the block.
    const TestPage lzma = Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZMA);
    ASSERT_TRUE(DecodePageRaster(EditedStrips(folder, lzma, [](std::string&) {}), 0).ok());
    const std::string hugeDictionary = EditedStrips(folder, lzma, [](std::string& xz) {
        ASSERT_GT(xz.size(), 20u);
        ASSERT_EQ(xz.substr(0, 6), std::string("\xFD" "7zXZ\0", 6));
        const size_t headerEnd = 12 + (size_t{static_cast<uint8_t>(xz[12])} + 1) * 4 - 4;
        // libtiff's filters: delta (0x03, one byte of properties), then
        // LZMA2 (0x21, one byte: the dictionary).
        const size_t lzma2 = xz.find("\x21\x01", 14);
        ASSERT_LT(lzma2 + 2, headerEnd);
        xz[lzma2 + 2] = 36;
        const uint32_t crc = Crc32(xz, 12, headerEnd);
        for (int i = 0; i < 4; ++i)
            xz[headerEnd + i] = static_cast<char>(crc >> (8 * i));
    });
    PageRaster raster = DecodePageRaster(hugeDictionary, 0);
    EXPECT_NE(raster.error.find("decoding it would take 1"), std::string::npos) << raster.error;
    // Within the budget, the edited stream decodes as before: the count
    // read the header liblzma reads.
    PageRasterLimits roomy;
    roomy.maxWorkingBytes = uint64_t{2} << 30;
    EXPECT_TRUE(DecodePageRaster(hugeDictionary, 0, roomy).ok()) << DecodePageRaster(hugeDictionary, 0, roomy).error;

    // The same in a file made byte by byte (the window's and the fuzzers'
    // hostile files): a sound stream, refused for its dictionary alone.
    for (const test::HostileTiff& h : test::HostileTiffs())
        if (h.name == "lzma-dictionary-1-gib") {
            ASSERT_TRUE(test::WriteBytes(folder / "xz.tif", h.bytes));
            EXPECT_NE(DecodePageRaster(folder / "xz.tif", 0).error.find("would take 1"), std::string::npos);
            EXPECT_TRUE(DecodePageRaster(folder / "xz.tif", 0, roomy).ok()) << DecodePageRaster(folder / "xz.tif", 0, roomy).error;
        }

    // A zstd frame whose window descriptor names 128 MiB, under a budget
    // of 64 MiB.
    const TestPage zstd = Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_ZSTD);
    PageRasterLimits small;
    small.maxWorkingBytes = 64 << 20;
    ASSERT_TRUE(DecodePageRaster(EditedStrips(folder, zstd, [](std::string&) {}), 0, small).ok());
    const std::string hugeWindow = EditedStrips(folder, zstd, [](std::string& frame) {
        ASSERT_GT(frame.size(), 6u);
        ASSERT_EQ(frame.substr(0, 4), std::string("\x28\xB5\x2F\xFD", 4));
        ASSERT_EQ(frame[4] & 0x20, 0);  // a window descriptor follows
        frame[5] = static_cast<char>(17 << 3);
    });
    raster = DecodePageRaster(hugeWindow, 0, small);
    EXPECT_NE(raster.error.find("too large to show"), std::string::npos) << raster.error;
    EXPECT_TRUE(DecodePageRaster(hugeWindow, 0).ok());
}

TEST(PageRasterLimits, AnUncompressedStripOfManyMegabytesIsReadRowByRowAsLibtiffReadsIt) {
    // One strip of 67 MB (over the 16 MB decoded whole), 16-bit, stored
    // big-endian and in the other fill order; the same stored bytes in
    // strips of 16 rows are libtiff's to read.
    constexpr uint32_t w = 5800, h = 5800;
    std::string stored(size_t{w} * h * 2, '\0');
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const auto v = static_cast<uint16_t>(x * 11 + y * 3);
            stored[(size_t{y} * w + x) * 2] = static_cast<char>(v >> 8);
            stored[(size_t{y} * w + x) * 2 + 1] = static_cast<char>(v & 0xFF);
        }
    TestPage page = Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE,
                         [](TIFF* t) { TIFFSetField(t, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB); });
    page.width = w;
    page.height = h;
    test::TempFolder folder;
    TestPage one = page, many = page;
    one.rowsPerStrip = h;
    one.rawStrips = [&](int) { return std::vector<std::string>{stored}; };
    many.rowsPerStrip = 16;
    many.rawStrips = [&](int) {
        std::vector<std::string> strips;
        for (size_t at = 0; at < stored.size(); at += size_t{w} * 2 * 16)
            strips.push_back(stored.substr(at, size_t{w} * 2 * 16));
        return strips;
    };
    ASSERT_TRUE(test::WriteTestTiff(folder / "one.tif", {one}, "wb"));
    ASSERT_TRUE(test::WriteTestTiff(folder / "many.tif", {many}, "wb"));
    PageRasterLimits limits;
    limits.maxWidth = limits.maxHeight = 200;
    const PageRaster byRows = DecodePageRaster(folder / "one.tif", 0, limits);
    const PageRaster byStrips = DecodePageRaster(folder / "many.tif", 0, limits);
    ASSERT_TRUE(byRows.ok()) << byRows.error;
    ASSERT_TRUE(byStrips.ok()) << byStrips.error;
    EXPECT_EQ(byRows.rgb, byStrips.rgb);
    // A strip that the file ends in the middle of fails the page.
    ASSERT_TRUE(test::WriteTestTiff(folder / "le.tif", {one}));
    TiffPatcher cut(test::ReadBytes(folder / "le.tif"));
    cut.SetValue(0, TIFFTAG_STRIPOFFSETS, static_cast<uint32_t>(cut.bytes().size() / 2));
    ASSERT_TRUE(cut.Save(folder / "cut.tif"));
    const PageRaster failed = DecodePageRaster(folder / "cut.tif", 0, limits);
    EXPECT_NE(failed.error.find("cannot be read"), std::string::npos) << failed.error;
    EXPECT_TRUE(failed.rgb.empty());
}

// A page of 5 x 3 grey pixels whose first stored pixel is red and second
// green, RGB in one plane (decoded directly) or three (through libtiff's
// RGBA reading).
std::string MarkedPage(uint16_t orientation, bool planes) {
    std::string r(15, '\x80'), g = r, b = r;
    r[0] = '\xff', g[0] = '\0', b[0] = '\0';
    r[1] = '\0', g[1] = '\xff', b[1] = '\0';
    test::RawTiff tiff;
    tiff.Page()
        .Long(TIFFTAG_IMAGEWIDTH, {5})
        .Long(TIFFTAG_IMAGELENGTH, {3})
        .Short(TIFFTAG_BITSPERSAMPLE, {8, 8, 8})
        .Short(TIFFTAG_PHOTOMETRIC, {PHOTOMETRIC_RGB})
        .Short(TIFFTAG_ORIENTATION, {orientation})
        .Short(TIFFTAG_SAMPLESPERPIXEL, {3})
        .Long(TIFFTAG_ROWSPERSTRIP, {3})
        .Short(TIFFTAG_PLANARCONFIG, {uint16_t(planes ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG)});
    if (planes) {
        tiff.Data({r, g, b});
    } else {
        std::string pixels;
        for (size_t i = 0; i < r.size(); ++i)
            pixels += {r[i], g[i], b[i]};
        tiff.Data({pixels});
    }
    return tiff.Bytes();
}

TEST(PageRasterOrientation, BothWaysOfDecodingTurnThePageAsItsTagSays) {
    // Where stored pixels (0, 0) and (1, 0) are seen, by the tag's meaning:
    // which side row 0 and column 0 are on.
    struct Seen {
        int x0, y0, x1, y1;
    };
    const Seen seen[9] = {{}, {0, 0, 1, 0}, {4, 0, 3, 0}, {4, 2, 3, 2}, {0, 2, 1, 2},
                          {0, 0, 0, 1}, {2, 0, 2, 1}, {2, 4, 2, 3}, {0, 4, 0, 3}};
    test::TempFolder folder;
    for (uint16_t o = 1; o <= 8; ++o)
        for (bool planes : {false, true}) {
            ASSERT_TRUE(test::WriteBytes(folder / "page.tif", MarkedPage(o, planes)));
            const PageRaster raster = DecodePageRaster(folder / "page.tif", 0);
            ASSERT_TRUE(raster.ok()) << raster.error;
            const bool turned = o >= 5;
            EXPECT_EQ(raster.width, turned ? 3 : 5) << o;
            EXPECT_EQ(raster.pageWidth, turned ? 3u : 5u) << o;
            ASSERT_EQ(raster.rgb.size(), 45u);
            auto at = [&](int x, int y) { return &raster.rgb[(size_t(y) * raster.width + x) * 3]; };
            EXPECT_EQ(at(seen[o].x0, seen[o].y0)[0], 255) << "orientation " << o << (planes ? " in planes" : "");
            EXPECT_EQ(at(seen[o].x1, seen[o].y1)[1], 255) << "orientation " << o << (planes ? " in planes" : "");
        }
}

// libtiff's RGBA reading reports a strip it cannot read and would go on
// with what its buffer held.
TEST(PageRasterFailures, AStripThatCannotBeReadFailsThePageOnEitherWay) {
    test::TempFolder folder;
    for (const TestPage& page : {Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE),
                                 Make(8, 4, PHOTOMETRIC_SEPARATED, COMPRESSION_ADOBE_DEFLATE)}) {
        ASSERT_TRUE(test::WriteTestTiff(folder / "page.tif", {page}));
        TiffPatcher patcher(test::ReadBytes(folder / "page.tif"));
        const uint32_t strip = patcher.Element(0, TIFFTAG_STRIPOFFSETS, 1);
        for (uint32_t i = 2; i < 12; ++i)
            patcher.Put16(strip + 2 * i, 0x5a5a);
        ASSERT_TRUE(patcher.Save(folder / "page.tif"));
        const PageRaster raster = DecodePageRaster(folder / "page.tif", 0);
        EXPECT_FALSE(raster.ok()) << page.samplesPerPixel << " samples";
        EXPECT_TRUE(raster.rgb.empty());
    }
}

TEST(PageRasterCancel, ASetFlagStopsTheDecodingAndKeepsNoPixels) {
    test::TempFolder folder;
    ASSERT_TRUE(test::WriteTiff(folder / "page.tif", 1, test::Page(8, COMPRESSION_LZW, 600, 400)));
    std::atomic<bool> cancel{true};
    const PageRaster raster = DecodePageRaster(folder / "page.tif", 0, {}, &cancel);
    EXPECT_TRUE(raster.cancelled);
    EXPECT_TRUE(raster.rgb.empty());
    // Pages that take long to decode, cancelled while they are read.
    for (const test::HostileTiff& h : test::HostileTiffs()) {
        if (!h.slow)
            continue;
        ASSERT_TRUE(test::WriteBytes(folder / "slow.tif", h.bytes));
        std::atomic<bool> later{false};
        std::thread canceller([&later] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            later = true;
        });
        const PageRaster slow = DecodePageRaster(folder / "slow.tif", 0, {}, &later);
        canceller.join();
        EXPECT_TRUE(slow.cancelled) << h.name << ": " << slow.error;
        EXPECT_TRUE(slow.rgb.empty()) << h.name;
    }
}

}  // namespace
}  // namespace pw
