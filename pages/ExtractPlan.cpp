#include "pages/ExtractPlan.h"

#include "pages/ExtractNaming.h"
#include "platform/FileIdentity.h"
#include "platform/TempFiles.h"

namespace pw {

ExtractPlan PlanExtract(const std::string& folder, const std::vector<std::string>& sources,
                        const std::string& rangeText)
{
    ExtractPlan plan;
    // What killed runs left where this one writes goes first.
    RemoveStaleTemporariesIn(folder);
    std::vector<std::string> planned;  // sources and outputs of the entries that run
    std::vector<std::string> written;
    for (const std::string& source : sources) {
        std::string refusal;
        plan.outputs.push_back(ExtractOutputPath(folder, source, rangeText, &refusal));
        plan.refusals.push_back(refusal);
        if (!plan.outputs.back().empty()) {
            planned.push_back(source);
            written.push_back(plan.outputs.back());
        }
    }
    // A refused entry still reads nothing, but its source must stay safe
    // from the others: every source counts.
    std::vector<std::string> allSources = planned;
    for (size_t i = 0; i < sources.size(); ++i) {
        if (plan.outputs[i].empty())
            allSources.push_back(sources[i]);
    }
    std::vector<std::string> allOutputs = written;
    plan.error = FindOutputClash(allSources, allOutputs);
    plan.ok = plan.error.empty();
    return plan;
}

}  // namespace pw
