// pagewright-batch.exe with the Windows builds of the tools beside it, run
// the way a user's console runs it. The tools write CRLF line ends and their
// Deflate output need not match other builds byte for byte, so lines are
// compared without "\r" and images by their pixels.

#include "tests/fixtures/TiffFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "platform/Paths.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramFolder.h"

namespace pw {
namespace {

struct Result {
    int exitCode = -1;
    std::vector<std::string> lines;
};

Result RunBatch(const std::vector<std::string>& args)
{
    std::vector<std::string> arguments{GetProgramFolder() + "pagewright-batch.exe"};
    arguments.insert(arguments.end(), args.begin(), args.end());
    std::string output;
    RunStatus status;
    EXPECT_NE(RunAndCapture(CommandLine{"pagewright-batch", arguments}, output, &status), 0);
    Result result;
    result.exitCode = status.exited ? status.exitCode : -1;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        if (!line.empty() && line.front() != '[')  // progress lines
            result.lines.push_back(line);
    }
    return result;
}

// A path as the status lines write it: every backslash doubled, so that a
// name holding a tab or a line break cannot pass for a field or a line.
std::string Shown(const std::string& path)
{
    std::string shown;
    for (const char c : path)
        shown += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return shown;
}

class BatchProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        first_ = folder_ / "Größe 1.tif";
        second_ = folder_ / "文書 2.tif";
        ASSERT_TRUE(test::WriteTiff(first_, 2, test::Page(8, COMPRESSION_LZW)));
        ASSERT_TRUE(test::WriteTiff(second_, 1, test::Page(1, COMPRESSION_CCITTFAX4)));
    }

    test::TempFolder folder_;
    std::string first_, second_;
};

TEST_F(BatchProgramTest, MergeGivesEveryPageInOrder)
{
    const std::string merged = folder_ / "zusammen 合併.tif";
    const Result result = RunBatch({"merge", "--out", merged, first_, second_});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.lines, (std::vector<std::string>{"Success\t" + Shown(first_), "Success\t" + Shown(second_)}));
    ASSERT_EQ(test::CountDirectories(merged), 3);
    EXPECT_EQ(test::ReadPagePixels(merged, 0), test::ReadPagePixels(first_, 0));
    EXPECT_EQ(test::ReadPagePixels(merged, 1), test::ReadPagePixels(first_, 1));
    EXPECT_EQ(test::ReadPagePixels(merged, 2), test::ReadPagePixels(second_, 0));
}

TEST_F(BatchProgramTest, CompressKeepsThePixels)
{
    const std::string out = folder_ / "out";
    ASSERT_TRUE(std::filesystem::create_directory(FileSystemPath(out)));
    const Result result = RunBatch({"compress", "--out", out, "--method", "zip", first_});
    EXPECT_EQ(result.exitCode, 0);
    const std::string written = out + "\\Größe 1.tif";
    ASSERT_EQ(test::CountDirectories(written), 2);
    EXPECT_EQ(test::ReadPagePixels(written, 1), test::ReadPagePixels(first_, 1));
}

TEST_F(BatchProgramTest, InfoAndCountReadTheWideNames)
{
    const Result count = RunBatch({"count", first_, second_});
    EXPECT_EQ(count.exitCode, 0);
    EXPECT_EQ(count.lines, (std::vector<std::string>{"2\t" + Shown(first_), "1\t" + Shown(second_)}));

    const Result info = RunBatch({"info", second_});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_NE(std::find(info.lines.begin(), info.lines.end(), "=== TIFF directory 0 ==="), info.lines.end());
    EXPECT_TRUE(std::any_of(info.lines.begin(), info.lines.end(), [](const std::string& line) {
        return line.find("CCITT Group 4") != std::string::npos;
    }));
}

TEST_F(BatchProgramTest, FailureIsReportedForADamagedSource)
{
    const std::string damaged = folder_ / "kaputt ü.tif";
    ASSERT_TRUE(test::WriteNonTiff(damaged));
    const Result result = RunBatch({"merge", "--out", folder_ / "m.tif", damaged});
    EXPECT_EQ(result.exitCode, 1);
    ASSERT_EQ(result.lines.size(), 1u);
    EXPECT_EQ(result.lines[0].rfind("Failed\t" + Shown(damaged) + "\t", 0), 0u) << result.lines[0];
}

}  // namespace
}  // namespace pw
