// pagewright-batch's --engine, --jobs and --json, run as a user runs them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <regex>
#include <set>

#include "tests/cli/CliProgram.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Mkdir(const std::string& path)
{
    fs::create_directories(path);
    return path;
}

// The JSON lines with the time of every file set to 0.
std::vector<std::string> WithoutSeconds(const std::vector<std::string>& lines)
{
    static const std::regex seconds("\"seconds\":[0-9.]+\\}$");
    std::vector<std::string> result;
    for (const std::string& line : lines)
        result.push_back(std::regex_replace(line, seconds, "\"seconds\":0}"));
    return result;
}

std::string Json(const std::string& file, const std::string& status, const std::string& reason,
                 const std::vector<std::string>& outputs, int pages)
{
    std::string line = "{\"file\":\"" + file + "\",\"status\":\"" + status + "\",\"reason\":\"" + reason +
                       "\",\"outputs\":[";
    for (size_t i = 0; i < outputs.size(); ++i)
        line += (i > 0 ? ",\"" : "\"") + outputs[i] + "\"";
    return line + "],\"pages\":" + std::to_string(pages) + ",\"seconds\":0}";
}

class CliEngine : public ::testing::Test {
protected:
    std::string File(const std::string& name, int pages, const PageSpec& shape)
    {
        const std::string path = work_ / name;
        EXPECT_TRUE(WriteTiff(path, pages, shape)) << path;
        return path;
    }

    TempFolder work_;
    CliProgram program_;
};

TEST_F(CliEngine, BuiltinMergeGivesThePagesOfTheToolRouteAndNamesTheFilesLeftToTheTools)
{
    const PageSpec g4 = Page(1, COMPRESSION_CCITTFAX4, 200, 60);
    const PageSpec lzw = Page(8, COMPRESSION_LZW);
    const std::string a = File("a.tif", 2, g4);
    const std::string b = File("b.tif", 1, lzw);
    const std::string text = work_ / "text.tif";
    ASSERT_TRUE(WriteNonTiff(text));
    const std::string out = Mkdir(work_ / "out");

    for (const char* engine : {"tools", "builtin"}) {
        SCOPED_TRACE(engine);
        const std::string merged = out + "/" + engine + ".tif";
        const CliResult result = program_.Run({"merge", "--engine", engine, "--out", merged, a, text, b});
        EXPECT_EQ(result.status, 1);
        const auto lines = result.OutLines();
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0], "Success\t" + a);
        EXPECT_THAT(lines[1], StartsWith("Failed\t" + text + "\t"));
        EXPECT_EQ(lines[2], "Success\t" + b);
        ASSERT_EQ(CountDirectories(merged), 3) << "the pages before the failed file stay valid";
        EXPECT_EQ(ReadPagePixels(merged, 1), PagePixels(g4, 1));
        EXPECT_EQ(ReadPagePixels(merged, 2), PagePixels(lzw, 0));
        EXPECT_THAT(result.err, ::testing::Not(HasSubstr("went through the tools")));
    }

    const CliResult recompressed = program_.Run(
        {"merge", "--engine", "builtin", "--use-compression", "--method", "lzw", "--out", out + "/lzw.tif", a, b});
    EXPECT_EQ(recompressed.status, 0);
    EXPECT_THAT(recompressed.err, HasSubstr("1 file went through the tools instead of the builtin copy:\n  " + a +
                                            ": the merge stores its pages as lzw\n"));
    EXPECT_EQ(ReadPagePixels(out + "/lzw.tif", 0), PagePixels(g4, 0));

    const std::string folder = Mkdir(out + "/split");
    const CliResult split = program_.Run({"split", "--engine", "builtin", "--out", folder, "--name", "s", a, b});
    EXPECT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(ReadPagePixels(folder + "/s_1/aaab.tif", 0), PagePixels(g4, 1));
    EXPECT_EQ(ReadPagePixels(folder + "/s_2/baaa.tif", 0), PagePixels(lzw, 0));
}

