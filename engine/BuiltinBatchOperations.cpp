#include "engine/BuiltinBatchOperations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "engine/AppendRollback.h"
#include "engine/ToolOutputFile.h"
#include "pages/LibtiffPage.h"
#include "pages/PageCopier.h"
#include "pages/RawPageFile.h"
#include "pages/TiffDiagnostics.h"
#include "pages/TiffSource.h"
#include "platform/Paths.h"
#include "platform/ProcessRunner.h"
#include "settings/CompressionMethod.h"

namespace pw {
namespace {

constexpr size_t kSplitLetters = 26;
constexpr size_t kSplitNames = kSplitLetters * kSplitLetters * kSplitLetters;
// A classic TIFF file cannot reach past 4 GiB.
constexpr uint64_t kClassicTiffLimit = 0xFFFFFFFFu;

bool IsUsablePath(const std::string& path)
{
    return !path.empty() && path.find('\0') == std::string::npos;
}

// The words of the tool route for a source that cannot be taken: missing,
// or not a regular file (a FIFO, a device); empty when it can.
std::string SourceProblem(const std::string& source)
{
    struct stat st;
    if (!IsUsablePath(source) || ::stat(source.c_str(), &st) != 0)
        return "source missing";
    return S_ISREG(st.st_mode) ? std::string() : "not a regular file";
}

bool Stopped(const StopSignal* stop)
{
    return stop != nullptr && stop->IsRequested();
}

std::string Unreadable(const TiffDiagnostics& diagnostics)
{
    const std::string& error = diagnostics.lastError();
    return error.empty() ? std::string("not a readable TIFF file") : "not a readable TIFF file: " + error;
}

std::string PageError(const TiffDiagnostics& diagnostics, size_t page)
{
    const std::string& error = diagnostics.lastError();
    return "page " + std::to_string(page + 1) + ": " + (error.empty() ? std::string("cannot be read") : error);
}

// The compression tiffcp -c writes for a method of the table.
uint16_t CompressionOfMethod(const std::string& name)
{
    if (name == "lzw")
        return COMPRESSION_LZW;
    if (name == "zip")
        return COMPRESSION_ADOBE_DEFLATE;
    if (name == "packbits")
        return COMPRESSION_PACKBITS;
    if (name == "g3")
        return COMPRESSION_CCITTFAX3;
    if (name == "g4")
        return COMPRESSION_CCITTFAX4;
    return COMPRESSION_NONE;
}

const CompressionMethod* MethodOfArguments(const std::string& arguments)
{
    for (const CompressionMethod& method : kCompressionMethods) {
        if (arguments == method.arguments)
            return &method;
    }
    return nullptr;
}

// 'b' or 'l' for a TIFF file's byte order, 0 when the file has no header.
char ByteOrderOfFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char header[2] = {};
    const bool read = ::read(fd, header, 2) == 2;
    ::close(fd);
    if (read && header[0] == 'M' && header[1] == 'M')
        return 'b';
    if (read && header[0] == 'I' && header[1] == 'I')
        return 'l';
    return 0;
}

struct SourcePage {
    PagePlan plan;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t bitsPerSample = 1;
};

// Every page planned, nothing read but the directories. Empty with error
// set when a page cannot be copied at all.
std::vector<SourcePage> PlanPages(TiffSource& input, PageCopier& copier, TiffDiagnostics& diagnostics,
                                  std::string& error)
{
    std::vector<SourcePage> pages(static_cast<size_t>(input.pageCount()));
    for (size_t i = 0; i < pages.size(); ++i) {
        if (!copier.Plan(static_cast<int>(i), pages[i].plan)) {
            error = PageError(diagnostics, i);
            return {};
        }
        TIFFGetFieldDefaulted(input.tiff(), TIFFTAG_COMPRESSION, &pages[i].compression);
        TIFFGetFieldDefaulted(input.tiff(), TIFFTAG_BITSPERSAMPLE, &pages[i].bitsPerSample);
    }
    return pages;
}

// Old-style JPEG keeps parts of its data where tags point (its
// interchange format and tables): a page of it cannot be copied entry by
// entry.
bool TagsPointIntoTheFile(uint16_t compression)
{
    return compression == COMPRESSION_OJPEG;
}

std::string ReadOnlySchemeText(size_t page, uint16_t compression)
{
    return "page " + std::to_string(page + 1) + " is in compression scheme " + std::to_string(compression) +
           ", which libtiff only reads";
}

// Why a page cannot be copied as stored, or empty.
std::string ReadOnlyScheme(const std::vector<SourcePage>& pages)
{
    for (size_t i = 0; i < pages.size(); ++i) {
        if (TagsPointIntoTheFile(pages[i].compression))
            return ReadOnlySchemeText(i, pages[i].compression);
    }
    return std::string();
}

uint64_t StatIdentity(const std::string& path, off_t* size)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    *size = st.st_size;
    return static_cast<uint64_t>(st.st_ino);
}

}  // namespace

