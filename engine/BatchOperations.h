#pragma once
// The unit of work of each batch, one call per entry. The tool invocations
// are the real thing; tests and the worker benchmark put their own in.

#include <string>

#include "engine/ToolInvocations.h"

namespace pw {

class StopSignal;

class BatchOperations {
public:
    virtual ~BatchOperations() = default;

    virtual bool Compress(const std::string& source, const std::string& destination,
                          const std::string& compressionArguments, const std::string& methodName,
                          StopSignal* stop, ToolOutcome* outcome) = 0;
    virtual bool Merge(const std::string& source, const std::string& output,
                       const std::string& compressionArguments, const std::string& useCompression,
                       const std::string& methodName, StopSignal* stop, ToolOutcome* outcome) = 0;
    virtual bool Split(const std::string& source, const std::string& output, StopSignal* stop,
                       ToolOutcome* outcome) = 0;
    // Closes whatever the operations keep open from one entry to the next;
    // called before a merged file takes its output's place, which on some
    // systems cannot happen while the file is open.
    virtual void CloseOutputs() {}
};

// CompressFile, MergeFile and SplitFile.
BatchOperations& ToolBatchOperations();

}  // namespace pw
