#include "engine/BatchOperations.h"

namespace pw {
namespace {

class ToolOperations final : public BatchOperations {
public:
    bool Compress(const std::string& source, const std::string& destination,
                  const std::string& compressionArguments, const std::string& methodName,
                  StopSignal* stop, ToolOutcome* outcome) override
    {
        return CompressFile(source, destination, compressionArguments, methodName, stop, outcome);
    }

    bool Merge(const std::string& source, const std::string& output,
               const std::string& compressionArguments, const std::string& useCompression,
               const std::string& methodName, StopSignal* stop, ToolOutcome* outcome) override
    {
        return MergeFile(source, output, compressionArguments, useCompression, methodName, stop, outcome);
    }

    bool Split(const std::string& source, const std::string& output, StopSignal* stop,
               ToolOutcome* outcome) override
    {
        return SplitFile(source, output, stop, outcome);
    }
};

}  // namespace

BatchOperations& ToolBatchOperations()
{
    static ToolOperations operations;
    return operations;
}

}  // namespace pw
