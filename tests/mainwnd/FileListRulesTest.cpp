// The file list's plain rules and the command-line scan, without a display.

#include "mainwnd/CommandLine.h"
#include "mainwnd/FileListRules.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace pw {
namespace {

using test::TempFolder;

TEST(TiffFilterBlock, IsTheThirtySevenBytesOfTheOpenDialogsFilter) {
    ASSERT_EQ(kTiffFilterBlock.size(), 37u);
    EXPECT_EQ(kTiffFilterBlock.substr(0, 23), std::string_view("TIFF File(*.tiff*.tif)\0", 23));
    EXPECT_EQ(kTiffFilterBlock.substr(23), std::string_view("*.tiff;*.tif\0\0", 14));
}

struct TiffPathCase {
    const char* path;
    bool accepted;
};

class IsTiffPathTest : public ::testing::TestWithParam<TiffPathCase> {};

TEST_P(IsTiffPathTest, AcceptsWhatTheFilterBlockHolds) {
    EXPECT_EQ(IsTiffPath(GetParam().path), GetParam().accepted) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Names, IsTiffPathTest,
    ::testing::Values(TiffPathCase{"/scans/a.tif", true}, TiffPathCase{"/scans/a.TIF", true},
                      TiffPathCase{"/scans/page.TIFF", true}, TiffPathCase{"b.Tiff", true},
                      TiffPathCase{"/scans/README", true},        // no extension: the empty text occurs
                      TiffPathCase{"/scans/a.t", true}, TiffPathCase{"/scans/a.ti", true},
                      TiffPathCase{"/scans/a.", true},            // "." occurs too
                      TiffPathCase{"/scans.d/README", true},      // a dot in a folder is no extension
                      TiffPathCase{"/scans/a.jpg", false}, TiffPathCase{"/scans/page.jpeg", false},
                      TiffPathCase{"/scans/a.tifx", false}, TiffPathCase{"/scans/a.png", false},
                      TiffPathCase{"/scans/a.tif.bak", false}, TiffPathCase{"/scans/a.tiff;", true},  // ".tiff;" is in the pattern
                      TiffPathCase{"/scans/a.tif;*", false},
                      TiffPathCase{"/scans/a.f", false}, TiffPathCase{"/scans/-a b'c\".tif", true},
                      TiffPathCase{"/scans/\xc3\xa9t\xc3\xa9.tif", true}, TiffPathCase{"", false}));

TEST(IsTiffPath, RefusesNull) { EXPECT_FALSE(IsTiffPath(nullptr)); }

TEST(FormatKilobytes, PrintsKilobytesOfAThousandBytesInEightColumns) {
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "    0.00 KB"},          {5, "    0.01 KB"},           {999, "    1.00 KB"},
        {1000, "    1.00 KB"},       {1536, "    1.54 KB"},        {1000000, " 1000.00 KB"},
        {99999999, "100000.00 KB"},  {123456789, "123456.79 KB"},  {2147483648ull, "2147483.65 KB"},
        {4294967296ull, "4294967.30 KB"}, {5000000000ull, "5000000.00 KB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(FormatKilobytes(bytes), text) << bytes;
}

TEST(FormatKilobytes, UsesADecimalPointInAnyLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    TempFolder locales;
    if (!switched) {
        // Systems without the locale get one compiled for the test.
        const std::string cmd = "localedef -i de_DE -f UTF-8 '" + (locales / "de_DE.UTF-8") + "' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0) {
            ::setenv("LOCPATH", locales.path().c_str(), 1);
            switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
        }
    }
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.2f", 1.5);
    const std::string text = FormatKilobytes(1536);
    std::setlocale(LC_NUMERIC, previous.c_str());
    ::unsetenv("LOCPATH");
    if (!switched)
        GTEST_SKIP() << "no locale with a decimal comma can be had on this system";
    ASSERT_STREQ(printed, "1,50");  // the locale is in force
    EXPECT_EQ(text, "    1.54 KB");
}

TEST(FormatFileSize, ReadsTheFilesSize) {
    TempFolder dir;
    test::WriteBytes(dir / "empty.tif", "");
    test::WriteBytes(dir / "999.tif", std::string(999, 'x'));
    test::WriteBytes(dir / "million.tif", std::string(1000000, 'x'));
    EXPECT_EQ(FormatFileSize(dir / "empty.tif"), "    0.00 KB");
    EXPECT_EQ(FormatFileSize(dir / "999.tif"), "    1.00 KB");
    EXPECT_EQ(FormatFileSize(dir / "million.tif"), " 1000.00 KB");
    EXPECT_EQ(FormatFileSize(dir / "missing.tif"), "    0.00 KB");
    EXPECT_EQ(FormatFileSize(""), "    0.00 KB");
    // A folder shows whatever size the system gives it.
    EXPECT_EQ(FormatFileSize(dir.path()).substr(8), " KB");
}

