#pragma once
// The batch operations of pagewright-batch's builtin engine. Merge and split
// copy every page's stored data, in this process and without a tool: the
// same pixels, JPEG pages not re-encoded, every directory entry kept (EXIF
// and GPS directories with them), the page numbers rewritten. Both copy
// entry by entry (RawPageFile); a split page that copy does not take goes
// through the page copier. A page of the other byte order than the merge
// output's is copied as stored when its codec stores a byte stream or its
// samples are of 8 bits or fewer, and with its samples swapped when they
// are uncompressed. A file whose pages cannot be copied as stored goes
// through the tools instead (ToolBatchOperations), and is noted:
// - the merge compresses and a page is not stored with the chosen method;
// - a page is old-style JPEG, whose tags point at parts of its data;
// - a merge page of compressed samples of 16, 24, 32, 64 or 128 bits whose
//   byte order differs from the output's (the byte order is inside the
//   compressed stream);
// - a merge page the entry copy does not take (strip tables libtiff reads
//   otherwise than they are stored, an entry outside the file);
// - a split of more page files than tiffsplit's names reach.
// Compress always goes through the tools.
//
// The success rule, the roll-back of a failed or stopped append and the
// page-file names are those of the tools: a merge that fails leaves the
// output as it was, a split names its pages <prefix>aaa.tif, aab.tif, ...

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/BatchOperations.h"

namespace pw {

class BuiltinBatchOperations final : public BatchOperations {
public:
    BuiltinBatchOperations();
    // Closes the merge output.
    ~BuiltinBatchOperations() override;
    BuiltinBatchOperations(const BuiltinBatchOperations&) = delete;
    BuiltinBatchOperations& operator=(const BuiltinBatchOperations&) = delete;

    bool Compress(const std::string& source, const std::string& destination,
                  const std::string& compressionArguments, const std::string& methodName,
                  StopSignal* stop, ToolOutcome* outcome) override;
    // Calls for one output are expected in list order from one thread at a
    // time; the output stays open between them.
    bool Merge(const std::string& source, const std::string& output,
               const std::string& compressionArguments, const std::string& useCompression,
               const std::string& methodName, StopSignal* stop, ToolOutcome* outcome) override;
    void CloseOutputs() override;
    // Safe to call from several threads at once.
    bool Split(const std::string& source, const std::string& output, StopSignal* stop,
               ToolOutcome* outcome) override;

    // A file that went through the tools, and why.
    struct ToolFallback {
        std::string source;
        std::string why;
    };
    std::vector<ToolFallback> Fallbacks() const;

private:
    class MergeOutput;

    void NoteFallback(const std::string& source, const std::string& why);

    mutable std::mutex fallbackMutex_;
    std::vector<ToolFallback> fallbacks_;
    std::mutex mergeMutex_;
    std::unique_ptr<MergeOutput> mergeOutput_;
};

// The name tiffsplit gives page index (from 0) after its prefix: "aaa",
// "aab", ... "zzz"; empty past the last one.
std::string SplitPageSuffix(size_t index);

}  // namespace pw
