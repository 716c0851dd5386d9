// The README's recipe for spreading a batch over machines, run here with
// GNU parallel on this machine alone (--sshlogin :) in two slots.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "tests/cli/CliProgram.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::string> LinesOf(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// file -> status of the JSON lines.
std::map<std::string, std::string> Statuses(const std::vector<std::string>& lines)
{
    static const std::regex object("^\\{\"file\":\"([^\"]*)\",\"status\":\"(Success|Failed)\",.*\\}$");
    std::map<std::string, std::string> statuses;
    for (const std::string& line : lines) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, object)) << line;
        EXPECT_TRUE(statuses.emplace(match[1], match[2]).second) << "one line per file: " << line;
    }
    return statuses;
}

int ExitStatus(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ParallelRecipe, SpreadsABatchAndResumesExactlyTheFailedFiles)
{
    if (SystemToolPath("parallel").empty())
        GTEST_SKIP() << "GNU parallel is not installed (scripts/install-deps installs it)";
    TempFolder work;
    CliProgram program;
    ScopedEnvironment home("HOME", work.path());  // parallel keeps its state there
    ScopedEnvironment temp("TMPDIR", program.temp());
    ScopedEnvironment config("XDG_CONFIG_HOME", work.path());

    const PageSpec shape = Page(1, COMPRESSION_CCITTFAX4, 120, 40);
    std::vector<std::string> files;
    std::set<std::string> bad;
    std::ofstream list(work / "files.txt");
    for (int i = 0; i < 100; ++i) {
        files.push_back(work / ("scan " + std::to_string(i) + ".tif"));
        if (i % 9 == 4) {
            ASSERT_TRUE(WriteNonTiff(files.back()));
            bad.insert(files.back());
        } else {
            ASSERT_TRUE(WriteTiff(files.back(), 1 + i % 3, shape));
        }
        list << files.back() << "\n";
    }
    list.close();
    const std::string out = work / "out";
    fs::create_directories(out);
    const std::string log = work / "batch.log";
    auto recipe = [&](const std::string& extra, const std::string& results) {
        return "parallel --will-cite --sshlogin : --jobs 2 --joblog " + Quoted(log) + extra + " " +
               Quoted(program.exe()) + " compress --json --method lzw --out " + Quoted(out) + " -- {} :::: " +
               Quoted(work / "files.txt") + " > " + Quoted(results) + " 2>/dev/null";
    };

    const int first = ExitStatus(std::system(recipe("", work / "first.jsonl").c_str()));
    EXPECT_EQ(first, static_cast<int>(bad.size())) << "parallel's status counts the failed jobs";
    const auto firstRun = Statuses(LinesOf(work / "first.jsonl"));
    ASSERT_EQ(firstRun.size(), files.size());
    std::map<std::string, timespec> written;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        ASSERT_EQ(firstRun.count(file), 1u) << file;
        EXPECT_EQ(firstRun.at(file), bad.count(file) ? "Failed" : "Success") << file;
        const std::string output = out + "/scan " + std::to_string(i) + ".tif";
        if (bad.count(file)) {
            EXPECT_FALSE(fs::exists(output));
            continue;
        }
        ASSERT_EQ(CountDirectories(output), static_cast<int>(1 + i % 3)) << output;
        for (int page = 0; page < static_cast<int>(1 + i % 3); ++page)
            EXPECT_EQ(ReadPagePixels(output, page), PagePixels(shape, page)) << output;
        struct stat st;
        ASSERT_EQ(::stat(output.c_str(), &st), 0);
        written[output] = st.st_mtim;
    }
    EXPECT_EQ(LinesOf(log).size(), files.size() + 1) << "a header and one line per job";

    // The failed files are mended; the second run redoes them and no other.
    for (const std::string& file : bad)
        ASSERT_TRUE(WriteTiff(file, 2, shape));
    const int second = ExitStatus(std::system(recipe(" --resume-failed", work / "second.jsonl").c_str()));
    EXPECT_EQ(second, 0);
    const auto secondRun = Statuses(LinesOf(work / "second.jsonl"));
    std::set<std::string> redone;
    for (const auto& [file, status] : secondRun) {
        redone.insert(file);
        EXPECT_EQ(status, "Success") << file;
    }
    EXPECT_EQ(redone, bad);
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string output = out + "/scan " + std::to_string(i) + ".tif";
        if (bad.count(files[i])) {
            EXPECT_EQ(ReadPagePixels(output, 1), PagePixels(shape, 1)) << output;
            continue;
        }
        struct stat st;
        ASSERT_EQ(::stat(output.c_str(), &st), 0);
        EXPECT_TRUE(st.st_mtim.tv_sec == written[output].tv_sec && st.st_mtim.tv_nsec == written[output].tv_nsec)
            << output << " was written again";
    }
    EXPECT_EQ(LinesOf(log).size(), files.size() + bad.size() + 1);
}

}  // namespace
}  // namespace pw::test