// Without --engine a run takes "Engine" from Pagewright.ini, as the window
// does, and builtin when it is not set; --engine wins for one run. Told
// apart by a program folder without the tools.
TEST_F(CliEngine, TheEngineComesFromTheSettingsUnlessGiven)
{
    CliProgram bare(false);
    const std::string a = File("a.tif", 2, Page(8, COMPRESSION_NONE));
    const std::string merged = work_ / "m.tif";
    const std::string settings = bare.folder() + "/Pagewright.ini";
    const auto merge = [&](std::vector<std::string> engine) {
        std::vector<std::string> arguments = {"merge", "--out", merged};
        arguments.insert(arguments.end(), engine.begin(), engine.end());
        arguments.push_back(a);
        return bare.Run(arguments);
    };
    EXPECT_EQ(merge({}).status, 0);
    EXPECT_EQ(merge({"--engine", "tools"}).status, 1);
    ASSERT_TRUE(WriteBytes(settings, "[Pagewright]\nEngine=tools\n"));
    const CliResult tools = merge({});
    EXPECT_EQ(tools.status, 1);
    EXPECT_THAT(tools.out, StartsWith("Failed\t" + a + "\t"));
    EXPECT_EQ(merge({"--engine", "builtin"}).status, 0);
    ASSERT_TRUE(WriteBytes(settings, "[Pagewright]\nEngine=Tools\n"));
    EXPECT_EQ(merge({}).status, 0) << "only exactly \"tools\" chooses the tools";
    EXPECT_EQ(ReadBytes(settings), "[Pagewright]\nEngine=Tools\n") << "the run writes no setting";
}

TEST_F(CliEngine, SeveralJobsPrintTheirResultsInListOrder)
{
    std::vector<std::string> files;
    std::vector<PageSpec> shapes;
    for (int i = 0; i < 24; ++i) {
        shapes.push_back(Page(8, COMPRESSION_NONE, 100 + i, 80));
        files.push_back(File("f" + std::to_string(i) + ".tif", 1 + i % 2, shapes.back()));
    }
    ASSERT_TRUE(WriteNonTiff(files[3]));
    ASSERT_TRUE(WriteNonTiff(files[17]));
    const std::string out = Mkdir(work_ / "out");

    std::vector<std::string> arguments = {"compress", "--jobs", "3", "--method", "zip", "--out", out};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const CliResult compress = program_.Run(arguments);
    EXPECT_EQ(compress.status, 1);
    const auto lines = compress.OutLines();
    ASSERT_EQ(lines.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        if (i == 3 || i == 17) {
            EXPECT_THAT(lines[i], StartsWith("Failed\t" + files[i] + "\t"));
            continue;
        }
        EXPECT_EQ(lines[i], "Success\t" + files[i]);
        EXPECT_EQ(ReadPagePixels(out + "/f" + std::to_string(i) + ".tif", i % 2), PagePixels(shapes[i], i % 2));
    }

    arguments = {"count", "--jobs", "0"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const auto counts = program_.Run(arguments).OutLines();
    ASSERT_EQ(counts.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(counts[i], std::to_string(i == 3 || i == 17 ? 0 : 1 + i % 2) + "\t" + files[i]);

    const std::string pages = Mkdir(work_ / "pages");
    arguments = {"extract", "--jobs", "2", "--pages", "1", "--out", pages};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const auto extracted = program_.Run(arguments).OutLines();
    ASSERT_EQ(extracted.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_THAT(extracted[i], StartsWith((i == 3 || i == 17 ? "Failed\t" : "Success\t") + files[i]));
}

TEST_F(CliEngine, JsonGivesOneObjectPerFileWithItsOutputsAndPages)
{
    const PageSpec shape = Page(8, COMPRESSION_LZW);
    const std::string a = File("a.tif", 2, shape);
    const std::string odd = File("say \"hi\"\t\\ \xff.tif", 1, shape);
    const std::string text = work_ / "text.tif";
    ASSERT_TRUE(WriteNonTiff(text));
    const std::string oddJson = work_.path() + "/say \\\"hi\\\"\\t\\\\ \\udcff.tif";
    const std::string out = Mkdir(work_ / "out");

    CliResult result = program_.Run({"compress", "--json", "--out", out, a, odd, text});
    EXPECT_EQ(result.status, 1);
    auto lines = WithoutSeconds(result.OutLines());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], Json(a, "Success", "", {out + "/a.tif"}, 2));
    EXPECT_EQ(lines[1], Json(oddJson, "Success", "", {out + "/say \\\"hi\\\"\\t\\\\ \\udcff.tif"}, 1));
    EXPECT_THAT(lines[2], StartsWith("{\"file\":\"" + text + "\",\"status\":\"Failed\",\"reason\":\"tiffcp failed"));
    EXPECT_THAT(lines[2], HasSubstr("\"outputs\":[],\"pages\":0,"));

    result = program_.Run({"merge", "--json", "--engine", "builtin", "--out", out + "/m.tif", a, a});
    EXPECT_EQ(WithoutSeconds(result.OutLines()), (std::vector<std::string>{Json(a, "Success", "", {out + "/m.tif"}, 2),
                                                                          Json(a, "Success", "", {out + "/m.tif"}, 2)}));

    result = program_.Run({"split", "--json", "--jobs", "2", "--name", "p", "--out", out, a});
    EXPECT_EQ(WithoutSeconds(result.OutLines()),
              (std::vector<std::string>{Json(a, "Success", "", {out + "/p_1/aaaa.tif", out + "/p_1/aaab.tif"}, 2)}));

    result = program_.Run({"extract", "--json", "--pages", "2", "--out", out, a});
    EXPECT_EQ(WithoutSeconds(result.OutLines()), (std::vector<std::string>{Json(a, "Success", "", {out + "/a-2.tif"}, 1)}));

    result = program_.Run({"count", "--json", a, text});
    EXPECT_EQ(WithoutSeconds(result.OutLines()),
              (std::vector<std::string>{Json(a, "Success", "", {}, 2),
                                        Json(text, "Failed", "not a readable TIFF file", {}, 0)}));
    EXPECT_THAT(result.OutLines()[0], ::testing::MatchesRegex(".*\"seconds\":[0-9]+\\.[0-9]{6}\\}"));

    EXPECT_THAT(program_.Run({"--help"}).out, HasSubstr("With --json, standard output holds one JSON object"));
    EXPECT_THAT(program_.Run({"merge", "--help"}).out, HasSubstr("\"pages\":3,\"seconds\":0.041}"));
}

TEST_F(CliEngine, NewOptionsRefuseWhatDoesNotApply)
{
    const std::string a = File("a.tif", 1, Page());
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"merge", "--jobs", "2", "--out", work_ / "m.tif", a},
             {"compress", "--engine", "builtin", "--out", work_.path(), a},
             {"merge", "--engine", "fast", "--out", work_ / "m.tif", a},
             {"count", "--jobs", "-1", a},
             {"count", "--jobs", "two", a},
             {"count", "--json=yes", a},
             {"info", "--json", a}}) {
        const CliResult result = program_.Run(arguments);
        EXPECT_EQ(result.status, 2) << arguments[0] << " " << arguments[1];
        EXPECT_EQ(result.out, "");
    }
}

