#include "engine/ToolInvocations.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "engine/AppendRollback.h"
#include "engine/CommandTemplates.h"
#include "engine/TiffcpSource.h"
#include "engine/ToolOutputFile.h"
#include "pages/PageComparison.h"
#include "pages/TiffSource.h"
#include "platform/Paths.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramFolder.h"

namespace pw {
namespace {

constexpr const char* kTiffInfo = kInfoTool;
constexpr const char* kTiffCp = kCopyTool;
constexpr const char* kTiffSplit = kSplitTool;
constexpr char kBitsPerSampleKey[] = "Bits/Sample:";

std::atomic<bool> pageCheck{true};

bool IsUsablePath(const std::string& path)
{
    return !path.empty() && path.find('\0') == std::string::npos;
}

// The steps every operation starts with: the source exists and is a regular
// file (a tool opening a FIFO or a device could wait for ever), the running
// program's path exists, and the tool exists beside it.
bool LocateTool(const std::string& source, const char* tool, std::string& toolPath, std::string& reason)
{
    struct stat st;
    if (!IsUsablePath(source) || ::stat(source.c_str(), &st) != 0) {
        reason = "source missing";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = "not a regular file";
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

// A source whose directory chain breaks off would be copied as far as it
// goes, and the tools would report success: it fails here with the reason.
bool ChainReadsToTheEnd(const std::string& source, std::string& reason)
{
    reason = TiffSource::ChainFault(source);
    return reason.empty();
}

bool IsWarning(const std::string& line)
{
    return line.find("Warning") != std::string::npos;
}

// The first line of the tool's output that is not a warning: libtiff tools
// print their harmless warnings before the error that made them fail. Empty
// when there is no such line.
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
        if (line.size() > 200)
            line = line.substr(0, 200) + "...";
        if (!line.empty() && !IsWarning(line))
            return line;
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
        const std::string line = FirstLine(output);
        reason = std::string(tool) + " failed" +
                 (line.empty() ? " with exit status " + std::to_string(status.exitCode) : ": " + line);
    }
    return false;
}

bool IsBilevelOnlyMethod(const std::string& methodName)
{
    return methodName == "g3" || methodName == "g4";
}

// The bit depth as ScanBitsPerSample gives it, read by libtiff: 1 when
// every page has one bit per sample, otherwise the first other depth.
std::optional<unsigned> LibtiffBitsPerSample(const std::string& source, std::string& reason)
{
    TiffDiagnostics diagnostics;
    TiffSource input(source, diagnostics, TiffSource::Chain::Whole);
    if (input.pageCount() == 0) {
        const std::string& error = diagnostics.lastError();
        reason = "the bit depth cannot be read: " + (error.empty() ? std::string("not a TIFF file") : error);
        return std::nullopt;
    }
    for (int i = 0; i < input.pageCount(); ++i) {
        uint16_t bits = 1;
        if (!input.SelectPage(i)) {
            reason = "the bit depth of page " + std::to_string(i + 1) + " cannot be read: " + diagnostics.lastError();
            return std::nullopt;
        }
        TIFFGetFieldDefaulted(input.tiff(), TIFFTAG_BITSPERSAMPLE, &bits);
        if (bits != 1)
            return bits;
    }
    return 1;
}

// tiffinfo's report on source, for the bilevel test before a copy. When the
// report cannot be had (the tool is missing, or exits with an error over a
// part of the file the copy does not need), libtiff reads the bit depth.
// None, with the reason set, when neither can.
std::optional<unsigned> SourceBitsPerSample(const std::string& source, StopSignal* stop, std::string& reason)
{
    bool ranCleanly = false;
    const std::string report = RunTiffInfo(source, stop, &ranCleanly);
    if (Stopped(stop)) {
        reason = "stopped";
        return std::nullopt;
    }
    if (!ranCleanly)
        return LibtiffBitsPerSample(source, reason);
    return ScanBitsPerSample(report, kBitsPerSampleKey);
}

// After a run the tool reported as a success: its pages decoded against
// the source's. False with the reason when the tool changed a page.
bool KeptThePages(const char* tool, const PageComparison& check, std::string& reason)
{
    const std::string page = "page " + std::to_string(check.page);
    switch (check.result) {
    case PageComparison::Result::Same:
        return true;
    case PageComparison::Result::Differs:
        reason = std::string(tool) + " changed " + (check.page > 0 ? page : std::string("the file")) + ": " +
                 check.what;
        return false;
    case PageComparison::Result::SourceUnreadable:
        reason = page + " cannot be checked after " + tool + ": the source's page cannot be decoded: " + check.what;
        return false;
    }
    return false;
}

int PageCount(const std::string& path)
{
    TiffDiagnostics diagnostics;
    return TiffSource(path, diagnostics).pageCount();
}

// The source's pages decoded on a thread of their own while the tools run,
// so that after the run only the output is left to decode. Without the
// thread the check decodes both sides itself.
class PrintAhead {
public:
    PrintAhead(const std::string& source, StopSignal* stop)
    {
        if (!pageCheck)
            return;
        try {
            future_ = std::async(std::launch::async, [source, stop] {
                return SourcePrint(source, 0, -1, [stop] { return Stopped(stop); });
            });
        } catch (const std::system_error&) {
        }
    }
    ~PrintAhead()
    {
        if (future_.valid())
            future_.wait();
    }
    PrintAhead(const PrintAhead&) = delete;
    PrintAhead& operator=(const PrintAhead&) = delete;

