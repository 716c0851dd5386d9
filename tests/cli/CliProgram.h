#pragma once
// Runs a copy of the built pagewright-batch from a program folder of the
// test's own (with or without the tool links beside it), with its own
// settings file, configuration folder and temporary folder.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <set>
#include <string>
#include <vector>

#include "tests/fixtures/TiffFixtures.h"

namespace pw::test {

struct CliResult {
    int status = -1;  // exit status; 128 + signal when ended by a signal
    std::string out;
    std::string err;
    std::vector<std::string> OutLines() const;
};

class CliProgram {
public:
    explicit CliProgram(bool withTools = true);

    std::string exe() const { return folder_ / "pagewright-batch"; }
    const std::string& folder() const { return folder_.path(); }
    std::string temp() const { return temp_.path(); }
    // Where the program keeps its per-user files ($XDG_CONFIG_HOME).
    std::string config() const { return config_.path(); }
    void WriteSettings(const std::string& pagewrightSection);

    // From now on the program runs as the unprivileged user "nobody" when the
    // test runs as root (as CI does), so that permissions count; its folders
    // are handed to that user. Returns the user id the program runs as.
    uid_t RunUnprivileged();

    // Runs to the end; stderr is a pipe unless a terminal is asked for.
    CliResult Run(const std::vector<std::string>& arguments, bool stderrTerminal = false) const;
    // Runs to the end with standard output going to the file (/dev/full...).
    CliResult RunWithOutputTo(const std::string& file, const std::vector<std::string>& arguments) const;

    // A run that the test watches and signals while it goes on.
    class Running {
    public:
        Running() = default;
        Running(Running&& other) noexcept;
        Running& operator=(Running&&) = delete;
        ~Running();
        // Reads standard output until it holds `lines` lines (or the program
        // ends); false when it ended first.
        bool WaitForLines(size_t lines);
        void Signal(int signal);
        CliResult Finish();
        pid_t pid() const { return pid_; }

    private:
        friend class CliProgram;
        pid_t pid_ = -1;
        int outFd_ = -1;
        int errFd_ = -1;
        CliResult result_;
    };
    Running Start(const std::vector<std::string>& arguments) const;

private:
    // Starts the program with its standard output and error on the given
    // descriptors, closing closeInChild in the child; its process id.
    pid_t Spawn(const std::vector<std::string>& arguments, int outFd, int errFd, int closeInChild) const;

    TempFolder folder_;
    TempFolder config_;
    TempFolder temp_;
    uid_t user_ = static_cast<uid_t>(-1);  // -1: as the test
};

// Whether the process has ended (gone, or a zombie nobody has reaped yet).
bool ProcessEnded(pid_t pid);

// Finishes a run that must not hang: a run still going after the time is up
// is killed (the test then fails on its status).
CliResult FinishOrKill(CliProgram::Running& running);

// A test's own files and a program to run on them.
class CliFixture : public ::testing::Test {
protected:
    // A TIFF file of the pages, its folders made as needed.
    std::string File(const std::string& name, int pages, const PageSpec& shape = Page());
    std::string Folder(const std::string& name);
    // Puts an executable script in the place of the program's tool.
    void ReplaceTool(const std::string& name, const std::string& script);

    TempFolder work_;
    CliProgram program_;
};

// The names in the folder.
std::set<std::string> FilesIn(const std::string& folder);

// The user id of "nobody".
inline constexpr uid_t kNobody = 65534;

// Hands the folder and everything below it to the user.
void GiveToUser(const std::string& folder, uid_t user);

// Processes whose command line mentions the text (tools run from a program
// folder carry its path in their first argument).
std::vector<pid_t> ProcessesMentioning(const std::string& text);

}  // namespace pw::test
