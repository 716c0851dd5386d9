#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/ToolInvocations.h"
#include "tests/engine/ToolTestSupport.h"

namespace pw {
namespace {

using namespace test;

const std::string kLzw = R"("-c" "lzw")";

class ToolInvocationsTest : public ::testing::Test {
protected:
    std::string Tool(const std::string& name) const { return program.path() + "/" + name; }

    ProgramFolder program;
    TempFolder files;
};

TEST_F(ToolInvocationsTest, RunTiffInfoGivesTheReport)
{
    const std::string src = files / "a.tif";
    ASSERT_TRUE(WriteTiff(src, 2, Page(1)));
    TraceCapture trace;
    const std::string report = RunTiffInfo(src);
    EXPECT_NE(report.find("Bits/Sample: 1"), std::string::npos) << report;
    EXPECT_EQ(trace.lines(), (std::vector<std::string>{"\"" + Tool("tiffinfo") + "\" \"" + src + "\""}));
    EXPECT_EQ(ScanBitsPerSample(report, "Bits/Sample:"), 1u);
}

TEST_F(ToolInvocationsTest, RunTiffInfoSaysErrorWhenSomethingIsMissing)
{
    const std::string src = files / "a.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    EXPECT_EQ(RunTiffInfo(files / "missing.tif"), "ERROR");
    EXPECT_EQ(RunTiffInfo(""), "ERROR");
    program.RemoveTool("tiffinfo");
    EXPECT_EQ(RunTiffInfo(src), "ERROR");
    program.LinkTool("tiffinfo");
    ::unlink(program.exe().c_str());
    EXPECT_EQ(RunTiffInfo(src), "ERROR");
}

// Compress, for every method, on a bilevel and on a grey source: which
// command line runs, and what the destination then holds.
struct CompressCase {
    const char* method;
    uint16_t bits;
    bool packbitsFallback;
    uint16_t expectedCompression;
};

class CompressMethodTest : public ToolInvocationsTest, public ::testing::WithParamInterface<CompressCase> {};

TEST_P(CompressMethodTest, RunsTheRightLineAndWritesTheMethod)
{
    const CompressCase& c = GetParam();
    const std::string src = files / "in.tif";
    const std::string dst = files / "out.tif";
    ASSERT_TRUE(WriteTiff(src, 2, Page(c.bits, c.bits == 1 ? COMPRESSION_NONE : COMPRESSION_LZW)));
    const std::string arguments = std::string("\"-c\" \"") + c.method + "\"";

    TraceCapture trace;
    ToolOutcome outcome;
    ASSERT_TRUE(CompressFile(src, dst, arguments, c.method, nullptr, &outcome)) << outcome.reason;
    EXPECT_EQ(outcome.reason, "");

    const std::string line = c.packbitsFallback
        ? "\"" + Tool("tiffcp") + "\" \"-c\" \"packbits\" \"" + src + "\" \""
        : "\"" + Tool("tiffcp") + "\" " + arguments + " \"" + src + "\" \"";
    // The report always runs first; the copy goes to a file of its own beside
    // the destination, which then takes the destination's place.
    ASSERT_EQ(trace.lines().size(), 2u);
    EXPECT_EQ(trace.lines()[0], "\"" + Tool("tiffinfo") + "\" \"" + src + "\"");
    EXPECT_THAT(trace.lines()[1], ::testing::StartsWith(line + files.path() + "/.pagewright-"));
    EXPECT_EQ(CompressionOf(dst, 0), c.expectedCompression);
    EXPECT_EQ(CompressionOf(dst, 1), c.expectedCompression);
    EXPECT_TRUE(HasPagesOf(dst, {{src, 2}}));
}

INSTANTIATE_TEST_SUITE_P(
    Methods, CompressMethodTest,
    ::testing::Values(CompressCase{"none", 1, false, COMPRESSION_NONE}, CompressCase{"none", 8, false, COMPRESSION_NONE},
                      CompressCase{"lzw", 1, false, COMPRESSION_LZW}, CompressCase{"lzw", 8, false, COMPRESSION_LZW},
                      CompressCase{"zip", 8, false, COMPRESSION_ADOBE_DEFLATE},
                      CompressCase{"packbits", 1, false, COMPRESSION_PACKBITS},
                      CompressCase{"g3", 1, false, COMPRESSION_CCITTFAX3},
                      CompressCase{"g3", 8, true, COMPRESSION_PACKBITS},
                      CompressCase{"g4", 1, false, COMPRESSION_CCITTFAX4},
                      CompressCase{"g4", 8, true, COMPRESSION_PACKBITS},
                      CompressCase{"g4", 16, true, COMPRESSION_PACKBITS}),
    [](const ::testing::TestParamInfo<CompressCase>& info) {
        return std::string(info.param.method) + "_" + std::to_string(info.param.bits) + "bit";
    });

TEST_F(ToolInvocationsTest, CompressWithNoArgumentsKeepsTheSourceCompression)
{
    const std::string src = files / "in.tif";
    const std::string dst = files / "out.tif";
    ASSERT_TRUE(WriteTiff(src, 1, Page(8, COMPRESSION_ADOBE_DEFLATE)));
    TraceCapture trace;
    ASSERT_TRUE(CompressFile(src, dst, "", "none"));
    // The tool writes a file of its own beside the destination.
    EXPECT_THAT(trace.lines().back(), ::testing::StartsWith("\"" + Tool("tiffcp") + "\"  \"" + src + "\" \"" +
                                                            files.path() + "/.pagewright-"));
    EXPECT_EQ(CompressionOf(dst), COMPRESSION_ADOBE_DEFLATE);
}

TEST_F(ToolInvocationsTest, TwoPageSourceWithADeeperSecondPageFallsBack)
{
    const std::string mixed = files / "mixed.tif";
    ASSERT_TRUE(WriteTiff(mixed, {Page(1), Page(8)}));
    const std::string allBilevel = files / "bilevel.tif";
    ASSERT_TRUE(WriteTiff(allBilevel, {Page(1), Page(1)}));

    ASSERT_TRUE(CompressFile(mixed, files / "m.tif", R"("-c" "g4")", "g4"));
    EXPECT_EQ(CompressionOf(files / "m.tif", 0), COMPRESSION_PACKBITS);
    EXPECT_EQ(CompressionOf(files / "m.tif", 1), COMPRESSION_PACKBITS);
    EXPECT_TRUE(HasPagesOf(files / "m.tif", {{mixed, 2}}));

    ASSERT_TRUE(CompressFile(allBilevel, files / "b.tif", R"("-c" "g4")", "g4"));
    EXPECT_EQ(CompressionOf(files / "b.tif", 0), COMPRESSION_CCITTFAX4);
    EXPECT_EQ(CompressionOf(files / "b.tif", 1), COMPRESSION_CCITTFAX4);
}

TEST_F(ToolInvocationsTest, CompressInPlaceReplacesTheSourceOnlyWhenDone)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 2, Page(8)));
    const std::string reference = files / "reference.tif";
    ASSERT_TRUE(WriteTiff(reference, 2, Page(8)));
    ::chmod(src.c_str(), 0640);

    ToolOutcome outcome;
    ASSERT_TRUE(CompressFile(src, src, kLzw, "lzw", nullptr, &outcome)) << outcome.reason;
    EXPECT_EQ(CompressionOf(src), COMPRESSION_LZW);
    EXPECT_TRUE(HasPagesOf(src, {{reference, 2}}));
    struct stat st;
    ASSERT_EQ(::stat(src.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"in.tif", "reference.tif"}));
}

