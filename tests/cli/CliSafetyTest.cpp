// pagewright-batch against ordinary mistakes and bad luck: nothing the user
// had is lost, and no line reports a failure as a success.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "tests/cli/CliProgram.h"
#include "tests/pages/PageFiles.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using CliSafety = CliFixture;

// An entry's output that is another entry's source, or one output for two
// entries: refused before anything is written, naming the files.
TEST_F(CliSafety, AnOutputThatIsAnotherSourceIsRefusedBeforeAnythingIsWritten)
{
    const std::string red = File("a/x.tif", 1, Page(8, COMPRESSION_NONE, 20, 20));
    const std::string grad = File("b/x.tif", 2, Page(8, COMPRESSION_NONE, 30, 30));
    const std::string before = ReadBytes(grad);
    const CliResult compress = program_.Run({"compress", "--out", work_ / "b", "--method", "lzw", red, grad});
    EXPECT_EQ(compress.status, 1);
    EXPECT_EQ(compress.out, "");
    EXPECT_THAT(compress.err, HasSubstr(red));
    EXPECT_THAT(compress.err, HasSubstr(grad));
    EXPECT_TRUE(ReadBytes(grad) == before);

    const std::string earlier = File("b/x-1.tif", 3);
    const std::string pages = ReadBytes(earlier);
    const CliResult extract = program_.Run({"extract", "--out", work_ / "b", "--pages", "1", red, earlier});
    EXPECT_EQ(extract.status, 1);
    EXPECT_EQ(extract.out, "");
    EXPECT_THAT(extract.err, HasSubstr(earlier));
    EXPECT_TRUE(ReadBytes(earlier) == pages);
}

// A merge in which no file made it - a missing or broken source, a missing
// tiffcp - leaves the old output as it was, and nothing beside it.
TEST_F(CliSafety, AMergeThatMergesNothingKeepsTheOldOutput)
{
    const std::string merged = File("ov/merged.tif", 3);
    const std::string before = ReadBytes(merged);
    const std::string broken = work_ / "broken.tif";
    ASSERT_TRUE(WriteGarbageAfterHeader(broken));
    for (const std::string& source : {work_ / "nosuch.tif", broken}) {
        const CliResult result = program_.Run({"merge", "--out", merged, source});
        EXPECT_EQ(result.status, 1);
        EXPECT_THAT(result.out, StartsWith("Failed\t" + source + "\t"));
        EXPECT_TRUE(ReadBytes(merged) == before) << source;
        EXPECT_EQ(FilesIn(work_ / "ov"), std::set<std::string>{"merged.tif"});
    }
    CliProgram bare(false);
    const CliResult result = bare.Run({"merge", "--engine", "tools", "--out", merged, File("good.tif", 1)});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(ReadBytes(merged) == before);
    EXPECT_EQ(FilesIn(work_ / "ov"), std::set<std::string>{"merged.tif"});
}

// A merge output in a folder the user may not write, the file itself
// writable: nothing can be put in its place, so every file fails with the
// reason, and the old pages are neither added to nor lost.
TEST_F(CliSafety, AMergeOutputThatCannotBeReplacedFailsAndStaysAsItWas)
{
    const std::string r = File("r.tif", 1);
    const std::string m = File("ro2/m.tif", 3);
    const std::string before = ReadBytes(m);
    GiveToUser(work_.path(), program_.RunUnprivileged());
    ASSERT_EQ(::chmod((work_ / "ro2").c_str(), 0555), 0);
    const CliResult result = program_.Run({"merge", "--out", m, r});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.out, StartsWith("Failed\t" + r + "\tcannot write in the folder of " + m));
    EXPECT_TRUE(ReadBytes(m) == before);
}

// Another batch writes the output: this one refuses and touches nothing,
// also after a file was renamed over the output meanwhile (the path is
// taken, whatever file is there).
TEST_F(CliSafety, AMergeOutputThatAnotherBatchWritesIsRefused)
{
    const std::string merged = File("merged.tif", 2);
    const std::string running = work_ / "running";
    const std::string release = work_ / "release";
    ReplaceTool("tiffcp", "#!/bin/sh\ncase \"$*\" in *a.tif*) touch '" + running + "'\nwhile [ ! -e '" + release +
                              "' ]; do sleep 0.05; done;; esac\nexec '" + SystemToolPath("tiffcp") + "' \"$@\"\n");
    const std::string a = File("a.tif", 1);
    CliProgram::Running first = program_.Start({"merge", "--engine", "tools", "--out", merged, a});
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(running); }));
    ASSERT_EQ(::rename(File("other.tif", 3).c_str(), merged.c_str()), 0);
    const std::string before = ReadBytes(merged);

    const CliResult second = program_.Run({"merge", "--out", merged, File("b.tif", 1)});
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.out, "");
    EXPECT_THAT(second.err, HasSubstr("being written by another batch"));
    EXPECT_TRUE(ReadBytes(merged) == before);

    ASSERT_TRUE(WriteBytes(release, ""));
    const CliResult result = FinishOrKill(first);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(CountDirectories(merged), 1);
}

