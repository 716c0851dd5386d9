#include "pages/PageRaster.h"

#include "pages/TiffDiagnostics.h"
#include "pages/TiffSource.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace pw {

namespace {

// A decoded strip or band larger than this is read a row at a time.
constexpr uint64_t kMaxBandBytes = uint64_t{64} << 20;
// Rows between two looks at the cancel flag when reading row by row.
constexpr uint32_t kRowsPerCancelCheck = 64;
constexpr int kMaxReduction = 4096;  // keeps the sums of one box within 32 bits

bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

// Sums page rows into output rows, one box of reduction x reduction page
// pixels per output pixel; boxes cut off at the right and bottom edges
// average over the pixels they have.
class BoxReducer {
public:
    BoxReducer(PageRaster& out, uint32_t pageWidth, uint32_t pageHeight, int reduction)
        : out_(out), pageWidth_(pageWidth), pageHeight_(pageHeight), f_(reduction),
          sums_(static_cast<size_t>(out.width) * 3, 0) {}

    // One page row of pageWidth RGB pixels; rows come in page order.
    void AddRow(const uint8_t* rgb) {
        if (f_ == 1) {
            uint8_t* dst = &out_.rgb[static_cast<size_t>(row_) * pageWidth_ * 3];
            if (dst != rgb)
                std::memcpy(dst, rgb, size_t{pageWidth_} * 3);
            ++row_;
            return;
        }
        uint32_t* s = sums_.data();
        uint32_t x = 0;
        for (int ox = 0; ox < out_.width; ++ox, s += 3) {
            const uint32_t end = std::min(pageWidth_, x + static_cast<uint32_t>(f_));
            uint32_t r = 0, g = 0, b = 0;
            for (; x < end; ++x, rgb += 3) {
                r += rgb[0];
                g += rgb[1];
                b += rgb[2];
            }
            s[0] += r;
            s[1] += g;
            s[2] += b;
        }
        ++row_;
        if (row_ % f_ == 0 || row_ == pageHeight_)
            EmitRow();
    }

    uint32_t rowsDone() const { return row_; }

    // Without reduction a row can be converted straight into its place;
    // null otherwise. AddRow must follow with the same pointer.
    uint8_t* DirectRow() { return f_ == 1 ? &out_.rgb[static_cast<size_t>(row_) * pageWidth_ * 3] : nullptr; }

private:
    void EmitRow() {
        const uint32_t boxRows = row_ - static_cast<uint32_t>(outRow_) * f_;
        uint8_t* dst = &out_.rgb[static_cast<size_t>(outRow_) * out_.width * 3];
        for (int ox = 0; ox < out_.width; ++ox) {
            const uint32_t boxCols = std::min<uint32_t>(f_, pageWidth_ - static_cast<uint32_t>(ox) * f_);
            const uint32_t n = boxRows * boxCols;
            for (int c = 0; c < 3; ++c) {
                uint32_t& sum = sums_[static_cast<size_t>(ox) * 3 + c];
                dst[ox * 3 + c] = static_cast<uint8_t>((sum + n / 2) / n);
                sum = 0;
            }
        }
        ++outRow_;
    }

