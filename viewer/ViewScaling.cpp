#include "viewer/ViewScaling.h"

#include <algorithm>
#include <cmath>

namespace pw {

namespace {

// For each output index the first and one-past-last source index it covers.
std::vector<int> SourceEdges(int sourceSize, int outSize) {
    std::vector<int> edges(static_cast<size_t>(outSize) + 1);
    for (int i = 0; i <= outSize; ++i)
        edges[i] = static_cast<int>(static_cast<int64_t>(i) * sourceSize / outSize);
    for (int i = 1; i <= outSize; ++i)
        edges[i] = std::max(edges[i], edges[i - 1] + 1);  // never an empty box
    edges[outSize] = sourceSize;
    return edges;
}

}  // namespace

std::vector<uint8_t> ShrinkRgb(const RgbView& source, int outWidth, int outHeight) {
    outWidth = std::clamp(outWidth, 1, source.width);
    outHeight = std::clamp(outHeight, 1, source.height);
    std::vector<uint8_t> out(static_cast<size_t>(outWidth) * outHeight * 3);
    const std::vector<int> xs = SourceEdges(source.width, outWidth);
    const std::vector<int> ys = SourceEdges(source.height, outHeight);
    std::vector<uint32_t> sums(static_cast<size_t>(outWidth) * 3);
    for (int oy = 0; oy < outHeight; ++oy) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = ys[oy]; y < ys[oy + 1]; ++y) {
            const uint8_t* p = source.data + static_cast<size_t>(y) * source.width * 3;
            uint32_t* s = sums.data();
            for (int ox = 0; ox < outWidth; ++ox, s += 3) {
                uint32_t r = 0, g = 0, b = 0;
                for (int x = xs[ox]; x < xs[ox + 1]; ++x, p += 3) {
                    r += p[0];
                    g += p[1];
                    b += p[2];
                }
                s[0] += r;
                s[1] += g;
                s[2] += b;
            }
        }
        uint8_t* dst = &out[static_cast<size_t>(oy) * outWidth * 3];
        const uint32_t rows = static_cast<uint32_t>(ys[oy + 1] - ys[oy]);
        for (int ox = 0; ox < outWidth; ++ox) {
            const uint32_t n = rows * static_cast<uint32_t>(xs[ox + 1] - xs[ox]);
            for (int c = 0; c < 3; ++c)
                dst[ox * 3 + c] = static_cast<uint8_t>((sums[ox * 3 + c] + n / 2) / n);
        }
    }
    return out;
}

std::vector<uint8_t> SampleRgb(const RgbView& source, double scale, int x, int y, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 3, 0xFF);
    if (scale <= 0)
        return out;
    std::vector<int> columns(static_cast<size_t>(width));
    for (int i = 0; i < width; ++i)
        columns[i] = static_cast<int>(std::floor((x + i) / scale));
    for (int j = 0; j < height; ++j) {
        const int sy = static_cast<int>(std::floor((y + j) / scale));
        if (sy < 0 || sy >= source.height)
            continue;
        const uint8_t* row = source.data + static_cast<size_t>(sy) * source.width * 3;
        uint8_t* dst = &out[static_cast<size_t>(j) * width * 3];
        for (int i = 0; i < width; ++i) {
            const int sx = columns[i];
            if (sx >= 0 && sx < source.width) {
                dst[i * 3] = row[sx * 3];
                dst[i * 3 + 1] = row[sx * 3 + 1];
                dst[i * 3 + 2] = row[sx * 3 + 2];
            }
        }
    }
    return out;
}

double FitZoom(double pageWidth, double pageHeight, int areaWidth, int areaHeight) {
    const double w = std::max(1, areaWidth), h = std::max(1, areaHeight);
    return std::min(w / std::max(1.0, pageWidth), h / std::max(1.0, pageHeight));
}

int ScaledLength(int decodedLength, double scale) {
    return std::max(1, static_cast<int>(std::lround(decodedLength * scale)));
}

}  // namespace pw