TEST(FormatFileSize, ReadsSizesAboveTwoAndFourGigabytes) {
    TempFolder dir;
    // Sparse files: the size is recorded, no disk space is used.
    for (const uint64_t size : {3000000000ull, 5000000123ull}) {
        const std::string path = dir / "big.tif";
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        const bool sized = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
        ::close(fd);
        if (!sized)
            GTEST_SKIP() << "the temporary folder's file system cannot hold a file this large";
        EXPECT_EQ(FormatFileSize(path), FormatKilobytes(size));
    }
    EXPECT_EQ(FormatKilobytes(3000000000ull), "3000000.00 KB");
}

TEST(FileListButtonStates, FollowTheRowsAndTheSelectionInTheirOrder) {
    struct Case { int count, selected; bool remove, extract, others; };
    const Case cases[] = {
        {0, 0, false, false, false}, {3, 0, false, false, true}, {3, 1, true, true, true},
        {1, 1, true, true, true},    {0, 2, false, false, false},
    };
    for (const Case& c : cases) {
        const auto states = FileListButtonStates(c.count, c.selected);
        const int order[] = {IDC_REMOVE, IDC_EXTRACT, IDC_REMOVEALL, IDC_MERGEALL, IDC_COMPRESS, IDC_SPLITALL};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(states[i].first, order[i]);
        EXPECT_EQ(states[0].second, c.remove) << c.count << "/" << c.selected;
        EXPECT_EQ(states[1].second, c.extract) << c.count << "/" << c.selected;
        for (int i = 2; i < 6; ++i)
            EXPECT_EQ(states[i].second, c.others) << c.count << "/" << c.selected;
    }
}

// What a scan did, as one line per action.
std::vector<std::string> Scan(const std::vector<std::string>& args, int* result = nullptr) {
    std::vector<std::string> actions;
    CommandLineHandlers h;
    h.addExistingFile = [&](const std::string& p) { actions.push_back("add " + p); };
    h.copyright = [&] { actions.push_back("copyright"); };
    const int r = ScanCommandLine(args, h);
    if (result)
        *result = r;
    return actions;
}

using Actions = std::vector<std::string>;

TEST(ScanCommandLine, FollowsTheSwitches) {
    int result = -1;
    EXPECT_EQ(Scan({"pagewright"}, &result), Actions{});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Scan({}, &result), Actions{});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Scan({"pagewright", "b.tif"}, &result), Actions{});
    EXPECT_EQ(result, 1);

    EXPECT_EQ(Scan({"p", "-add", "a.tif", "-ADD", "b.tif"}), (Actions{"add a.tif", "add b.tif"}));
    EXPECT_EQ(Scan({"p", "-add", "a.tif", "b.tif"}), (Actions{"add a.tif"}));
    EXPECT_EQ(Scan({"p", "-open", "a.tif", "-Open", "b.tif", "-OPEN"}), (Actions{"add a.tif", "add b.tif"}));
    EXPECT_EQ(Scan({"p", "-add"}, &result), Actions{});
    EXPECT_EQ(result, 1);
    // The path after -add is taken whatever it looks like.
    EXPECT_EQ(Scan({"p", "-add", "-copyright"}), (Actions{"add -copyright"}));
    EXPECT_EQ(Scan({"p", "-add", "-add", "x"}), (Actions{"add -add"}));
    EXPECT_EQ(Scan({"p", "-add", ""}), (Actions{"add "}));
    EXPECT_EQ(Scan({"p", "--add", "a", "add", "b", "-addx", "c", "/add", "d"}), Actions{});
}

TEST(ScanCommandLine, StopsAtCopyright) {
    int result = -1;
    EXPECT_EQ(Scan({"p", "-add", "a.tif", "-CopyRight", "-add", "b.tif", "-copyright"}, &result),
              (Actions{"add a.tif", "copyright"}));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Scan({"p", "-copyright"}), (Actions{"copyright"}));
}

TEST(ProgramArguments, AreKeptByteForByte) {
    const char* argv[] = {"pagewright", "-add", "/tmp/bad\xff name.tif", nullptr};
    SetProgramArguments(3, argv);
    EXPECT_EQ(GetProgramArguments(), (std::vector<std::string>{"pagewright", "-add", "/tmp/bad\xff name.tif"}));
    SetProgramArguments(0, nullptr);
    EXPECT_TRUE(GetProgramArguments().empty());
}

}  // namespace
}  // namespace pw