    PageRaster& out_;
    uint32_t pageWidth_, pageHeight_;
    uint32_t f_;
    std::vector<uint32_t> sums_;
    uint32_t row_ = 0;
    int outRow_ = 0;
};

// How the samples of a page's rows as libtiff decodes them become RGB.
struct SampleLayout {
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t bps = 1;
    uint16_t spp = 1;
    bool unassociatedAlpha = false;  // the colour samples are weighed by it, as libtiff does
    uint8_t palette[256][3] = {};
};

// True when the page's rows can be turned into RGB directly; otherwise
// libtiff's RGBA reading takes over.
bool NativeLayout(TIFF* tif, SampleLayout& layout) {
    uint16_t planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT, compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &layout.bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &layout.spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &layout.photometric))
        return false;
    if (format != SAMPLEFORMAT_UINT || (planar != PLANARCONFIG_CONTIG && layout.spp > 1))
        return false;
    switch (layout.photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
        return layout.bps == 1 || layout.bps == 2 || layout.bps == 4 || layout.bps == 8 || layout.bps == 16;
    case PHOTOMETRIC_RGB: {
        uint16_t extraCount = 0;
        uint16_t* extra = nullptr;
        if (layout.spp >= 4 && TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) && extraCount > 0)
            layout.unassociatedAlpha = extra[0] == EXTRASAMPLE_UNASSALPHA;
        return layout.spp >= 3 && (layout.bps == 8 || layout.bps == 16);
    }
    case PHOTOMETRIC_YCBCR:
        // The JPEG codec converts to RGB itself when asked.
        if (compression != COMPRESSION_JPEG || layout.bps != 8 || layout.spp != 3)
            return false;
        if (!TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
            return false;
        layout.photometric = PHOTOMETRIC_RGB;
        return true;
    case PHOTOMETRIC_PALETTE: {
        if (layout.spp != 1 || (layout.bps != 1 && layout.bps != 2 && layout.bps != 4 && layout.bps != 8))
            return false;
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b))
            return false;
        const int n = 1 << layout.bps;
        // Some writers store 8-bit values in the 16-bit map.
        bool eightBit = true;
        for (int i = 0; i < n && eightBit; ++i)
            eightBit = r[i] < 256 && g[i] < 256 && b[i] < 256;
        const int shift = eightBit ? 0 : 8;
        for (int i = 0; i < n; ++i) {
            layout.palette[i][0] = static_cast<uint8_t>(r[i] >> shift);
            layout.palette[i][1] = static_cast<uint8_t>(g[i] >> shift);
            layout.palette[i][2] = static_cast<uint8_t>(b[i] >> shift);
        }
        return true;
    }
    default:
        return false;
    }
}

// Eight bilevel pixels of one byte as 24 RGB bytes, for either meaning of 0.
struct BilevelTable {
    uint8_t rgb[2][256][24];
    BilevelTable() {
        for (int white = 0; white < 2; ++white)
            for (int byte = 0; byte < 256; ++byte)
                for (int bit = 0; bit < 8; ++bit) {
                    const bool set = (byte >> (7 - bit)) & 1;
                    const uint8_t v = (set != (white != 0)) ? 255 : 0;
                    std::memset(&rgb[white][byte][bit * 3], v, 3);
                }
    }
};

void ConvertBilevel(bool minIsWhite, const uint8_t* src, uint8_t* dst, uint32_t width) {
    static const BilevelTable table;
    const auto& t = table.rgb[minIsWhite ? 1 : 0];
    const uint32_t whole = width / 8;
    for (uint32_t i = 0; i < whole; ++i, dst += 24)
        std::memcpy(dst, t[src[i]], 24);
    if (width % 8)
        std::memcpy(dst, t[src[whole]], (width % 8) * 3);
}

