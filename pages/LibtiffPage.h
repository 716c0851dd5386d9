#pragma once
// A page that cannot be copied entry by entry (converted, or stored in a
// way the entry copy does not take) is written by libtiff's writer into a
// file of its own beside the output, and copied from there with the
// entries of the source's page that libtiff's writer does not know.

#include <cstdint>
#include <string>

#include "pages/PageCopier.h"
#include "pages/RawPageFile.h"
#include "pages/TiffDiagnostics.h"
#include "pages/TiffSource.h"

namespace pw {

class LibtiffPage {
public:
    // The file of its own goes beside output; it is removed with the object.
    explicit LibtiffPage(const std::string& output);
    ~LibtiffPage();
    LibtiffPage(const LibtiffPage&) = delete;
    LibtiffPage& operator=(const LibtiffPage&) = delete;

    enum class Result { Written, SourceFailed, OutputFailed };

    // Appends the planned page to out, numbered number of total. The page
    // keeps the entries of the source's page that do not describe its
    // stored data. diagnostics: the source's.
    Result Append(PageCopier& copier, TiffSource& source, const PagePlan& plan, RawTiffOutput& out, uint32_t number,
                  uint32_t total, TiffDiagnostics& diagnostics, std::string& error);

private:
    std::string path_;
};

// Writes the planned page of source to a new file at path as page 1 of 1,
// in the source's byte order, through libtiff's writer and with the
// source page's other entries (LibtiffPage::Append); a BigTIFF file when
// bigTiff. On failure nothing is left at path; error says why (for a
// source that fails, the source's diagnostics say more).
LibtiffPage::Result WriteLibtiffPageFile(PageCopier& copier, TiffSource& source, const PagePlan& plan,
                                         const std::string& path, bool bigTiff, TiffDiagnostics& diagnostics,
                                         std::string& error);

}  // namespace pw
