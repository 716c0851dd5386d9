#include "platform/ShellOpen.h"

#include "platform/DebugTrace.h"
#include "platform/Paths.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace pw {

namespace {

// Starts program with one argument, standard input from /dev/null, and
// reaps it on a thread of its own when it ends, however long it runs (some
// openers wait for the application they start). False when it cannot be
// started.
bool StartDetached(const std::string& program, const std::string& argument) {
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return false;
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", 0, 0);
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()), nullptr};
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return false;
    std::thread([pid, program] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            DebugTrace(program + " ended with status " + std::to_string(WEXITSTATUS(status)));
    }).detach();
    return true;
}

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && path.front() == kPathSeparator)
        return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        return "." + std::string(1, kPathSeparator) + path;
    return WithTrailingSeparator(cwd) + path;
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

bool IsAddress(const std::string& target) {
    if (target.empty() || !std::isalpha(static_cast<unsigned char>(target[0])))
        return false;
    for (std::size_t i = 1; i < target.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(target[i]);
        if (c == ':')
            return i >= 2;  // a one-letter scheme would be a drive letter
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return false;
}

int ShellOpen(const std::string& target) {
    if (target.empty())
        return kShellOpenFileNotFound;
    std::string argument = target;
    if (!IsAddress(target)) {
        if (!PathExists(target))
            return kShellOpenFileNotFound;
        argument = AbsolutePath(target);
    }
    if (StartDetached("xdg-open", argument))
        return kShellOpenSuccess;
    for (const std::string& browser : BrowserPrograms())
        if (StartDetached(browser, argument))
            return kShellOpenSuccess;
    DebugTrace("no program to open " + target);
    return kShellOpenNoAssociation;
}

}  // namespace pw
