#include <gtest/gtest.h>

#include <filesystem>

#include "pages/TiffPages.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"

namespace pw {
namespace {

using namespace pw::test;

std::map<std::string, std::string> TagsWithoutPageNumber(const std::string& path, int page)
{
    auto tags = PageTags(path, page);
    tags.erase("PageNumber");
    return tags;
}

// Output page i is source page pages[i] (from 0) stored as it was: the same
// stored bytes, the same tags, the same decoded data.
void ExpectStoredCopies(const std::string& source, const std::string& output, const std::vector<int>& pages)
{
    ASSERT_EQ(CountDirectories(output), static_cast<int>(pages.size()));
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE("output page " + std::to_string(i + 1));
        const int out = static_cast<int>(i);
        const std::vector<uint8_t> decoded = DecodedStrips(source, pages[i]);
        ASSERT_FALSE(decoded.empty());
        EXPECT_EQ(DecodedStrips(output, out), decoded);
        EXPECT_EQ(StoredStrips(output, out), StoredStrips(source, pages[i]));
        EXPECT_EQ(TagsWithoutPageNumber(output, out), TagsWithoutPageNumber(source, pages[i]));
        EXPECT_EQ(PageTags(output, out)["PageNumber"], std::to_string(i) + "," + std::to_string(pages.size()));
    }
}

// Pages of the shared fixtures, checked against the pixels they were
// written with.

struct FixtureCase {
    const char* name;
    PageSpec shape;
};

void PrintTo(const FixtureCase& c, std::ostream* os)
{
    *os << c.name;
}

PageSpec With(PageSpec shape, bool tiled, uint16_t samples = 1)
{
    shape.tiled = tiled;
    shape.samplesPerPixel = samples;
    shape.pageName = "page of the fixture";
    return shape;
}

class FixturePages : public testing::TestWithParam<FixtureCase> {};

TEST_P(FixturePages, AreCopiedUnchanged)
{
    const PageSpec& shape = GetParam().shape;
    TempFolder folder;
    const std::string source = folder / "source.tif";
    const std::string output = folder / "output.tif";
    ASSERT_TRUE(WriteTiff(source, 4, shape));
    ASSERT_EQ(pw::ExtractPages(source, output, "4,2"), 1);
    ASSERT_EQ(CountDirectories(output), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(ReadPagePixels(output, i), PagePixels(shape, i == 0 ? 1 : 3)) << "output page " << i + 1;
    ExpectStoredCopies(source, output, {1, 3});
    EXPECT_EQ(PageTags(output, 0)["PageName"], "page of the fixture");
}

INSTANTIATE_TEST_SUITE_P(Compressions, FixturePages, testing::Values(
    FixtureCase{"None8", With(Page(8, COMPRESSION_NONE), false)},
    FixtureCase{"None8Tiles", With(Page(8, COMPRESSION_NONE), true)},
    FixtureCase{"None16", With(Page(16, COMPRESSION_NONE), false)},
    FixtureCase{"None1", With(Page(1, COMPRESSION_NONE, 61, 40), false)},
    FixtureCase{"NoneRgb", With(Page(8, COMPRESSION_NONE), false, 3)},
    FixtureCase{"Lzw8", With(Page(8, COMPRESSION_LZW), false)},
    FixtureCase{"LzwRgbTiles", With(Page(8, COMPRESSION_LZW), true, 3)},
    FixtureCase{"Lzw16", With(Page(16, COMPRESSION_LZW), false)},
    FixtureCase{"Zip8", With(Page(8, COMPRESSION_ADOBE_DEFLATE), false)},
    FixtureCase{"Zip8Tiles", With(Page(8, COMPRESSION_ADOBE_DEFLATE), true)},
    FixtureCase{"ZipRgb16", With(Page(16, COMPRESSION_ADOBE_DEFLATE), false, 3)},
    FixtureCase{"PackBits8", With(Page(8, COMPRESSION_PACKBITS), false)},
    FixtureCase{"PackBits1", With(Page(1, COMPRESSION_PACKBITS), false)},
    FixtureCase{"G3", With(Page(1, COMPRESSION_CCITTFAX3, 200, 50), false)},
    FixtureCase{"G3Tiles", With(Page(1, COMPRESSION_CCITTFAX3, 64, 48), true)},
    FixtureCase{"G4", With(Page(1, COMPRESSION_CCITTFAX4, 200, 50), false)},
    FixtureCase{"G4Tiles", With(Page(1, COMPRESSION_CCITTFAX4, 64, 48), true)},
    FixtureCase{"G4OddWidth", With(Page(1, COMPRESSION_CCITTFAX4, 37, 21), false)}));

// Pages with what the fixtures do not write.

struct ExoticCase {
    const char* name;
    std::vector<TestPage> pages;
    const char* mode;  // of the source
};

void PrintTo(const ExoticCase& c, std::ostream* os)
{
    *os << c.name;
}

TestPage Tiled(TestPage page, uint32_t tile = 16)
{
    page.tileSize = tile;
    return page;
}

TestPage Separate(TestPage page)
{
    page.planar = PLANARCONFIG_SEPARATE;
    return page;
}

// JPEG wants strips of whole 16-row blocks.
TestPage Rows16(TestPage page)
{
    page.rowsPerStrip = 16;
    return page;
}

std::vector<TestPage> Three(const TestPage& page)
{
    return {page, page, page};
}

void Palette(TIFF* tif, int bits)
{
    std::vector<uint16_t> red(size_t{1} << bits), green(red.size()), blue(red.size());
    for (size_t i = 0; i < red.size(); ++i) {
        red[i] = static_cast<uint16_t>(i * 257);
        green[i] = static_cast<uint16_t>(65535 - i * 100);
        blue[i] = static_cast<uint16_t>(i * 31 % 65536);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
}

const std::string kProfile = "not a real profile, but bytes that must arrive as they left\x01\x02\x03";

std::vector<ExoticCase> ExoticCases()
{
    auto predictor = [](uint16_t value) { return [value](TIFF* tif) { TIFFSetField(tif, TIFFTAG_PREDICTOR, value); }; };
    return {
        {"Palette8", Three(Make(8, 1, PHOTOMETRIC_PALETTE, COMPRESSION_LZW, [](TIFF* t) { Palette(t, 8); })), "w"},
        {"Palette4", Three(Make(4, 1, PHOTOMETRIC_PALETTE, COMPRESSION_PACKBITS, [](TIFF* t) { Palette(t, 4); })), "w"},
        {"IccProfile", Three(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(kProfile.size()), kProfile.data());
         })), "w"},
        {"RgbaWithSampleFormat", Three(Make(8, 4, PHOTOMETRIC_RGB, COMPRESSION_LZW, [](TIFF* t) {
             const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
             TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
             TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
         })), "w"},
        {"Lzw16Predictor", Three(Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, predictor(PREDICTOR_HORIZONTAL))), "w"},
        {"FloatPredictor", Three(Make(32, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
             TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_FLOATINGPOINT);
         })), "w"},
        {"G4LeastSignificantBitFirst", Three(Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB);
         })), "w"},
        {"G3TwoDimensional", Three(Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX3, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_GROUP3OPTIONS, GROUP3OPT_2DENCODING | GROUP3OPT_FILLBITS);
         })), "w"},
        {"CcittRle", Three(Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTRLE)), "w"},
        {"PlanarSeparate", Three(Separate(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW))), "w"},
        {"PlanarSeparateTiles", Three(Tiled(Separate(Make(16, 3, PHOTOMETRIC_RGB, COMPRESSION_NONE)))), "w"},
        {"JpegYCbCrSubsampled", Three(Rows16(Make(8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
             TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
             TIFFSetField(t, TIFFTAG_JPEGQUALITY, 60);
         }))), "w"},
        {"JpegGreyTiles", Three(Tiled(Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_JPEG), 16)), "w"},
        {"JpegTablesInEveryStrip", Three(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_JPEG, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_JPEGTABLESMODE, 0);
         })), "w"},
        {"OrientationAndTexts", Three(Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_BOTRIGHT);
             TIFFSetField(t, TIFFTAG_PAGENAME, "the page's name");
             TIFFSetField(t, TIFFTAG_IMAGEDESCRIPTION, "a description");
             TIFFSetField(t, TIFFTAG_DOCUMENTNAME, "the document");
         })), "w"},
        {"BigEndian16", Three(Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE)), "wb"},
        {"BigEndianLzwPredictor", Three(Make(16, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW, predictor(PREDICTOR_HORIZONTAL))), "wb"},
        {"BigTiffSource", Three(Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE)), "w8"},
        {"Zstd", Three(Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_ZSTD, predictor(PREDICTOR_HORIZONTAL))), "w"},
        {"Lzma", Three(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZMA)), "w"},
        {"WebP", Three(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_WEBP, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_WEBP_LOSSLESS, 1);
         })), "w"},
        {"Lerc", Three(Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LERC)), "w"},
        {"MixedPages", {Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4),
                        Rows16(Make(8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG, [](TIFF* t) {
                            TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
                        })),
                        Tiled(Make(8, 1, PHOTOMETRIC_PALETTE, COMPRESSION_LZW, [](TIFF* t) { Palette(t, 8); }))}, "w"},
    };
}

