#include "tests/cli/CliProgram.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace pw::test {
namespace {

std::vector<std::string> Environment(const CliProgram& program, const std::string& config)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (text.rfind("XDG_CONFIG_HOME=", 0) != 0 && text.rfind("TMPDIR=", 0) != 0)
            environment.push_back(text);
    }
    environment.push_back("XDG_CONFIG_HOME=" + config);
    environment.push_back("TMPDIR=" + program.temp());
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

int DecodeStatus(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

// Reads whatever is there on the open descriptors; false once both are closed.
bool Pump(int& outFd, int& errFd, CliResult& result, int timeoutMs)
{
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    if (outFd < 0 && errFd < 0)
        return false;
    if (::poll(fds, 2, timeoutMs) <= 0)
        return true;
    char buffer[65536];
    int* descriptors[2] = {&outFd, &errFd};
    std::string* texts[2] = {&result.out, &result.err};
    for (int i = 0; i < 2; ++i) {
        if (*descriptors[i] < 0 || fds[i].revents == 0)
            continue;
        const ssize_t n = ::read(*descriptors[i], buffer, sizeof buffer);
        if (n > 0) {
            texts[i]->append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            ::close(*descriptors[i]);
            *descriptors[i] = -1;
        }
    }
    return outFd >= 0 || errFd >= 0;
}

}  // namespace

std::vector<std::string> CliResult::OutLines() const
{
    std::vector<std::string> lines;
    std::istringstream stream(out);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

CliProgram::CliProgram(bool withTools)
{
    std::filesystem::copy_file(PAGEWRIGHT_BATCH_EXE, exe());
    if (withTools) {
        for (const char* tool : {"tiffinfo", "tiffcp", "tiffsplit"}) {
            if (::symlink(SystemToolPath(tool).c_str(), (folder_ / tool).c_str()) != 0)
                throw std::runtime_error("cannot link a tool");
        }
    }
}

uid_t CliProgram::RunUnprivileged()
{
    if (::geteuid() != 0)
        return ::geteuid();
    for (const TempFolder* folder : {&folder_, &config_, &temp_})
        GiveToUser(folder->path(), kNobody);
    user_ = kNobody;
    return kNobody;
}

void GiveToUser(const std::string& folder, uid_t user)
{
    ::lchown(folder.c_str(), user, user);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        ::lchown(entry.path().c_str(), user, user);
}

void CliProgram::WriteSettings(const std::string& pagewrightSection)
{
    WriteBytes(folder_ / "Pagewright.ini", "[Pagewright]\n" + pagewrightSection);
}

pid_t CliProgram::Spawn(const std::vector<std::string>& arguments, int outFd, int errFd, int closeInChild) const
{
    std::vector<std::string> argv = {exe()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = Environment(*this, config_.path());
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> environmentPointers = Pointers(environment);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        if (closeInChild >= 0)
            ::close(closeInChild);
        if (user_ != static_cast<uid_t>(-1) &&
            (::setgroups(0, nullptr) != 0 || ::setgid(user_) != 0 || ::setuid(user_) != 0))
            ::_exit(126);
        ::execve(argvPointers[0], argvPointers.data(), environmentPointers.data());
        ::_exit(127);
    }
    return pid;
}

CliProgram::Running CliProgram::Start(const std::vector<std::string>& arguments) const
{
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    Running running;
    running.pid_ = Spawn(arguments, out[1], err[1], -1);
    ::close(out[1]);
    ::close(err[1]);
    running.outFd_ = out[0];
    running.errFd_ = err[0];
    return running;
}

CliResult CliProgram::Run(const std::vector<std::string>& arguments, bool stderrTerminal) const
{
    if (!stderrTerminal)
        return Start(arguments).Finish();

    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = Spawn(arguments, out[1], slave, master);
    ::close(out[1]);
    ::close(slave);
    CliResult result;
    int outFd = out[0];
    int errFd = master;  // reads fail with EIO once the child has gone
    while (Pump(outFd, errFd, result, 1000)) {
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = DecodeStatus(status);
    return result;
}

CliResult CliProgram::RunWithOutputTo(const std::string& file, const std::vector<std::string>& arguments) const
{
    const int outFd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    int err[2];
    if (outFd < 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot open " + file);
    const pid_t pid = Spawn(arguments, outFd, err[1], -1);
    ::close(outFd);
    ::close(err[1]);
    CliResult result;
    int none = -1;
    int errFd = err[0];
    while (Pump(none, errFd, result, 1000)) {
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = DecodeStatus(status);
    return result;
}

CliProgram::Running::Running(Running&& other) noexcept
    : pid_(other.pid_), outFd_(other.outFd_), errFd_(other.errFd_), result_(std::move(other.result_))
{
    other.pid_ = -1;
    other.outFd_ = -1;
    other.errFd_ = -1;
}

CliProgram::Running::~Running()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0)
        ::close(outFd_);
    if (errFd_ >= 0)
        ::close(errFd_);
}

bool CliProgram::Running::WaitForLines(size_t lines)
{
    for (;;) {
        size_t count = 0;
        for (char c : result_.out)
            count += c == '\n';
        if (count >= lines)
            return true;
        if (!Pump(outFd_, errFd_, result_, 1000) || outFd_ < 0)
            return false;
    }
}

void CliProgram::Running::Signal(int signal)
{
    ::kill(pid_, signal);
}

CliResult CliProgram::Running::Finish()
{
    while (Pump(outFd_, errFd_, result_, 1000)) {
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    result_.status = DecodeStatus(status);
    return result_;
}

std::string CliFixture::File(const std::string& name, int pages, const PageSpec& shape)
{
    const std::string path = work_ / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_TRUE(WriteTiff(path, pages, shape)) << path;
    return path;
}

std::string CliFixture::Folder(const std::string& name)
{
    std::filesystem::create_directories(work_ / name);
    return work_ / name;
}

void CliFixture::ReplaceTool(const std::string& name, const std::string& script)
{
    const std::string path = program_.folder() + "/" + name;
    std::filesystem::remove(path);
    ASSERT_TRUE(WriteBytes(path, script));
    ASSERT_EQ(::chmod(path.c_str(), 0755), 0);
}

std::set<std::string> FilesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

bool ProcessEnded(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text))
        return true;
    const size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

CliResult FinishOrKill(CliProgram::Running& running)
{
    const pid_t pid = running.pid();
    if (!WaitUntil([pid] { return ProcessEnded(pid); }))
        running.Signal(SIGKILL);
    return running.Finish();
}

std::vector<pid_t> ProcessesMentioning(const std::string& text)
{
    std::vector<pid_t> found;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr)
        return found;
    while (const dirent* entry = ::readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0 || pid == ::getpid())
            continue;
        std::ifstream file(std::string("/proc/") + entry->d_name + "/cmdline", std::ios::binary);
        std::ostringstream content;
        content << file.rdbuf();
        if (content.str().find(text) != std::string::npos)
            found.push_back(pid);
    }
    ::closedir(proc);
    return found;
}

}  // namespace pw::test