// A failed extract keeps an older output whole, gives the right reason, and
// its page line goes to standard error, out of the status lines.
TEST_F(CliSafety, AFailedExtractKeepsTheOldOutputAndKeepsItsLineOffTheStatusLines)
{
    const std::string out = Folder("exold");
    const std::string hopper = File("hopper.tif", 3);
    const std::string old = File("exold/hopper-0.tif", 4);
    const std::string before = ReadBytes(old);
    const CliResult none = program_.Run({"extract", "--out", out, "--pages", "0", hopper});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "Failed\t" + hopper + "\tthe range selects no page of the file\n");
    EXPECT_TRUE(ReadBytes(old) == before);

    // The third page's strip lies past the end of the file.
    TiffPatcher patcher(ReadBytes(File("damaged.tif", 3)));
    patcher.SetElement(2, TIFFTAG_STRIPOFFSETS, 0, static_cast<uint32_t>(patcher.bytes().size()) + 100);
    const std::string damaged = work_ / "damaged.tif";
    ASSERT_TRUE(patcher.Save(damaged));
    const std::string three = File("exold/damaged-all.tif", 3);
    const std::string three_before = ReadBytes(three);
    const CliResult result = program_.Run({"extract", "--out", out, "--pages", "all", damaged, hopper});
    EXPECT_EQ(result.status, 1);
    ASSERT_EQ(result.OutLines().size(), 2u) << result.out;
    EXPECT_THAT(result.OutLines()[0], StartsWith("Failed\t" + damaged + "\ta page cannot be loaded: "));
    EXPECT_EQ(result.OutLines()[1], "Success\t" + hopper);
    EXPECT_THAT(result.err, HasSubstr("] Failed to load '" + damaged + "' file...\n"));
    EXPECT_TRUE(ReadBytes(three) == three_before);
    EXPECT_EQ(FilesIn(out), (std::set<std::string>{"damaged-all.tif", "hopper-0.tif", "hopper-all.tif"}));
}

// A FIFO as the settings file or as a source blocks nothing: the settings
// are not read, the FIFO source fails with the reason, the rest goes on.
TEST_F(CliSafety, FifosAsSettingsOrSourcesBlockNothing)
{
    ASSERT_EQ(::mkfifo((program_.folder() + "/Pagewright.ini").c_str(), 0644), 0);
    const std::string fifo = work_ / "in/fifo.tif";
    fs::create_directories(work_ / "in");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string good = File("in/good.tif", 1);
    const std::string out = Folder("out");
    for (const char* command : {"compress", "split", "merge"}) {
        const std::string target = std::string(command) == "merge" ? out + "/m.tif" : out;
        CliProgram::Running running = program_.Start({command, "--out", target, fifo, good});
        const CliResult result = FinishOrKill(running);
        EXPECT_EQ(result.status, 1) << command;
        ASSERT_EQ(result.OutLines().size(), 2u) << command << result.out;
        EXPECT_EQ(result.OutLines()[0], "Failed\t" + fifo + "\tnot a regular file");
        EXPECT_EQ(result.OutLines()[1], "Success\t" + good);
    }
    CliProgram::Running info = program_.Start({"info", fifo});
    EXPECT_EQ(FinishOrKill(info).status, 1);
}

// SIGINT while the plan empties a large old split folder: the batch is not
// started at all.
TEST_F(CliSafety, AStopDuringPlanningStartsNothing)
{
    const std::string out = Folder("out");
    const std::string stale = Folder("out/in1_1");
    constexpr int kStaleFiles = 20000;
    for (int i = 0; i < kStaleFiles; ++i)
        std::ofstream(stale + "/page" + std::to_string(i));
    std::vector<std::string> arguments = {"split", "--out", out, "--name", "in1"};
    for (int i = 0; i < 40; ++i)
        arguments.push_back(File("in" + std::to_string(i) + ".tif", 1));

    CliProgram::Running running = program_.Start(arguments);
    ASSERT_TRUE(WaitUntil([&] {
        std::error_code error;
        auto entries = fs::directory_iterator(stale, error);
        return error || std::distance(entries, fs::directory_iterator()) < kStaleFiles;
    }));
    running.Signal(SIGINT);
    const CliResult result = FinishOrKill(running);
    EXPECT_EQ(result.status, 130);
    EXPECT_EQ(result.out, "") << "no file processed";
}

