// The output plan: names per operation, settings per entry, the prepared
// split folders, and the refusals that protect the sources.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/BatchPlan.h"
#include "platform/TempFiles.h"
#include "settings/CompressionMethod.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

using test::ProgramFolder;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsRealFolder(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class BatchPlanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentCompressionMethod(std::string());
        ASSERT_EQ(::mkdir((work_ / "in").c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((work_ / "out").c_str(), 0755), 0);
        for (const char* name : {"scan.tif", "letter two.TIFF", "noext"}) {
            sources_.push_back(work_ / "in/" + name);
            ASSERT_TRUE(WriteBytes(sources_.back(), "source"));
        }
    }
    void Settings(const std::string& lines)
    {
        ASSERT_TRUE(WriteBytes(program_.path() + "/Pagewright.ini", "[Pagewright]\n" + lines));
    }
    std::string Out() const { return work_ / "out"; }

    TempFolder config_;
    test::ScopedEnvironment configHome_{"XDG_CONFIG_HOME", config_.path()};
    TempFolder work_;
    ProgramFolder program_{true};
    std::vector<std::string> sources_;
};

TEST_F(BatchPlanTest, CompressWritesEachSourceAsItsBaseNameWithTifIntoTheFolder)
{
    Settings("CompressMethod=1\nUseCompressMethod=TRUE\n");
    for (const std::string& folder : {Out(), Out() + "/"}) {
        const BatchPlan plan = PlanBatch("Compress", sources_, folder);
        ASSERT_TRUE(plan.ok) << plan.error;
        EXPECT_EQ(plan.job.sources, sources_);
        EXPECT_EQ(plan.job.outputs, (std::vector<std::string>{Out() + "/scan.tif", Out() + "/letter two.tif",
                                                              Out() + "/noext.tif"}));
        EXPECT_EQ(plan.job.compressionArguments, std::vector<std::string>(3, "\"-c\" \"lzw\""));
        EXPECT_EQ(plan.job.compressionMethod, "lzw");
        EXPECT_EQ(plan.job.useCompression, "TRUE");
    }
}

TEST_F(BatchPlanTest, CompressIntoTheSourcesFolderNamesTheSourceItself)
{
    const BatchPlan plan = PlanBatch("Compress", {sources_[0]}, work_ / "in");
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_EQ(plan.job.outputs[0], sources_[0]);
}

TEST_F(BatchPlanTest, MergeNamesTheChosenFileForEveryEntry)
{
    Settings("CompressMethod=5\nUseCompressMethod=true\n");
    const std::string merged = Out() + "/merged.tif";
    const BatchPlan plan = PlanBatch("Merge", sources_, merged);
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_EQ(plan.job.outputs, std::vector<std::string>(3, merged));
    EXPECT_EQ(plan.job.useCompression, "FALSE") << "only exactly TRUE switches compression on";
    EXPECT_EQ(plan.job.compressionArguments, std::vector<std::string>(3, "\"-c\" \"g4\""));
    EXPECT_EQ(plan.job.compressionMethod, "g4");
}

TEST_F(BatchPlanTest, WithoutASettingsFileMergeRunsUncompressedAndTheMethodNameStays)
{
    SetCurrentCompressionMethod("zip");
    const BatchPlan plan = PlanBatch("Merge", sources_, Out() + "/merged.tif");
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_EQ(plan.job.useCompression, "FALSE");
    EXPECT_EQ(plan.job.compressionArguments, std::vector<std::string>(3, ""));
    EXPECT_EQ(plan.job.compressionMethod, "zip");
    EXPECT_FALSE(Exists(program_.path() + "/Pagewright.ini")) << "planning writes no settings";
}

TEST_F(BatchPlanTest, SplitMakesFreshFoldersFromTheNamingRule)
{
    Settings("Name=Demo1_\n");
    const std::string stale = Out() + "/Demo1__2";
    ASSERT_EQ(::mkdir(stale.c_str(), 0755), 0);
    ASSERT_TRUE(WriteBytes(stale + "/old page.tif", "old"));
    ASSERT_EQ(::chmod((stale + "/old page.tif").c_str(), 0444), 0);

    const BatchPlan plan = PlanBatch("Split", sources_, Out());
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_EQ(plan.job.outputs, (std::vector<std::string>{Out() + "/Demo1__1/scan.tif",
                                                          Out() + "/Demo1__2/letter two.tif",
                                                          Out() + "/Demo1__3/noext.tif"}));
    for (const char* folder : {"/Demo1__1", "/Demo1__2", "/Demo1__3"})
        EXPECT_TRUE(IsRealFolder(Out() + folder)) << folder;
    EXPECT_FALSE(Exists(stale + "/old page.tif")) << "old contents are removed";
}