    const SourcePrint* get()
    {
        if (future_.valid())
            print_ = future_.get();
        return &print_;
    }

private:
    std::future<SourcePrint> future_;
    SourcePrint print_;
};

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

// The page files a split wrote, in name order (which is page order).
std::vector<std::string> NewPageFiles(const std::map<std::string, FileStamp>& before,
                                      const std::map<std::string, FileStamp>& after)
{
    std::vector<std::string> written;
    for (const auto& [name, stamp] : after) {
        const auto old = before.find(name);
        if (old == before.end() || old->second != stamp)
            written.push_back(name);
    }
    return written;
}

// Each page file a split wrote holds one page, the source's page of its place.
bool SplitKeptThePages(const std::string& source, const std::string& folder, const std::vector<std::string>& written,
                       const SourcePrint* print, std::string& reason)
{
    const int pages = PageCount(source);
    for (size_t i = 0; i < written.size() && static_cast<int>(i) < pages; ++i) {
        const std::string file = folder + written[i];
        if (!KeptThePages(kTiffSplit, ComparePages(source, static_cast<int>(i), file, 0, 1, print), reason))
            return false;
        if (PageCount(file) != 1) {
            reason = "tiffsplit changed page " + std::to_string(i + 1) + ": its file " + written[i] + " holds " +
                     std::to_string(PageCount(file)) + " pages";
            return false;
        }
    }
    if (static_cast<int>(written.size()) != pages) {
        reason = "tiffsplit wrote " + std::to_string(written.size()) + " page files for " + std::to_string(pages) +
                 " pages";
        return false;
    }
    return true;
}

}  // namespace

void SetToolPageCheck(bool on)
{
    pageCheck = on;
}

std::string FindTool(const char* tool)
{
    const std::string exe = GetExecutablePath();
    if (exe.empty() || !PathExists(exe))
        return std::string();
    const PathParts parts = SplitPath(exe);
    const std::string path = parts.drive + parts.dir + tool;
    return PathExists(path) ? path : std::string();
}

std::string RunTiffInfo(const std::string& path, StopSignal* stop, bool* ranCleanly)
{
    if (ranCleanly != nullptr)
        *ranCleanly = false;
    std::string tool, reason;
    if (!LocateTool(path, kTiffInfo, tool, reason))
        return "ERROR";
    std::string report;
    RunStatus status;
    RunAndCapture(ReportCommandLine(tool, path), report, &status, stop);
    if (ranCleanly != nullptr)
        *ranCleanly = status.started && status.exited && status.exitCode == 0;
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
    if (!ChainReadsToTheEnd(source, reason))
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

    PrintAhead print(source, stop);
    CommandLine line = RecompressCommandLine(tool, compressionArguments, input.path(), target.path());
    // The report runs for every file, whatever the method; only a bilevel
    // method needs its answer.
    std::string reportReason;
    const std::optional<unsigned> bits = SourceBitsPerSample(source, stop, reportReason);
    if (IsBilevelOnlyMethod(methodName)) {
        if (!bits) {
            reason = reportReason;
            return false;
        }
        if (*bits != 1)
            line = RecompressPackbitsCommandLine(tool, input.path(), target.path());
    }

    std::string output;
    RunStatus status;
    RunAndCapture(line, output, &status, stop);
    if (!RanCleanly(kTiffCp, status, output, stop, reason))
        return false;
    if (!target.HasContent()) {
        reason = "tiffcp left no output";
        return false;
    }
    if (pageCheck && !KeptThePages(kTiffCp, CompareFiles(source, target.path(), print.get()), reason))
        return false;
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
    if (!ChainReadsToTheEnd(source, reason))
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

    PrintAhead print(source, stop);
    const bool compress = useCompression == "TRUE";
    CommandLine line = compress ? AppendCompressedCommandLine(tool, compressionArguments, input.path(), output)
                                : AppendCommandLine(tool, input.path(), output);
    // The report runs for every file, also when compression is off; only a
    // bilevel method needs its answer.
    std::string reportReason;
    const std::optional<unsigned> bits = SourceBitsPerSample(source, stop, reportReason);
    if (compress && IsBilevelOnlyMethod(methodName)) {
        if (!bits) {
            reason = reportReason;
            return false;
        }
        if (*bits != 1)
            line = AppendCommandLine(tool, input.path(), output);
    }

    const AppendRollback rollback(output);
    const int pagesBefore = IsNonEmptyFile(output) ? PageCount(output) : 0;
    std::string captured;
    RunStatus status;
    RunAndCapture(line, captured, &status, stop);
    bool ok = RanCleanly(kTiffCp, status, captured, stop, reason);
    if (ok && !IsNonEmptyFile(output)) {
        reason = "tiffcp left no output";
        ok = false;
    }
    if (ok && pageCheck) {
        const int pages = PageCount(source);
        ok = KeptThePages(kTiffCp, ComparePages(source, 0, output, pagesBefore, pages, print.get()), reason);
        if (ok && PageCount(output) != pagesBefore + pages) {
            reason = "tiffcp changed the file: the output has " + std::to_string(PageCount(output)) +
                     " pages instead of " + std::to_string(pagesBefore + pages);
            ok = false;
        }
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
    if (!ChainReadsToTheEnd(source, reason))
        return false;
    const PathParts parts = SplitPath(output);
    const std::string prefix = parts.drive + parts.dir + parts.fname;
    if (!IsUsablePath(prefix)) {
        reason = "no output prefix";
        return false;
    }

    const auto before = FilesWithPrefix(prefix);
    PrintAhead print(source, stop);
    std::string captured;
    RunStatus status;
    RunAndCapture(SplitPagesCommandLine(tool, source, prefix), captured, &status, stop);
    if (!RanCleanly(kTiffSplit, status, captured, stop, reason))
        return false;
    const std::vector<std::string> written = NewPageFiles(before, FilesWithPrefix(prefix));
    if (written.empty()) {
        reason = "tiffsplit left no page file";
        return false;
    }
    if (pageCheck && !SplitKeptThePages(source, parts.drive + parts.dir, written, print.get(), reason)) {
        for (const std::string& name : written)
            ::unlink((parts.drive + parts.dir + name).c_str());
        return false;
    }
    return true;
}

}  // namespace pw
