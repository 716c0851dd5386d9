#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "engine/ToolInvocations.h"
#include "platform/ProcessRunner.h"
#include "tests/engine/ToolTestSupport.h"

namespace pw {
namespace {

using namespace test;

const std::string kLzw = R"("-c" "lzw")";

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

bool Exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

class ToolFailureTest : public ::testing::Test {
protected:
    // A stand-in tool: a shell script that gets the same arguments.
    void FakeTool(const std::string& name, const std::string& body)
    {
        program.WriteScript(name, "#!/bin/sh\n" + body + "\n");
    }

    ProgramFolder program;
    TempFolder files;
};

enum class Damage { Truncated, GarbageAfterHeader, NotTiff, CorruptPixels };

bool WriteDamaged(Damage damage, const std::string& path)
{
    switch (damage) {
    case Damage::Truncated: {
        const std::string good = path + ".good";
        const bool ok = WriteTiff(good, 2, Page(8, COMPRESSION_NONE, 256, 256))
                        && WriteTruncatedCopy(good, path, static_cast<long>(ReadBytes(good).size() / 2));
        ::unlink(good.c_str());
        return ok;
    }
    case Damage::GarbageAfterHeader:
        return WriteGarbageAfterHeader(path);
    case Damage::NotTiff:
        return WriteNonTiff(path);
    case Damage::CorruptPixels:
        return WriteCorruptPixelData(path);
    }
    return false;
}

std::string DamageName(const ::testing::TestParamInfo<Damage>& info)
{
    switch (info.param) {
    case Damage::Truncated: return "Truncated";
    case Damage::GarbageAfterHeader: return "GarbageAfterHeader";
    case Damage::NotTiff: return "NotTiff";
    case Damage::CorruptPixels: return "CorruptPixels";
    }
    return "Unknown";
}

class DamagedSourceTest : public ToolFailureTest, public ::testing::WithParamInterface<Damage> {
protected:
    void SetUp() override { ASSERT_TRUE(WriteDamaged(GetParam(), src)); }
    const std::string src = files / "damaged.tif";
};

TEST_P(DamagedSourceTest, CompressFailsAndWritesNothing)
{
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, files / "out.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_TRUE(StartsWith(outcome.reason, "tiffcp failed: ")) << outcome.reason;
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"damaged.tif"}));
}

TEST_P(DamagedSourceTest, CompressInPlaceLeavesTheSourceAsItWas)
{
    const std::string before = ReadBytes(src);
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, src, R"("-c" "g4")", "g4", nullptr, &outcome));
    // tiffinfo may already fail to read the bit depth that g4 needs.
    EXPECT_TRUE(StartsWith(outcome.reason, "tiffcp failed") || StartsWith(outcome.reason, "the bit depth"))
        << outcome.reason;
    EXPECT_TRUE(ReadBytes(src) == before);
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"damaged.tif"}));
}

TEST_P(DamagedSourceTest, MergeFailsAndKeepsWhatWasMergedBefore)
{
    const std::string good = files / "good.tif";
    const std::string later = files / "later.tif";
    const std::string out = files / "merged.tif";
    ASSERT_TRUE(WriteTiff(good, 2, Page(1)));
    ASSERT_TRUE(WriteTiff(later, 1, Page(8)));
    ASSERT_TRUE(MergeFile(good, out, R"("-c" "g4")", "TRUE", "g4"));
    const std::string merged = ReadBytes(out);

    ToolOutcome outcome;
    EXPECT_FALSE(MergeFile(src, out, R"("-c" "g4")", "TRUE", "g4", nullptr, &outcome));
    EXPECT_TRUE(StartsWith(outcome.reason, "tiffcp failed") || StartsWith(outcome.reason, "the bit depth"))
        << outcome.reason;
    EXPECT_TRUE(ReadBytes(out) == merged);

    // The batch goes on with the next file as if the damaged one was never tried.
    ASSERT_TRUE(MergeFile(later, out, R"("-c" "g4")", "TRUE", "g4"));
    EXPECT_TRUE(HasPagesOf(out, {{good, 2}, {later, 1}}));
}

TEST_P(DamagedSourceTest, MergeIntoANewOutputLeavesNoFile)
{
    EXPECT_FALSE(MergeFile(src, files / "merged.tif", "", "FALSE", "none"));
    EXPECT_FALSE(Exists(files / "merged.tif"));
}

TEST_P(DamagedSourceTest, SplitFailsUnlessTheDirectoryIsIntact)
{
    ToolOutcome outcome;
    const bool ok = SplitFile(src, files / "page.tif", nullptr, &outcome);
    if (GetParam() == Damage::CorruptPixels) {
        // tiffsplit copies the compressed data as it is, without decoding it;
        // the check finds the same stored bytes where it cannot decode them.
        EXPECT_TRUE(ok) << outcome.reason;
        EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"damaged.tif", "pageaaa.tif"}));
    } else {
        EXPECT_FALSE(ok);
        EXPECT_TRUE(StartsWith(outcome.reason, "tiffsplit failed")) << outcome.reason;
        EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"damaged.tif"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedSourceTest,
                         ::testing::Values(Damage::Truncated, Damage::GarbageAfterHeader, Damage::NotTiff,
                                           Damage::CorruptPixels),
                         DamageName);

