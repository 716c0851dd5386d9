#include "pages/TiffPages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"

namespace pw {
namespace {

using namespace pw::test;
namespace fs = std::filesystem;

// A source of `pages` distinct pages.
std::string Source(const TempFolder& folder, int pages, const std::string& name = "source.tif",
                   const PageSpec& shape = Page(8, COMPRESSION_LZW))
{
    const std::string path = folder / name;
    EXPECT_TRUE(WriteTiff(path, pages, shape));
    return path;
}

// The output holds exactly these source pages (from 1), in this order.
void ExpectPages(const std::string& output, const std::string& source, const std::vector<int>& pages)
{
    ASSERT_EQ(CountDirectories(output), static_cast<int>(pages.size()));
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::vector<uint8_t> expected = ReadPagePixels(source, pages[i] - 1);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(ReadPagePixels(output, static_cast<int>(i)), expected) << "output page " << i + 1;
    }
}

TEST(GetTiffPageCount, CountsEveryPage)
{
    TempFolder folder;
    for (int pages : {1, 3, 10, 400})
        EXPECT_EQ(GetTiffPageCount(Source(folder, pages, std::to_string(pages) + ".tif", Page(1, COMPRESSION_CCITTFAX4))),
                  pages);
}

TEST(GetTiffPageCount, TiffByExtensionInAnyCase)
{
    TempFolder folder;
    const std::string tif = Source(folder, 2);
    for (const char* name : {"A.TIF", "b.Tiff", "c.tIf"}) {
        fs::copy_file(tif, folder / name);
        EXPECT_EQ(GetTiffPageCount(folder / name), 2) << name;
    }
    for (const char* name : {"d.tiff.bak", "e.jpg", "f", "g.tif_"}) {
        fs::copy_file(tif, folder / name);
        EXPECT_EQ(GetTiffPageCount(folder / name), 0) << name;
    }
}

TEST(GetTiffPageCount, OtherExtensionsAreNeverOpened)
{
    TempFolder folder;
    // Opening a pipe for reading waits for a writer that never comes.
    ASSERT_EQ(::mkfifo((folder / "waits.jpg").c_str(), 0600), 0);
    EXPECT_EQ(GetTiffPageCount(folder / "waits.jpg"), 0);
    EXPECT_EQ(GetTiffPageCount(folder / "missing.jpg"), 0);
}

TEST(GetTiffPageCount, ThingsThatAreNotFiles)
{
    TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.tif").c_str(), 0600), 0);
    EXPECT_EQ(GetTiffPageCount(folder / "pipe.tif"), 0);
    fs::create_directory(folder / "folder.tif");
    EXPECT_EQ(GetTiffPageCount(folder / "folder.tif"), 0);
    EXPECT_EQ(GetTiffPageCount(folder / "missing.tif"), 0);
    EXPECT_EQ(GetTiffPageCount(""), 0);
}

TEST(GetTiffPageCount, OddFileNames)
{
    TempFolder folder;
    for (const char* name : {"-leading dash.tif", "blanks  and 'quotes\".tif", "n\xc3\xa4me \xe2\x82\xac.tif"})
        EXPECT_EQ(GetTiffPageCount(Source(folder, 2, name)), 2) << name;
}

TEST(GetTiffPageCount, BigEndianAndBigTiff)
{
    TempFolder folder;
    const std::vector<TestPage> pages(4);
    ASSERT_TRUE(WriteTestTiff(folder / "mm.tif", pages, "wb"));
    ASSERT_TRUE(WriteTestTiff(folder / "big.tif", pages, "w8"));
    ASSERT_TRUE(WriteTestTiff(folder / "bigmm.tif", pages, "w8b"));
    EXPECT_EQ(GetTiffPageCount(folder / "mm.tif"), 4);
    EXPECT_EQ(GetTiffPageCount(folder / "big.tif"), 4);
    EXPECT_EQ(GetTiffPageCount(folder / "bigmm.tif"), 4);
}

// Ranges and results.

struct ExtractCase {
    const char* name;
    int sourcePages;
    const char* range;  // may be null
    int result;
    std::vector<int> pages;  // in the output; none: no output file
};

void PrintTo(const ExtractCase& c, std::ostream* os)
{
    *os << c.name;
}

class ExtractPagesRange : public testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractPagesRange, WritesTheChosenPagesInOrder)
{
    const ExtractCase& c = GetParam();
    TempFolder folder;
    const std::string source = Source(folder, c.sourcePages);
    const std::string output = folder / "out.tif";
    testing::internal::CaptureStdout();
    EXPECT_EQ(ExtractPages(source, output, c.range), c.result);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    if (c.pages.empty()) {
        EXPECT_FALSE(fs::exists(output));
    } else {
        ExpectPages(output, source, c.pages);
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, ExtractPagesRange, testing::Values(
    ExtractCase{"AllOfThree", 3, "all", 1, {1, 2, 3}},
    ExtractCase{"AllInCapitals", 3, "ALL", 1, {1, 2, 3}},
    ExtractCase{"AllMixedCase", 3, "aLl", 1, {1, 2, 3}},
    ExtractCase{"EmptyRange", 3, "", 1, {1, 2, 3}},
    ExtractCase{"NoRange", 3, nullptr, 1, {1, 2, 3}},
    // Blanks around "all" are not removed for the keyword; the parser then
    // finds no number in it.
    ExtractCase{"AllWithABlank", 3, " all", 0, {}},
    ExtractCase{"EvenOfTen", 10, "even", 1, {2, 4, 6, 8, 10}},
    ExtractCase{"OddOfTen", 10, "odd", 1, {1, 3, 5, 7, 9}},
    ExtractCase{"OrderAndRepetitionDoNotMatter", 10, "5,1,5,3", 1, {1, 3, 5}},
    ExtractCase{"PastTheLastPage", 10, "40-", 0, {}},
    // Read against 99999 pages, not the file's ten.
    ExtractCase{"RangeEndBeyondTheFile", 10, "8-200", 1, {8, 9, 10}},
    ExtractCase{"OpenRangeFromTheFileOnward", 10, "9-", 1, {9, 10}},
    ExtractCase{"LeadingRange", 10, "-3", 1, {1, 2, 3}},
    ExtractCase{"NothingReadable", 10, "abc", 0, {}},
    ExtractCase{"OnePage", 1, "1", 1, {1}},
    ExtractCase{"BlanksOnly", 3, "   ", 0, {}}));

TEST(ExtractPages, NoOtherExtensionIsTouched)
{
    TempFolder folder;
    const std::string source = Source(folder, 3);
    fs::copy_file(source, folder / "source.tiff.bak");
    fs::copy_file(source, folder / "SOURCE.TIF");
    EXPECT_EQ(ExtractPages(folder / "source.tiff.bak", folder / "out.tif", "all"), 0);
    EXPECT_FALSE(fs::exists(folder / "out.tif"));
    EXPECT_EQ(ExtractPages(source, folder / "out.tiff.bak", "all"), 0);
    EXPECT_FALSE(fs::exists(folder / "out.tiff.bak"));
    EXPECT_EQ(ExtractPages(source, folder / "out.jpg", "all"), 0);
    EXPECT_FALSE(fs::exists(folder / "out.jpg"));
    EXPECT_EQ(ExtractPages(folder / "SOURCE.TIF", folder / "OUT.TIFF", "2"), 1);
    ExpectPages(folder / "OUT.TIFF", source, {2});
}

TEST(ExtractPages, SourceWithoutPagesTouchesNothing)
{
    TempFolder folder;
    WriteNonTiff(folder / "text.tif");
    WriteBytes(folder / "out.tif", "old output");
    EXPECT_EQ(ExtractPages(folder / "text.tif", folder / "out.tif", "all"), 0);
    EXPECT_EQ(ReadBytes(folder / "out.tif"), "old output");
    EXPECT_EQ(ExtractPages(folder / "missing.tif", folder / "new.tif", "all"), 0);
    EXPECT_FALSE(fs::exists(folder / "new.tif"));
}

TEST(ExtractPages, AnExistingOutputIsReplaced)
{
    TempFolder folder;
    const std::string source = Source(folder, 4);
    const std::string output = folder / "out.tif";
    WriteBytes(output, std::string(100000, 'x'));
    EXPECT_EQ(ExtractPages(source, output, "2-3"), 1);
    ExpectPages(output, source, {2, 3});
    // Replaced by what was extracted before, not appended to.
    EXPECT_EQ(ExtractPages(source, output, "4"), 1);
    ExpectPages(output, source, {4});
}

TEST(ExtractPages, AnExistingOutputStaysWhenNothingIsChosen)
{
    TempFolder folder;
    const std::string source = Source(folder, 4);
    const std::string output = folder / "out.tif";
    WriteBytes(output, std::string(1000, 'x'));
    ExtractControl control;
    EXPECT_EQ(ExtractPages(source, output, "40-", control), 0);
    EXPECT_EQ(control.reason, "the range selects no page of the file");
    EXPECT_EQ(ReadBytes(output), std::string(1000, 'x'));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2) << "no temporary left";
}