void ConvertRow(const SampleLayout& l, const uint8_t* src, uint8_t* dst, uint32_t width) {
    const bool white = l.photometric == PHOTOMETRIC_MINISWHITE;
    if (l.bps == 1 && l.spp == 1 && l.photometric != PHOTOMETRIC_PALETTE) {
        ConvertBilevel(white, src, dst, width);
        return;
    }
    if (l.photometric == PHOTOMETRIC_RGB) {
        if (l.bps == 8 && l.unassociatedAlpha) {
            for (uint32_t x = 0; x < width; ++x, src += l.spp, dst += 3) {
                const unsigned a = src[3];
                for (int c = 0; c < 3; ++c)
                    dst[c] = static_cast<uint8_t>((src[c] * a + 127) / 255);
            }
        } else if (l.bps == 8) {
            for (uint32_t x = 0; x < width; ++x, src += l.spp, dst += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
        } else {
            const auto* s = reinterpret_cast<const uint16_t*>(src);
            for (uint32_t x = 0; x < width; ++x, s += l.spp, dst += 3) {
                dst[0] = static_cast<uint8_t>(s[0] >> 8);
                dst[1] = static_cast<uint8_t>(s[1] >> 8);
                dst[2] = static_cast<uint8_t>(s[2] >> 8);
            }
        }
        return;
    }
    if (l.bps == 16) {
        const auto* s = reinterpret_cast<const uint16_t*>(src);
        for (uint32_t x = 0; x < width; ++x, s += l.spp, dst += 3) {
            uint8_t v = static_cast<uint8_t>(s[0] >> 8);
            if (white)
                v = static_cast<uint8_t>(255 - v);
            dst[0] = dst[1] = dst[2] = v;
        }
        return;
    }
    if (l.bps == 8) {
        for (uint32_t x = 0; x < width; ++x, src += l.spp, dst += 3) {
            uint8_t v = src[0];
            if (l.photometric == PHOTOMETRIC_PALETTE) {
                std::memcpy(dst, l.palette[v], 3);
                continue;
            }
            if (white)
                v = static_cast<uint8_t>(255 - v);
            dst[0] = dst[1] = dst[2] = v;
        }
        return;
    }
    // 1, 2 or 4 bits, one sample per pixel (or grey with extra samples of the same size).
    const unsigned bitsPerPixel = unsigned{l.bps} * l.spp;
    const unsigned maxValue = (1u << l.bps) - 1;
    for (uint32_t x = 0; x < width; ++x, dst += 3) {
        const size_t bit = size_t{x} * bitsPerPixel;
        const unsigned v = (src[bit >> 3] >> (8 - l.bps - (bit & 7))) & maxValue;
        if (l.photometric == PHOTOMETRIC_PALETTE) {
            std::memcpy(dst, l.palette[v], 3);
            continue;
        }
        uint8_t grey = static_cast<uint8_t>(v * 255 / maxValue);
        if (white)
            grey = static_cast<uint8_t>(255 - grey);
        dst[0] = dst[1] = dst[2] = grey;
    }
}

// Hands the page's rows, as decoded samples, to a sink in page order.
using RowSink = std::function<void(const uint8_t* row)>;

bool ReadNativeRows(TIFF* tif, uint32_t width, uint32_t height, const RowSink& sink, const std::atomic<bool>* cancel,
                    std::string& error) {
    const uint64_t rowBytes = TIFFScanlineSize64(tif);
    if (rowBytes == 0) {
        error = "The page's rows have no size.";
        return false;
    }
    if (TIFFIsTiled(tif)) {
        uint32_t tileWidth = 0, tileHeight = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
        const uint64_t tileRowBytes = TIFFTileRowSize64(tif);
        const tmsize_t tileBytes = TIFFTileSize(tif);
        if (tileWidth == 0 || tileHeight == 0 || tileBytes <= 0 || rowBytes * tileHeight > kMaxBandBytes) {
            error = "The page's tiles are too large to show.";
            return false;
        }
        std::vector<uint8_t> tile(static_cast<size_t>(tileBytes));
        std::vector<uint8_t> band(static_cast<size_t>(rowBytes * tileHeight));
        const uint64_t bitsPerPixel = tileRowBytes * 8 / tileWidth;
        for (uint32_t y = 0; y < height; y += tileHeight) {
            if (Cancelled(cancel))
                return false;
            const uint32_t rows = std::min(tileHeight, height - y);
            for (uint32_t x = 0; x < width; x += tileWidth) {
                if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x, y, 0, 0), tile.data(), tileBytes) < 0) {
                    error = "A tile of the page cannot be decoded.";
                    return false;
                }
                const uint64_t offset = x * bitsPerPixel / 8;
                const uint64_t count = std::min(tileRowBytes, rowBytes - offset);
                for (uint32_t r = 0; r < rows; ++r)
                    std::memcpy(&band[r * rowBytes + offset], &tile[r * tileRowBytes], count);
            }
            for (uint32_t r = 0; r < rows; ++r)
                sink(&band[r * rowBytes]);
        }
        return true;
    }
    uint32_t rowsPerStrip = height;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::clamp<uint32_t>(rowsPerStrip, 1, height);
    if (rowBytes * rowsPerStrip > kMaxBandBytes || TIFFNumberOfStrips(tif) < (height + rowsPerStrip - 1) / rowsPerStrip) {
        // One huge strip (or an odd strip layout): libtiff decodes it a row at a time.
        std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
        for (uint32_t y = 0; y < height; ++y) {
            if (y % kRowsPerCancelCheck == 0 && Cancelled(cancel))
                return false;
            if (TIFFReadScanline(tif, row.data(), y, 0) < 0) {
                error = "A row of the page cannot be decoded.";
                return false;
            }
            sink(row.data());
        }
        return true;
    }
    std::vector<uint8_t> strip(static_cast<size_t>(rowBytes * rowsPerStrip));
    for (uint32_t y = 0, s = 0; y < height; y += rowsPerStrip, ++s) {
        if (Cancelled(cancel))
            return false;
        const uint32_t rows = std::min(rowsPerStrip, height - y);
        const tmsize_t want = static_cast<tmsize_t>(rows * rowBytes);
        if (TIFFReadEncodedStrip(tif, s, strip.data(), want) < want) {
            error = "A strip of the page cannot be decoded.";
            return false;
        }
        for (uint32_t r = 0; r < rows; ++r)
            sink(&strip[r * rowBytes]);
    }
    return true;
}