TEST_F(BatchPlanTest, ASplitFolderThatIsALinkIsReplacedAndItsTargetKept)
{
    Settings("Name=Demo1_\n");
    TempFolder elsewhere;
    ASSERT_TRUE(WriteBytes(elsewhere / "keep.tif", "keep"));
    ASSERT_EQ(::symlink(elsewhere.path().c_str(), (Out() + "/Demo1__1").c_str()), 0);
    const BatchPlan plan = PlanBatch("Split", {sources_[0]}, Out());
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_TRUE(IsRealFolder(Out() + "/Demo1__1"));
    EXPECT_EQ(ReadBytes(elsewhere / "keep.tif"), "keep");
}

// Whatever the rule, the folder is a direct child of the chosen folder.
class SplitRule : public BatchPlanTest, public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(SplitRule, GivesADirectChildOfTheChosenFolder)
{
    const auto& [rule, expected] = GetParam();
    Settings("Name=" + rule + "\n");
    const BatchPlan plan = PlanBatch("Split", {sources_[0], sources_[1]}, Out());
    ASSERT_TRUE(plan.ok) << plan.error;
    for (size_t i = 0; i < 2; ++i) {
        const std::filesystem::path output = plan.job.outputs[i];
        EXPECT_EQ(output.parent_path().parent_path(), std::filesystem::path(Out())) << output;
        EXPECT_TRUE(IsRealFolder(output.parent_path())) << output;
    }
    EXPECT_EQ(std::filesystem::path(plan.job.outputs[0]).parent_path().filename(), expected);
    EXPECT_FALSE(Exists(work_ / "escaped_1"));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitRule,
    ::testing::Values(std::pair<std::string, std::string>{"", "scan_1"},
                      std::pair<std::string, std::string>{"ERROR", "scan_1"},
                      std::pair<std::string, std::string>{"../escaped", "___escaped_1"},
                      std::pair<std::string, std::string>{"..", "___1"},
                      std::pair<std::string, std::string>{".", "._1"},
                      std::pair<std::string, std::string>{"a/b/c", "a_b_c_1"},
                      std::pair<std::string, std::string>{"/etc/x", "_etc_x_1"},
                      std::pair<std::string, std::string>{"v1...2", "v1__.2_1"},
                      std::pair<std::string, std::string>{"My Pages =", "My Pages =_1"}));

TEST_F(BatchPlanTest, WithoutANamingRuleFoldersComeFromBaseNamesEvenOddOnes)
{
    const std::string dotted = work_ / "in/..tif";
    const std::string bare = work_ / "in/.tif";
    ASSERT_TRUE(WriteBytes(dotted, "x"));
    ASSERT_TRUE(WriteBytes(bare, "x"));
    const BatchPlan plan = PlanBatch("Split", {dotted, bare}, Out());
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_EQ(plan.job.outputs[0], Out() + "/._1/..tif");
    EXPECT_EQ(plan.job.outputs[1], Out() + "/_2/.tif");
    EXPECT_TRUE(IsRealFolder(Out() + "/._1"));
    EXPECT_TRUE(IsRealFolder(Out() + "/_2"));
}

TEST_F(BatchPlanTest, ASplitFolderThatCannotBeCreatedStopsThePlanThere)
{
    Settings("Name=Demo1_\n");
    ASSERT_TRUE(WriteBytes(Out() + "/Demo1__2", "a file in the way"));
    const BatchPlan plan = PlanBatch("Split", sources_, Out());
    EXPECT_FALSE(plan.ok);
    EXPECT_NE(plan.error.find("Demo1__2"), std::string::npos) << plan.error;
    EXPECT_TRUE(IsRealFolder(Out() + "/Demo1__1")) << "earlier folders stay";
    EXPECT_FALSE(Exists(Out() + "/Demo1__3"));
    EXPECT_EQ(ReadBytes(Out() + "/Demo1__2"), "a file in the way");
}

TEST_F(BatchPlanTest, ASplitFolderHoldingASourceIsRefusedBeforeAnythingIsRemoved)
{
    Settings("Name=Demo1_\n");
    const std::string previous = Out() + "/Demo1__2";
    ASSERT_EQ(::mkdir(previous.c_str(), 0755), 0);
    const std::string page = previous + "/scan0001.tif";
    ASSERT_TRUE(WriteBytes(page, "a page of the last split"));
    ASSERT_EQ(::mkdir((Out() + "/Demo1__1").c_str(), 0755), 0);
    ASSERT_TRUE(WriteBytes(Out() + "/Demo1__1/old.tif", "old"));

    const BatchPlan plan = PlanBatch("Split", {sources_[0], page}, Out());
    EXPECT_FALSE(plan.ok);
    EXPECT_EQ(ReadBytes(page), "a page of the last split");
    EXPECT_EQ(ReadBytes(Out() + "/Demo1__1/old.tif"), "old") << "refused before any folder is emptied";
}

