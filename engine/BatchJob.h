#pragma once
// Everything the batch worker needs, built by the batch plan.

#include <memory>
#include <string>
#include <vector>

namespace pw {

class OutputLock;

// The operation texts of the three batches; the worker compares them
// exactly.
inline constexpr char kOperationCompress[] = "Compress";
inline constexpr char kOperationMerge[] = "Merge";
inline constexpr char kOperationSplit[] = "Split";

struct BatchJob {
    // One each per list entry, in list order.
    std::vector<std::string> sources;
    // Compress: the destination of each source; Split: the output path whose
    // folder and base name give the page files' prefix; Merge: the chosen
    // output file, repeated (the worker uses the first).
    std::vector<std::string> outputs;
    std::vector<std::string> compressionArguments;
    // "TRUE" or "FALSE": whether merging compresses.
    std::string useCompression = "FALSE";
    // The compression method name when the job was built ("none", "lzw",
    // "zip", "packbits", "g3", "g4" or empty).
    std::string compressionMethod;
    // Merge: the lock on the output file, held until the job is released.
    std::shared_ptr<OutputLock> outputLock;
};

}  // namespace pw
