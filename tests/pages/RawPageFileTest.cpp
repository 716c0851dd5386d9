// Pages written as files of their own by copying their directory entries:
// the same stored data, tags and pixels as the source page.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "pages/RawPageFile.h"
#include "pages/TiffDiagnostics.h"
#include "pages/TiffSource.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"

namespace pw {
namespace {

using namespace pw::test;

struct RawCase {
    const char* name;
    std::vector<TestPage> pages;
    const char* mode;
};

void PrintTo(const RawCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<RawCase> Cases()
{
    TestPage tiles = Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW);
    tiles.tileSize = 16;
    TestPage separate = Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE);
    separate.planar = PLANARCONFIG_SEPARATE;
    TestPage oneStrip = Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4);
    oneStrip.rowsPerStrip = oneStrip.height;
    TestPage jpeg = Make(8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG, [](TIFF* t) {
        TIFFSetField(t, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
        TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    });
    jpeg.rowsPerStrip = 16;
    TestPage palette = Make(8, 1, PHOTOMETRIC_PALETTE, COMPRESSION_PACKBITS, [](TIFF* t) {
        std::vector<uint16_t> map(256);
        for (size_t i = 0; i < map.size(); ++i)
            map[i] = static_cast<uint16_t>(i * 257);
        TIFFSetField(t, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
        TIFFSetField(t, TIFFTAG_IMAGEDESCRIPTION, "a description long enough to live outside its entry");
    });
    return {
        {"Grey8", {Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE), Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE)}, "w"},
        {"RgbTiles", {tiles, tiles}, "w"},
        {"PlanarSeparate", {separate, separate}, "w"},
        {"G4OneStrip", {oneStrip, oneStrip}, "w"},
        {"Jpeg", {jpeg, jpeg}, "w"},
        {"PaletteAndText", {palette, palette}, "w"},
        {"BigEndian16", {Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW), Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW)}, "wb"},
    };
}

class RawPageFiles : public testing::TestWithParam<RawCase> {};

TEST_P(RawPageFiles, HoldThePageAsStoredAsPageOneOfOne)
{
    const RawCase& c = GetParam();
    TempFolder folder;
    const std::string source = folder / "source.tif";
    ASSERT_TRUE(WriteTestTiff(source, c.pages, c.mode));
    TiffDiagnostics diagnostics;
    TiffSource input(source, diagnostics);
    ASSERT_EQ(input.pageCount(), 2);
    const std::string page = folder / "page.tif";
    std::string error;
    ASSERT_EQ(WriteRawPageFile(input, 1, page, error), RawPageResult::Written) << error;
    ASSERT_EQ(CountDirectories(page), 1);
    EXPECT_EQ(StoredStrips(page, 0), StoredStrips(source, 1));
    EXPECT_EQ(DecodedStrips(page, 0), DecodedStrips(source, 1));
    auto tags = PageTags(page, 0);
    auto expected = PageTags(source, 1);
    EXPECT_EQ(tags["PageNumber"], "0,1");
    tags.erase("PageNumber");
    expected.erase("PageNumber");
    EXPECT_EQ(tags, expected);
    EXPECT_EQ(ReadBytes(page).substr(0, 2), std::string(c.mode) == "wb" ? "MM" : "II");
}

INSTANTIATE_TEST_SUITE_P(Kinds, RawPageFiles, testing::ValuesIn(Cases()));

