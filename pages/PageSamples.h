#pragma once
// How the samples of a page's rows, as libtiff decodes them, become 8-bit
// RGB for the kinds of page that need no help from libtiff's RGBA reading.

#include <tiffio.h>

#include <cstdint>

namespace pw {

struct SampleLayout {
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t bps = 1;
    uint16_t spp = 1;
    bool unassociatedAlpha = false;  // the colour samples are weighed by it, as libtiff does
    uint8_t palette[256][3] = {};
};

// True when the page's rows can be turned into RGB by ConvertRow, with the
// layout filled in; otherwise libtiff's RGBA reading has to take over.
// Asks the JPEG codec for RGB rows of a YCbCr page.
bool ReadSampleLayout(TIFF* tif, SampleLayout& layout);

// width pixels of one row as decoded (starting at a byte) into width x 3
// bytes of RGB.
void ConvertRow(const SampleLayout& layout, const uint8_t* src, uint8_t* dst, uint32_t width);

}  // namespace pw
