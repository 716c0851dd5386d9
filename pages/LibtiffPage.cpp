#include "pages/LibtiffPage.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Paths.h"
#include "platform/TempFiles.h"

namespace pw {

LibtiffPage::LibtiffPage(const std::string& output)
{
    const PathParts parts = SplitPath(output);
    path_ = CreateTempFile(parts.drive + parts.dir, ".tif");
}

LibtiffPage::~LibtiffPage()
{
    if (!path_.empty())
        RemoveTemp(path_);
}

LibtiffPage::Result LibtiffPage::Append(PageCopier& copier, TiffSource& source, const PagePlan& plan,
                                        RawTiffOutput& out, uint32_t number, uint32_t total,
                                        TiffDiagnostics& diagnostics, std::string& error)
{
    if (path_.empty()) {
        error = std::strerror(errno);
        return Result::OutputFailed;
    }
    TiffDiagnostics writing;
    std::string mode = "w";
    mode += out.bigTiff() ? '8' : '4';
    mode += out.bigEndian() ? 'b' : 'l';
    TiffHandle page(writing.Open(path_, mode.c_str()));
    if (!page) {
        error = writing.lastError();
        return Result::OutputFailed;
    }
    const PageCopier::Result written = copier.Write(plan, page.get(), number, total);
    if (written != PageCopier::Result::Written) {
        TIFFSetMode(page.get(), O_RDONLY);
        page.reset();
        error = written == PageCopier::Result::SourceFailed ? diagnostics.lastError() : writing.lastError();
        return written == PageCopier::Result::SourceFailed ? Result::SourceFailed : Result::OutputFailed;
    }
    page.reset();
    TiffSource copy(path_, writing, TiffSource::Chain::Whole);
    const RawTiffOutput::EntriesOf entries{source, plan.index};
    if (copy.pageCount() != 1 || (out.AppendPage(copy, 0, number, total, error, &entries) != RawPageResult::Written &&
                                  out.AppendPage(copy, 0, number, total, error) != RawPageResult::Written)) {
        if (error.empty())
            error = "the page written by libtiff cannot be copied";
        return Result::OutputFailed;
    }
    return Result::Written;
}

LibtiffPage::Result WriteLibtiffPageFile(PageCopier& copier, TiffSource& source, const PagePlan& plan,
                                         const std::string& path, bool bigTiff, TiffDiagnostics& diagnostics,
                                         std::string& error)
{
    RawTiffOutput out;
    if (!out.Create(path, TIFFIsBigEndian(source.tiff()) != 0, bigTiff, error))
        return LibtiffPage::Result::OutputFailed;
    LibtiffPage::Result result = LibtiffPage(path).Append(copier, source, plan, out, 0, 1, diagnostics, error);
    if (result == LibtiffPage::Result::OutputFailed)
        error = "cannot write " + path + ": " + error;
    std::string closeError;
    if (!out.Close(closeError) && result == LibtiffPage::Result::Written) {
        result = LibtiffPage::Result::OutputFailed;
        error = closeError;
    }
    if (result != LibtiffPage::Result::Written)
        ::unlink(path.c_str());
    return result;
}

}  // namespace pw
