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
    // The count takes the whole chain or nothing; the preview's lenient
    // reading finds at least the pages the count found.
    pw::TiffDiagnostics diagnostics;
    const pw::TiffSource whole(path, diagnostics, pw::TiffSource::Chain::Whole);
    pw::fuzz::Expect(whole.pageCount() == count, "two counts of one file differ");
    pw::TiffDiagnostics lenientDiagnostics;
    pw::TiffSource lenient(path, lenientDiagnostics);
    pw::fuzz::Expect(lenient.pageCount() >= count, "the lenient reading finds fewer pages than the count");
    for (int i = 0; i < lenient.pageCount() && i < 64; ++i)
        lenient.SelectPage(i);
    return 0;
}
