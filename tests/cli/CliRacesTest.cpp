// pagewright-batch against races, read errors and hang-ups: links and files
// that appear in the output folder during a batch, folders that vanish, a
// disk or a terminal that goes away, kills at the worst moment. Nothing the
// user had is lost, and no line reports a failure as a success.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <filesystem>
#include <cctype>
#include <set>

#include "tests/cli/CliProgram.h"
#include "tests/pages/PageFiles.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// What runs of this program left in the folder: temporaries and locks.
bool HoldsLeftovers(const std::string& folder)
{
    for (const std::string& name : FilesIn(folder)) {
        if (name.rfind(".pagewright-", 0) == 0)
            return true;
    }
    return false;
}

bool HoldsTemporaries(const std::string& folder)
{
    for (const std::string& name : FilesIn(folder)) {
        if (name.rfind(".pagewright-", 0) == 0 && std::isdigit(static_cast<unsigned char>(name[12])))
            return true;
    }
    return false;
}

class CliRaces : public CliFixture {
protected:
    // Puts a script in the tool's place that runs `before`, then the real tool.
    void WrapTool(const std::string& tool, const std::string& before)
    {
        ReplaceTool(tool, "#!/bin/sh\n" + before + "\nexec '" + SystemToolPath(tool) + "' \"$@\"\n");
    }
    // Runs with the fault shim in the program's environment.
    CliResult RunWithFaults(const std::vector<std::pair<std::string, std::string>>& faults,
                            const std::vector<std::string>& arguments)
    {
        std::vector<std::unique_ptr<ScopedEnvironment>> environment;
        environment.push_back(std::make_unique<ScopedEnvironment>("LD_PRELOAD", PAGEWRIGHT_FAULT_SHIM));
        for (const auto& [name, value] : faults)
            environment.push_back(std::make_unique<ScopedEnvironment>(name, value));
        CliProgram::Running running = program_.Start(arguments);
        return FinishOrKill(running);
    }
};

// A link in the output folder, there before the batch or made during it,
// is replaced by the output: what it leads to stays as it was. A source
// moved in under an output's name during the batch is not written over.
TEST_F(CliRaces, AnOutputIsAFileInTheChosenFolderNeverWrittenThroughALinkNorOverASource)
{
    const std::string keep = File("elsewhere/keep.tif", 2, Page(8, COMPRESSION_NONE, 30, 30));
    const std::string kept = ReadBytes(keep);
    std::vector<std::string> sources;
    for (const char* name : {"a", "b", "c", "d"})
        sources.push_back(File(std::string("src/") + name + ".tif", 1, Page(8, COMPRESSION_NONE, 20, 20)));
    const std::string c = ReadBytes(sources[2]);
    const std::string d = ReadBytes(sources[3]);
    const std::string out = Folder("out");
    ASSERT_EQ(::symlink(keep.c_str(), (out + "/a.tif").c_str()), 0);
    WrapTool("tiffcp", "case \"$*\" in *src/a.tif*) ln -s '" + sources[2] + "' '" + out + "/b.tif'; mv '" +
                           sources[3] + "' '" + out + "/c.tif';; esac");

    std::vector<std::string> arguments = {"compress", "--out", out, "--method", "lzw"};
    arguments.insert(arguments.end(), sources.begin(), sources.end());
    const CliResult result = program_.Run(arguments);
    EXPECT_EQ(result.status, 1);
    ASSERT_EQ(result.OutLines().size(), 4u) << result.out;
    EXPECT_EQ(result.OutLines()[0], "Success\t" + sources[0]);
    EXPECT_EQ(result.OutLines()[1], "Success\t" + sources[1]);
    EXPECT_THAT(result.OutLines()[2], HasSubstr("c.tif is one of the files the batch reads"));
    EXPECT_THAT(result.OutLines()[3], StartsWith("Failed\t" + sources[3] + "\tsource missing"));
    EXPECT_TRUE(ReadBytes(keep) == kept);
    EXPECT_TRUE(ReadBytes(sources[2]) == c);
    EXPECT_TRUE(ReadBytes(out + "/c.tif") == d) << "the moved source keeps its pages";
    for (int i = 0; i < 2; ++i) {
        const std::string written = out + "/" + std::string(1, static_cast<char>('a' + i)) + ".tif";
        EXPECT_FALSE(fs::is_symlink(written));
        EXPECT_EQ(ReadPagePixels(written, 0), ReadPagePixels(sources[static_cast<size_t>(i)], 0));
    }

    const std::string extracts = Folder("extracts");
    ASSERT_EQ(::symlink(keep.c_str(), (extracts + "/a-1.tif").c_str()), 0);
    EXPECT_EQ(program_.Run({"extract", "--out", extracts, "--pages", "1", sources[0]}).status, 0);
    EXPECT_TRUE(ReadBytes(keep) == kept);
    EXPECT_FALSE(fs::is_symlink(extracts + "/a-1.tif"));
    EXPECT_EQ(CountDirectories(extracts + "/a-1.tif"), 1);
}