TEST_F(BatchPlanTest, AMergeOutputThatIsOneOfTheSourcesIsRefusedBeforeAnythingIsDeleted)
{
    ASSERT_EQ(::symlink(sources_[1].c_str(), (work_ / "link.tif").c_str()), 0);
    ASSERT_EQ(::link(sources_[2].c_str(), (work_ / "hard.tif").c_str()), 0);
    const std::string dotted = work_ / "in/../in/./scan.tif";
    for (const std::string& output : {sources_[0], dotted, work_ / "link.tif", work_ / "hard.tif"}) {
        const BatchPlan plan = PlanBatch("Merge", sources_, output);
        EXPECT_FALSE(plan.ok) << output;
        EXPECT_NE(plan.error.find("one of the files to merge"), std::string::npos) << plan.error;
    }
    for (const std::string& source : sources_)
        EXPECT_EQ(ReadBytes(source), "source");
}

TEST_F(BatchPlanTest, AMissingSourceNamedAsTheMergeOutputIsRefusedToo)
{
    const std::string missing = work_ / "in/missing.tif";
    const BatchPlan plan = PlanBatch("Merge", {missing, sources_[0]}, work_ / "in/./missing.tif");
    EXPECT_FALSE(plan.ok);
}

TEST_F(BatchPlanTest, MissingOutputPlacesAndUnknownOperationsAreRefused)
{
    EXPECT_FALSE(PlanBatch("Compress", sources_, work_ / "no such folder").ok);
    EXPECT_FALSE(PlanBatch("Split", sources_, sources_[0]).ok) << "a file is no folder";
    EXPECT_FALSE(PlanBatch("Compress", sources_, "").ok);
    EXPECT_FALSE(PlanBatch("Merge", sources_, "").ok);
    EXPECT_FALSE(PlanBatch("Merge", sources_, Out()).ok) << "a folder is no output file";
    EXPECT_FALSE(PlanBatch("compress", sources_, Out()).ok);
}

// An entry may write its own source (compress in place), but no other
// entry's, and no two entries one file: refused before anything is written.
TEST_F(BatchPlanTest, AnOutputThatIsAnotherSourceOrTwiceTheSameIsRefused)
{
    const std::string other = work_ / "other";
    ASSERT_EQ(::mkdir(other.c_str(), 0755), 0);
    const std::string first = other + "/scan.tif";
    ASSERT_TRUE(WriteBytes(first, "other scan"));
    ASSERT_EQ(::symlink((work_ / "in").c_str(), (work_ / "alias").c_str()), 0);

    // other/scan.tif goes to in/scan.tif, the second source, before it is read.
    for (const std::string& folder : {work_ / "in", work_ / "alias", work_ / "in/../in"}) {
        const BatchPlan plan = PlanBatch("Compress", {first, sources_[0]}, folder);
        EXPECT_FALSE(plan.ok) << folder;
        EXPECT_NE(plan.error.find(first), std::string::npos) << plan.error;
        EXPECT_NE(plan.error.find(sources_[0]), std::string::npos) << plan.error;
    }
    // Both go to out/scan.tif.
    const BatchPlan twice = PlanBatch("Compress", {first, sources_[0]}, Out());
    EXPECT_FALSE(twice.ok);
    EXPECT_NE(twice.error.find("would both be written to"), std::string::npos) << twice.error;
    EXPECT_FALSE(Exists(Out() + "/scan.tif"));
    EXPECT_EQ(ReadBytes(sources_[0]), "source");

    EXPECT_TRUE(PlanBatch("Compress", sources_, work_ / "in").ok) << "each file in place";
}

