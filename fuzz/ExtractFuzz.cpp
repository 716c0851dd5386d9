// Extract on any input: every page, then the even ones. A file extracted
// in full must have as many pages as its source.

#include "fuzz/FuzzFiles.h"
#include "pages/TiffPages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using pw::fuzz::Expect;
    const std::string& path = pw::fuzz::WriteInput(data, size);
    const std::string output = pw::fuzz::ScratchFolder() + "/extract.tif";
    pw::ExtractControl control;
    FILE* sink = std::fopen("/dev/null", "w");
    control.messages = sink;
    const int count = pw::GetTiffPageCount(path);
    if (pw::ExtractPages(path, output, "all", control) == 1)
        Expect(pw::GetTiffPageCount(output) == count, "the extracted file lacks pages");
    else
        Expect(!control.reason.empty(), "a failed extraction gives no reason");
    if (count > 1 && pw::ExtractPages(path, output, "even", control) == 1)
        Expect(pw::GetTiffPageCount(output) == count / 2, "the even pages are not all there");
    std::fclose(sink);
    pw::fuzz::ClearOutputs();
    return 0;
}