// The merged file can no longer be put in place (its folder has become
// immutable): every file reported "Success" is reported again as "Failed",
// the exit status says so, the old output stays, and the file left beside
// it is removed by a later start once it can be.
TEST_F(CliRaces, AMergeWhoseFileCannotBePutInPlaceReportsEveryFileAgainAsFailed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "making a folder immutable needs root";
    const std::string a = File("a.tif", 1);
    const std::string b = File("b.tif", 2);
    const std::string out = Folder("out");
    const std::string old = File("out/m.tif", 3);
    const std::string before = ReadBytes(old);
    if (std::system(("chattr +i '" + out + "' && chattr -i '" + out + "'").c_str()) != 0)
        GTEST_SKIP() << "this file system has no immutable folders";
    WrapTool("tiffcp", "case \"$*\" in *b.tif*) chattr +i '" + out + "';; esac");
    const CliResult result = program_.Run({"merge", "--engine", "tools", "--out", old, a, b});
    std::system(("chattr -i '" + out + "'").c_str());
    EXPECT_EQ(result.status, 1);
    ASSERT_EQ(result.OutLines().size(), 4u) << result.out;
    EXPECT_EQ(result.OutLines()[0], "Success\t" + a);
    EXPECT_EQ(result.OutLines()[1], "Success\t" + b);
    EXPECT_THAT(result.OutLines()[2], StartsWith("Failed\t" + a + "\tcannot replace " + old));
    EXPECT_THAT(result.OutLines()[3], StartsWith("Failed\t" + b + "\tcannot replace " + old));
    EXPECT_TRUE(ReadBytes(old) == before);
    ASSERT_TRUE(HoldsTemporaries(out)) << "it could not be removed while the folder was immutable";
    EXPECT_EQ(program_.Run({"count", a}).status, 0);
    EXPECT_FALSE(HoldsTemporaries(out));
}

// A directory chain that cannot be read to its end - a file cut short, a
// read error - fails on every route with the reason, instead of passing
// its first page off as the whole file.
TEST_F(CliRaces, ASourceWhoseDirectoryChainBreaksOffFailsOnEveryRoute)
{
    const std::string whole = File("whole.tif", 3);
    const std::vector<uint32_t> directories = TiffPatcher(ReadBytes(whole)).Directories();
    ASSERT_EQ(directories.size(), 3u);
    const std::string cut = work_ / "cut.tif";
    ASSERT_TRUE(WriteBytes(cut, ReadBytes(whole).substr(0, directories[1] - 4)));
    const std::string out = Folder("out");
    auto routes = [&](const std::string& source) {
        return std::vector<std::vector<std::string>>{
            {"count", "--json", source},
            {"extract", "--out", out, "--pages", "all", source},
            {"compress", "--out", out, source},
            {"merge", "--out", out + "/m.tif", source},
            {"merge", "--engine", "builtin", "--out", out + "/m.tif", source},
            {"split", "--out", out, source},
            {"split", "--engine", "builtin", "--out", out, source}};
    };
    for (const auto& arguments : routes(cut)) {
        const CliResult result = program_.Run(arguments);
        EXPECT_EQ(result.status, 1) << arguments[0] << " " << arguments[1];
        EXPECT_THAT(result.out, HasSubstr("the directory of page 2 lies past the end of the file"))
            << arguments[0] << " " << arguments[1];
    }
    const std::vector<std::pair<std::string, std::string>> readError = {
        {"PW_FAULT_EIO_FILE", whole}, {"PW_FAULT_EIO_OFFSET", std::to_string(directories[1])}};
    for (const auto& arguments : routes(whole)) {
        const CliResult result = RunWithFaults(readError, arguments);
        EXPECT_EQ(result.status, 1) << arguments[0] << " " << arguments[1];
        EXPECT_THAT(result.out, HasSubstr("the directory of page 2 cannot be read (Input/output error)"))
            << arguments[0] << " " << arguments[1];
    }
    EXPECT_EQ(FilesIn(out), std::set<std::string>()) << "nothing written, and the failed splits' folders gone";
}

