#pragma once
// Turns an RGB raster decoded in the order a TIFF page stores its rows
// into the page as it is meant to be seen, by the page's Orientation tag.

#include <cstdint>
#include <vector>

namespace pw {

// True for the orientations whose stored rows are the page's columns
// (5 to 8): the shown page is height x width.
bool OrientationTransposes(uint16_t orientation);

// rgb holds width x height pixels, rows as stored; afterwards it holds the
// page as shown, and width and height are the shown size. Orientations
// outside 1 to 8 count as 1 (nothing changes). Flips work in place; a
// transposing orientation needs a second raster of the same size.
void ApplyOrientation(std::vector<uint8_t>& rgb, int& width, int& height, uint16_t orientation);

}  // namespace pw
