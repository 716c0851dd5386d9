#include "pages/RasterOrientation.h"

#include <tiffio.h>

#include <algorithm>
#include <utility>

namespace pw {
namespace {

void MirrorRows(std::vector<uint8_t>& rgb, size_t width, size_t height)
{
    for (size_t y = 0; y < height; ++y) {
        uint8_t* row = &rgb[y * width * 3];
        for (size_t l = 0, r = width - 1; l < r; ++l, --r)
            std::swap_ranges(row + l * 3, row + l * 3 + 3, row + r * 3);
    }
}

void MirrorColumns(std::vector<uint8_t>& rgb, size_t width, size_t height)
{
    const size_t rowBytes = width * 3;
    for (size_t t = 0, b = height - 1; t < b; ++t, --b)
        std::swap_ranges(rgb.begin() + t * rowBytes, rgb.begin() + (t + 1) * rowBytes, rgb.begin() + b * rowBytes);
}

}  // namespace

bool OrientationTransposes(uint16_t orientation)
{
    return orientation >= ORIENTATION_LEFTTOP && orientation <= ORIENTATION_LEFTBOT;
}

void ApplyOrientation(std::vector<uint8_t>& rgb, int& width, int& height, uint16_t orientation)
{
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    if (w == 0 || h == 0)
        return;
    switch (orientation) {
    case ORIENTATION_TOPRIGHT: MirrorRows(rgb, w, h); return;
    case ORIENTATION_BOTRIGHT:
        MirrorRows(rgb, w, h);
        MirrorColumns(rgb, w, h);
        return;
    case ORIENTATION_BOTLEFT: MirrorColumns(rgb, w, h); return;
    default:
        if (!OrientationTransposes(orientation))
            return;
    }
    // Stored row y becomes shown column y (row 0 on the left: 5 and 8) or
    // column h-1-y (row 0 on the right: 6 and 7); stored column x becomes
    // shown row x (column 0 at the top: 5 and 6) or row w-1-x (7 and 8).
    const bool rowsFromRight = orientation == ORIENTATION_RIGHTTOP || orientation == ORIENTATION_RIGHTBOT;
    const bool columnsFromBottom = orientation == ORIENTATION_RIGHTBOT || orientation == ORIENTATION_LEFTBOT;
    std::vector<uint8_t> shown(rgb.size());
    for (size_t y = 0; y < h; ++y) {
        const size_t sx = rowsFromRight ? h - 1 - y : y;
        const uint8_t* src = &rgb[y * w * 3];
        for (size_t x = 0; x < w; ++x, src += 3) {
            const size_t sy = columnsFromBottom ? w - 1 - x : x;
            uint8_t* dst = &shown[(sy * h + sx) * 3];
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
    rgb.swap(shown);
    std::swap(width, height);
}

}  // namespace pw
