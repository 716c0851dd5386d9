#include "pages/FileTypes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

using test::TempFolder;
using test::WriteBytes;

TEST(GetFileExtension, LowerCaseWithoutTheDot)
{
    const std::pair<const char*, const char*> cases[] = {
        {"scan.TIF", "tif"},
        {"/a/b/Scan.TiFf", "tiff"},
        {"report.tiff.bak", "bak"},
        {"no extension", ""},
        {"folder.tif/file", ""},
        {"trailing.", ""},
        {".tif", "tif"},
        {"a.b.JPEG", "jpeg"},
        {"", ""},
        {"/", ""},
        {"n\xc3\xa4me.T\xc3\x8f" "F", "t\xc3\x8f" "f"},
    };
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(GetFileExtension(path), extension) << path;
}

TEST(ImageTypeFromExtension, TheWholeTable)
{
    const std::pair<const char*, int> table[] = {
        {"bmp", 1},  {"gif", 2},  {"jpg", 3},  {"jpeg", 3}, {"png", 4},  {"ico", 5},
        {"tiff", 6}, {"tif", 6},  {"tga", 7},  {"pcx", 8},  {"wbmp", 9}, {"wmf", 10},
        {"emf", 10}, {"jp2", 11}, {"j2k", 11}, {"jpc", 12}, {"j2c", 12}, {"pgx", 13},
        {"pnm", 14}, {"pgm", 14}, {"ppm", 14}, {"ras", 15}, {"mng", 17}, {"jng", 17},
        // Anything else, including the upper case the caller has lowered.
        {"", 0},     {"TIF", 0},  {"tif ", 0}, {".tif", 0}, {"tifff", 0}, {"ti", 0},
        {"pbm", 0},  {"webp", 0}, {"bak", 0},
    };
    for (const auto& [extension, type] : table)
        EXPECT_EQ(static_cast<int>(ImageTypeFromExtension(extension)), type) << extension;
}

TEST(HasTiffExtension, ByTheNameOnly)
{
    EXPECT_TRUE(HasTiffExtension("x.TIF"));
    EXPECT_TRUE(HasTiffExtension("/missing/folder/x.tiff"));
    EXPECT_FALSE(HasTiffExtension("x.tiff.bak"));
    EXPECT_FALSE(HasTiffExtension("tif"));
    EXPECT_FALSE(HasTiffExtension("x.jpg"));
}

TEST(QueryFileSize, RegularFilesOnly)
{
    TempFolder folder;
    WriteBytes(folder / "ten", "0123456789");
    WriteBytes(folder / "empty", "");
    const std::string fifo = folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(QueryFileSize(folder / "ten"), 10);
    EXPECT_EQ(QueryFileSize(folder / "empty"), 0);
    EXPECT_EQ(QueryFileSize(folder / "missing"), -1);
    EXPECT_EQ(QueryFileSize(folder.path()), -1);
    EXPECT_EQ(QueryFileSize(fifo), -1);  // and does not wait for a writer
}

TEST(KeepOutputIfLarge, MoreThanAHundredBytesStay)
{
    TempFolder folder;
    WriteBytes(folder / "101", std::string(101, 'x'));
    WriteBytes(folder / "100", std::string(100, 'x'));
    WriteBytes(folder / "0", "");
    EXPECT_EQ(KeepOutputIfLarge(folder / "101"), 1);
    EXPECT_TRUE(std::filesystem::exists(folder / "101"));
    EXPECT_EQ(KeepOutputIfLarge(folder / "100"), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "100"));
    EXPECT_EQ(KeepOutputIfLarge(folder / "0"), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "0"));
    EXPECT_EQ(KeepOutputIfLarge(folder / "missing"), 0);
    // A folder is neither kept as an output nor removed.
    std::filesystem::create_directory(folder / "dir.tif");
    EXPECT_EQ(KeepOutputIfLarge(folder / "dir.tif"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "dir.tif"));
}

}  // namespace
}  // namespace pw
