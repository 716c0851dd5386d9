// pagewright-batch as a user runs it: the built program, copied into a
// folder of the test's own, on generated files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "tests/cli/CliProgram.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Mkdir(const std::string& path)
{
    fs::create_directories(path);
    return path;
}

uint16_t CompressionOf(const std::string& path, int page = 0)
{
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (tif == nullptr)
        return 0;
    TIFFSetDirectory(tif, static_cast<tdir_t>(page));
    uint16_t compression = 0;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFClose(tif);
    return compression;
}

std::set<std::string> FilesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::vector<std::string> Lines(std::initializer_list<std::string> lines)
{
    return lines;
}

class Cli : public ::testing::Test {
protected:
    std::string File(const std::string& name, int pages, const PageSpec& shape = Page())
    {
        const std::string path = work_ / name;
        EXPECT_TRUE(WriteTiff(path, pages, shape)) << path;
        return path;
    }

    TempFolder work_;
    CliProgram program_;
};

TEST_F(Cli, HelpForTheProgramAndForEveryCommand)
{
    for (const char* help : {"--help", "-h"}) {
        const CliResult result = program_.Run({help});
        EXPECT_EQ(result.status, 0);
        for (const char* command : {"compress", "merge", "split", "extract", "info", "count"})
            EXPECT_THAT(result.out, HasSubstr(std::string("pagewright-batch ") + command));
    }
    for (const char* command : {"compress", "merge", "split", "extract", "info", "count"}) {
        const CliResult result = program_.Run({command, "--help"});
        EXPECT_EQ(result.status, 0) << command;
        EXPECT_THAT(result.out, StartsWith(std::string("usage: pagewright-batch ") + command));
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(Cli, UsageErrorsExitWithTwoAndAShortUsage)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"compress", "a.tif"},
        {"compress", "--out"},
        {"compress", "--out", "d", "--bogus", "a.tif"},
        {"compress", "--out", "d", "--method", "jpeg", "a.tif"},
        {"compress", "--out", "d"},
        {"compress", "--out", "d", "--name", "x", "a.tif"},
        {"split", "--out", "d", "--method", "lzw", "a.tif"},
        {"merge", "--out", "m.tif", "--use-compression=yes", "a.tif"},
        {"extract", "--out", "d", "a.tif"},
        {"extract", "--out", "d", "--pages", "", "a.tif"},
        {"info"},
        {"info", "a.tif", "b.tif"},
        {"count"},
        {"count", "--out", "d", "a.tif"},
    };
    for (const auto& arguments : cases) {
        const CliResult result = program_.Run(arguments);
        std::string shown;
        for (const std::string& argument : arguments)
            shown += argument + " ";
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_THAT(result.err, HasSubstr("usage:")) << shown;
        EXPECT_EQ(result.out, "") << shown;
    }
}

TEST_F(Cli, CompressReportsEveryFileInListOrderAndWritesTheGoodOnes)
{
    const PageSpec grey = Page(8, COMPRESSION_LZW);
    const PageSpec bilevel = Page(1, COMPRESSION_CCITTFAX4, 100, 40);
    const std::string a = File("a.tif", 2, grey);
    const std::string b = File("b.tif", 1, bilevel);
    const std::string text = work_ / "not.tif";
    ASSERT_TRUE(WriteNonTiff(text));
    const std::string missing = work_ / "missing.tif";
    const std::string out = Mkdir(work_ / "out");

    const CliResult result = program_.Run({"compress", "--out", out, "--method", "zip", a, b, text, missing});
    EXPECT_EQ(result.status, 1);
    const std::vector<std::string> lines = result.OutLines();
    ASSERT_EQ(lines.size(), 4u) << result.out;
    EXPECT_EQ(lines[0], "Success\t" + a);
    EXPECT_EQ(lines[1], "Success\t" + b);
    EXPECT_THAT(lines[2], StartsWith("Failed\t" + text + "\t"));
    EXPECT_THAT(lines[3], StartsWith("Failed\t" + missing + "\t"));
    EXPECT_GT(lines[3].size(), ("Failed\t" + missing + "\t").size()) << "a reason is given";

    EXPECT_EQ(CountDirectories(out + "/a.tif"), 2);
    for (int page = 0; page < 2; ++page)
        EXPECT_EQ(ReadPagePixels(out + "/a.tif", page), PagePixels(grey, page));
    EXPECT_EQ(ReadPagePixels(out + "/b.tif", 0), PagePixels(bilevel, 0));
    EXPECT_EQ(CompressionOf(out + "/a.tif"), COMPRESSION_ADOBE_DEFLATE);
    EXPECT_EQ(FilesIn(out), (std::set<std::string>{"a.tif", "b.tif"})) << "nothing left by the failures";

    EXPECT_THAT(result.err, HasSubstr("[ 24%] 1/4 " + a + "\n"));
    EXPECT_THAT(result.err, HasSubstr("[ 99%] 4/4 " + missing + "\n"));

    EXPECT_EQ(program_.Run({"compress", "--out", out, a, b}).status, 0);
}