// A second batch may not write the merge output the first one is writing;
// once the first job is released it may. An output the lock had to create
// goes again with the job.
TEST_F(BatchPlanTest, AMergeOutputIsLockedForTheLengthOfTheJob)
{
    const std::string output = Out() + "/merged.tif";
    {
        BatchPlan first = PlanBatch("Merge", sources_, output);
        ASSERT_TRUE(first.ok) << first.error;
        EXPECT_FALSE(Exists(output)) << "no empty file stands in for the output";
        const BatchPlan second = PlanBatch("Merge", {sources_[0]}, output);
        EXPECT_FALSE(second.ok);
        EXPECT_NE(second.error.find("being written by another batch"), std::string::npos) << second.error;
        // The name is taken, whatever file comes to it.
        ASSERT_TRUE(WriteBytes(Out() + "/renamed.tif", "renamed over the output"));
        ASSERT_EQ(::rename((Out() + "/renamed.tif").c_str(), output.c_str()), 0);
        EXPECT_FALSE(PlanBatch("Merge", {sources_[0]}, output).ok);
        ASSERT_EQ(::unlink(output.c_str()), 0);
    }
    EXPECT_FALSE(Exists(output));
    ASSERT_TRUE(WriteBytes(output, "an old merge"));
    {
        const BatchPlan again = PlanBatch("Merge", sources_, output);
        EXPECT_TRUE(again.ok) << again.error;
    }
    EXPECT_EQ(ReadBytes(output), "an old merge");
    ASSERT_EQ(::mkfifo((Out() + "/fifo.tif").c_str(), 0644), 0);
    EXPECT_FALSE(PlanBatch("Merge", sources_, Out() + "/fifo.tif").ok) << "a FIFO is no output file";
}

// A split empties no folder another batch writes in: one that holds a
// running process's temporary file, or the output a merge has locked.
TEST_F(BatchPlanTest, AFolderAnotherBatchWritesInIsNotEmptied)
{
    Settings("Name=Demo1_\n");
    const std::string first = Out() + "/Demo1__1";
    ASSERT_EQ(::mkdir(first.c_str(), 0755), 0);
    const std::string temporary = first + "/." + OwnTempPrefix(::getpid()) + "abcdef.tif";
    ASSERT_TRUE(WriteBytes(temporary, "pages being merged"));
    BatchPlan plan = PlanBatch("Split", {sources_[0]}, Out());
    EXPECT_FALSE(plan.ok);
    EXPECT_NE(plan.error.find(temporary + ", which another batch is writing"), std::string::npos) << plan.error;
    EXPECT_EQ(ReadBytes(temporary), "pages being merged");

    const std::string stale = first + "/." + OwnTempPrefix(999999999) + "abcdef.tif";
    ASSERT_EQ(::rename(temporary.c_str(), stale.c_str()), 0);
    const BatchPlan merging = PlanBatch("Merge", {sources_[0]}, first + "/merged.tif");
    ASSERT_TRUE(merging.ok) << merging.error;
    EXPECT_FALSE(Exists(stale)) << "what a process that is gone left is cleared away";
    plan = PlanBatch("Split", {sources_[0]}, Out());
    EXPECT_FALSE(plan.ok);
    EXPECT_NE(plan.error.find("which another batch is writing"), std::string::npos) << plan.error;
}

