// Damaged and odd inputs through the page count and the extraction. The
// same tests run in a build with AddressSanitizer and
// UndefinedBehaviorSanitizer.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "pages/TiffPages.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"

namespace pw {
namespace {

using namespace pw::test;
namespace fs = std::filesystem;

TEST(DamagedFiles, GiveAClearResultAndLoseNothing)
{
    TempFolder folder;
    for (const DamagedCase& c : MakeDamagedCases(folder.path())) {
        SCOPED_TRACE(c.name);
        const std::string source = folder / "damaged.tif";
        const std::string output = folder / "out.tif";
        ASSERT_TRUE(WriteBytes(source, c.bytes));
        // An output of an earlier run stays unless the extraction succeeds.
        ASSERT_TRUE(WriteBytes(output, "an earlier extract"));

        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        EXPECT_EQ(GetTiffPageCount(source), c.pageCount);
        EXPECT_EQ(ExtractPages(source, output, "all"), c.extractResult);
        const std::string line = testing::internal::GetCapturedStdout();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

        EXPECT_EQ(ReadBytes(source), c.bytes);
        if (c.extractResult == 0) {
            EXPECT_EQ(ReadBytes(output), "an earlier extract");
        } else {
            EXPECT_EQ(CountDirectories(output), c.outputPages);
            for (int page = 0; page < c.outputPages; ++page)
                EXPECT_FALSE(ReadPagePixels(output, page).empty()) << "output page " << page + 1;
        }
        // A source with pages whose chosen page fails says so, once.
        const bool failedPage = c.pageCount > 0 && c.extractResult == 0;
        if (failedPage) {
            const std::string tail = "] Failed to load '" + source + "' file...\n";
            EXPECT_EQ(line.rfind('[', 0), 0u) << line;
            ASSERT_GE(line.size(), tail.size());
            EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
        } else {
            EXPECT_EQ(line, "");
        }
    }
}

// Stored data is not decoded on the way: a page whose compressed data is
// garbled arrives as garbled as it was, and reads no worse.
TEST(DamagedFiles, GarbledDataIsCopiedAsStored)
{
    TempFolder folder;
    const std::string good = folder / "good.tif";
    ASSERT_TRUE(WriteTiff(good, 3, Page(1, COMPRESSION_CCITTFAX4, 200, 40)));
    TiffPatcher patcher(ReadBytes(good));
    const uint32_t strip = patcher.Element(1, TIFFTAG_STRIPOFFSETS, 0);
    for (uint32_t i = 0; i < 10; ++i)
        patcher.Put32(strip + 4 * i, 0xA5A5A5A5u ^ i);
    const std::string source = folder / "garbled.tif";
    ASSERT_TRUE(patcher.Save(source));
    ASSERT_EQ(ExtractPages(source, folder / "out.tif", "all"), 1);
    EXPECT_EQ(StoredStrips(folder / "out.tif", 1), StoredStrips(source, 1));
    EXPECT_EQ(ReadPagePixels(folder / "out.tif", 1), ReadPagePixels(source, 1));
    EXPECT_EQ(ReadPagePixels(folder / "out.tif", 2), ReadPagePixels(good, 2));
}

// A ThunderScan page (a scheme libtiff only reads, so extraction decodes
// it) whose data ends rows early: libtiff reports it damaged, and the
// extraction refuses it instead of passing on the rows it made up.
TEST(DamagedFiles, APageLibtiffCannotDecodeWholeIsRefused)
{
    TempFolder folder;
    TestPage thunder = Make(4, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_THUNDERSCAN);
    thunder.rowsPerStrip = thunder.height;
    const auto rows = [&thunder](uint32_t count) {
        // Each row one run of width pixels of 0.
        return [&thunder, count](int) { return std::vector<std::string>{std::string(count, static_cast<char>(thunder.width))}; };
    };
    thunder.rawStrips = rows(thunder.height);
    const std::string sound = folder / "sound.tif";
    ASSERT_TRUE(WriteTestTiff(sound, {thunder}));
    thunder.rawStrips = rows(thunder.height / 2);
    const std::string damaged = folder / "damaged.tif";
    ASSERT_TRUE(WriteTestTiff(damaged, {thunder}));

    testing::internal::CaptureStdout();
    EXPECT_EQ(ExtractPages(sound, folder / "sound-out.tif", "all"), 1);
    EXPECT_EQ(ExtractPages(damaged, folder / "damaged-out.tif", "all"), 0);
    const std::string line = testing::internal::GetCapturedStdout();
    EXPECT_EQ(RgbaPixels(folder / "sound-out.tif", 0), RgbaPixels(sound, 0));
    EXPECT_FALSE(fs::exists(folder / "damaged-out.tif"));
    EXPECT_NE(line.find("] Failed to load '" + damaged + "' file..."), std::string::npos) << line;
}

// Files of several kinds of page with bytes changed at random: whatever
// comes out, it comes out without a crash, an endless loop or a message on
// the terminal.
TEST(DamagedFiles, RandomDamage)
{
    TempFolder folder;
    const std::string good = folder / "good.tif";
    TestPage jpeg;
    jpeg.samplesPerPixel = 3;
    jpeg.photometric = PHOTOMETRIC_YCBCR;
    jpeg.compression = COMPRESSION_JPEG;
    jpeg.rowsPerStrip = 16;
    jpeg.extraTags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB); };
    TestPage fax;
    fax.bitsPerSample = 1;
    fax.photometric = PHOTOMETRIC_MINISWHITE;
    fax.compression = COMPRESSION_CCITTFAX4;
    TestPage tiles;
    tiles.compression = COMPRESSION_LZW;
    tiles.tileSize = 16;
    TestPage plain;
    ASSERT_TRUE(WriteTestTiff(good, {plain, fax, jpeg, tiles}));
    const std::string bytes = ReadBytes(good);

    std::mt19937 random(20240611);
    const std::string source = folder / "damaged.tif";
    const std::string output = folder / "out.tif";
    for (int round = 0; round < 400; ++round) {
        std::string damaged = bytes;
        const int kind = round % 4;
        if (kind == 3) {
            damaged.resize(random() % damaged.size());
        } else {
            const int changes = 1 + static_cast<int>(random() % (kind == 0 ? 2 : 16));
            for (int i = 0; i < changes; ++i) {
                // Mostly in the directories and tables at the end, where a
                // change matters most.
                const size_t at = kind == 2 ? damaged.size() - 1 - random() % std::min<size_t>(damaged.size(), 1200)
                                            : random() % damaged.size();
                damaged[at] = static_cast<char>(random());
            }
        }
        ASSERT_TRUE(WriteBytes(source, damaged));
        fs::remove(output);
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        const int count = GetTiffPageCount(source);
        const int result = ExtractPages(source, output, round % 2 ? "all" : "2-4");
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(testing::internal::GetCapturedStderr(), "") << "round " << round;
        ASSERT_GE(count, 0);
        ASSERT_TRUE(result == 0 || result == 1);
        if (result == 1) {
            ASSERT_GE(CountDirectories(output), 1) << "round " << round;
        }
        if (count == 0) {
            ASSERT_FALSE(fs::exists(output)) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace pw
