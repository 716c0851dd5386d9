#include "engine/BatchPlan.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "engine/OutputLock.h"
#include "engine/RemoveFolderTree.h"
#include "engine/ToolInvocations.h"
#include "platform/DebugTrace.h"
#include "platform/FileIdentity.h"
#include "platform/Folders.h"
#include "platform/Paths.h"
#include "platform/TempFiles.h"
#include "settings/CompressionMethod.h"
#include "settings/ProgramSettings.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

// The folder's normal path with a trailing separator when it is a real
// folder (not a link, which emptying would only unlink); empty otherwise.
std::string RealFolderPrefix(const std::string& folder)
{
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::string();
    return WithTrailingSeparator(NormalPath(folder));
}

std::string SafeRule(const std::string& rule)
{
    std::string safe = rule;
    for (char& c : safe) {
        if (c == '/' || c == kPathSeparator)
            c = '_';
    }
    for (size_t dots = safe.find(".."); dots != std::string::npos; dots = safe.find("..", dots))
        safe.replace(dots, 2, "__");
    return safe;
}

bool CreateSplitFolder(const std::string& folder, std::string* error)
{
    RemoveFolderTree(folder);
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        *error = "cannot create the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || IsMountPoint(folder)) {
        *error = "cannot create the folder " + folder + ": something else is in the way";
        return false;
    }
    return true;
}

// The folder of a path, for the clean-up of what killed runs left there.
std::string FolderOf(const std::string& path)
{
    const PathParts parts = SplitPath(path);
    return parts.drive + parts.dir;
}

}  // namespace

std::string SplitFolderName(const std::string& namingRule, const std::string& baseName, size_t index)
{
    const std::string name = IsUnsetSetting(namingRule) ? baseName : SafeRule(namingRule);
    return name + "_" + std::to_string(index + 1);
}

BatchPlan PlanBatch(const std::string& operation, const std::vector<std::string>& sources,
                    const std::string& outputPlace, const BatchSettingsOverrides& overrides)
{
    BatchPlan plan;
    const bool compress = operation == kOperationCompress;
    const bool merge = operation == kOperationMerge;
    const bool split = operation == kOperationSplit;
    if (!compress && !merge && !split) {
        plan.error = "unknown operation " + operation;
        return plan;
    }
    if (outputPlace.empty()) {
        plan.error = merge ? "no output file given" : "no output folder given";
        return plan;
    }
    std::string folder;
    if (merge && IsFolder(outputPlace)) {
        plan.error = "the output file " + outputPlace + " is a folder";
        return plan;
    }
    if (merge && SplitPath(outputPlace).fname.empty() && SplitPath(outputPlace).ext.empty()) {
        plan.error = "the output file " + outputPlace + " ends in a separator: it names a folder, not a file";
        return plan;
    }
    if (!merge) {
        if (!IsFolder(outputPlace)) {
            plan.error = "the output folder " + outputPlace + " does not exist";
            return plan;
        }
        folder = WithTrailingSeparator(outputPlace);
    }

    std::string methodName;
    std::string overrideArguments;
    if (overrides.compressMethod)
        overrideArguments = CompressionArgumentsFor(std::to_string(*overrides.compressMethod), &methodName);

    // Read once for the batch: every entry gets the same values.
    const ProgramSettingsValues settings = ReadProgramSettings();
    plan.warning = settings.problem;
    if (!plan.warning.empty())
        DebugTrace(plan.warning + "\n");
    const std::string rule = overrides.namingRule ? *overrides.namingRule : settings.namingRule;
    const bool useCompression = overrides.useCompression ? *overrides.useCompression
                                                         : IsUseCompressionOn(settings.useCompressMethod);
    const std::string arguments = overrides.compressMethod ? overrideArguments : CompressionArgumentsOf(settings);
    plan.engine = overrides.engine ? *overrides.engine : BatchEngineFromText(settings.engine);

    std::vector<std::string> splitFolders;
    for (size_t i = 0; i < sources.size(); ++i) {
        const std::string& source = sources[i];
        const PathParts parts = SplitPath(source);

        std::string output;
        if (compress) {
            output = folder + parts.fname + ".tif";
        } else if (merge) {
            output = outputPlace;
        } else {
            const std::string splitFolder = folder + SplitFolderName(rule, parts.fname, i);
            splitFolders.push_back(splitFolder);
            output = splitFolder + kPathSeparator + parts.fname + ".tif";
        }
        plan.job.useCompression = useCompression ? "TRUE" : "FALSE";
        plan.job.sources.push_back(source);
        plan.job.outputs.push_back(output);
        plan.job.compressionArguments.push_back(arguments);
    }
    plan.job.compressionMethod = overrides.compressMethod ? methodName : GetCurrentCompressionMethod();

    // Refusals come before anything on disk is changed.
    for (size_t i = 0; i < plan.job.outputs.size(); ++i) {
        if (plan.job.outputs[i].find('\0') != std::string::npos || sources[i].find('\0') != std::string::npos) {
            plan.error = "the name of the output of " + sources[i] + " holds a zero byte";
            return plan;
        }
    }
    if (!merge) {
        plan.error = FindOutputClash(plan.job.sources, plan.job.outputs);
        if (!plan.error.empty())
            return plan;
    }
    if (merge) {
        const std::string output = FileIdentity(outputPlace);
        for (const std::string& source : sources) {
            if (FileIdentity(source) == output) {
                plan.error = "the output file " + outputPlace + " is one of the files to merge (" + source + ")";
                return plan;
            }
        }
    }
    std::vector<std::string> normalSources;
    for (const std::string& splitFolder : splitFolders) {
        const std::string prefix = RealFolderPrefix(splitFolder);
        if (prefix.empty())
            continue;
        if (normalSources.empty()) {
            for (const std::string& source : sources)
                normalSources.push_back(WithTrailingSeparator(NormalPath(source)));
        }
        for (size_t i = 0; i < sources.size(); ++i) {
            if (normalSources[i].compare(0, prefix.size(), prefix) == 0) {
                plan.error = "the split folder " + splitFolder + " holds " + sources[i] +
                             ", which emptying it would delete";
                return plan;
            }
        }
        if (const std::string obstacle = FolderRemovalObstacle(splitFolder); !obstacle.empty()) {
            plan.error = "the split folder " + obstacle;
            return plan;
        }
    }
    if (merge) {
        plan.job.outputLock = OutputLock::Acquire(outputPlace, &plan.error);
        if (!plan.job.outputLock)
            return plan;
    }
    // What killed runs left where this batch writes goes first.
    const std::string written = merge ? FolderOf(outputPlace) : folder;
    RemoveStaleTemporariesIn(written.empty() ? "." : written);
    if (merge)
        OutputLock::RemoveStaleIn(written.empty() ? "." : written);
    // Where every entry would fail for want of the tool, the old split
    // folders stay.
    if (split && (plan.engine == BatchEngine::Builtin || !FindTool(kSplitTool).empty())) {
        for (const std::string& splitFolder : splitFolders) {
            if (!CreateSplitFolder(splitFolder, &plan.error)) {
                plan.splitFolderNotCreated = true;
                return plan;
            }
        }
    }
    plan.ok = true;
    return plan;
}

}  // namespace pw