TEST_F(Cli, SettingsComeFromTheFileUnlessAnOptionOverridesThemForTheRun)
{
    program_.WriteSettings("CompressMethod=1\nUseCompressMethod=TRUE\n");
    const std::string settings = ReadBytes(program_.folder() + "/Pagewright.ini");
    const std::string a = File("a.tif", 1);
    const std::string out = Mkdir(work_ / "out");

    ASSERT_EQ(program_.Run({"compress", "--out", out, a}).status, 0);
    EXPECT_EQ(CompressionOf(out + "/a.tif"), COMPRESSION_LZW);
    ASSERT_EQ(program_.Run({"compress", "--method=packbits", "--out", out, a}).status, 0);
    EXPECT_EQ(CompressionOf(out + "/a.tif"), COMPRESSION_PACKBITS);

    ASSERT_EQ(program_.Run({"merge", "--out", out + "/m.tif", a}).status, 0);
    EXPECT_EQ(CompressionOf(out + "/m.tif"), COMPRESSION_LZW) << "UseCompressMethod=TRUE from the file";
    ASSERT_EQ(program_.Run({"merge", "--no-use-compression", "--out", out + "/m.tif", a}).status, 0);
    EXPECT_EQ(CompressionOf(out + "/m.tif"), COMPRESSION_NONE);
    EXPECT_EQ(ReadBytes(program_.folder() + "/Pagewright.ini"), settings) << "options write nothing";
}

TEST_F(Cli, MergeAppendsEveryFileInListOrder)
{
    std::vector<std::string> files;
    std::vector<PageSpec> specs;
    for (int i = 0; i < 3; ++i) {
        specs.push_back(Page(8, COMPRESSION_NONE, 30 + i, 20));
        files.push_back(File("part" + std::to_string(i) + ".tif", 2, specs.back()));
    }
    const std::string merged = work_ / "merged.tif";
    ASSERT_TRUE(WriteBytes(merged, "an old merge to be replaced"));
    std::vector<std::string> arguments = {"merge", "--out", merged, "--use-compression", "--method", "lzw"};
    arguments.insert(arguments.end(), {files[2], files[0], files[1]});
    const CliResult result = program_.Run(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.OutLines(), Lines({"Success\t" + files[2], "Success\t" + files[0], "Success\t" + files[1]}));
    ASSERT_EQ(CountDirectories(merged), 6);
    const int order[] = {2, 0, 1};
    for (int page = 0; page < 6; ++page) {
        EXPECT_EQ(ReadPagePixels(merged, page), PagePixels(specs[order[page / 2]], page % 2)) << page;
        EXPECT_EQ(CompressionOf(merged, page), COMPRESSION_LZW);
    }
}

TEST_F(Cli, MergeRefusesAnOutputThatIsOneOfTheInputs)
{
    const std::string a = File("a.tif", 1);
    const std::string b = File("b.tif", 2);
    const std::string bytes = ReadBytes(b);
    const std::string link = work_ / "link.tif";
    ASSERT_EQ(::symlink(b.c_str(), link.c_str()), 0);
    for (const std::string& output : {b, link, work_ / "./b.tif"}) {
        const CliResult result = program_.Run({"merge", "--out", output, a, b});
        EXPECT_EQ(result.status, 1) << output;
        EXPECT_EQ(result.out, "");
        EXPECT_THAT(result.err, HasSubstr("one of the files to merge"));
        EXPECT_EQ(ReadBytes(b), bytes);
    }
}

