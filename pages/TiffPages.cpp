#include "pages/TiffPages.h"

#include <fcntl.h>

#include <algorithm>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <filesystem>
#include <vector>

#include "pages/FileTypes.h"
#include "pages/LibtiffPage.h"
#include "pages/PageCopier.h"
#include "pages/PageRange.h"
#include "pages/RawPageFile.h"
#include "pages/TiffDiagnostics.h"
#include "pages/TiffSource.h"
#include "platform/AsciiText.h"
#include "platform/Paths.h"
#include "platform/ReplacementFile.h"
#include "platform/TempFiles.h"

namespace pw {
namespace {

constexpr uint64_t kClassicTiffLimit = 0xFFFFFFFFu;
std::atomic<uint64_t> bigTiffThreshold{kClassicTiffLimit};

bool IsAll(const std::string& text)
{
    return EqualsIgnoringAsciiCase(text, "all");
}

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
    // The output keeps the source's byte order, so that no page's data
    // needs to change.
    RawTiffOutput out;
    std::string writeError;
    if (!out.Create(target.path(), TIFFIsBigEndian(input.tiff()) != 0, outputBound > bigTiffThreshold, writeError)) {
        reason = "cannot write the output: " + writeError;
        return 0;
    }

    bool writeFailed = false;
    bool stopped = false;
    std::unique_ptr<LibtiffPage> viaLibtiff;
    for (size_t i = 0; i < plans.size(); ++i) {
        if (control.stopRequested && control.stopRequested()) {
            stopped = true;
            break;
        }
        const auto number = static_cast<uint32_t>(i);
        const auto total = static_cast<uint32_t>(plans.size());
        if (plans[i].method == PagePlan::Method::CopyStored) {
            std::string error;
            const RawPageResult raw = out.AppendPage(input, plans[i].index, number, total, error);
            if (raw == RawPageResult::Written)
                continue;
            if (raw == RawPageResult::SourceFailed) {
                loadFailed = true;
                loadError = error;
                break;
            }
            if (raw == RawPageResult::OutputFailed) {
                writeFailed = true;
                writeError = error;
                break;
            }
        }
        if (!viaLibtiff)
            viaLibtiff = std::make_unique<LibtiffPage>(target.path());
        std::string error;
        const auto result = viaLibtiff->Append(copier, input, plans[i], out, number, total, diagnostics, error);
        if (result == LibtiffPage::Result::Written)
            continue;
        if (result == LibtiffPage::Result::SourceFailed) {
            loadFailed = true;
            loadError = error;
        } else {
            writeFailed = true;
            writeError = error;
        }
        break;
    }
    viaLibtiff.reset();
    std::string closeError;
    if (!out.Close(closeError) && !writeFailed && !loadFailed) {
        writeFailed = true;
        writeError = closeError;
    }

    if (loadFailed) {
        ReportLoadFailure(control, loadError, source);
        return 0;
    }
    if (stopped) {
        reason = "stopped";
        return 0;
    }
    if (writeFailed) {
        reason = "cannot write the output: " + writeError;
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
