#pragma once
// The six commands of pagewright-batch. Each returns the exit status.

#include "cli/CliOptions.h"
#include "cli/SignalWatcher.h"

namespace pw::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// compress, merge and split: the batch plan and worker the window runs.
int RunBatchCommand(const CliOptions& options, SignalWatcher& signals);
int RunExtractCommand(const CliOptions& options, SignalWatcher& signals);
int RunInfoCommand(const CliOptions& options, SignalWatcher& signals);
int RunCountCommand(const CliOptions& options, SignalWatcher& signals);

}  // namespace pw::cli