TEST_F(Cli, SplitMakesAFolderPerFileWithOnePageFilePerPage)
{
    const PageSpec shape = Page(8, COMPRESSION_PACKBITS);
    const std::string a = File("scan.tif", 3, shape);
    const std::string b = File("letter.tif", 1, shape);
    const std::string out = Mkdir(work_ / "out");
    Mkdir(out + "/Demo_1");
    ASSERT_TRUE(WriteBytes(out + "/Demo_1/stale.tif", "left from an earlier split"));

    const CliResult result = program_.Run({"split", "--out", out, "--name", "Demo", a, b});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.OutLines(), Lines({"Success\t" + a, "Success\t" + b}));
    const std::set<std::string> first = FilesIn(out + "/Demo_1");
    ASSERT_EQ(first.size(), 3u) << "the stale file is gone, one file per page";
    int page = 0;
    for (const std::string& name : first) {
        EXPECT_THAT(name, StartsWith("scan"));
        EXPECT_EQ(ReadPagePixels(out + "/Demo_1/" + name, 0), PagePixels(shape, page++));
    }
    EXPECT_EQ(FilesIn(out + "/Demo_2").size(), 1u);
}

TEST_F(Cli, SplitTakesTheNamingRuleFromTheSettingsAndKeepsEveryFolderInside)
{
    program_.WriteSettings("Name=../escape\n");
    const std::string a = File("a.tif", 2);
    const std::string out = Mkdir(work_ / "nest/out");
    const CliResult result = program_.Run({"split", "--out", out, a});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(FilesIn(out), (std::set<std::string>{"___escape_1"}));
    EXPECT_EQ(FilesIn(work_ / "nest"), (std::set<std::string>{"out"}));

    const CliResult unnamed = program_.Run({"split", "--out", out, "--name", "", a});
    EXPECT_EQ(unnamed.status, 0);
    EXPECT_EQ(FilesIn(out), (std::set<std::string>{"___escape_1", "a_1"}));
}

TEST_F(Cli, ExtractNamesItsFilesAfterTheSourceAndTheRange)
{
    const PageSpec shape = Page(8, COMPRESSION_LZW);
    const std::string x = File("x.tif", 5, shape);
    const std::string y = File("y.tiff", 4, shape);
    const std::string out = Mkdir(work_ / "out");
    const CliResult result = program_.Run({"extract", "--out", out, "--pages", "1-2, 4", x, y});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.OutLines(), Lines({"Success\t" + x, "Success\t" + y}));
    EXPECT_EQ(FilesIn(out), (std::set<std::string>{"x-1-2,4.tif", "y-1-2,4.tiff"}));
    ASSERT_EQ(CountDirectories(out + "/x-1-2,4.tif"), 3);
    const int pages[] = {0, 1, 3};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReadPagePixels(out + "/x-1-2,4.tif", i), PagePixels(shape, pages[i]));
}

TEST_F(Cli, ExtractRefusesARangeThatWouldLeaveTheFolder)
{
    const std::string x = File("x.tif", 3);
    const std::string out = Mkdir(work_ / "a/b/out");
    const CliResult result = program_.Run({"extract", "--out", out, "--pages", "1/../../../2", x});
    EXPECT_EQ(result.status, 1);
    ASSERT_EQ(result.OutLines().size(), 1u);
    EXPECT_THAT(result.OutLines()[0], StartsWith("Failed\t" + x + "\t"));
    EXPECT_THAT(result.OutLines()[0], HasSubstr("separator"));
    EXPECT_TRUE(FilesIn(out).empty());
    EXPECT_EQ(FilesIn(work_ / "a"), (std::set<std::string>{"b"}));
}

TEST_F(Cli, ExtractOfMissingOrDamagedFilesFailsThoseOnly)
{
    const std::string good = File("good.tif", 2);
    const std::string damaged = work_ / "damaged.tif";
    ASSERT_TRUE(WriteGarbageAfterHeader(damaged));
    const std::string out = Mkdir(work_ / "out");
    const CliResult result =
        program_.Run({"extract", "--out", out, "--pages", "all", damaged, good, work_ / "missing.tif"});
    EXPECT_EQ(result.status, 1);
    const std::vector<std::string> lines = result.OutLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_THAT(lines[0], StartsWith("Failed\t" + damaged + "\t"));
    EXPECT_EQ(lines[1], "Success\t" + good);
    EXPECT_THAT(lines[2], StartsWith("Failed\t"));
    EXPECT_EQ(CountDirectories(out + "/good-all.tif"), 2);
    EXPECT_EQ(program_.Run({"extract", "--out", work_ / "none", "--pages", "1", good}).status, 1);
}