std::string SplitPageSuffix(size_t index)
{
    if (index >= kSplitNames)
        return std::string();
    std::string suffix(3, 'a');
    suffix[0] = static_cast<char>('a' + index / (kSplitLetters * kSplitLetters));
    suffix[1] = static_cast<char>('a' + index / kSplitLetters % kSplitLetters);
    suffix[2] = static_cast<char>('a' + index % kSplitLetters);
    return suffix;
}

// The merge output, kept open from one file to the next so that appending
// never walks the pages already written. It is checked before every use:
// a file that changed behind it (rolled back, replaced) is opened again.
class BuiltinBatchOperations::MergeOutput {
public:
    explicit MergeOutput(std::string path) : path_(std::move(path)) {}
    ~MergeOutput() { Close(); }

    const std::string& path() const { return path_; }
    RawTiffOutput& file() { return *file_; }
    bool bigEndian() const { return bigEndian_; }
    uint32_t pages() const { return pages_; }

    // Still the file as it was left after the last page.
    bool IsCurrent() const
    {
        off_t size = 0;
        return file_ && StatIdentity(path_, &size) == inode_ && size == size_;
    }

    // Opens the file for appending, or creates it in the given byte order
    // when it is missing or empty.
    bool Open(bool bigEndianIfNew, std::string& error)
    {
        Close();
        off_t size = 0;
        const bool exists = StatIdentity(path_, &size) != 0 && size > 0;
        if (exists) {
            const char order = ByteOrderOfFile(path_);
            if (order == 0) {
                error = "the output is not a TIFF file";
                return false;
            }
            TiffDiagnostics counting;
            pages_ = static_cast<uint32_t>(TiffSource(path_, counting).pageCount());
        } else {
            pages_ = 0;
        }
        file_ = std::make_unique<RawTiffOutput>();
        std::string why;
        if (exists ? !file_->OpenForAppend(path_, why) : !file_->Create(path_, bigEndianIfNew, false, why)) {
            file_.reset();
            error = "cannot open the output: " + why;
            return false;
        }
        bigEndian_ = file_->bigEndian();
        Mark();
        return true;
    }

    void PageWritten()
    {
        ++pages_;
        Mark();
    }

    void Close()
    {
        std::string ignored;
        if (file_)
            file_->Close(ignored);
        file_.reset();
    }

private:
    void Mark() { inode_ = StatIdentity(path_, &size_); }

    std::string path_;
    std::unique_ptr<RawTiffOutput> file_;
    bool bigEndian_ = false;
    uint32_t pages_ = 0;
    uint64_t inode_ = 0;
    off_t size_ = 0;
};

BuiltinBatchOperations::BuiltinBatchOperations() = default;

BuiltinBatchOperations::~BuiltinBatchOperations() = default;

void BuiltinBatchOperations::CloseOutputs()
{
    mergeOutput_.reset();
}

std::vector<BuiltinBatchOperations::ToolFallback> BuiltinBatchOperations::Fallbacks() const
{
    std::lock_guard<std::mutex> lock(fallbackMutex_);
    return fallbacks_;
}

void BuiltinBatchOperations::NoteFallback(const std::string& source, const std::string& why)
{
    std::lock_guard<std::mutex> lock(fallbackMutex_);
    fallbacks_.push_back({source, why});
}

