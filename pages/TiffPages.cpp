#include "pages/TiffPages.h"

#include <fcntl.h>

#include <algorithm>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "pages/FileTypes.h"
#include "pages/PageCopier.h"
#include "pages/PageRange.h"
#include "pages/TiffDiagnostics.h"
#include "pages/TiffSource.h"
#include "platform/AsciiText.h"
#include "platform/Paths.h"
#include "platform/ReplacementFile.h"

namespace pw {
namespace {

constexpr uint64_t kClassicTiffLimit = 0xFFFFFFFFu;
std::atomic<uint64_t> bigTiffThreshold{kClassicTiffLimit};

bool IsAll(const std::string& text)
{
    return EqualsIgnoringAsciiCase(text, "all");
}

uint64_t EndOfFile(TIFF* tif)
{
    return TIFFGetSeekProc(tif)(TIFFClientdata(tif), 0, SEEK_END);
}

// The output, written page by page. When a page fails half way, the pages
// before it stay and the half-written one goes.
class OutputFile {
public:
    OutputFile(const std::string& path, TiffDiagnostics& diagnostics) : path_(path), diagnostics_(diagnostics) {}

    // Creates the file or empties an existing one.
    bool Create(bool bigTiff, bool bigEndian)
    {
        std::error_code error;
        const bool existed = std::filesystem::exists(FileSystemPath(path_), error);
        std::string mode = "w";
        mode += bigTiff ? '8' : '4';
        mode += bigEndian ? 'b' : 'l';
        tif_.reset(diagnostics_.Open(path_, mode.c_str()));
        if (!tif_) {
            // The file may have been created before libtiff gave up on it.
            if (!existed)
                std::filesystem::remove(FileSystemPath(path_), error);
            return false;
        }
        completeSize_ = EndOfFile(tif_.get());
        return true;
    }

    TIFF* tiff() const { return tif_.get(); }

    void PageDone() { completeSize_ = EndOfFile(tif_.get()); }

    void Close() { tif_.reset(); }

