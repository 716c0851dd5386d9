#include "platform/ShellOpen.h"

#include "platform/DebugTrace.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace pw {

namespace {

// How long a launcher may take to say that it cannot open the target.
// Openers that find no program for a target, or no file, end at once with
// a failure status; one that is still running by then has started the
// program (some wait for it to end), and is left to run.
constexpr auto kVerdictTime = std::chrono::milliseconds(1500);
constexpr auto kVerdictPoll = std::chrono::milliseconds(10);

enum class Launch { NotStarted, Started, Failed };

struct LaunchResult {
    Launch launch = Launch::NotStarted;
    int exitStatus = 0;  // when Failed; -1 after a signal
};

void ReapLater(pid_t pid, const std::string& program) {
    std::thread([pid, program] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        try {
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
                DebugTrace(program + " ended with status " + std::to_string(WEXITSTATUS(status)));
        } catch (...) {
            // Nothing may escape the thread.
        }
    }).detach();
}

// Starts program with one argument and standard input from /dev/null, and
// waits for its verdict (above).
LaunchResult StartLauncher(const std::string& program, const std::string& argument) {
    LaunchResult result;
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return result;
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()), nullptr};
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return result;
    const auto deadline = std::chrono::steady_clock::now() + kVerdictTime;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
                result.launch = Launch::Started;
            } else {
                result.launch = Launch::Failed;
                result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                DebugTrace(program + " could not open " + argument + " (status " +
                           std::to_string(result.exitStatus) + ")");
            }
            return result;
        }
        if ((done < 0 && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            ReapLater(pid, program);
            result.launch = Launch::Started;
            return result;
        }
        std::this_thread::sleep_for(kVerdictPoll);
    }
}

// The opener's failure in the codes the window reports: its statuses for a
// missing file (2) and for no program to open the target with (3); any
// other failure is an unknown error.
int OpenerFailureCode(int exitStatus) {
    switch (exitStatus) {
    case 2: return kShellOpenFileNotFound;
    case 3: return kShellOpenNoAssociation;
    default: return kShellOpenUnknownFailure;
    }
}

// The browsers to try after the desktop's opener: the user's $BROWSER
// entries (program names separated by ':', as other programs read it), then
// Debian's alternatives.
std::vector<std::string> BrowserPrograms() {
    std::vector<std::string> programs;
    if (const char* browser = std::getenv("BROWSER")) {
        std::string list = browser;
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t end = std::min(list.find(':', start), list.size());
            const std::string name = list.substr(start, end - start);
            // An entry with blanks or a %s is a command line for a shell;
            // those are not run.
            if (!name.empty() && name.find_first_of(" \t%") == std::string::npos)
                programs.push_back(name);
            start = end + 1;
        }
    }
    programs.push_back("x-www-browser");
    programs.push_back("sensible-browser");
    return programs;
}

}  // namespace

int ShellOpen(const std::string& target) {
    const std::string argument = ShellOpenArgument(target);
    if (argument.empty())
        return kShellOpenFileNotFound;
    const LaunchResult opener = StartLauncher("xdg-open", argument);
    if (opener.launch == Launch::Started)
        return kShellOpenSuccess;
    for (const std::string& browser : BrowserPrograms())
        if (StartLauncher(browser, argument).launch == Launch::Started)
            return kShellOpenSuccess;
    DebugTrace("no program to open " + target);
    return opener.launch == Launch::Failed ? OpenerFailureCode(opener.exitStatus) : kShellOpenNoAssociation;
}

}  // namespace pw
