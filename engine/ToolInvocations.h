#pragma once
// One unit of TIFF work as one run of tiffinfo, tiffcp or tiffsplit.

#include <string>

namespace pw {

class StopSignal;

// What a file operation leaves for callers that want more than true/false:
// the reason of a failure, in a few words, for the per-entry report
// ("source missing", "tiffcp missing", "tiffcp failed: <its first line>",
// "stopped", ...). A tool that fails without an error line gives
// "<tool> failed with exit status N"; its warnings are never the reason.
struct ToolOutcome {
    std::string reason;  // empty on success
};

// The names of the three tools.
inline constexpr char kInfoTool[] = "tiffinfo";
inline constexpr char kCopyTool[] = "tiffcp";
inline constexpr char kSplitTool[] = "tiffsplit";

// Whether the runs are checked page by page, as they are unless turned
// off; the benchmark of its cost and tests that need the bare tool turn it
// off.
void SetToolPageCheck(bool on);

// The path of the tool beside the running program, or "" when the program's
// path cannot be read or the tool is not there.
std::string FindTool(const char* tool);

// The tiffinfo report of the file as captured, or "ERROR" when the file,
// the program's path or the tool is missing, or the file is not a regular
// file. Empty when the tool could not be started (or stop was requested).
// *ranCleanly, when given, tells whether tiffinfo ran and exited with 0.
std::string RunTiffInfo(const std::string& path, StopSignal* stop = nullptr, bool* ranCleanly = nullptr);

// The decimal number at the start of text (after blanks, not tabs); 0 when
// there is none or text is at its end.
unsigned ParseLeadingNumber(const char* text);

// 1 when every page the report's walk meets has one bit per sample;
// otherwise the first other bit depth; 8 when the report has no "Compress".
unsigned ScanBitsPerSample(const std::string& report, const char* key);

// The file operations below refuse, with the reason, a source whose
// directory chain breaks off (TiffSource::ChainFault): the tools would copy
// the pages before the break and exit 0.
//
// A run the tool reports as a success counts only when the pages it wrote
// decode to the source's (ComparePages): the tools re-encode JPEG and WebP
// pages, drop tags the pixels depend on and invert pages without a
// Photometric tag, all with exit status 0. A page that differs fails the
// operation with "<tool> changed page N: ..." and undoes its output like
// any other failure.
//
// A g3 or g4 request needs the source's bit depth: from the report, or read
// through libtiff when the report tool is missing or exits with an error;
// it fails only when libtiff cannot read the file either.
// Recompresses source into destination. True only when tiffcp was started,
// exited with status 0 and left a non-empty file. tiffcp writes a temporary
// beside the destination (ToolOutputFile), which takes the destination's
// place (the source itself included) only after such a run; a failed run
// leaves an old destination as it was.
bool CompressFile(const std::string& source, const std::string& destination,
                  const std::string& compressionArguments, const std::string& methodName,
                  StopSignal* stop = nullptr, ToolOutcome* outcome = nullptr);

// Appends source's pages to output. True only when tiffcp was started,
// exited with status 0 and left a non-empty output file. A failed run leaves
// the output as it was before it (the pages merged so far stay intact); an
// output that is the source itself is refused.
bool MergeFile(const std::string& source, const std::string& output,
               const std::string& compressionArguments, const std::string& useCompression,
               const std::string& methodName,
               StopSignal* stop = nullptr, ToolOutcome* outcome = nullptr);

// Splits source into one file per page, named from output's folder and base
// name. True only when tiffsplit was started, exited with status 0 and left
// at least one page file with that prefix.
bool SplitFile(const std::string& source, const std::string& output,
               StopSignal* stop = nullptr, ToolOutcome* outcome = nullptr);

}  // namespace pw