TEST_F(Cli, InfoPrintsTheReportAsTheToolWritesIt)
{
    const std::string a = File("a.tif", 2);
    const CliResult result = program_.Run({"info", a});
    EXPECT_EQ(result.status, 0);
    std::string expected;
    FILE* tool = ::popen(("'" + SystemToolPath("tiffinfo") + "' '" + a + "' 2>&1").c_str(), "r");
    ASSERT_NE(tool, nullptr);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, tool)) > 0;)
        expected.append(buffer, n);
    ::pclose(tool);
    EXPECT_EQ(result.out, expected);
    EXPECT_THAT(result.out, HasSubstr("Image Width: 64"));

    const CliResult missing = program_.Run({"info", work_ / "missing.tif"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_THAT(missing.err, HasSubstr("missing.tif"));
}

TEST_F(Cli, CountPrintsPagesAndPathOfEveryFile)
{
    const std::string a = File("a.tif", 3);
    const std::string b = File("b b.tiff", 1);
    const std::string text = work_ / "text.tif";
    ASSERT_TRUE(WriteNonTiff(text));
    const CliResult result = program_.Run({"count", a, b, text});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.OutLines(), Lines({"3\t" + a, "1\t" + b, "0\t" + text}));
    EXPECT_EQ(program_.Run({"count", a, b}).status, 0);
}

TEST(CliTools, MissingToolsFailEveryEntryWithAReason)
{
    TempFolder work;
    const std::string a = work / "a.tif";
    ASSERT_TRUE(WriteTiff(a, 2));
    const std::string out = Mkdir(work / "out");
    CliProgram bare(false);

    const CliResult compress = bare.Run({"compress", "--out", out, a});
    EXPECT_EQ(compress.status, 1);
    ASSERT_EQ(compress.OutLines().size(), 1u);
    EXPECT_THAT(compress.OutLines()[0], StartsWith("Failed\t" + a + "\t"));
    EXPECT_THAT(compress.OutLines()[0], HasSubstr("tiffcp"));
    const CliResult split = bare.Run({"split", "--engine", "tools", "--out", out, a});
    EXPECT_EQ(split.status, 1);
    EXPECT_THAT(split.out, HasSubstr("tiffsplit"));
    // The default engine copies the pages itself.
    EXPECT_EQ(bare.Run({"split", "--out", out, a}).status, 0) << "the builtin split needs no tool";
    EXPECT_EQ(bare.Run({"merge", "--out", out + "/m.tif", a}).status, 0) << "nor does the builtin merge";
    EXPECT_EQ(bare.Run({"info", a}).status, 1);
    EXPECT_EQ(bare.Run({"count", a}).status, 0) << "counting needs no tool";
    EXPECT_EQ(bare.Run({"extract", "--out", out, "--pages", "2", a}).status, 0) << "nor does extraction";
}

TEST_F(Cli, AnOutputFolderThatCannotBeWrittenFailsCleanly)
{
    const std::string a = File("a.tif", 1);
    // /proc/self cannot take new files, for root as for anyone.
    const CliResult compress = program_.Run({"compress", "--out", "/proc/self", a});
    EXPECT_EQ(compress.status, 1);
    EXPECT_THAT(compress.out, StartsWith("Failed\t" + a + "\t"));
    const CliResult split = program_.Run({"split", "--out", "/proc/self", a});
    EXPECT_EQ(split.status, 1);
    EXPECT_EQ(split.out, "") << "no folder, no batch";
    EXPECT_THAT(split.err, HasSubstr("cannot create the folder"));
    const CliResult merge = program_.Run({"merge", "--out", "/proc/self/m.tif", a});
    EXPECT_EQ(merge.status, 1);
    EXPECT_THAT(merge.out, StartsWith("Failed\t" + a + "\t"));
    EXPECT_EQ(program_.Run({"compress", "--out", work_ / "no such folder", a}).status, 1);

    // A folder the user may not write (root could write anyway).
    const std::string locked = Mkdir(work_ / "locked");
    GiveToUser(work_.path(), program_.RunUnprivileged());
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    EXPECT_EQ(program_.Run({"compress", "--out", locked, a}).status, 1);
    EXPECT_TRUE(FilesIn(locked).empty());
}

