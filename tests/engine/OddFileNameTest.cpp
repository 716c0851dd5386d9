#include <limits.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/CommandTemplates.h"
#include "engine/ToolInvocations.h"
#include "platform/Paths.h"
#include "tests/engine/ToolTestSupport.h"

namespace pw {
namespace {

using namespace test;

// Each name is used relative to the current folder, the way a command line
// would give it, so that a leading '-' really leads.
class OddFileNameTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        ASSERT_NE(::getcwd(cwd_, sizeof cwd_), nullptr);
        ASSERT_EQ(::chdir(files.path().c_str()), 0);
        ASSERT_TRUE(WriteTiff(name, 2, Page(8)));
    }
    void TearDown() override { ASSERT_EQ(::chdir(cwd_), 0); }

    // Makes the tool record the arguments it gets, then do its work.
    void RecordArguments(const std::string& tool)
    {
        program.WriteScript(tool, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" + program.path()
                                      + "/args'\nexec " + SystemToolPath(tool) + " \"$@\"\n");
    }
    std::vector<std::string> RecordedArguments() const
    {
        const std::string bytes = ReadBytes(program.path() + "/args");
        std::vector<std::string> args;
        size_t start = 0;
        for (size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
            args.push_back(bytes.substr(start, end - start));
        return args;
    }
    // tiffcp gets a source with a comma through a link without one.
    void ExpectTiffcpSource(const std::string& argument) const
    {
        if (name.find(',') == std::string::npos) {
            EXPECT_EQ(argument, ToolFileArgument(name));
        } else {
            EXPECT_EQ(argument.find(','), std::string::npos) << argument;
            EXPECT_EQ(argument.substr(argument.size() - 11), "/source.tif");
        }
    }

    const std::string name = GetParam();
    ProgramFolder program;
    TempFolder files;

private:
    char cwd_[PATH_MAX];
};

TEST_P(OddFileNameTest, ReportReadsTheFile)
{
    EXPECT_EQ(ScanBitsPerSample(RunTiffInfo(name), "Bits/Sample:"), 8u);
    RecordArguments("tiffinfo");
    RunTiffInfo(name);
    EXPECT_EQ(RecordedArguments(), (std::vector<std::string>{ToolFileArgument(name)}));
}

TEST_P(OddFileNameTest, CompressGetsTheFileAndNoOtherOption)
{
    const std::string dst = "-c " + name;
    RecordArguments("tiffcp");
    ToolOutcome outcome;
    ASSERT_TRUE(CompressFile(name, dst, R"("-c" "lzw")", "lzw", nullptr, &outcome)) << outcome.reason;
    const std::vector<std::string> args = RecordedArguments();
    ASSERT_EQ(args.size(), 4u);
    EXPECT_EQ(args[0], "-c");
    EXPECT_EQ(args[1], "lzw");
    ExpectTiffcpSource(args[2]);
    EXPECT_EQ(args[3].rfind(".pagewright-", 0), 0u) << "a file of its own beside the destination: " << args[3];
    EXPECT_EQ(CompressionOf(dst), COMPRESSION_LZW);
    EXPECT_TRUE(HasPagesOf(dst, {{name, 2}}));
}

TEST_P(OddFileNameTest, CompressInPlaceKeepsTheName)
{
    const std::string reference = files / "reference.tif";
    ASSERT_TRUE(WriteTiff(reference, 2, Page(8)));
    ToolOutcome outcome;
    ASSERT_TRUE(CompressFile(name, name, R"("-c" "zip")", "zip", nullptr, &outcome)) << outcome.reason;
    EXPECT_EQ(CompressionOf(name), COMPRESSION_ADOBE_DEFLATE);
    EXPECT_TRUE(HasPagesOf(name, {{reference, 2}}));
    EXPECT_EQ(FolderEntries(files.path()).size(), 2u);
}

TEST_P(OddFileNameTest, MergeGetsTheFileAndNoOtherOption)
{
    const std::string out = "-merged " + name;
    RecordArguments("tiffcp");
    ToolOutcome outcome;
    ASSERT_TRUE(MergeFile(name, out, R"("-c" "packbits")", "TRUE", "packbits", nullptr, &outcome)) << outcome.reason;
    ASSERT_TRUE(MergeFile(name, out, "", "FALSE", "none", nullptr, &outcome)) << outcome.reason;
    const std::vector<std::string> args = RecordedArguments();
    ASSERT_EQ(args.size(), 3u);
    EXPECT_EQ(args[0], "-a");
    ExpectTiffcpSource(args[1]);
    EXPECT_EQ(args[2], "./" + out);
    EXPECT_TRUE(HasPagesOf(out, {{name, 2}, {name, 2}}));
}

TEST_P(OddFileNameTest, SplitGetsTheFileAndThePrefix)
{
    const PathParts parts = SplitPath(name);
    RecordArguments("tiffsplit");
    ToolOutcome outcome;
    ASSERT_TRUE(SplitFile(name, name, nullptr, &outcome)) << outcome.reason;
    EXPECT_EQ(RecordedArguments(), (std::vector<std::string>{ToolFileArgument(name), ToolFileArgument(parts.fname)}));
    EXPECT_EQ(ReadPagePixels(parts.fname + "aab.tif", 0), ReadPagePixels(name, 1));
}

INSTANTIATE_TEST_SUITE_P(Names, OddFileNameTest,
                         ::testing::Values("with blanks.tif", "quote\"d.tif", "a\" \"-o\" \"x.tif", "-lead.tif",
                                           "-a", "--.tif", "comma,1.tif", "trailing.tif,",
                                           "\xc3\xa9t\xc3\xa9 \xe5\x90\x8d.tif", "tab\there.tif",
                                           "back\\slash\\.tif", "new\nline.tif", "it's $(x) %s.tif"));

}  // namespace
}  // namespace pw
