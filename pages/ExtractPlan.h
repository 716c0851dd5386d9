#pragma once
// The files an Extract writes, worked out for all selected files before the
// first one is written, so that no extraction overwrites a file that a later
// one is still to read.

#include <string>
#include <vector>

namespace pw {

struct ExtractPlan {
    bool ok = false;
    std::string error;  // why nothing may be written, when !ok
    // One per source, in order: the output path, or "" when that source
    // cannot be extracted (the reason is in refusals).
    std::vector<std::string> outputs;
    std::vector<std::string> refusals;
};

// Names each source's output in the folder (ExtractOutputPath). Refused as a
// whole when one output is another source (through any path to the same
// file) or two sources would be written to the same output, naming the
// files.
ExtractPlan PlanExtract(const std::string& folder, const std::vector<std::string>& sources,
                        const std::string& rangeText);

}  // namespace pw