    // Closes without the directory under construction, and cuts off what
    // was written of it.
    void CloseAbandoningPage()
    {
        TIFFSetMode(tif_.get(), O_RDONLY);  // closing must not write the directory
        tif_.reset();
        std::error_code error;
        std::filesystem::resize_file(FileSystemPath(path_), completeSize_, error);
    }

private:
    std::string path_;
    TiffDiagnostics& diagnostics_;
    TiffHandle tif_;
    uint64_t completeSize_ = 0;
};

void ReportLoadFailure(ExtractControl& control, const std::string& error, const std::string& source)
{
    std::fprintf(control.messages, "[%s] Failed to load '%s' file...\n", error.c_str(), source.c_str());
    std::fflush(control.messages);
    control.reason = "a page cannot be loaded: " + error;
}

int ExtractPagesOf(const std::string& source, const std::string& output, const char* rangeText,
                   ExtractControl& control)
{
    std::string& reason = control.reason;
    reason.clear();
    if (!HasTiffExtension(source) || !HasTiffExtension(output)) {
        reason = "not a .tif or .tiff name";
        return 0;
    }
    const std::string range = rangeText != nullptr ? rangeText : "";

    TiffDiagnostics diagnostics;
    TiffSource input(source, diagnostics, TiffSource::Chain::Whole);
    const int pageCount = input.pageCount();
    if (pageCount <= 0) {
        reason = diagnostics.lastError().empty() ? "no page can be read" : diagnostics.lastError();
        return 0;
    }

    // Emptying the output must never empty the source: the same file may
    // hide behind another name or a link.
    std::error_code error;
    if (std::filesystem::equivalent(FileSystemPath(source), FileSystemPath(output), error)) {
        reason = "the output is the source";
        return 0;
    }
    const auto outputStatus = std::filesystem::status(FileSystemPath(output), error);
    if (std::filesystem::exists(outputStatus) && !std::filesystem::is_regular_file(outputStatus)) {
        reason = "the output is not a regular file";
        return 0;
    }

    // The range is read against the largest page number a range can name,
    // or the file's page count when that is larger; pages past the file's
    // end are simply never visited.
    const bool everyPage = range.empty() || IsAll(range);
    const PageSelection selection =
        everyPage ? PageSelection() : ParsePageRange(range, std::max(kMaxPageNumber, pageCount));

    // Every chosen page is checked before the output is written, up to the
    // first one that cannot be loaded.
    PageCopier copier(input, diagnostics);
    std::vector<PagePlan> plans;
    bool loadFailed = false;
    std::string loadError;
    uint64_t outputBound = 16;
    for (int page = 0; page < pageCount; ++page) {
        if (!everyPage && (static_cast<size_t>(page) >= selection.size() || selection[static_cast<size_t>(page)] != 1))
            continue;
        PagePlan plan;
        if (!copier.Plan(page, plan)) {
            loadFailed = true;
            loadError = diagnostics.lastError();
            break;
        }
        plans.push_back(plan);
        outputBound += plan.outputBytesBound;
    }
    if (loadFailed) {
        ReportLoadFailure(control, loadError, source);
        return 0;
    }
    if (plans.empty()) {
        reason = "the range selects no page of the file";
        return 0;
    }

    ReplacementFile target(output, SplitPath(output).ext);
    if (!target.ok()) {
        reason = target.reason();
        return 0;
    }
    OutputFile out(target.path(), diagnostics);
    if (!out.Create(outputBound > bigTiffThreshold, TIFFIsBigEndian(input.tiff()) != 0)) {
        reason = "cannot write the output: " + diagnostics.lastError();
        return 0;
    }

    bool writeFailed = false;
    bool stopped = false;
    for (size_t i = 0; i < plans.size(); ++i) {
        if (control.stopRequested && control.stopRequested()) {
            stopped = true;
            break;
        }
        const auto result = copier.Write(plans[i], out.tiff(), static_cast<uint32_t>(i),
                                         static_cast<uint32_t>(plans.size()));
        if (result == PageCopier::Result::Written) {
            out.PageDone();
            continue;
        }
        if (result == PageCopier::Result::SourceFailed) {
            loadFailed = true;
            loadError = diagnostics.lastError();
        } else {
            writeFailed = true;
        }
        break;
    }
    if (loadFailed || writeFailed || stopped)
        out.CloseAbandoningPage();
    else
        out.Close();

    if (loadFailed) {
        ReportLoadFailure(control, loadError, source);
        return 0;
    }
    if (stopped) {
        reason = "stopped";
        return 0;
    }
    if (writeFailed) {
        reason = "cannot write the output: " + diagnostics.lastError();
        return 0;
    }
    if (KeepOutputIfLarge(target.path()) != 1) {
        reason = "the output came out empty";
        return 0;
    }
    if (!target.Commit()) {
        reason = target.reason();
        return 0;
    }
    return 1;
}

}  // namespace

void SetBigTiffThresholdForTesting(uint64_t bytes)
{
    bigTiffThreshold = bytes == 0 ? kClassicTiffLimit : bytes;
}

int GetTiffPageCount(const std::string& path)
{
    return GetTiffPageCount(path, nullptr);
}

int GetTiffPageCount(const std::string& path, std::string* reason)
{
    if (!HasTiffExtension(path)) {
        if (reason != nullptr)
            *reason = "not a .tif or .tiff name";
        return 0;
    }
    // Runs on the window's thread for every listed file: no file may end
    // the program, not even by exhausting memory.
    try {
        TiffDiagnostics diagnostics;
        const TiffSource source(path, diagnostics, TiffSource::Chain::Whole);
        // A file libtiff opens but whose pages cannot all be found says where
        // its directory chain breaks off.
        if (source.pageCount() == 0 && reason != nullptr)
            *reason = source.tiff() != nullptr ? "not a readable TIFF file: " + diagnostics.lastError()
                                               : "not a readable TIFF file";
        return source.pageCount();
    } catch (const std::exception& e) {
        if (reason != nullptr)
            *reason = std::string("not a readable TIFF file: ") + e.what();
        return 0;
    }
}

int ExtractPages(const std::string& source, const std::string& output, const char* rangeText)
{
    ExtractControl control;
    return ExtractPages(source, output, rangeText, control);
}

int ExtractPages(const std::string& source, const std::string& output, const char* rangeText,
                 ExtractControl& control)
{
    // A half-written output goes with the replacement file that holds it.
    try {
        return ExtractPagesOf(source, output, rangeText, control);
    } catch (const std::exception& e) {
        control.reason = std::string("the pages cannot be copied: ") + e.what();
        return 0;
    }
}

}  // namespace pw
