// The preview's page decoder on any input: the first and the last page,
// at full size (PAGEWRIGHT_FUZZ_REDUCED unset) or reduced to a few pixels
// so that every page goes through the box reduction. A decoded page must
// have exactly its pixels, a refused one a message and none, and no
// decoding may hold more memory than its budget allows.

#include "fuzz/FuzzFiles.h"
#include "pages/PageRaster.h"

namespace {

// What libtiff holds beside the decoder's own buffers: the stored bytes
// of a strip (a fuzz input is small) and the codecs' state.
constexpr uint64_t kLibraryAllowance = uint64_t{64} << 20;

pw::PageRasterLimits Limits()
{
    pw::PageRasterLimits limits;
#ifdef PAGEWRIGHT_FUZZ_REDUCED
    limits.maxWidth = 24;
    limits.maxHeight = 16;
    limits.maxPixels = 24 * 12;
#endif
    return limits;
}

void Check(const pw::PageRaster& raster, const pw::PageRasterLimits& limits)
{
    using pw::fuzz::Expect;
    Expect(pw::fuzz::PeakSinceReset() <= limits.maxWorkingBytes + kLibraryAllowance,
           "the decoding held more memory than its budget");
    if (!raster.ok()) {
        Expect(!raster.error.empty(), "a page that is not shown has no message");
        Expect(raster.rgb.empty(), "a page that is not shown kept pixels");
        return;
    }
    Expect(raster.width > 0 && raster.height > 0, "a shown page has no pixels");
    Expect(raster.rgb.size() == size_t(raster.width) * size_t(raster.height) * 3, "the pixels do not fill the page");
    Expect(uint32_t(raster.width) <= limits.maxWidth || uint32_t(raster.height) <= limits.maxWidth,
           "the page was not reduced to fit");
    Expect(uint64_t(raster.width) * uint64_t(raster.height) <= limits.maxPixels, "the page has too many pixels");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = pw::fuzz::WriteInput(data, size);
    const pw::PageRasterLimits limits = Limits();
    pw::fuzz::ResetPeak();
    const pw::PageRaster first = pw::DecodePageRaster(path, 0, limits);
    Check(first, limits);
    if (first.pageCount > 1) {
        pw::fuzz::ResetPeak();
        Check(pw::DecodePageRaster(path, first.pageCount - 1, limits), limits);
    }
    return 0;
}