// However many files, the settings file is read once for the batch.
TEST_F(BatchPlanTest, TheSettingsAreReadOncePerBatch)
{
    Settings("Name=Demo1_\nCompressMethod=1\n");
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    // Closes too, so that successive opens are events of their own.
    ASSERT_GE(::inotify_add_watch(watch, (program_.path() + "/Pagewright.ini").c_str(), IN_OPEN | IN_CLOSE), 0);
    std::vector<std::string> sources;
    for (int i = 0; i < 20; ++i)
        sources.push_back(sources_[0]);
    const BatchPlan plan = PlanBatch("Compress", {sources_[0], sources_[1], sources_[2]}, Out());
    ASSERT_TRUE(plan.ok) << plan.error;
    ASSERT_TRUE(PlanBatch("Split", sources, Out()).ok);
    int opens = 0;
    alignas(inotify_event) char events[4096];
    for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;) {
        for (char* at = events; at < events + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            opens += (event->mask & IN_OPEN) != 0;
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(plan.job.compressionArguments, std::vector<std::string>(3, "\"-c\" \"lzw\""));
}

// A zero byte in the naming rule ends the rule: it never cuts a split
// folder's name short to an unrelated folder that would then be emptied.
TEST_F(BatchPlanTest, AZeroByteInTheNamingRuleNeverEmptiesAnotherFolder)
{
    ASSERT_TRUE(WriteBytes(program_.path() + "/Pagewright.ini", std::string("[Pagewright]\nName=photos\0junk\n")));
    const std::string photos = Out() + "/photos";
    ASSERT_EQ(::mkdir(photos.c_str(), 0755), 0);
    ASSERT_TRUE(WriteBytes(photos + "/holiday.tif", "keep"));
    const BatchPlan plan = PlanBatch("Split", {sources_[0]}, Out());
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_EQ(plan.job.outputs[0], Out() + "/photos_1/scan.tif");
    EXPECT_EQ(ReadBytes(photos + "/holiday.tif"), "keep");

    BatchSettingsOverrides overrides;
    overrides.namingRule = std::string("photos\0junk", 11);
    EXPECT_FALSE(PlanBatch("Split", {sources_[0]}, Out(), overrides).ok);
    EXPECT_EQ(ReadBytes(photos + "/holiday.tif"), "keep");
}

// Without tiffsplit every entry of the tools will fail: the old split
// folders stay. The builtin engine needs no tool and empties them.
TEST_F(BatchPlanTest, WithoutTheSplitToolNoFolderIsEmptiedForTheTools)
{
    Settings("Name=Demo1_\nEngine=tools\n");
    const std::string stale = Out() + "/Demo1__1";
    ASSERT_EQ(::mkdir(stale.c_str(), 0755), 0);
    ASSERT_TRUE(WriteBytes(stale + "/page.tif", "a page of the last split"));
    program_.RemoveTool("tiffsplit");
    const BatchPlan plan = PlanBatch("Split", {sources_[0]}, Out());
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_EQ(plan.engine, BatchEngine::Tools);
    EXPECT_EQ(ReadBytes(stale + "/page.tif"), "a page of the last split");

    Settings("Name=Demo1_\n");
    const BatchPlan builtin = PlanBatch("Split", {sources_[0]}, Out());
    ASSERT_TRUE(builtin.ok) << builtin.error;
    EXPECT_EQ(builtin.engine, BatchEngine::Builtin);
    EXPECT_TRUE(IsRealFolder(stale));
    EXPECT_FALSE(Exists(stale + "/page.tif"));
}

// "Engine" is read with the other keys; only exactly "tools" is the tools,
// and an override wins for one run.
TEST_F(BatchPlanTest, TheEngineComesFromTheSettingOrTheOverride)
{
    const std::string merged = Out() + "/m.tif";
    EXPECT_EQ(PlanBatch("Merge", sources_, merged).engine, BatchEngine::Builtin) << "no settings file";
    for (const auto& [stored, engine] : std::vector<std::pair<std::string, BatchEngine>>{
             {"", BatchEngine::Builtin},
             {"Engine=\n", BatchEngine::Builtin},
             {"Engine=builtin\n", BatchEngine::Builtin},
             {"Engine=tools\n", BatchEngine::Tools},
             {"Engine=TOOLS\n", BatchEngine::Builtin},
             {"Engine=tool\n", BatchEngine::Builtin}}) {
        Settings(stored);
        const BatchPlan plan = PlanBatch("Merge", sources_, merged);
        ASSERT_TRUE(plan.ok) << plan.error;
        EXPECT_EQ(plan.engine, engine) << stored;
    }
    BatchSettingsOverrides overrides;
    overrides.engine = BatchEngine::Builtin;
    EXPECT_EQ(PlanBatch("Split", sources_, Out(), overrides).engine, BatchEngine::Builtin);
    Settings("");
    overrides.engine = BatchEngine::Tools;
    EXPECT_EQ(PlanBatch("Split", sources_, Out(), overrides).engine, BatchEngine::Tools);
}

TEST_F(BatchPlanTest, OverridesReplaceTheSettingsForThisRunOnly)
{
    Settings("Name=FromFile_\nCompressMethod=1\nUseCompressMethod=FALSE\n");
    const std::string before = ReadBytes(program_.path() + "/Pagewright.ini");
    BatchSettingsOverrides overrides;
    overrides.namingRule = "Run";
    overrides.compressMethod = 3;
    overrides.useCompression = true;
    SetCurrentCompressionMethod("g3");

    const BatchPlan split = PlanBatch("Split", {sources_[0]}, Out(), overrides);
    ASSERT_TRUE(split.ok) << split.error;
    EXPECT_EQ(split.job.outputs[0], Out() + "/Run_1/scan.tif");
    EXPECT_EQ(split.job.compressionArguments[0], "\"-c\" \"packbits\"");
    EXPECT_EQ(split.job.compressionMethod, "packbits");
    EXPECT_EQ(split.job.useCompression, "TRUE");
    EXPECT_EQ(ReadBytes(program_.path() + "/Pagewright.ini"), before);
    EXPECT_EQ(GetCurrentCompressionMethod(), "g3") << "an override does not touch the process's method name";

    const BatchPlan merge = PlanBatch("Merge", {}, Out() + "/m.tif", overrides);
    EXPECT_EQ(merge.job.compressionMethod, "packbits");
}

}  // namespace
}  // namespace pw
