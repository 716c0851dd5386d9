#pragma once
// Runs one external tool hidden, with its standard output and standard
// error captured as one text. The single place where a tool is started.

#include <atomic>
#include <string>
#include <vector>

#include "platform/CommandLine.h"

namespace pw {

// How a run ended, for callers that judge success themselves.
struct RunStatus {
    bool started = false;  // the child was started
    bool exited = false;   // it ended through exit (not through a signal)
    int exitCode = -1;     // its exit status, when exited
    int signal = 0;        // the signal that ended it, when not exited
};

// A stop request shared by a batch and the tool runs it makes. Once it is
// requested, RunAndCapture starts no further child for it and ends the
// children it has running. Clear() makes it usable for the next batch.
class StopSignal {
public:
    StopSignal() = default;
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Sets the request and ends every child started under this signal.
    // A run that has not started its child yet will not start it.
    void Request();
    bool IsRequested() const;
    void Clear();

private:
    friend class ToolProcessRegistry;
    std::atomic<bool> requested_{false};  // changed only under the registry's lock
};

// Runs the command line and appends everything the child writes to its
// standard output and standard error, in the order written, to output.
// The child is killed when the thread that started it ends (so also when
// this process dies). A read that fails ends the collecting; the run then
// waits for the child, which can no longer write.
// The first token names the program; the line is split into arguments by
// SplitCommandLine. Standard input is /dev/null. Blocks until the child has
// ended and the pipe is empty; there is no time-out.
// Returns 0, leaving output untouched, when the program cannot be started
// (or the stop signal is already requested); non-zero otherwise.
// Output is read in chunks of at most 8191 bytes; a chunk that contains a
// zero byte is kept only up to that byte.
int RunAndCapture(const std::string& commandLine, std::string& output,
                  RunStatus* status = nullptr, StopSignal* stop = nullptr);

// The same for a command line whose arguments are already known: the program
// gets command.arguments as they are, the trace shows command.text.
int RunAndCapture(const CommandLine& command, std::string& output,
                  RunStatus* status = nullptr, StopSignal* stop = nullptr);

// Ends every tool process that RunAndCapture has running in this process,
// and no other process. Returns how many were signalled.
int TerminateToolProcesses();

// The number of tool processes RunAndCapture has running right now.
int RunningToolProcessCount();

// Makes every read from the pipe fail, as a broken pipe would, so that tests
// can see the run end all the same.
void SetReadFailuresForTesting(bool enabled);

// Makes RunAndCapture do without process descriptors (pidfd), as on kernels
// that lack them, so that tests cover that way of waiting too.
void SetProcessDescriptorsForTesting(bool enabled);

}  // namespace pw