TEST_F(ToolFailureTest, MissingPiecesGiveFalseWithTheirReason)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    ToolOutcome outcome;

    EXPECT_FALSE(CompressFile(files / "none.tif", files / "o.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "source missing");
    EXPECT_FALSE(MergeFile(files / "none.tif", files / "o.tif", kLzw, "TRUE", "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "source missing");
    EXPECT_FALSE(SplitFile(files / "none.tif", files / "o.tif", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "source missing");

    program.RemoveTool("tiffcp");
    EXPECT_FALSE(CompressFile(src, files / "o.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp missing");
    EXPECT_FALSE(MergeFile(src, files / "o.tif", kLzw, "TRUE", "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp missing");
    EXPECT_TRUE(SplitFile(src, files / "o.tif", nullptr, &outcome)) << outcome.reason;

    ::unlink(program.exe().c_str());
    EXPECT_FALSE(SplitFile(src, files / "p.tif", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "program path unreadable");
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"in.tif", "oaaa.tif"}));
}

TEST_F(ToolFailureTest, ProgramFolderWithoutToolsFailsEveryOperation)
{
    ProgramFolder bare(false);
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    ToolOutcome outcome;
    EXPECT_EQ(RunTiffInfo(src), "ERROR");
    EXPECT_FALSE(CompressFile(src, files / "o.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp missing");
    EXPECT_FALSE(MergeFile(src, files / "o.tif", kLzw, "TRUE", "lzw", nullptr, &outcome));
    EXPECT_FALSE(SplitFile(src, files / "o.tif", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffsplit missing");
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"in.tif"}));
}

TEST_F(ToolFailureTest, ToolThatCannotStartGivesFalse)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    FakeTool("tiffcp", "exit 0");
    ::chmod((program.path() + "/tiffcp").c_str(), 0644);
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, files / "o.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp could not be started");
}

TEST_F(ToolFailureTest, ToolThatLeavesNoOutputGivesFalse)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    FakeTool("tiffcp", "exit 0");
    FakeTool("tiffsplit", "exit 0");
    // A page file from an earlier run does not count as this run's output.
    ASSERT_TRUE(WriteTiff(files / "pageaaa.tif", 1));
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, files / "o.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp left no output");
    EXPECT_FALSE(MergeFile(src, files / "m.tif", kLzw, "TRUE", "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp left no output");
    EXPECT_FALSE(SplitFile(src, files / "page.tif", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffsplit left no page file");
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"in.tif", "pageaaa.tif"}));
}

TEST_F(ToolFailureTest, ToolEndedBySignalGivesFalse)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    FakeTool("tiffcp", "for last; do :; done; echo partial > \"$last\"; kill -9 $$");
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, files / "o.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp ended by signal 9");
    EXPECT_FALSE(Exists(files / "o.tif"));
}

// libtiff tools print harmless warnings before the error that made them
// fail: the reason is the error.
TEST_F(ToolFailureTest, TheReasonIsTheToolsErrorNotItsWarnings)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    FakeTool("tiffcp",
             "echo 'TIFFReadDirectory: Warning, Unknown field with tag 42112 (0xa480) encountered.' >&2\n"
             "echo 'in.tif: Cannot handle different values per sample for \"SampleFormat\".' >&2\nexit 1");
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, files / "o.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp failed: in.tif: Cannot handle different values per sample for \"SampleFormat\".");
    FakeTool("tiffcp", "echo 'TIFFReadDirectory: Warning, only a warning.' >&2\nexit 1");
    EXPECT_FALSE(CompressFile(src, files / "o.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp failed with exit status 1");
}

TEST_F(ToolFailureTest, FailedCompressLeavesAnExistingDestinationAlone)
{
    const std::string src = files / "in.tif";
    const std::string dst = files / "out.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    ASSERT_TRUE(WriteTiff(dst, 3, Page(1)));
    const std::string before = ReadBytes(dst);
    // Writes half a file, then fails.
    FakeTool("tiffcp", "for last; do :; done; echo junk > \"$last\"; echo 'tiffcp: disk on fire' >&2; exit 1");
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, dst, kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp failed: tiffcp: disk on fire");
    EXPECT_TRUE(ReadBytes(dst) == before);
    EXPECT_FALSE(CompressFile(src, src, kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"in.tif", "out.tif"}));
}