TEST_F(ToolInvocationsTest, CompressInPlaceThroughAnotherPath)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1, Page(8)));
    ASSERT_EQ(::mkdir((files / "sub").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(src.c_str(), (files / "link.tif").c_str()), 0);

    // Through "sub/..": the same file under another name.
    ASSERT_TRUE(CompressFile(src, files / "sub/../in.tif", kLzw, "lzw"));
    EXPECT_EQ(CompressionOf(src), COMPRESSION_LZW);

    // Through a link: the output is a file in its folder, never written
    // through the link; the file behind it stays as it was.
    ASSERT_TRUE(CompressFile(files / "link.tif", files / "link.tif", R"("-c" "zip")", "zip"));
    EXPECT_EQ(CompressionOf(src), COMPRESSION_LZW);
    EXPECT_EQ(CompressionOf(files / "link.tif"), COMPRESSION_ADOBE_DEFLATE);
    struct stat st;
    ASSERT_EQ(::lstat((files / "link.tif").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"in.tif", "link.tif", "sub"}));
    EXPECT_TRUE(FolderEntries(files / "sub").empty());
}

TEST_F(ToolInvocationsTest, CompressOverAnotherExistingFileReplacesIt)
{
    const std::string src = files / "in.tif";
    const std::string dst = files / "out.tif";
    ASSERT_TRUE(WriteTiff(src, 1, Page(8)));
    ASSERT_TRUE(WriteBytes(dst, std::string(100000, 'x')));
    ASSERT_TRUE(CompressFile(src, dst, kLzw, "lzw"));
    EXPECT_TRUE(HasPagesOf(dst, {{src, 1}}));
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"in.tif", "out.tif"}));
}