bool BuiltinBatchOperations::Compress(const std::string& source, const std::string& destination,
                                      const std::string& compressionArguments, const std::string& methodName,
                                      StopSignal* stop, ToolOutcome* outcome)
{
    return ToolBatchOperations().Compress(source, destination, compressionArguments, methodName, stop, outcome);
}

bool BuiltinBatchOperations::Merge(const std::string& source, const std::string& output,
                                   const std::string& compressionArguments, const std::string& useCompression,
                                   const std::string& methodName, StopSignal* stop, ToolOutcome* outcome)
{
    ToolOutcome ignored;
    std::string& reason = (outcome != nullptr ? *outcome : ignored).reason;
    reason.clear();
    std::lock_guard<std::mutex> lock(mergeMutex_);

    if (reason = SourceProblem(source); !reason.empty())
        return false;
    if (!IsUsablePath(output) || IsFolder(output)) {
        reason = "no output file";
        return false;
    }
    if (IsSameFile(source, output)) {
        reason = "output is the source";
        return false;
    }
    if (Stopped(stop)) {
        reason = "stopped";
        return false;
    }

    TiffDiagnostics diagnostics;
    TiffSource input(source, diagnostics, TiffSource::Chain::Whole);
    if (input.pageCount() == 0) {
        reason = Unreadable(diagnostics);
        return false;
    }
    PageCopier copier(input, diagnostics);
    std::vector<SourcePage> pages = PlanPages(input, copier, diagnostics, reason);
    if (pages.empty())
        return false;

    // What tiffcp -a would store: the method of the arguments when the merge
    // compresses, except that a file not wholly bilevel is appended without
    // compression arguments when the method is g3 or g4.
    std::optional<uint16_t> target;
    std::string fallback = ReadOnlyScheme(pages);
    if (useCompression == "TRUE" && !compressionArguments.empty()) {
        bool bilevel = true;
        for (const SourcePage& page : pages)
            bilevel = bilevel && page.bitsPerSample == 1;
        const CompressionMethod* method = MethodOfArguments(compressionArguments);
        if (!bilevel && (methodName == "g3" || methodName == "g4")) {
            // stored as they are
        } else if (method == nullptr) {
            fallback = "the compression arguments " + compressionArguments + " are not a method of the table";
        } else {
            target = CompressionOfMethod(method->name);
            for (size_t i = 0; fallback.empty() && i < pages.size(); ++i) {
                if (pages[i].compression != *target)
                    fallback = std::string("the merge stores its pages as ") + method->name;
            }
        }
    }

    const bool sourceBigEndian = TIFFIsBigEndian(input.tiff()) != 0;
    if (mergeOutput_ && (mergeOutput_->path() != output || !mergeOutput_->IsCurrent()))
        mergeOutput_.reset();
    bool outputBigEndian = sourceBigEndian;
    if (mergeOutput_)
        outputBigEndian = mergeOutput_->bigEndian();
    else if (const char order = ByteOrderOfFile(output))
        outputBigEndian = order == 'b';
    for (size_t i = 0; fallback.empty() && outputBigEndian != sourceBigEndian && i < pages.size(); ++i) {
        if (CopyIntoOtherByteOrder(pages[i].compression, pages[i].bitsPerSample) == OtherByteOrder::NotPossible)
            fallback = "page " + std::to_string(i + 1) + " has samples of more than 8 bits in the other byte order";
    }

    if (!fallback.empty()) {
        mergeOutput_.reset();  // the tool appends behind our back
        NoteFallback(source, fallback);
        return ToolBatchOperations().Merge(source, output, compressionArguments, useCompression, methodName, stop,
                                           outcome);
    }

    const AppendRollback rollback(output);
    if (!mergeOutput_) {
        mergeOutput_ = std::make_unique<MergeOutput>(output);
        if (!mergeOutput_->Open(sourceBigEndian, reason)) {
            mergeOutput_.reset();
            if (!rollback.Restore())
                reason += "; the output could not be restored";
            return false;
        }
    }

    for (size_t i = 0; i < pages.size(); ++i) {
        if (Stopped(stop)) {
            reason = "stopped";
            break;
        }
        std::string error;
        const RawPageResult result =
            mergeOutput_->file().AppendPage(input, static_cast<int>(i), mergeOutput_->pages(), 0, error);
        if (result == RawPageResult::NotHandled) {
            // Found on a later page: the file is the tools' alone.
            mergeOutput_.reset();
            if (!rollback.Restore()) {
                reason = "the output could not be restored";
                return false;
            }
            NoteFallback(source, "page " + std::to_string(i + 1) + " cannot be copied as stored");
            return ToolBatchOperations().Merge(source, output, compressionArguments, useCompression, methodName,
                                               stop, outcome);
        }
        if (result == RawPageResult::SourceFailed) {
            reason = "page " + std::to_string(i + 1) + ": " + error;
            break;
        }
        if (result == RawPageResult::OutputFailed) {
            reason = "cannot write the output: " + error;
            break;
        }
        mergeOutput_->PageWritten();
    }
    if (reason.empty())
        return true;
    mergeOutput_.reset();
    if (!rollback.Restore())
        reason += "; the output could not be restored";
    return false;
}