TEST_F(ToolFailureTest, CompressIntoAMissingFolderFails)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, files / "no/such/folder/o.tif", kLzw, "lzw", nullptr, &outcome));
    EXPECT_TRUE(StartsWith(outcome.reason, "cannot write in the folder of")) << outcome.reason;
    EXPECT_FALSE(CompressFile(src, "", kLzw, "lzw", nullptr, &outcome));
    EXPECT_FALSE(CompressFile(src, files.path(), kLzw, "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "destination is a folder");
}

TEST_F(ToolFailureTest, UnknownCompressionFails)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, files / "o.tif", R"("-c" "nonsense")", "nonsense", nullptr, &outcome));
    EXPECT_TRUE(StartsWith(outcome.reason, "tiffcp failed")) << outcome.reason;
    EXPECT_FALSE(Exists(files / "o.tif"));
}

TEST_F(ToolFailureTest, MergeThatLinkedAPageAndThenFailedIsUndone)
{
    const std::string first = files / "first.tif";
    const std::string src = files / "src.tif";
    const std::string out = files / "out.tif";
    ASSERT_TRUE(WriteTiff(first, 2, Page(1)));
    ASSERT_TRUE(WriteTiff(src, 1, Page(8)));
    ASSERT_TRUE(MergeFile(first, out, "", "FALSE", "none"));
    const std::string before = ReadBytes(out);

    // The real tool appends the page completely, then the run fails.
    FakeTool("tiffcp", SystemToolPath("tiffcp") + " \"$@\"; exit 2");
    ToolOutcome outcome;
    EXPECT_FALSE(MergeFile(src, out, "", "FALSE", "none", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp failed with exit status 2");
    EXPECT_TRUE(ReadBytes(out) == before);
    EXPECT_TRUE(HasPagesOf(out, {{first, 2}}));
}

TEST_F(ToolFailureTest, MergeIntoTheSourceItselfIsRefused)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 2));
    ASSERT_EQ(::symlink(src.c_str(), (files / "link.tif").c_str()), 0);
    const std::string before = ReadBytes(src);
    ToolOutcome outcome;
    EXPECT_FALSE(MergeFile(src, src, "", "FALSE", "none", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "output is the source");
    EXPECT_FALSE(MergeFile(src, files / "link.tif", "", "FALSE", "none", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "output is the source");
    EXPECT_TRUE(ReadBytes(src) == before);
}

TEST_F(ToolFailureTest, RequestedStopRunsNoTool)
{
    const std::string src = files / "in.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    const std::string marker = files / "ran";
    FakeTool("tiffinfo", "touch '" + marker + "'");
    FakeTool("tiffcp", "touch '" + marker + "'");
    FakeTool("tiffsplit", "touch '" + marker + "'");
    StopSignal stop;
    stop.Request();
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(src, files / "o.tif", kLzw, "lzw", &stop, &outcome));
    EXPECT_EQ(outcome.reason, "stopped");
    EXPECT_FALSE(MergeFile(src, files / "m.tif", kLzw, "TRUE", "lzw", &stop, &outcome));
    EXPECT_EQ(outcome.reason, "stopped");
    EXPECT_FALSE(SplitFile(src, files / "s.tif", &stop, &outcome));
    EXPECT_EQ(outcome.reason, "stopped");
    EXPECT_EQ(RunTiffInfo(src, &stop), "");
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"in.tif"}));
}

TEST_F(ToolFailureTest, StopDuringARunEndsItAndKeepsTheFiles)
{
    const std::string src = files / "in.tif";
    const std::string out = files / "out.tif";
    ASSERT_TRUE(WriteTiff(src, 1));
    ASSERT_TRUE(MergeFile(src, out, "", "FALSE", "none"));
    const std::string merged = ReadBytes(out);
    const std::string sourceBytes = ReadBytes(src);
    const std::string marker = files / "started";
    // Writes into its output, then hangs until it is ended.
    FakeTool("tiffcp", "for last; do :; done; echo junk >> \"$last\"; touch '" + marker + "'; exec sleep 1000");

    for (int operation = 0; operation < 2; ++operation) {
        ::unlink(marker.c_str());
        StopSignal stop;
        std::thread stopper([&] {
            if (WaitUntil([&] { return Exists(marker); }))
                stop.Request();
        });
        ToolOutcome outcome;
        const bool ok = operation == 0 ? MergeFile(src, out, "", "FALSE", "none", &stop, &outcome)
                                       : CompressFile(src, src, kLzw, "lzw", &stop, &outcome);
        stopper.join();
        EXPECT_FALSE(ok);
        EXPECT_EQ(outcome.reason, "stopped");
    }
    EXPECT_TRUE(ReadBytes(out) == merged);
    EXPECT_TRUE(ReadBytes(src) == sourceBytes);
    EXPECT_EQ(FolderEntries(files.path()), (std::vector<std::string>{"in.tif", "out.tif", "started"}));
    EXPECT_EQ(RunningToolProcessCount(), 0);
}

}  // namespace
}  // namespace pw