// Merge: which line runs for each flag and method, and what gets appended.
struct MergeCase {
    const char* name;
    const char* flag;
    const char* method;
    uint16_t bits;
    bool withCompression;  // the append-with-compression line runs
    uint16_t expectedCompression;
};

class MergeMethodTest : public ToolInvocationsTest, public ::testing::WithParamInterface<MergeCase> {};

TEST_P(MergeMethodTest, AppendsWithTheRightLine)
{
    const MergeCase& c = GetParam();
    const std::string first = files / "first.tif";
    const std::string src = files / "src.tif";
    const std::string out = files / "merged.tif";
    ASSERT_TRUE(WriteTiff(first, 1, Page(8)));
    ASSERT_TRUE(WriteTiff(src, 2, Page(c.bits, COMPRESSION_ADOBE_DEFLATE)));
    const std::string arguments = std::string("\"-c\" \"") + c.method + "\"";

    ASSERT_TRUE(MergeFile(first, out, "", "FALSE", "none"));
    TraceCapture trace;
    ToolOutcome outcome;
    ASSERT_TRUE(MergeFile(src, out, arguments, c.flag, c.method, nullptr, &outcome)) << outcome.reason;

    const std::string line = c.withCompression
        ? "\"" + Tool("tiffcp") + "\" \"-a\" " + arguments + " \"" + src + "\" \"" + out + "\""
        : "\"" + Tool("tiffcp") + "\" \"-a\" \"" + src + "\" \"" + out + "\"";
    EXPECT_EQ(trace.lines(), (std::vector<std::string>{"\"" + Tool("tiffinfo") + "\" \"" + src + "\"", line}));
    EXPECT_TRUE(HasPagesOf(out, {{first, 1}, {src, 2}}));
    EXPECT_EQ(CompressionOf(out, 1), c.expectedCompression);
    EXPECT_EQ(CompressionOf(out, 2), c.expectedCompression);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, MergeMethodTest,
    ::testing::Values(MergeCase{"lzw_on", "TRUE", "lzw", 8, true, COMPRESSION_LZW},
                      MergeCase{"lzw_off", "FALSE", "lzw", 8, false, COMPRESSION_ADOBE_DEFLATE},
                      // Only the exact text "TRUE" switches compression on.
                      MergeCase{"lzw_lowercase_true", "true", "lzw", 8, false, COMPRESSION_ADOBE_DEFLATE},
                      MergeCase{"g4_bilevel", "TRUE", "g4", 1, true, COMPRESSION_CCITTFAX4},
                      MergeCase{"g3_bilevel", "TRUE", "g3", 1, true, COMPRESSION_CCITTFAX3},
                      // A deeper file is appended with no compression arguments.
                      MergeCase{"g4_grey", "TRUE", "g4", 8, false, COMPRESSION_ADOBE_DEFLATE},
                      MergeCase{"g3_grey", "TRUE", "g3", 8, false, COMPRESSION_ADOBE_DEFLATE},
                      MergeCase{"g4_grey_off", "FALSE", "g4", 8, false, COMPRESSION_ADOBE_DEFLATE}),
    [](const ::testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST_F(ToolInvocationsTest, MergeOfAMixedTwoPageFileFallsBack)
{
    const std::string mixed = files / "mixed.tif";
    ASSERT_TRUE(WriteTiff(mixed, {Page(1), Page(8)}));
    TraceCapture trace;
    ASSERT_TRUE(MergeFile(mixed, files / "out.tif", R"("-c" "g4")", "TRUE", "g4"));
    EXPECT_EQ(trace.lines().back(),
              "\"" + Tool("tiffcp") + "\" \"-a\" \"" + mixed + "\" \"" + files / "out.tif" + "\"");
    EXPECT_TRUE(HasPagesOf(files / "out.tif", {{mixed, 2}}));
}

TEST_F(ToolInvocationsTest, MergeManyFilesKeepsTheirOrder)
{
    const std::string out = files / "all.tif";
    std::vector<std::pair<std::string, int>> sources;
    for (int i = 0; i < 5; ++i) {
        const std::string src = files / ("p" + std::to_string(i) + ".tif");
        ASSERT_TRUE(WriteTiff(src, i % 2 + 1, Page(i % 2 ? 1 : 8, COMPRESSION_NONE, 64 + i * 8, 48)));
        ASSERT_TRUE(MergeFile(src, out, R"("-c" "packbits")", "TRUE", "packbits"));
        sources.emplace_back(src, i % 2 + 1);
    }
    EXPECT_TRUE(HasPagesOf(out, sources));
}

TEST_F(ToolInvocationsTest, SplitWritesOnePageFilePerPage)
{
    const std::string src = files / "three.tif";
    ASSERT_TRUE(WriteTiff(src, 3, Page(8, COMPRESSION_LZW)));
    ASSERT_EQ(::mkdir((files / "Demo1__2").c_str(), 0755), 0);
    const std::string output = files / "Demo1__2/scan.tif";

    TraceCapture trace;
    ToolOutcome outcome;
    ASSERT_TRUE(SplitFile(src, output, nullptr, &outcome)) << outcome.reason;
    // No report runs before a split; the prefix drops the extension.
    EXPECT_EQ(trace.lines(), (std::vector<std::string>{"\"" + Tool("tiffsplit") + "\"\"" + src + "\" \"" + files
                                                       / "Demo1__2/scan" + "\""}));
    EXPECT_EQ(FolderEntries(files / "Demo1__2"),
              (std::vector<std::string>{"scanaaa.tif", "scanaab.tif", "scanaac.tif"}));
    EXPECT_TRUE(HasPagesOf(files / "Demo1__2/scanaaa.tif", {{src, 1}}));
    EXPECT_EQ(ReadPagePixels(files / "Demo1__2/scanaac.tif", 0), ReadPagePixels(src, 2));
}

TEST_F(ToolInvocationsTest, SplitPrefixOfAPathWithoutExtensionIsThePath)
{
    const std::string src = files / "two.tif";
    ASSERT_TRUE(WriteTiff(src, 2, Page(1)));
    TraceCapture trace;
    ASSERT_TRUE(SplitFile(src, files / "pages"));
    EXPECT_EQ(trace.lines().back(), "\"" + Tool("tiffsplit") + "\"\"" + src + "\" \"" + files / "pages" + "\"");
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"pagesaaa.tif", "pagesaab.tif", "two.tif"}));
}

TEST_F(ToolInvocationsTest, MissingSplitToolLeavesCompressWorking)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 2, Page(8)));
    program.RemoveTool("tiffsplit");
    ToolOutcome outcome;
    EXPECT_FALSE(SplitFile(src, files / "s.tif", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffsplit missing");
    EXPECT_FALSE(SplitFile(src, files / "t.tif"));
    EXPECT_TRUE(CompressFile(src, files / "c.tif", kLzw, "lzw", nullptr, &outcome)) << outcome.reason;
    EXPECT_TRUE(MergeFile(src, files / "m.tif", kLzw, "TRUE", "lzw"));
}

}  // namespace
}  // namespace pw