bool BuiltinBatchOperations::Split(const std::string& source, const std::string& output, StopSignal* stop,
                                   ToolOutcome* outcome)
{
    ToolOutcome ignored;
    std::string& reason = (outcome != nullptr ? *outcome : ignored).reason;
    reason.clear();

    if (reason = SourceProblem(source); !reason.empty())
        return false;
    const PathParts parts = SplitPath(output);
    const std::string prefix = parts.drive + parts.dir + parts.fname;
    if (!IsUsablePath(prefix)) {
        reason = "no output prefix";
        return false;
    }

    TiffDiagnostics diagnostics;
    TiffSource input(source, diagnostics, TiffSource::Chain::Whole);
    if (input.pageCount() == 0) {
        reason = Unreadable(diagnostics);
        return false;
    }
    if (static_cast<size_t>(input.pageCount()) > kSplitNames) {
        NoteFallback(source, "more pages than the " + std::to_string(kSplitNames) + " page-file names");
        return ToolBatchOperations().Split(source, output, stop, outcome);
    }

    // Each page is checked and written in one visit of its directory. A
    // page that only the tools can serve, found late, takes back the page
    // files written before it.
    PageCopier copier(input, diagnostics);
    std::vector<std::string> written;
    for (int i = 0; i < input.pageCount(); ++i) {
        if (Stopped(stop)) {
            reason = "stopped";
            return false;
        }
        // A page is copied entry by entry whatever its scheme, its stored
        // data not decoded, as long as libtiff reads its directory.
        if (!input.SelectPage(i)) {
            reason = PageError(diagnostics, static_cast<size_t>(i));
            return false;
        }
        uint16_t compression = COMPRESSION_NONE;
        TIFFGetFieldDefaulted(input.tiff(), TIFFTAG_COMPRESSION, &compression);
        const std::string name = prefix + SplitPageSuffix(static_cast<size_t>(i)) + ".tif";
        if (!TagsPointIntoTheFile(compression)) {
            const RawPageResult raw = WriteRawPageFile(input, i, name, reason);
            if (raw != RawPageResult::NotHandled) {
                if (raw != RawPageResult::Written)
                    return false;
                written.push_back(name);
                continue;
            }
        }
        PagePlan plan;
        if (!copier.Plan(i, plan)) {
            reason = PageError(diagnostics, static_cast<size_t>(i));
            return false;
        }
        if (plan.method != PagePlan::Method::CopyStored) {
            for (const std::string& file : written)
                ::unlink(file.c_str());
            NoteFallback(source, ReadOnlySchemeText(static_cast<size_t>(i), compression));
            return ToolBatchOperations().Split(source, output, stop, outcome);
        }
        // Through libtiff's writer, with the entries of the page it does
        // not know added back.
        std::string error;
        const LibtiffPage::Result result = WriteLibtiffPageFile(
            copier, input, plan, name, plan.outputBytesBound > kClassicTiffLimit - 16, diagnostics, error);
        if (result != LibtiffPage::Result::Written) {
            reason = result == LibtiffPage::Result::SourceFailed ? PageError(diagnostics, static_cast<size_t>(i)) : error;
            return false;
        }
        written.push_back(name);
    }
    return true;
}

}  // namespace pw
