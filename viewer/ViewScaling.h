#pragma once
// Scaling of a decoded page (8-bit RGB, rows top to bottom) for the screen:
// shrinking averages every source pixel a screen pixel covers, so thin
// lines of a scanned page turn grey instead of vanishing; enlarging repeats
// pixels, so that a zoomed page shows its real pixels.

#include <cstdint>
#include <vector>

namespace pw {

struct RgbView {
    const uint8_t* data;
    int width;
    int height;
};

// The whole image shrunk to outWidth x outHeight (each no larger than the
// source's and at least 1).
std::vector<uint8_t> ShrinkRgb(const RgbView& source, int outWidth, int outHeight);

// The part (x, y, width, height) of the image as it looks enlarged or
// shrunk by scale, by nearest pixels; parts beyond the image are left white.
std::vector<uint8_t> SampleRgb(const RgbView& source, double scale, int x, int y, int width, int height);

// Screen pixels per page pixel that fit a page of the given size (in page
// pixels) wholly into an area.
double FitZoom(double pageWidth, double pageHeight, int areaWidth, int areaHeight);

// The length of a decoded image's side when drawn at scale (screen pixels
// per decoded pixel); never less than 1.
int ScaledLength(int decodedLength, double scale);

}  // namespace pw
