#include "engine/ToolInvocations.h"

#include <dirent.h>
#include <sys/stat.h>

#include <map>
#include <tuple>

#include "engine/AppendRollback.h"
#include "engine/CommandTemplates.h"
#include "engine/TiffcpSource.h"
#include "engine/ToolOutputFile.h"
#include "platform/Paths.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramFolder.h"

namespace pw {
namespace {

constexpr char kTiffInfo[] = "tiffinfo";
constexpr char kTiffCp[] = "tiffcp";
constexpr char kTiffSplit[] = "tiffsplit";
constexpr char kBitsPerSampleKey[] = "Bits/Sample:";

bool IsUsablePath(const std::string& path)
{
    return !path.empty() && path.find('\0') == std::string::npos;
}

// The steps every operation starts with: the source exists, the running
// program's path exists, and the tool exists beside it.
bool LocateTool(const std::string& source, const char* tool, std::string& toolPath, std::string& reason)
{
    if (!IsUsablePath(source) || !PathExists(source)) {
        reason = "source missing";
        return false;
    }
    const std::string exe = GetExecutablePath();
    if (exe.empty() || !PathExists(exe)) {
        reason = "program path unreadable";
        return false;
    }
    const PathParts parts = SplitPath(exe);
    toolPath = parts.drive + parts.dir + tool + kExecutableSuffix;
    if (!PathExists(toolPath)) {
        reason = std::string(tool) + " missing";
        return false;
    }
    return true;
}

std::string FirstLine(const std::string& text)
{
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(begin, end - begin);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty())
            return line.size() > 200 ? line.substr(0, 200) + "..." : line;
        begin = end + 1;
    }
    return std::string();
}

bool Stopped(const StopSignal* stop)
{
    return stop != nullptr && stop->IsRequested();
}

// A run counts only when the tool was started and exited with status 0.
bool RanCleanly(const char* tool, const RunStatus& status, const std::string& output, const StopSignal* stop,
                std::string& reason)
{
    if (status.started && status.exited && status.exitCode == 0)
        return true;
    if (Stopped(stop))
        reason = "stopped";
    else if (!status.started)
        reason = std::string(tool) + " could not be started";
    else if (!status.exited)
        reason = std::string(tool) + " ended by signal " + std::to_string(status.signal);
    else {
        reason = std::string(tool) + " failed";
        const std::string line = FirstLine(output);
        if (!line.empty())
            reason += ": " + line;
    }
    return false;
}

bool IsBilevelOnlyMethod(const std::string& methodName)
{
    return methodName == "g3" || methodName == "g4";
}

// tiffinfo's report on source, for the bilevel test before a copy.
unsigned SourceBitsPerSample(const std::string& source, StopSignal* stop)
{
    return ScanBitsPerSample(RunTiffInfo(source, stop), kBitsPerSampleKey);
}

// Identity of a file, to tell the page files a split wrote from ones that
// were there before.
using FileStamp = std::tuple<ino_t, time_t, long, off_t>;

std::map<std::string, FileStamp> FilesWithPrefix(const std::string& prefix)
{
    std::map<std::string, FileStamp> files;
    const PathParts parts = SplitPath(prefix);
    const std::string folder = parts.drive + parts.dir;
    const std::string start = parts.fname + parts.ext;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return files;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, start.size(), start) != 0 || name == "." || name == "..")
            continue;
        struct stat st;
        if (::stat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            files[name] = FileStamp(st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_size);
    }
    ::closedir(dir);
    return files;
}

bool WroteNewPageFile(const std::map<std::string, FileStamp>& before, const std::map<std::string, FileStamp>& after)
{
    for (const auto& [name, stamp] : after) {
        const auto old = before.find(name);
        if (old == before.end() || old->second != stamp)
            return true;
    }
    return false;
}

}  // namespace

std::string RunTiffInfo(const std::string& path, StopSignal* stop)
{
    std::string tool, reason;
    if (!LocateTool(path, kTiffInfo, tool, reason))
        return "ERROR";
    std::string report;
    RunAndCapture(ReportCommandLine(tool, path), report, nullptr, stop);
    return report;
}

