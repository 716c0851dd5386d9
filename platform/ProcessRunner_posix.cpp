#include "platform/ProcessRunner.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "platform/DebugTrace.h"
#include "platform/ToolProcessRegistry.h"

extern char** environ;

namespace pw {
namespace {

constexpr size_t kReadBufferSize = 8192;  // one byte more than a chunk, for the terminating zero
constexpr int kPollIntervalMs = 100;      // the longest pause between two empty polls

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// Moves a descriptor above the three standard ones, so that setting up the
// child's standard handles cannot overwrite it.
int AboveStandardHandles(int fd)
{
    if (fd > STDERR_FILENO)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

bool CreatePipe(int& readEnd, int& writeEnd)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    readEnd = AboveStandardHandles(fds[0]);
    writeEnd = AboveStandardHandles(fds[1]);
    if (readEnd < 0 || writeEnd < 0 || ::fcntl(readEnd, F_SETFL, O_NONBLOCK) != 0) {
        if (readEnd >= 0)
            ::close(readEnd);
        if (writeEnd >= 0)
            ::close(writeEnd);
        return false;
    }
    return true;
}

std::atomic<bool> g_useProcessDescriptors{true};

int OpenProcessDescriptor(pid_t pid)
{
#ifdef SYS_pidfd_open
    if (!g_useProcessDescriptors)
        return -1;
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

std::atomic<bool> g_failReads{false};

// Starts the program with standard input from /dev/null and standard output
// and standard error both on the pipe's write end. Nothing else the process
// has open reaches the child. The child is killed when the thread that
// started it ends - in particular when this process dies, however it dies -
// so that no tool outlives a killed program and goes on writing.
bool SpawnChild(const std::vector<std::string>& arguments, int readEnd, int writeEnd, pid_t& pid)
{
    (void)readEnd;  // closed in the child with every other descriptor above 2
    // Everything the child needs is made before vfork: the child shares this
    // process's memory until its exec and makes only system calls.
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const bool searchPath = arguments[0].find('/') == std::string::npos;
    const int devNull = AboveStandardHandles(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (devNull < 0)
        return false;
    long openMax = ::sysconf(_SC_OPEN_MAX);
    if (openMax < 0 || openMax > 65536)
        openMax = 65536;
    const pid_t parent = ::getpid();

    // No signal handler of this process may run in the child before its exec:
    // everything is blocked across vfork, and the child resets the handlers
    // before it unblocks.
    sigset_t all, previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    volatile int execError = 0;
    const pid_t child = ::vfork();
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);  // the parent is already gone
        for (int signal = 1; signal < NSIG; ++signal) {
            struct sigaction action;
            if (signal == SIGKILL || signal == SIGSTOP || ::sigaction(signal, nullptr, &action) != 0)
                continue;
            // Handled signals and an ignored SIGPIPE (a host that ignores it
            // must not hand that on to the tools) go back to the default.
            if ((action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN) || signal == SIGPIPE) {
                action.sa_handler = SIG_DFL;
                action.sa_flags = 0;
                ::sigemptyset(&action.sa_mask);
                ::sigaction(signal, &action, nullptr);
            }
        }
        if (::dup2(devNull, STDIN_FILENO) < 0 || ::dup2(writeEnd, STDOUT_FILENO) < 0 ||
            ::dup2(writeEnd, STDERR_FILENO) < 0) {
            execError = errno;
            ::_exit(127);
        }
        // Descriptors other threads opened without close-on-exec (libtiff
        // opens its files that way) must not leak into the tool either.
#ifdef SYS_close_range
        if (::syscall(SYS_close_range, STDERR_FILENO + 1, ~0U, 0) != 0)
#endif
        {
            for (long fd = STDERR_FILENO + 1; fd < openMax; ++fd)
                ::close(static_cast<int>(fd));
        }
        // A host that blocks signals in its threads must not hand that on.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (searchPath)
            ::execvp(argv[0], argv.data());
        else
            ::execve(argv[0], argv.data(), environ);
        execError = errno != 0 ? errno : ENOEXEC;
        ::_exit(127);
    }
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::close(devNull);
    if (child < 0) {
        errno = forkError;
        return false;
    }
    if (execError != 0) {
        // The program could not be run: reap the child, report no start.
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        return false;
    }
    pid = child;
    return true;
}

enum class ReadResult { Data, Empty, EndOfFile, Failed };

// Reads one chunk of at most 8191 bytes and appends it up to its first zero byte.
ReadResult ReadChunk(int fd, char* buffer, std::string& output)
{
    for (;;) {
        const ssize_t n = g_failReads ? (errno = EIO, -1) : ::read(fd, buffer, kReadBufferSize - 1);
        if (n > 0) {
            buffer[n] = '\0';
            output.append(buffer, ::strnlen(buffer, static_cast<size_t>(n)));
            return ReadResult::Data;
        }
        if (n == 0)
            return ReadResult::EndOfFile;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return ReadResult::Empty;
        return ReadResult::Failed;
    }
}

// After the child has ended: reads what it left in the pipe. Only the bytes
// waiting right now are taken, so that a descendant still writing into an
// inherited copy of the pipe cannot keep the run going.
void ReadWhatIsLeft(int fd, char* buffer, std::string& output)
{
    int waiting = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0)
        return;
    while (waiting > 0) {
        const ssize_t n = ::read(fd, buffer, std::min<size_t>(kReadBufferSize - 1, static_cast<size_t>(waiting)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        buffer[n] = '\0';
        output.append(buffer, ::strnlen(buffer, static_cast<size_t>(n)));
        waiting -= static_cast<int>(n);
    }
}

// Whether the child has ended, without reaping it: it stays listed (and its
// id stays ours) until the run takes it off the list.
bool ChildHasEnded(pid_t pid)
{
    for (;;) {
        siginfo_t info;
        info.si_pid = 0;
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0)
            return info.si_pid == pid;
        if (errno != EINTR)
            return true;  // nothing left to wait for
    }
}

// Sleeps until output arrives, the child ends, or the poll interval is up.
// Without a process descriptor the end of the child cannot wake us; once the
// pipe is closed the pause then grows from 1 ms to the interval, so that a
// tool that closes its output as it exits is still noticed quickly.
void WaitForOutputOrEnd(int readEnd, int pidfd, int& fallbackPause)
{
    pollfd fds[2];
    nfds_t count = 0;
    if (readEnd >= 0)
        fds[count++] = pollfd{readEnd, POLLIN, 0};
    if (pidfd >= 0)
        fds[count++] = pollfd{pidfd, POLLIN, 0};
    int timeout = kPollIntervalMs;
    if (pidfd < 0 && readEnd < 0) {
        timeout = fallbackPause;
        fallbackPause = std::min(fallbackPause * 2, kPollIntervalMs);
    }
    ::poll(fds, count, timeout);
}

void Reap(pid_t pid, RunStatus& status)
{
    int wstatus = 0;
    while (::waitpid(pid, &wstatus, 0) < 0) {
        if (errno != EINTR)
            return;
    }
    if (WIFEXITED(wstatus)) {
        status.exited = true;
        status.exitCode = WEXITSTATUS(wstatus);
    } else if (WIFSIGNALED(wstatus)) {
        status.signal = WTERMSIG(wstatus);
    }
}

}  // namespace

int RunAndCapture(const CommandLine& command, std::string& output, RunStatus* status, StopSignal* stop)
{
    RunStatus ignored;
    RunStatus& result = status != nullptr ? *status : ignored;
    result = RunStatus();

    char buffer[kReadBufferSize] = {};
    DebugTrace(command.text + "\n");

    if (command.arguments.empty() || command.arguments[0].empty())
        return 0;

    int readFd = -1, writeFd = -1;
    if (!CreatePipe(readFd, writeFd))
        return 0;
    Descriptor readEnd(readFd);
    Descriptor writeEnd(writeFd);

    ToolChild child;
    const bool started = ToolProcessRegistry::Instance().Start(stop, [&](ToolChild& c) {
        if (!SpawnChild(command.arguments, readEnd.get(), writeEnd.get(), c.pid))
            return false;
        c.pidfd = OpenProcessDescriptor(c.pid);
        return true;
    }, child);
    if (!started)
        return 0;
    result.started = true;
    Descriptor pidfd(child.pidfd);

    // Only the child's copies of the write end remain, so the pipe reports
    // its end once the child (and anything it passed the pipe to) is gone.
    writeEnd.Close();

    bool pipeOpen = true;
    int fallbackPause = 1;
    for (;;) {
        // Waiting output is always read before the child's end is looked at.
        if (pipeOpen) {
            const ReadResult r = ReadChunk(readEnd.get(), buffer, output);
            if (r == ReadResult::Data)
                continue;
            if (r == ReadResult::Failed) {
                // The loop ends here. With the read end closed, a child that
                // goes on writing is ended by SIGPIPE instead of filling the
                // pipe and waiting for a reader for ever.
                DebugTrace("ReadFile failed");
                readEnd.Close();
                break;
            }
            if (r != ReadResult::Empty)
                pipeOpen = false;
        }
        if (ChildHasEnded(child.pid)) {
            // It may have written between the read above and its end.
            if (pipeOpen)
                ReadWhatIsLeft(readEnd.get(), buffer, output);
            break;
        }
        WaitForOutputOrEnd(pipeOpen ? readEnd.get() : -1, pidfd.get(), fallbackPause);
    }

    ToolProcessRegistry::Instance().Remove(child.pid);
    Reap(child.pid, result);
    return 1;
}

void SetProcessDescriptorsForTesting(bool enabled)
{
    g_useProcessDescriptors = enabled;
}

void SetReadFailuresForTesting(bool enabled)
{
    g_failReads = enabled;
}

int RunAndCapture(const std::string& commandLine, std::string& output, RunStatus* status, StopSignal* stop)
{
    return RunAndCapture(CommandLine{commandLine, SplitCommandLine(commandLine)}, output, status, stop);
}

}  // namespace pw