class ExoticPages : public testing::TestWithParam<ExoticCase> {};

TEST_P(ExoticPages, AreCopiedUnchanged)
{
    const ExoticCase& c = GetParam();
    for (const TestPage& page : c.pages) {
        if (!TIFFIsCODECConfigured(page.compression))
            GTEST_SKIP() << "this libtiff has no codec to write the fixture with";
    }
    TempFolder folder;
    const std::string source = folder / "source.tif";
    const std::string output = folder / "output.tif";
    ASSERT_TRUE(WriteTestTiff(source, c.pages, c.mode));
    testing::internal::CaptureStderr();
    ASSERT_EQ(pw::ExtractPages(source, output, "3,1"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ExpectStoredCopies(source, output, {0, 2});
    for (int i = 0; i < 2; ++i) {
        const auto expected = RgbaPixels(source, i * 2);
        if (!expected.empty()) {
            EXPECT_EQ(RgbaPixels(output, i), expected) << "output page " << i + 1;
        }
    }
    const bool bigEndian = std::string(c.mode).find('b') != std::string::npos;
    EXPECT_EQ(ReadBytes(output).substr(0, 2), bigEndian ? "MM" : "II");
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExoticPages, testing::ValuesIn(ExoticCases()));

// Schemes libtiff reads but cannot write are decoded once and stored
// losslessly.

// A NeXT page: every row stored as a literal row.
TestPage NextPage()
{
    TestPage page = Make(2, 1, PHOTOMETRIC_MINISBLACK, 32766 /* NeXT */);
    page.rowsPerStrip = 10;
    page.rawStrips = [page](int index) {
        std::vector<std::string> strips;
        const size_t rowBytes = (page.width * 2 + 7) / 8;
        for (uint32_t row = 0; row < page.height; row += page.rowsPerStrip) {
            std::string strip;
            for (uint32_t r = row; r < std::min(page.height, row + page.rowsPerStrip); ++r) {
                strip += '\0';
                for (size_t x = 0; x < rowBytes; ++x)
                    strip += static_cast<char>((x * 37 + r * 11 + static_cast<size_t>(index) * 5) & 0xFF);
            }
            strips.push_back(strip);
        }
        return strips;
    };
    return page;
}

// An old-style JPEG page: a new-style one with complete JPEG streams in its
// strips, relabelled.
std::string OldStyleJpeg(const TempFolder& folder, uint16_t orientation)
{
    const std::string path = folder / "jpeg.tif";
    TestPage page = Make(8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG, [orientation](TIFF* t) {
        TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        TIFFSetField(t, TIFFTAG_JPEGTABLESMODE, 0);
        TIFFSetField(t, TIFFTAG_ORIENTATION, orientation);
    });
    page.rowsPerStrip = page.height;
    EXPECT_TRUE(WriteTestTiff(path, {page, page}, "w"));
    TiffPatcher patcher(ReadBytes(path));
    for (int dir = 0; dir < 2; ++dir)
        patcher.SetValue(dir, TIFFTAG_COMPRESSION, COMPRESSION_OJPEG);
    const std::string old = folder / "old.tif";
    EXPECT_TRUE(patcher.Save(old));
    return old;
}

TEST(ConvertedPages, OldStyleJpegBecomesLosslessRgb)
{
    TempFolder folder;
    const std::string source = OldStyleJpeg(folder, ORIENTATION_BOTLEFT);
    const std::string output = folder / "out.tif";
    testing::internal::CaptureStderr();
    ASSERT_EQ(pw::ExtractPages(source, output, "all"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(CountDirectories(output), 2);
    for (int i = 0; i < 2; ++i) {
        const auto expected = RgbaPixels(source, i);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(RgbaPixels(output, i), expected);
        auto tags = PageTags(output, i);
        EXPECT_EQ(tags["Compression"], std::to_string(COMPRESSION_ADOBE_DEFLATE));
        EXPECT_EQ(tags["Photometric"], std::to_string(PHOTOMETRIC_RGB));
        EXPECT_EQ(tags["BitsPerSample"], "8");
        EXPECT_EQ(tags["Orientation"], std::to_string(ORIENTATION_BOTLEFT));
        EXPECT_EQ(tags["XResolution"], PageTags(source, i)["XResolution"]);
        EXPECT_EQ(tags["ResolutionUnit"], PageTags(source, i)["ResolutionUnit"]);
    }
}

TEST(ConvertedPages, NextBecomesLosslessGrey)
{
    TempFolder folder;
    const std::string source = folder / "next.tif";
    ASSERT_TRUE(WriteTestTiff(source, {NextPage(), NextPage(), NextPage()}));
    const std::string output = folder / "out.tif";
    ASSERT_EQ(pw::ExtractPages(source, output, "2-3"), 1);
    ASSERT_EQ(CountDirectories(output), 2);
    for (int i = 0; i < 2; ++i) {
        const auto expected = RgbaPixels(source, i + 1);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(RgbaPixels(output, i), expected);
        auto tags = PageTags(output, i);
        EXPECT_EQ(tags["Photometric"], std::to_string(PHOTOMETRIC_MINISBLACK));
        EXPECT_EQ(tags["SamplesPerPixel"], "1");
        EXPECT_EQ(tags["PageNumber"], std::to_string(i) + ",2");
    }
}

// A converted page keeps what of its directory does not describe the
// stored data: here a GeoTIFF key directory, a private tag and an EXIF
// directory.
TEST(ConvertedPages, KeepTheEntriesThatDoNotDescribeTheirData)
{
    TempFolder folder;
    const std::string source = folder / "next.tif";
    ASSERT_TRUE(WriteTaggedTiff(source, 1, "w", 2, COMPRESSION_NEXT));
    ASSERT_FALSE(RgbaPixels(source, 0).empty());
    const std::string output = folder / "out.tif";
    ASSERT_EQ(pw::ExtractPages(source, output, "all"), 1);
    EXPECT_EQ(PageTags(output, 0)["Compression"], std::to_string(COMPRESSION_ADOBE_DEFLATE));
    EXPECT_EQ(RgbaPixels(output, 0), RgbaPixels(source, 0));
    const auto kept = ListTags(output, 0);
    const auto original = ListTags(source, 0);
    for (const char* tag : {"34735 ", "65000 ", "65001 ", "34665 ", "  36867 ", "34853 "}) {
        const auto line = std::find_if(original.begin(), original.end(), [tag](const std::string& l) { return l.rfind(tag, 0) == 0; });
        ASSERT_NE(line, original.end()) << tag;
        EXPECT_NE(std::find(kept.begin(), kept.end(), *line), kept.end()) << *line;
    }
}

TEST(ConvertedPages, MixWithStoredCopies)
{
    TempFolder folder;
    const std::string source = folder / "mixed.tif";
    ASSERT_TRUE(WriteTestTiff(source, {Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4), NextPage(),
                                       Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW)}));
    const std::string output = folder / "out.tif";
    ASSERT_EQ(pw::ExtractPages(source, output, "all"), 1);
    ASSERT_EQ(CountDirectories(output), 3);
    EXPECT_EQ(StoredStrips(output, 0), StoredStrips(source, 0));
    EXPECT_EQ(RgbaPixels(output, 1), RgbaPixels(source, 1));
    EXPECT_EQ(StoredStrips(output, 2), StoredStrips(source, 2));
}

}  // namespace
}  // namespace pw