TEST(RawPageFile, LeavesWhatItCannotCopyToThePageCopierAndNothingBehindOnFailure)
{
    TempFolder folder;
    const std::string big = folder / "big.tif";
    ASSERT_TRUE(WriteTestTiff(big, {TestPage(), TestPage()}, "w8"));
    TiffDiagnostics diagnostics;
    TiffSource bigTiff(big, diagnostics);
    std::string error;
    ASSERT_EQ(WriteRawPageFile(bigTiff, 1, folder / "p.tif", error), RawPageResult::Written) << "BigTIFF as classic";
    EXPECT_EQ(ReadBytes(folder / "p.tif").substr(0, 4), std::string("II*\0", 4));
    EXPECT_EQ(StoredStrips(folder / "p.tif", 0), StoredStrips(big, 1));

    // Tables that libtiff reads otherwise than they are stored (it mends
    // the lengths of uncompressed strips that look wrong).
    const std::string mended = folder / "mended.tif";
    ASSERT_TRUE(WriteTestTiff(mended, {TestPage()}, "w"));
    TiffPatcher patcher(ReadBytes(mended));
    patcher.SetElement(0, TIFFTAG_STRIPBYTECOUNTS, 1, 5);
    ASSERT_TRUE(patcher.Save(mended));
    TiffSource odd(mended, diagnostics);
    EXPECT_EQ(WriteRawPageFile(odd, 0, folder / "m.tif", error), RawPageResult::NotHandled);
    EXPECT_FALSE(std::filesystem::exists(folder / "m.tif"));

    const std::string good = folder / "good.tif";
    ASSERT_TRUE(WriteTestTiff(good, {TestPage()}, "w"));
    TiffSource input(good, diagnostics);
    EXPECT_EQ(WriteRawPageFile(input, 0, folder / "missing/p.tif", error), RawPageResult::OutputFailed);
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
    ASSERT_TRUE(WriteBytes(folder / "kept.tif", "there before"));
    EXPECT_EQ(WriteRawPageFile(input, 0, folder / "kept.tif", error), RawPageResult::Written);
    EXPECT_EQ(CountDirectories(folder / "kept.tif"), 1) << "an old file is replaced";
}

// Tagged files with bytes changed at random in their directories and
// values: a page is copied with every entry as the damaged file has it, or
// not at all, and nothing reaches the terminal.
TEST(RawPageFile, RandomDamage)
{
    TempFolder folder;
    const std::string good = folder / "good.tif";
    ASSERT_TRUE(WriteTaggedTiff(good, 2, "wl"));
    const std::string bytes = ReadBytes(good);
    std::mt19937 random(20261209);
    const std::string source = folder / "damaged.tif";
    int written = 0;
    for (int round = 0; round < 300; ++round) {
        std::string damaged = bytes;
        for (int i = 1 + static_cast<int>(random() % 6); i > 0; --i)
            damaged[random() % damaged.size()] = static_cast<char>(random());
        ASSERT_TRUE(WriteBytes(source, damaged));
        testing::internal::CaptureStderr();
        TiffDiagnostics diagnostics;
        TiffSource input(source, diagnostics);
        for (int page = 0; page < input.pageCount(); ++page) {
            const std::string file = folder / "page.tif";
            std::string error;
            if (WriteRawPageFile(input, page, file, error) == RawPageResult::Written) {
                ++written;
                // A tag changed out of order is put in its place.
                auto copied = WithoutTag(ListTags(file, 0), TIFFTAG_PAGENUMBER);
                auto expected = WithoutTag(ListTags(source, page), TIFFTAG_PAGENUMBER);
                std::sort(copied.begin(), copied.end());
                std::sort(expected.begin(), expected.end());
                ASSERT_EQ(copied, expected) << "round " << round;
            }
            RawTiffOutput swapped;
            const std::string other = folder / "other.tif";
            ASSERT_TRUE(swapped.Create(other, true, false, error));
            const RawPageResult result = swapped.AppendPage(input, page, 0, 1, error);
            swapped.Close(error);
            if (result == RawPageResult::Written)
                ASSERT_EQ(CountDirectories(other), 1) << "round " << round;
            else
                ASSERT_EQ(ReadBytes(other).size(), 8u) << "only the header; round " << round;
        }
        ASSERT_EQ(testing::internal::GetCapturedStderr(), "") << "round " << round;
    }
    EXPECT_GT(written, 100);
}

}  // namespace
}  // namespace pw