// A bad sector fails only what reads it: page data a count never reads
// fails nothing, though it lies a few bytes from the directories it reads.
TEST_F(CliRaces, AReadErrorInPageDataBesideADirectoryFailsNothingThatDoesNotReadIt)
{
    const std::string file = File("near.tif", 3);
    std::vector<std::pair<uint64_t, uint64_t>> strips;  // offset, byte count
    std::vector<uint64_t> directories;
    {
        TIFF* tif = TIFFOpen(file.c_str(), "r");
        ASSERT_NE(tif, nullptr);
        do {
            directories.push_back(TIFFCurrentDirOffset(tif));
            for (tstrip_t s = 0; s < TIFFNumberOfStrips(tif); ++s)
                strips.emplace_back(TIFFGetStrileOffset(tif, s), TIFFGetStrileByteCount(tif, s));
        } while (TIFFReadDirectory(tif));
        TIFFClose(tif);
    }
    // The page byte closest to a directory that is not the first.
    uint64_t bad = 0, distance = UINT64_MAX;
    for (const auto& [offset, count] : strips)
        for (size_t d = 1; d < directories.size(); ++d)
            for (const uint64_t byte : {offset, offset + count - 1}) {
                const uint64_t apart = byte > directories[d] ? byte - directories[d] : directories[d] - byte;
                if (count > 0 && apart < distance)
                    bad = byte, distance = apart;
            }
    ASSERT_LT(distance, 4096u) << "the fixture's pages lie far from its directories";
    const CliResult result =
        RunWithFaults({{"PW_FAULT_EIO_FILE", file}, {"PW_FAULT_EIO_OFFSET", std::to_string(bad)}}, {"count", file});
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.out, "3\t" + file + "\n");
}

// A source that becomes a FIFO between the look at it and its opening is
// refused at once instead of waiting for a writer that never comes.
TEST_F(CliRaces, ASourceSwappedForAFifoIsRefusedWithoutWaiting)
{
    const std::string out = Folder("out");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"count", "--json"}, {"merge", "--engine", "builtin", "--out", out + "/m.tif"}}) {
        const std::string source = File("a.tif", 1);
        const std::string fifo = work_ / "fifo";
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
        std::vector<std::string> withSource = arguments;
        withSource.push_back(source);
        const CliResult result =
            RunWithFaults({{"PW_FAULT_FIFO_FILE", source}, {"PW_FAULT_FIFO_FROM", fifo}}, withSource);
        EXPECT_EQ(result.status, 1) << arguments[0];
        EXPECT_THAT(result.out, HasSubstr("not a readable TIFF file")) << arguments[0];
        fs::remove(source);
    }
}

