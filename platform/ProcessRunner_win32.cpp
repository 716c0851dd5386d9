#include "platform/ProcessRunner.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/DebugTrace.h"
#include "platform/ToolProcessRegistry.h"
#include "platform/WideText_win32.h"

namespace pw {
namespace {

constexpr DWORD kReadChunk = 8191;
constexpr DWORD kPollIntervalMs = 100;  // the longest pause between two looks at the child

class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    HANDLE release()
    {
        HANDLE h = h_;
        h_ = nullptr;
        return h;
    }
    void Reset(HANDLE h)
    {
        Close();
        h_ = h == INVALID_HANDLE_VALUE ? nullptr : h;
    }
    void Close()
    {
        if (h_ != nullptr)
            ::CloseHandle(h_);
        h_ = nullptr;
    }

private:
    HANDLE h_;
};

// One argument quoted for the C run-time's command-line parser: the tools
// are C programs and split their command line by that rule.
void AppendQuoted(std::wstring& line, const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    for (size_t i = 0;; ++i) {
        size_t backslashes = 0;
        while (i < argument.size() && argument[i] == L'\\') {
            ++i;
            ++backslashes;
        }
        if (i == argument.size()) {
            line.append(backslashes * 2, L'\\');
            break;
        }
        if (argument[i] == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
            line += L'"';
        } else {
            line.append(backslashes, L'\\');
            line += argument[i];
        }
    }
    line += L'"';
}

std::wstring BuildCommandLine(const std::vector<std::string>& arguments)
{
    std::wstring line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            line += L' ';
        AppendQuoted(line, Widen(arguments[i]));
    }
    return line;
}

std::atomic<unsigned> g_pipeNumber{0};

// A pipe whose read end can be waited on together with the child: a named
// pipe opened for overlapped reading. The write end is inheritable, for the
// child's standard output and standard error.
bool CreateOutputPipe(Handle& readEnd, Handle& writeEnd)
{
    const std::wstring name = L"\\\\.\\pipe\\pagewright-" + std::to_wstring(::GetCurrentProcessId()) + L"-"
                              + std::to_wstring(g_pipeNumber.fetch_add(1));
    HANDLE r = ::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                  PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 65536, 0, nullptr);
    if (r == INVALID_HANDLE_VALUE)
        return false;
    Handle read(r);
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE w = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (w == INVALID_HANDLE_VALUE)
        return false;
    readEnd.Reset(read.release());
    writeEnd.Reset(w);
    return true;
}

HANDLE OpenNulForReading()
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
}

// The job every tool runs in: when the program ends, however it ends, the
// system closes the job and ends the tools with it.
HANDLE ToolJob()
{
    static HANDLE job = [] {
        HANDLE j = ::CreateJobObjectW(nullptr, nullptr);
        if (j != nullptr) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            ::SetInformationJobObject(j, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        }
        return j;
    }();
    return job;
}

// Starts the child suspended with only the pipe and NUL inherited, puts it
// in the job, and lets it run.
bool SpawnChild(const std::vector<std::string>& arguments, HANDLE writeEnd, HANDLE nul, ToolChild& child)
{
    std::wstring commandLine = BuildCommandLine(arguments);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = nul;
    startup.StartupInfo.hStdOutput = writeEnd;
    startup.StartupInfo.hStdError = writeEnd;

    HANDLE inherited[2] = {writeEnd, nul};
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributeBuffer(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBuffer.data());
    DWORD flags = CREATE_NO_WINDOW | CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT;
    if (size > 0 && ::InitializeProcThreadAttributeList(attributes, 1, 0, &size)) {
        if (::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof inherited,
                                        nullptr, nullptr)) {
            startup.lpAttributeList = attributes;
            flags |= EXTENDED_STARTUPINFO_PRESENT;
        }
    }

    PROCESS_INFORMATION info{};
    const BOOL created = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                                          &startup.StartupInfo, &info);
    if (startup.lpAttributeList != nullptr)
        ::DeleteProcThreadAttributeList(attributes);
    if (!created)
        return false;
    if (HANDLE job = ToolJob(); job != nullptr)
        ::AssignProcessToJobObject(job, info.hProcess);
    ::ResumeThread(info.hThread);
    ::CloseHandle(info.hThread);
    child.pid = static_cast<pid_t>(info.dwProcessId);
    child.process = info.hProcess;
    return true;
}

void AppendChunk(const char* buffer, DWORD n, std::string& output)
{
    output.append(buffer, ::strnlen(buffer, n));
}

