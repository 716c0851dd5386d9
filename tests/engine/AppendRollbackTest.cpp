#include <tiffio.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/AppendRollback.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

using namespace test;

// Writes (mode "w...") or appends (mode "a...") one small grey page.
bool WritePage(const std::string& path, const char* mode, uint8_t shade)
{
    TIFF* tif = TIFFOpen(path.c_str(), mode);
    if (tif == nullptr)
        return false;
    const uint32_t size = 16;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, size);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, size);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, size);
    std::vector<uint8_t> pixels(size * size, shade);
    const bool ok = TIFFWriteEncodedStrip(tif, 0, pixels.data(), static_cast<tmsize_t>(pixels.size())) >= 0
                    && TIFFWriteDirectory(tif);
    TIFFClose(tif);
    return ok;
}

struct Layout {
    const char* name;
    const char* write;
    const char* append;
};

class AppendRollbackTest : public ::testing::TestWithParam<Layout> {};

TEST_P(AppendRollbackTest, RestoresTheFileByteForByte)
{
    TempFolder folder;
    const std::string path = folder / "out.tif";
    ASSERT_TRUE(WritePage(path, GetParam().write, 10));
    ASSERT_TRUE(WritePage(path, GetParam().append, 20));
    const std::string before = ReadBytes(path);

    const AppendRollback rollback(path);
    ASSERT_TRUE(WritePage(path, GetParam().append, 30));
    ASSERT_EQ(CountDirectories(path), 3);
    EXPECT_TRUE(rollback.Restore());
    EXPECT_TRUE(ReadBytes(path) == before);
    EXPECT_EQ(CountDirectories(path), 2);
}

TEST_P(AppendRollbackTest, UndoesOnlyTheLastAppend)
{
    TempFolder folder;
    const std::string path = folder / "out.tif";
    ASSERT_TRUE(WritePage(path, GetParam().write, 10));
    const AppendRollback rollback(path);
    ASSERT_TRUE(WritePage(path, GetParam().append, 20));
    ASSERT_TRUE(rollback.Restore());
    ASSERT_TRUE(WritePage(path, GetParam().append, 30));
    EXPECT_EQ(CountDirectories(path), 2);
    EXPECT_EQ(ReadPagePixels(path, 1), std::vector<uint8_t>(256, 30));
}

INSTANTIATE_TEST_SUITE_P(Layouts, AppendRollbackTest,
                         ::testing::Values(Layout{"ClassicLittle", "wl", "al"}, Layout{"ClassicBig", "wb", "ab"},
                                           Layout{"BigTiffLittle", "w8l", "a8l"}, Layout{"BigTiffBig", "w8b", "a8b"}),
                         [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

TEST(AppendRollbackTest, FileThatDidNotExistIsRemoved)
{
    TempFolder folder;
    const std::string path = folder / "new.tif";
    const AppendRollback rollback(path);
    ASSERT_TRUE(WritePage(path, "a", 1));
    EXPECT_TRUE(rollback.Restore());
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
}

TEST(AppendRollbackTest, EmptyFileIsCutBackToEmpty)
{
    TempFolder folder;
    const std::string path = folder / "empty.tif";
    ASSERT_TRUE(WriteBytes(path, ""));
    const AppendRollback rollback(path);
    ASSERT_TRUE(WritePage(path, "a", 1));
    EXPECT_TRUE(rollback.Restore());
    EXPECT_EQ(ReadBytes(path), "");
}

TEST(ClearLinksPastTest, RefusesWhatIsNotTiff)
{
    TempFolder folder;
    ASSERT_TRUE(WriteNonTiff(folder / "text.tif"));
    EXPECT_FALSE(ClearLinksPast(folder / "text.tif", 10));
    EXPECT_FALSE(ClearLinksPast(folder / "missing.tif", 10));
    // A directory chain that loops back on itself ends the walk.
    std::string looping("II*\0\x08\0\0\0\0\0\x08\0\0\0", 14);
    ASSERT_TRUE(WriteBytes(folder / "loop.tif", looping));
    EXPECT_FALSE(ClearLinksPast(folder / "loop.tif", 100));
    EXPECT_EQ(ReadBytes(folder / "loop.tif"), looping);
}

}  // namespace
}  // namespace pw