// A stop is seen between pages: the extraction ends, nothing is left, and an
// older output stays.
TEST(ExtractPages, AStopEndsTheExtractionBetweenPages)
{
    TempFolder folder;
    const std::string source = Source(folder, 6);
    const std::string output = folder / "out.tif";
    WriteBytes(output, std::string(1000, 'o'));
    int asked = 0;
    ExtractControl control;
    control.stopRequested = [&asked] { return ++asked == 3; };
    EXPECT_EQ(ExtractPages(source, output, "all", control), 0);
    EXPECT_EQ(asked, 3) << "asked before each page, up to the stop";
    EXPECT_EQ(control.reason, "stopped");
    EXPECT_EQ(ReadBytes(output), std::string(1000, 'o'));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

// A file of more pages than a range can name: an open range reaches its
// last page.
TEST(ExtractPages, AnOpenRangeReachesTheLastPageOfAVeryLongFile)
{
    TempFolder folder;
    constexpr int kPages = kMaxPageNumber + 6;
    // Pages of one grey pixel each, written directly: libtiff would take long.
    std::string bytes("II*\0\x08\0\0\0", 8);
    auto put16 = [&bytes](uint16_t v) { bytes.push_back(char(v & 0xff)); bytes.push_back(char(v >> 8)); };
    auto put32 = [&](uint32_t v) { put16(uint16_t(v & 0xffff)); put16(uint16_t(v >> 16)); };
    constexpr uint32_t kDirectory = 2 + 8 * 12 + 4;
    for (int page = 0; page < kPages; ++page) {
        const uint32_t at = static_cast<uint32_t>(bytes.size());
        const uint32_t pixel = at + kDirectory;
        const uint32_t next = page + 1 < kPages ? pixel + 2 : 0;
        put16(8);
        const uint16_t tags[8][2] = {{256, 4}, {257, 4}, {258, 3}, {259, 3}, {262, 3}, {273, 4}, {278, 4}, {279, 4}};
        const uint32_t values[8] = {1, 1, 8, 1, 1, pixel, 1, 1};
        for (int t = 0; t < 8; ++t) {
            put16(tags[t][0]);
            put16(tags[t][1]);
            put32(1);
            if (tags[t][1] == 3) {
                put16(static_cast<uint16_t>(values[t]));
                put16(0);
            } else {
                put32(values[t]);
            }
        }
        put32(next);
        bytes.push_back(static_cast<char>(page % 251));
        bytes.push_back('\0');
    }
    const std::string source = folder / "long.tif";
    ASSERT_TRUE(WriteBytes(source, bytes));
    ASSERT_EQ(GetTiffPageCount(source), kPages);
    const std::string output = folder / "tail.tif";
    EXPECT_EQ(ExtractPages(source, output, "99999-"), 1);
    ASSERT_EQ(CountDirectories(output), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(ReadPagePixels(output, i), ReadPagePixels(source, kMaxPageNumber - 1 + i)) << i;
}

TEST(ExtractPages, AnOutputThatCannotBeCreated)
{
    TempFolder folder;
    const std::string source = Source(folder, 2);
    EXPECT_EQ(ExtractPages(source, folder / "missing folder/out.tif", "all"), 0);
    EXPECT_FALSE(fs::exists(folder / "missing folder"));
    // A folder, a pipe and a file in the way of the folder are not outputs.
    fs::create_directory(folder / "folder.tif");
    EXPECT_EQ(ExtractPages(source, folder / "folder.tif", "all"), 0);
    EXPECT_TRUE(fs::is_directory(folder / "folder.tif"));
    ASSERT_EQ(::mkfifo((folder / "pipe.tif").c_str(), 0600), 0);
    EXPECT_EQ(ExtractPages(source, folder / "pipe.tif", "all"), 0);
    EXPECT_TRUE(fs::is_fifo(folder / "pipe.tif"));
    WriteBytes(folder / "file", "x");
    EXPECT_EQ(ExtractPages(source, folder / "file/out.tif", "all"), 0);
    EXPECT_EQ(ReadBytes(folder / "file"), "x");
}

// Writing the output over its own source would empty the source before a
// page of it was read.
TEST(ExtractPages, NeverWritesOverItsSource)
{
    TempFolder folder;
    const std::string source = Source(folder, 3);
    const std::string before = ReadBytes(source);
    fs::create_directory(folder / "sub");
    fs::create_hard_link(source, folder / "hard link.tif");
    fs::create_symlink(source, folder / "symlink.tif");
    for (const std::string& output : {source, folder / "sub/../source.tif", folder / "./source.tif",
                                      folder / "hard link.tif", folder / "symlink.tif"}) {
        EXPECT_EQ(ExtractPages(source, output, "2"), 0) << output;
        EXPECT_EQ(ReadBytes(source), before) << output;
    }
    EXPECT_EQ(ExtractPages(folder / "symlink.tif", source, "2"), 0);
    EXPECT_EQ(ReadBytes(source), before);
}

TEST(ExtractPages, OddFileNames)
{
    TempFolder folder;
    for (const char* name : {"-leading dash", "blanks  and 'quotes\"", "n\xc3\xa4me \xe2\x82\xac"}) {
        const std::string source = Source(folder, 3, std::string(name) + ".tif");
        const std::string output = folder / (std::string(name) + " out.tif");
        EXPECT_EQ(ExtractPages(source, output, "3"), 1) << name;
        ExpectPages(output, source, {3});
    }
}

TEST(ExtractPages, PagesAreNumberedAnew)
{
    TempFolder folder;
    const std::string source = Source(folder, 10);
    const std::string output = folder / "out.tif";
    ASSERT_EQ(ExtractPages(source, output, "3,6,9"), 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(PageTags(output, i)["PageNumber"], std::to_string(i) + ",3");
}

TEST(ExtractPages, EveryPageBeyondTheLargestPageNumber)
{
    // "all" takes every page; a range names no page past 99999. A file of
    // 100001 pages is too slow to write here, so this checks the edge
    // through the count the range is read against.
    TempFolder folder;
    const std::string source = Source(folder, 5, "source.tif", Page(1, COMPRESSION_CCITTFAX4, 8, 8));
    EXPECT_EQ(ExtractPages(source, folder / "out.tif", "99999-"), 0);
    EXPECT_EQ(ExtractPages(source, folder / "out.tif", "5-99999"), 1);
    ExpectPages(folder / "out.tif", source, {5});
}

// Failure line and partial outputs.

TEST(ExtractPages, AFailingPageEndsTheExtractionWithALine)
{
    TempFolder folder;
    const std::string good = Source(folder, 3, "good.tif", Page(8, COMPRESSION_NONE, 64, 48));
    // Page 2's last strip now lies past the end of the file.
    TiffPatcher patcher(ReadBytes(good));
    patcher.SetElement(1, TIFFTAG_STRIPOFFSETS, 2, static_cast<uint32_t>(patcher.bytes().size()) + 100);
    const std::string source = folder / "damaged.tif";
    ASSERT_TRUE(patcher.Save(source));
    const std::string output = folder / "out.tif";

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExtractPages(source, output, "all"), 0);
    const std::string line = testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(line, "[Strip 2 lies beyond the end of the file] Failed to load '" + source + "' file...\n");
    EXPECT_FALSE(fs::exists(output)) << "no half output";

    // An older output of the same name stays as it was; the line goes where
    // the caller wants it, and the reason is the page's.
    ASSERT_TRUE(WriteTiff(output, 3));
    const std::string older = ReadBytes(output);
    ExtractControl control;
    control.messages = stderr;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExtractPages(source, output, "2-3", control), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Failed to load '" + source + "' file...\n"),
              std::string::npos);
    EXPECT_EQ(control.reason, "a page cannot be loaded: Strip 2 lies beyond the end of the file");
    EXPECT_EQ(ReadBytes(output), older);
    fs::remove(output);

    // Pages that are not chosen are not loaded.
    testing::internal::CaptureStdout();
    EXPECT_EQ(ExtractPages(source, output, "1,3"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ExpectPages(output, good, {1, 3});
}

TEST(ExtractPages, TheLineCarriesLibtiffsLastError)
{
    TempFolder folder;
    const std::string good = Source(folder, 2, "good.tif", Page(8, COMPRESSION_NONE, 64, 48));
    TiffPatcher patcher(ReadBytes(good));
    // Page 2's directory claims 4 billion rows of one row each.
    patcher.SetValue(1, TIFFTAG_IMAGELENGTH, 4000000000u);
    patcher.SetValue(1, TIFFTAG_ROWSPERSTRIP, 1);
    const std::string source = folder / "damaged.tif";
    ASSERT_TRUE(patcher.Save(source));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExtractPages(source, folder / "out.tif", "all"), 0);
    const std::string line = testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(line.front(), '[');
    // libtiff's own messages name the routine that reports them.
    const std::string error = line.substr(1, line.find(']') - 1);
    EXPECT_NE(error.find(": "), std::string::npos) << error;
    EXPECT_EQ(line.substr(line.find(']')), "] Failed to load '" + source + "' file...\n");
}

TEST(ExtractPages, BigTiffOnlyWhenTheOutputMayPassTheLimit)
{
    TempFolder folder;
    const std::string source = Source(folder, 6, "source.tif", Page(8, COMPRESSION_NONE, 64, 48));
    const auto isBig = [](const std::string& path) { return ReadBytes(path).substr(0, 4) == std::string("II+\0", 4); };
    ASSERT_EQ(ExtractPages(source, folder / "all.tif", "all"), 1);
    EXPECT_FALSE(isBig(folder / "all.tif"));

    SetBigTiffThresholdForTesting(8000);
    EXPECT_EQ(ExtractPages(source, folder / "one.tif", "1"), 1);
    EXPECT_EQ(ExtractPages(source, folder / "big.tif", "all"), 1);
    SetBigTiffThresholdForTesting(0);
    EXPECT_FALSE(isBig(folder / "one.tif"));
    EXPECT_TRUE(isBig(folder / "big.tif"));
    ExpectPages(folder / "big.tif", source, {1, 2, 3, 4, 5, 6});
}

}  // namespace
}  // namespace pw