// The overlapped reads of one run.
class PipeReader {
public:
    explicit PipeReader(HANDLE pipe) : pipe_(pipe), event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        overlapped_.hEvent = event_.get();
    }

    HANDLE event() const { return event_.get(); }
    bool open() const { return open_; }

    // Starts the next read; data that is there at once goes to output.
    void Start(std::string& output)
    {
        while (open_ && !pending_) {
            ::ResetEvent(event_.get());
            DWORD n = 0;
            if (::ReadFile(pipe_, buffer_, kReadChunk, &n, &overlapped_)) {
                AppendChunk(buffer_, n, output);
                continue;
            }
            if (::GetLastError() == ERROR_IO_PENDING)
                pending_ = true;
            else
                open_ = false;  // broken pipe: every writer is gone
        }
    }

    // Collects a read that has finished (or, with wait, the pending one).
    void Finish(std::string& output, bool wait)
    {
        if (!pending_)
            return;
        DWORD n = 0;
        if (::GetOverlappedResult(pipe_, &overlapped_, &n, wait ? TRUE : FALSE)) {
            pending_ = false;
            AppendChunk(buffer_, n, output);
            return;
        }
        const DWORD error = ::GetLastError();
        if (error == ERROR_IO_INCOMPLETE)
            return;
        pending_ = false;
        if (error != ERROR_OPERATION_ABORTED)
            open_ = false;
    }

    // After the child's end: takes what is in the pipe now and no more, so a
    // descendant still holding the write end cannot keep the run going.
    void TakeWhatIsLeft(std::string& output)
    {
        Finish(output, false);
        if (pending_) {
            ::CancelIoEx(pipe_, &overlapped_);
            Finish(output, true);
        }
        while (open_) {
            DWORD waiting = 0;
            if (!::PeekNamedPipe(pipe_, nullptr, 0, nullptr, &waiting, nullptr) || waiting == 0)
                return;
            Start(output);
            if (pending_)
                Finish(output, true);
        }
    }

private:
    HANDLE pipe_;
    Handle event_;
    OVERLAPPED overlapped_{};
    char buffer_[kReadChunk + 1] = {};
    bool pending_ = false;
    bool open_ = true;
};

}  // namespace

int RunAndCapture(const CommandLine& command, std::string& output, RunStatus* status, StopSignal* stop)
{
    RunStatus ignored;
    RunStatus& result = status != nullptr ? *status : ignored;
    result = RunStatus();

    DebugTrace(command.text + "\n");
    if (command.arguments.empty() || command.arguments[0].empty())
        return 0;

    Handle readEnd, writeEnd;
    if (!CreateOutputPipe(readEnd, writeEnd))
        return 0;
    Handle nul(OpenNulForReading());
    if (nul.get() == nullptr)
        return 0;

    ToolChild child;
    const bool started = ToolProcessRegistry::Instance().Start(
        stop, [&](ToolChild& c) { return SpawnChild(command.arguments, writeEnd.get(), nul.get(), c); }, child);
    if (!started)
        return 0;
    result.started = true;
    Handle process(child.process);

    // Only the child's copy of the write end remains.
    writeEnd.Close();
    nul.Close();

    PipeReader reader(readEnd.get());
    for (;;) {
        reader.Start(output);
        HANDLE waits[2] = {process.get(), reader.event()};
        const DWORD count = reader.open() ? 2 : 1;
        const DWORD woke = ::WaitForMultipleObjects(count, waits, FALSE, kPollIntervalMs);
        if (woke == WAIT_OBJECT_0 + 1) {
            reader.Finish(output, false);
            continue;
        }
        if (woke == WAIT_OBJECT_0) {
            reader.TakeWhatIsLeft(output);
            break;
        }
        if (woke == WAIT_FAILED) {
            DebugTrace("WaitForMultipleObjects failed");
            ::WaitForSingleObject(process.get(), INFINITE);
            reader.TakeWhatIsLeft(output);
            break;
        }
    }

    ToolProcessRegistry::Instance().Remove(child.pid);
    DWORD code = 0;
    if (::GetExitCodeProcess(process.get(), &code)) {
        if (code == kEndedByStopExitCode) {
            result.signal = 9;  // reported like the kill that ends a tool elsewhere
        } else {
            result.exited = true;
            result.exitCode = static_cast<int>(code);
        }
    }
    return 1;
}

void SetProcessDescriptorsForTesting(bool)
{
    // Windows always waits on the process handle.
}

int RunAndCapture(const std::string& commandLine, std::string& output, RunStatus* status, StopSignal* stop)
{
    return RunAndCapture(CommandLine{commandLine, SplitCommandLine(commandLine)}, output, status, stop);
}

}  // namespace pw