// Ctrl+C stops every worker: the statuses printed are of distinct files in
// list order, no tool is left running.
TEST_F(CliEngine, AnInterruptStopsAllWorkers)
{
    std::vector<std::string> files;
    for (int i = 0; i < 200; ++i)
        files.push_back(File("in" + std::to_string(i) + ".tif", 1, Page(8, COMPRESSION_NONE, 300, 300)));
    const std::string out = Mkdir(work_ / "out");
    std::vector<std::string> arguments = {"compress", "--jobs", "2", "--out", out};
    arguments.insert(arguments.end(), files.begin(), files.end());
    CliProgram::Running running = program_.Start(arguments);
    ASSERT_TRUE(running.WaitForLines(5));
    running.Signal(SIGINT);
    const CliResult result = running.Finish();
    EXPECT_EQ(result.status, 130);
    const auto lines = result.OutLines();
    ASSERT_LT(lines.size(), files.size());
    size_t next = 0;
    for (const std::string& line : lines) {
        ASSERT_THAT(line, StartsWith("Success\t"));
        const auto at = std::find(files.begin() + static_cast<long>(next), files.end(), line.substr(8));
        ASSERT_NE(at, files.end()) << line << " is not a later file";
        next = static_cast<size_t>(at - files.begin()) + 1;
    }
    EXPECT_TRUE(ProcessesMentioning(program_.folder()).empty()) << "no tool left running";
}

}  // namespace
}  // namespace pw::test
