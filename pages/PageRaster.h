#pragma once
// Decodes one page of a TIFF file into 8-bit RGB pixels, reduced by a whole
// factor while it is read so that a huge page never exists in memory at
// full size. Each output pixel is the average of the square of page pixels
// it stands for, which turns a scanned 1-bit page into legible grey text.
// The page is turned as its Orientation tag says. What a decoding would
// hold in memory is worked out from the page's tags before anything is
// allocated, and a page over the budget is refused with a message.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace pw {

struct PageRaster {
    int pageCount = 0;           // pages of the file; 0 when it cannot be read
    uint32_t pageWidth = 0;      // the page's own size in pixels, as shown (turned by its orientation)
    uint32_t pageHeight = 0;
    float xResolution = 0;       // dots per inch across the page as shown; 0 when the page has none
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
    // A page whose decoding would need more memory than this (rows, strips
    // or tiles, the reduced page) is refused before anything is allocated.
    uint64_t maxWorkingBytes = uint64_t{256} << 20;
};

// The smallest whole reduction that brings a page of the given size within
// the limits.
int ReductionFor(uint32_t pageWidth, uint32_t pageHeight, const PageRasterLimits& limits);

// Decodes page pageIndex (from 0). Checks cancel between bands of rows and
// returns early, marked cancelled, once it is set. Throws nothing: a page
// that cannot be shown comes back with its error set and no pixels.
PageRaster DecodePageRaster(const std::string& path, int pageIndex, const PageRasterLimits& limits = {},
                            const std::atomic<bool>* cancel = nullptr);

}  // namespace pw