// libtiff's RGBA reading, a strip or a row of tiles at a time, for the
// kinds of page the direct conversion does not know (CMYK, Lab, YCbCr
// without JPEG, separate planes...).
bool ReadRgbaRows(TIFF* tif, uint32_t width, uint32_t height, const RowSink& sink, const std::atomic<bool>* cancel,
                  std::string& error) {
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tif, message)) {
        error = std::string("This kind of page cannot be shown (") + message + ").";
        return false;
    }
    std::vector<uint8_t> rgb(size_t{width} * 3);
    auto emit = [&](const uint32_t* abgr) {
        for (uint32_t x = 0; x < width; ++x) {
            rgb[x * 3] = static_cast<uint8_t>(TIFFGetR(abgr[x]));
            rgb[x * 3 + 1] = static_cast<uint8_t>(TIFFGetG(abgr[x]));
            rgb[x * 3 + 2] = static_cast<uint8_t>(TIFFGetB(abgr[x]));
        }
        sink(rgb.data());
    };
    if (TIFFIsTiled(tif)) {
        uint32_t tileWidth = 0, tileHeight = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
        if (tileWidth == 0 || tileHeight == 0 || uint64_t{tileWidth} * tileHeight * 4 > kMaxBandBytes ||
            uint64_t{width} * tileHeight * 4 > kMaxBandBytes) {
            error = "The page's tiles are too large to show.";
            return false;
        }
        std::vector<uint32_t> tile(size_t{tileWidth} * tileHeight);
        std::vector<uint32_t> band(size_t{width} * tileHeight);
        for (uint32_t y = 0; y < height; y += tileHeight) {
            if (Cancelled(cancel))
                return false;
            const uint32_t rows = std::min(tileHeight, height - y);
            for (uint32_t x = 0; x < width; x += tileWidth) {
                if (!TIFFReadRGBATileExt(tif, x, y, tile.data(), 0)) {
                    error = "A tile of the page cannot be decoded.";
                    return false;
                }
                const uint32_t cols = std::min(tileWidth, width - x);
                // The tile comes bottom row first.
                for (uint32_t r = 0; r < rows; ++r)
                    std::memcpy(&band[size_t{r} * width + x], &tile[size_t{tileHeight - 1 - r} * tileWidth],
                                cols * sizeof(uint32_t));
            }
            for (uint32_t r = 0; r < rows; ++r)
                emit(&band[size_t{r} * width]);
        }
        return true;
    }
    uint32_t rowsPerStrip = height;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::clamp<uint32_t>(rowsPerStrip, 1, height);
    if (uint64_t{width} * rowsPerStrip * 4 > kMaxBandBytes) {
        error = "The page's strips are too large to show.";
        return false;
    }
    std::vector<uint32_t> strip(size_t{width} * rowsPerStrip);
    for (uint32_t y = 0; y < height; y += rowsPerStrip) {
        if (Cancelled(cancel))
            return false;
        if (!TIFFReadRGBAStripExt(tif, y, strip.data(), 0)) {
            error = "A strip of the page cannot be decoded.";
            return false;
        }
        const uint32_t rows = std::min(rowsPerStrip, height - y);
        for (uint32_t r = 0; r < rows; ++r)
            emit(&strip[size_t{rows - 1 - r} * width]);
    }
    return true;
}

}  // namespace

