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

}  // namespace pw