TEST_F(Cli, OddFileNamesAreFilesLikeAnyOther)
{
    const std::string folder = Mkdir(work_ / "odd folder 'x'");
    std::vector<std::string> files;
    for (const char* name : {"with blank.tif", "quote\"d.tif", "-leading dash.tif", "--out.tif", "ünïcødé 日本.tif",
                             "$(touch pwned).tif", "semi;colon&amp.tif", "back\\slash.tif", "tab\tname.tif"}) {
        files.push_back(folder + "/" + name);
        ASSERT_TRUE(WriteTiff(files.back(), 2));
    }
    const std::string out = Mkdir(work_ / "out dir");
    std::vector<std::string> arguments = {"compress", "--out", out, "--"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const CliResult compress = program_.Run(arguments);
    EXPECT_EQ(compress.status, 0) << compress.out << compress.err;
    ASSERT_EQ(compress.OutLines().size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        std::string shown = files[i];  // as the status line writes it
        for (size_t at = 0; (at = shown.find_first_of("\\\t", at)) != std::string::npos; at += 2)
            shown.replace(at, 1, shown[at] == '\t' ? "\\t" : "\\\\");
        EXPECT_EQ(compress.OutLines()[i], "Success\t" + shown);
        const std::string name = fs::path(files[i]).filename().string();
        EXPECT_EQ(CountDirectories(out + "/" + name), 2) << name;
    }

    arguments = {"merge", "--out", out + "/merged -x.tif", "--"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    EXPECT_EQ(program_.Run(arguments).status, 0);
    EXPECT_EQ(CountDirectories(out + "/merged -x.tif"), static_cast<int>(2 * files.size()));

    arguments = {"split", "--out", out, "--name", "-odd name", "--"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    EXPECT_EQ(program_.Run(arguments).status, 0);
    EXPECT_EQ(FilesIn(out + "/-odd name_3").size(), 2u);
    EXPECT_FALSE(fs::exists(work_ / "pwned"));
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST_F(Cli, ProgressIsABarOnATerminalAndPlainLinesOtherwise)
{
    const std::string a = File("a.tif", 1);
    const std::string b = File("b.tif", 1);
    const std::string out = Mkdir(work_ / "out");
    const CliResult plain = program_.Run({"compress", "--out", out, a, b});
    EXPECT_EQ(plain.err, "[ 49%] 1/2 " + a + "\n[ 99%] 2/2 " + b + "\n");

    const CliResult terminal = program_.Run({"compress", "--out", out, a, b}, true);
    EXPECT_EQ(terminal.status, 0);
    EXPECT_EQ(terminal.OutLines(), Lines({"Success\t" + a, "Success\t" + b}));
    EXPECT_THAT(terminal.err, HasSubstr("\r\033[K[" + std::string(11, '#') + std::string(13, '-') + "]  49% 1/2 "));
    EXPECT_THAT(terminal.err, HasSubstr("[" + std::string(23, '#') + "-]  99% 2/2 "));
    EXPECT_EQ(terminal.err.substr(terminal.err.size() - 4), "\r\033[K") << "the bar is taken off at the end";

    const std::string longName = File(std::string(150, 'n') + "-end.tif", 1);
    const CliResult narrow = program_.Run({"compress", "--out", out, longName}, true);
    EXPECT_EQ(narrow.status, 0);
    size_t bars = 0;
    for (size_t at = narrow.err.find("\r\033[K["); at != std::string::npos; at = narrow.err.find("\r\033[K[", at + 1)) {
        const size_t end = narrow.err.find('\r', at + 1);
        const std::string bar = narrow.err.substr(at + 4, end == std::string::npos ? std::string::npos : end - at - 4);
        EXPECT_LE(bar.size(), 79u) << "a bar fits a line of the terminal";
        EXPECT_THAT(bar, ::testing::EndsWith("nnn-end.tif"));
        ++bars;
    }
    EXPECT_GE(bars, 1u);
}

struct Stop {
    int signal;
    int status;
    const char* command;
};

class CliSignal : public Cli, public ::testing::WithParamInterface<Stop> {};

// The batch is stopped part-way: the statuses printed are the processed
// files in order, the tool ended with the program, the temporary images are
// gone, and a merge output holds exactly the files reported "Success".
TEST_P(CliSignal, StopsTheBatchAsTheStopCommandDoes)
{
    std::vector<std::string> files;
    std::vector<PageSpec> specs;
    for (int i = 0; i < 300; ++i) {
        specs.push_back(Page(8, COMPRESSION_NONE, 300 + i % 7, 300));
        files.push_back(work_ / ("in" + std::to_string(i) + ".tif"));
        ASSERT_TRUE(WriteTiff(files.back(), 1, specs.back()));
    }
    const std::string image = program_.temp() + "/HaskollTemp00000001.png";
    ASSERT_TRUE(WriteBytes(image, "png"));
    const std::string out = Mkdir(work_ / "out");
    const bool merge = std::string(GetParam().command) == "merge";
    const std::string target = merge ? out + "/merged.tif" : out;
    std::vector<std::string> arguments = {GetParam().command, "--out", target};
    arguments.insert(arguments.end(), files.begin(), files.end());

    CliProgram::Running running = program_.Start(arguments);
    ASSERT_TRUE(running.WaitForLines(5));
    running.Signal(GetParam().signal);
    const CliResult result = running.Finish();

    EXPECT_EQ(result.status, GetParam().status) << result.err;
    const std::vector<std::string> lines = result.OutLines();
    ASSERT_GE(lines.size(), 5u);
    ASSERT_LT(lines.size(), files.size()) << "the batch ended early";
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], "Success\t" + files[i]);
    EXPECT_TRUE(ProcessesMentioning(program_.folder()).empty()) << "no tool left running";
    EXPECT_FALSE(fs::exists(image)) << "temporary images removed";

    if (merge) {
        ASSERT_EQ(CountDirectories(target), static_cast<int>(lines.size()));
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(ReadPagePixels(target, static_cast<int>(i)), PagePixels(specs[i], 0)) << i;
        EXPECT_EQ(FilesIn(out), (std::set<std::string>{"merged.tif"}));
    } else if (std::string(GetParam().command) == "compress") {
        // A stop that comes just after a file was written but before its
        // status could be printed leaves that file, whole.
        std::set<std::string> expected;
        for (size_t i = 0; i < lines.size(); ++i)
            expected.insert("in" + std::to_string(i) + ".tif");
        std::set<std::string> written = FilesIn(out);
        const std::string next = "in" + std::to_string(lines.size()) + ".tif";
        if (written.count(next) != 0) {
            EXPECT_EQ(ReadPagePixels(out + "/" + next, 0), PagePixels(specs[lines.size()], 0));
            written.erase(next);
        }
        EXPECT_EQ(written, expected) << "no partial or temporary output";
    } else {
        // Every split folder was prepared before the start; only the
        // processed files' folders hold pages (the one the stop cut short
        // went with its pages).
        for (size_t i = 0; i < files.size(); ++i) {
            const std::string folder = out + "/in" + std::to_string(i) + "_" + std::to_string(i + 1);
            const size_t pages = fs::exists(folder) ? FilesIn(folder).size() : 0;
            EXPECT_EQ(pages, i < lines.size() ? 1u : 0u) << folder;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, CliSignal,
                         ::testing::Values(Stop{SIGINT, 130, "compress"}, Stop{SIGTERM, 143, "merge"},
                                           Stop{SIGINT, 130, "merge"}, Stop{SIGTERM, 143, "split"},
                                           // A closed terminal stops the batch as SIGTERM does.
                                           Stop{SIGHUP, 129, "merge"}),
                         [](const auto& info) {
                             const int signal = info.param.signal;
                             return std::string(signal == SIGINT ? "Sigint" : signal == SIGHUP ? "Sighup" : "Sigterm") +
                                    info.param.command;
                         });

}  // namespace
}  // namespace pw::test