int ReductionFor(uint32_t pageWidth, uint32_t pageHeight, const PageRasterLimits& limits) {
    const uint32_t maxWidth = std::max<uint32_t>(1, limits.maxWidth);
    const uint32_t maxHeight = std::max<uint32_t>(1, limits.maxHeight);
    int f = 1;
    while (f < kMaxReduction) {
        const uint64_t w = (uint64_t{pageWidth} + f - 1) / f, h = (uint64_t{pageHeight} + f - 1) / f;
        if (w <= maxWidth && h <= maxHeight && w * h <= limits.maxPixels)
            break;
        ++f;
    }
    return f;
}

PageRaster DecodePageRaster(const std::string& path, int pageIndex, const PageRasterLimits& limits,
                            const std::atomic<bool>* cancel) {
    PageRaster out;
    TiffDiagnostics diagnostics;
    TiffSource source(path, diagnostics);
    out.pageCount = source.pageCount();
    if (out.pageCount == 0) {
        out.error = "This is not a TIFF file that can be read.";
        return out;
    }
    if (pageIndex < 0 || pageIndex >= out.pageCount || !source.SelectPage(pageIndex)) {
        out.error = "This page cannot be read.";
        return out;
    }
    TIFF* tif = source.tiff();
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &out.pageWidth);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &out.pageHeight);
    if (out.pageWidth == 0 || out.pageHeight == 0) {
        out.error = "The page has no pixels.";
        return out;
    }
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    float xres = 0, yres = 0;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres) && TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres) && xres > 0 &&
        yres > 0 && unit != RESUNIT_NONE) {
        const float toInch = unit == RESUNIT_CENTIMETER ? 2.54f : 1.0f;
        out.xResolution = xres * toInch;
        out.yResolution = yres * toInch;
    }
    out.reduction = ReductionFor(out.pageWidth, out.pageHeight, limits);
    out.width = static_cast<int>((out.pageWidth + out.reduction - 1) / out.reduction);
    out.height = static_cast<int>((out.pageHeight + out.reduction - 1) / out.reduction);
    out.rgb.assign(static_cast<size_t>(out.width) * out.height * 3, 0xFF);

    BoxReducer reducer(out, out.pageWidth, out.pageHeight, out.reduction);
    SampleLayout layout;
    bool read = false;
    if (NativeLayout(tif, layout)) {
        std::vector<uint8_t> rgbRow(size_t{out.pageWidth} * 3);
        const uint32_t width = out.pageWidth;
        read = ReadNativeRows(
            tif, out.pageWidth, out.pageHeight,
            [&](const uint8_t* row) {
                uint8_t* dst = reducer.DirectRow();
                if (!dst)
                    dst = rgbRow.data();
                ConvertRow(layout, row, dst, width);
                reducer.AddRow(dst);
            },
            cancel, out.error);
    } else {
        read = ReadRgbaRows(
            tif, out.pageWidth, out.pageHeight, [&](const uint8_t* row) { reducer.AddRow(row); }, cancel,
            out.error);
    }
    if (Cancelled(cancel)) {
        out.cancelled = true;
        out.rgb.clear();
        return out;
    }
    if (!read || reducer.rowsDone() != out.pageHeight) {
        if (out.error.empty())
            out.error = "The page cannot be decoded.";
        if (!diagnostics.lastError().empty())
            out.error += " " + diagnostics.lastError();
        out.rgb.clear();
    }
    return out;
}

}  // namespace pw