bool CompressFile(const std::string& source, const std::string& destination,
                  const std::string& compressionArguments, const std::string& methodName,
                  StopSignal* stop, ToolOutcome* outcome)
{
    ToolOutcome ignored;
    std::string& reason = (outcome != nullptr ? *outcome : ignored).reason;
    reason.clear();

    std::string tool;
    if (!LocateTool(source, kTiffCp, tool, reason))
        return false;
    if (!IsUsablePath(destination)) {
        reason = "no destination";
        return false;
    }
    const TiffcpSource input(source);
    if (!input.ok()) {
        reason = input.reason();
        return false;
    }
    ToolOutputFile target(destination);
    if (!target.ok()) {
        reason = target.reason();
        return false;
    }

    CommandLine line = RecompressCommandLine(tool, compressionArguments, input.path(), target.path());
    // The report runs for every file, whatever the method.
    if (SourceBitsPerSample(source, stop) != 1 && IsBilevelOnlyMethod(methodName))
        line = RecompressPackbitsCommandLine(tool, input.path(), target.path());

    std::string output;
    RunStatus status;
    RunAndCapture(line, output, &status, stop);
    if (!RanCleanly(kTiffCp, status, output, stop, reason))
        return false;
    if (!target.HasContent()) {
        reason = "tiffcp left no output";
        return false;
    }
    if (!target.Commit()) {
        reason = target.reason();
        return false;
    }
    return true;
}

bool MergeFile(const std::string& source, const std::string& output,
               const std::string& compressionArguments, const std::string& useCompression,
               const std::string& methodName, StopSignal* stop, ToolOutcome* outcome)
{
    ToolOutcome ignored;
    std::string& reason = (outcome != nullptr ? *outcome : ignored).reason;
    reason.clear();

    std::string tool;
    if (!LocateTool(source, kTiffCp, tool, reason))
        return false;
    if (!IsUsablePath(output) || IsFolder(output)) {
        reason = "no output file";
        return false;
    }
    // Appending a file to itself would read the pages it is writing.
    if (IsSameFile(source, output)) {
        reason = "output is the source";
        return false;
    }
    const TiffcpSource input(source);
    if (!input.ok()) {
        reason = input.reason();
        return false;
    }

    const bool compress = useCompression == "TRUE";
    CommandLine line = compress ? AppendCompressedCommandLine(tool, compressionArguments, input.path(), output)
                                : AppendCommandLine(tool, input.path(), output);
    // The report runs for every file, also when compression is off.
    if (SourceBitsPerSample(source, stop) != 1 && compress && IsBilevelOnlyMethod(methodName))
        line = AppendCommandLine(tool, input.path(), output);

    const AppendRollback rollback(output);
    std::string captured;
    RunStatus status;
    RunAndCapture(line, captured, &status, stop);
    bool ok = RanCleanly(kTiffCp, status, captured, stop, reason);
    if (ok && !IsNonEmptyFile(output)) {
        reason = "tiffcp left no output";
        ok = false;
    }
    if (!ok && !rollback.Restore())
        reason += "; the output could not be restored";
    return ok;
}

bool SplitFile(const std::string& source, const std::string& output, StopSignal* stop, ToolOutcome* outcome)
{
    ToolOutcome ignored;
    std::string& reason = (outcome != nullptr ? *outcome : ignored).reason;
    reason.clear();

    std::string tool;
    if (!LocateTool(source, kTiffSplit, tool, reason))
        return false;
    const PathParts parts = SplitPath(output);
    const std::string prefix = parts.drive + parts.dir + parts.fname;
    if (!IsUsablePath(prefix)) {
        reason = "no output prefix";
        return false;
    }

    const auto before = FilesWithPrefix(prefix);
    std::string captured;
    RunStatus status;
    RunAndCapture(SplitPagesCommandLine(tool, source, prefix), captured, &status, stop);
    if (!RanCleanly(kTiffSplit, status, captured, stop, reason))
        return false;
    if (!WroteNewPageFile(before, FilesWithPrefix(prefix))) {
        reason = "tiffsplit left no page file";
        return false;
    }
    return true;
}

}  // namespace pw
