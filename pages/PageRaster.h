#pragma once
// Decodes one page of a TIFF file into 8-bit RGB pixels, reduced by a whole
// factor while it is read so that a huge page never exists in memory at
// full size. Each output pixel is the average of the square of page pixels
// it stands for, which turns a scanned 1-bit page into legible grey text.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace pw {

struct PageRaster {
    int pageCount = 0;           // pages of the file; 0 when it cannot be read
    uint32_t pageWidth = 0;      // the page's own size in pixels
    uint32_t pageHeight = 0;
    float xResolution = 0;       // dots per inch; 0 when the page has none
    float yResolution = 0;
    int reduction = 1;           // page pixels per output pixel, each way
    int width = 0;               // output size: the page size divided by the reduction, rounded up
    int height = 0;
    std::vector<uint8_t> rgb;    // width * height * 3 bytes, rows top to bottom
    std::string error;           // why the page is not shown; empty on success
    bool cancelled = false;

    bool ok() const { return error.empty() && !cancelled; }
};

struct PageRasterLimits {
    uint32_t maxWidth = 8192;
    uint32_t maxHeight = 8192;
    uint64_t maxPixels = uint64_t{16} << 20;
};

// The smallest whole reduction that brings a page of the given size within
// the limits.
int ReductionFor(uint32_t pageWidth, uint32_t pageHeight, const PageRasterLimits& limits);

// Decodes page pageIndex (from 0). Checks cancel between bands of rows and
// returns early, marked cancelled, once it is set.
PageRaster DecodePageRaster(const std::string& path, int pageIndex, const PageRasterLimits& limits = {},
                            const std::atomic<bool>* cancel = nullptr);

}  // namespace pw