// SIGKILL while a tool writes: nothing damaged lies under a final name - no
// half-written file, no empty merge output, no page file - also for a user
// whose home folder cannot be written (no record of the temporaries at
// all). The next batch into the same folder takes away what was left.
TEST_F(CliRaces, AKilledBatchLeavesNothingDamagedUnderAFinalName)
{
    const std::string a = File("a.tif", 3);
    const std::string out = Folder("out");
    const std::string merged = Folder("merged");
    GiveToUser(work_.path(), program_.RunUnprivileged());
    ASSERT_EQ(::chmod(program_.config().c_str(), 0555), 0);
    // Each tool writes the first bytes of its output, then hangs.
    const std::string started = work_ / "started";
    for (const std::string tool : {"tiffcp", "tiffsplit"}) {
        const std::string output = tool == "tiffsplit" ? "\"$last\"aaa.tif" : "\"$last\"";
        ReplaceTool(tool, "#!/bin/sh\nfor last; do :; done\nprintf 'II*' > " + output + "\ntouch '" + started +
                              "'\nexec sleep 60\n");
    }
    const std::vector<std::vector<std::string>> batches = {
        {"compress", "--out", out, a},
        {"split", "--engine", "tools", "--out", out, a},
        {"merge", "--engine", "tools", "--out", merged + "/m.tif", a}};
    for (const auto& arguments : batches) {
        fs::remove(started);
        CliProgram::Running running = program_.Start(arguments);
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(started); })) << arguments[0];
        running.Signal(SIGKILL);
        running.Finish();  // the tool dies with the program
    }
    EXPECT_EQ(FilesIn(out).count("a.tif"), 0u);
    EXPECT_TRUE(FilesIn(out + "/a_1").empty());
    EXPECT_EQ(FilesIn(merged).count("m.tif"), 0u);
    EXPECT_TRUE(HoldsLeftovers(out));
    EXPECT_TRUE(HoldsLeftovers(merged));

    for (const std::string tool : {"tiffcp", "tiffsplit"}) {
        fs::remove(program_.folder() + "/" + tool);
        ASSERT_EQ(::symlink(SystemToolPath(tool).c_str(), (program_.folder() + "/" + tool).c_str()), 0);
    }
    for (const auto& arguments : batches)
        EXPECT_EQ(program_.Run(arguments).status, 0) << arguments[0];
    EXPECT_EQ(FilesIn(out), (std::set<std::string>{"a.tif", "a_1"}));
    EXPECT_EQ(FilesIn(out + "/a_1").size(), 3u);
    EXPECT_EQ(FilesIn(merged), std::set<std::string>{"m.tif"});
    EXPECT_EQ(CountDirectories(merged + "/m.tif"), 3);
}

// Result lines that cannot be written are an error, said on standard error.
TEST_F(CliRaces, ResultLinesThatCannotBeWrittenMakeTheRunFail)
{
    const std::string a = File("a.tif", 1);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"count", a}, {"compress", "--out", Folder("out"), a}}) {
        const CliResult result = program_.RunWithOutputTo("/dev/full", arguments);
        EXPECT_EQ(result.status, 1) << arguments[0];
        EXPECT_THAT(result.err, HasSubstr("result lines could not be written to standard output: No space left"))
            << arguments[0];
    }
}

// A settings file that cannot be read is named once; "--out m.tif/" is a
// name ending in a separator, not a folder's error; a relative path longer
// than the system takes is followed to the file it names.
TEST_F(CliRaces, OddSettingsFilesAndPathsGetAClearWord)
{
    const std::string a = File("a.tif", 2);
    const std::string b = File("b.tif", 1);
    const std::string settings = program_.folder() + "/Pagewright.ini";
    const std::string out = Folder("out");
    auto onceNamed = [&](const std::string& what) {
        const CliResult result = program_.Run({"compress", "--out", out, a, b});
        EXPECT_EQ(result.status, 0) << what << result.err;
        const std::string word = "the settings file " + settings + " cannot be read";
        const size_t first = result.err.find(word);
        EXPECT_NE(first, std::string::npos) << what << result.err;
        EXPECT_EQ(result.err.find(word, first + 1), std::string::npos) << what;
    };
    ASSERT_EQ(::mkdir(settings.c_str(), 0755), 0);
    onceNamed("a folder");
    ASSERT_EQ(::rmdir(settings.c_str()), 0);
    ASSERT_EQ(::mkfifo(settings.c_str(), 0644), 0);
    onceNamed("a FIFO");
    fs::remove(settings);
    program_.WriteSettings("Name=x\n");
    ASSERT_EQ(::chmod(settings.c_str(), 0), 0);
    GiveToUser(work_.path(), program_.RunUnprivileged());
    if (::geteuid() == 0)
        onceNamed("mode 000 for the user");

    const CliResult slash = program_.Run({"merge", "--out", out + "/m.tif/", a});
    EXPECT_EQ(slash.status, 1);
    EXPECT_THAT(slash.err, HasSubstr("ends in a separator: it names a folder, not a file"));
    EXPECT_THAT(slash.err, ::testing::Not(HasSubstr("Is a directory")));

    std::string longPath;
    while (longPath.size() < 5000)
        longPath += "./";
    longPath += fs::relative(a, fs::current_path()).string();
    const CliResult count = program_.Run({"count", longPath});
    EXPECT_EQ(count.status, 0) << count.out;
    EXPECT_EQ(count.out, "2\t" + longPath + "\n");
}

}  // namespace
}  // namespace pw::test
