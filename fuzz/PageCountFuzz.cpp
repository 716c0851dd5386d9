// The page count of any input, and a visit of every page it counts: the
// window counts every file it lists.

#include "fuzz/FuzzFiles.h"
#include "pages/TiffPages.h"
#include "pages/TiffSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = pw::fuzz::WriteInput(data, size);
    const int count = pw::GetTiffPageCount(path);
    pw::fuzz::Expect(count >= 0 && static_cast<size_t>(count) <= pw::TiffSource::kMaxPages, "an impossible count");
    pw::TiffDiagnostics diagnostics;
    pw::TiffSource source(path, diagnostics);
    pw::fuzz::Expect(source.pageCount() == count, "two counts of one file differ");
    for (int i = 0; i < count && i < 64; ++i)
        source.SelectPage(i);
    return 0;
}