// SIGKILL of the program ends its running tool with it; the temporary file
// it left is removed by the next start.
TEST_F(CliSafety, AKilledProgramLeavesNoToolBehindAndItsTemporariesGoAtTheNextStart)
{
    const std::string pidFile = work_ / "tool.pid";
    ReplaceTool("tiffcp", "#!/bin/sh\necho $$ > '" + pidFile + ".new'\nmv '" + pidFile + ".new' '" + pidFile +
                              "'\nexec sleep 60\n");
    const std::string a = File("a.tif", 1);
    const std::string out = Folder("out");
    const std::string old = File("out/a.tif", 2);
    const std::string before = ReadBytes(old);

    CliProgram::Running running = program_.Start({"compress", "--out", out, a});
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(pidFile); }));
    const pid_t tool = static_cast<pid_t>(std::stol(ReadBytes(pidFile)));
    ASSERT_EQ(FilesIn(out).size(), 2u) << "the program writes beside the destination";
    running.Signal(SIGKILL);
    running.Finish();
    EXPECT_TRUE(WaitUntil([tool] { return ProcessEnded(tool); })) << "the tool died with the program";
    if (!ProcessEnded(tool))
        ::kill(tool, SIGKILL);
    EXPECT_EQ(FilesIn(out).size(), 2u) << "the temporary file is still there";

    EXPECT_EQ(program_.Run({"count", a}).status, 0);
    EXPECT_EQ(FilesIn(out), std::set<std::string>{"a.tif"});
    EXPECT_TRUE(ReadBytes(old) == before);
}

// A file name cannot forge a status line: control characters are escaped.
TEST_F(CliSafety, FileNamesCannotForgeStatusLines)
{
    const std::string bad = work_ / "bad.tif\nSuccess\tbad";
    ASSERT_TRUE(WriteNonTiff(bad));
    const std::string out = Folder("out");
    const std::string shown = work_ / "bad.tif\\nSuccess\\tbad";
    const CliResult result = program_.Run({"compress", "--out", out, bad});
    EXPECT_EQ(result.status, 1);
    ASSERT_EQ(result.OutLines().size(), 1u) << result.out;
    EXPECT_THAT(result.OutLines()[0], StartsWith("Failed\t" + shown + "\t"));
    EXPECT_EQ(program_.Run({"count", bad}).out, "0\t" + shown + "\n");
}

// g3 and g4 need the bit depth; without tiffinfo it is read through
// libtiff, so the page is still written with g4. info fails with the tool.
TEST_F(CliSafety, WhatNeedsTheReportToolReadsTheBitDepthWithoutIt)
{
    const std::string text = work_ / "text.tif";
    ASSERT_TRUE(WriteNonTiff(text));
    for (const std::string& file : {text, Folder("folder.tif")})
        EXPECT_EQ(program_.Run({"info", file}).status, 1) << file;

    fs::remove(program_.folder() + "/tiffinfo");
    const std::string bilevel = File("bilevel.tif", 1, Page(1, COMPRESSION_NONE, 100, 40));
    const std::string out = Folder("out");
    const CliResult result = program_.Run({"compress", "--out", out, "--method", "g4", bilevel});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Success\t" + bilevel + "\n");
    ASSERT_EQ(FilesIn(out).size(), 1u);
}

// The executable replaced while it runs (a rebuild, an upgrade): the program
// keeps its folder, so its tools and settings.
TEST_F(CliSafety, TheProgramKeepsItsFolderWhenItsFileIsReplaced)
{
    const std::string exe = program_.exe();
    ReplaceTool("tiffcp", "#!/bin/sh\nif [ ! -e '" + exe + ".replaced' ]; then cp '" + exe + "' '" + exe +
                              ".new' && mv '" + exe + ".new' '" + exe + "' && touch '" + exe +
                              ".replaced'; fi\nexec '" + SystemToolPath("tiffcp") + "' \"$@\"\n");
    const std::string a = File("a.tif", 1);
    const std::string b = File("b.tif", 1);
    const CliResult result = program_.Run({"compress", "--out", Folder("out"), a, b});
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.OutLines(), (std::vector<std::string>{"Success\t" + a, "Success\t" + b}));
    EXPECT_TRUE(fs::exists(exe + ".replaced"));
}

}  // namespace
}  // namespace pw::test
