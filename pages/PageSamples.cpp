#include "pages/PageSamples.h"

#include <cstring>

namespace pw {

namespace {

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

}  // namespace

bool ReadSampleLayout(TIFF* tif, SampleLayout& layout) {
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

}  // namespace pw
