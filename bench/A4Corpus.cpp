#include "bench/A4Corpus.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdio>

namespace pw::bench {
namespace {

// Lines of 32-pixel-high "glyphs", 16 pixels wide: vertical strokes with a
// bar at top, middle or bottom, and blanks between words, which gives a fax
// coder the same kind of work a typed page does.
bool WritePage(TIFF* tif, int page, int pages, uint32_t& state)
{
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, pages > 1 ? FILETYPE_PAGE : 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kA4Width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kA4Height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0f);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kA4Height);
    if (pages > 1)
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(page), static_cast<uint16_t>(pages));

    std::vector<uint8_t> row((kA4Width + 7) / 8);
    std::vector<uint16_t> glyphs(row.size() / 2);
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    };
    bool ok = true;
    for (uint32_t y = 0; ok && y < kA4Height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        const uint32_t band = y % 60;
        if (band == 0) {
            for (auto& g : glyphs)
                g = next() % 6 == 0 ? 0 : static_cast<uint16_t>(next());
        }
        if (y > 200 && y < kA4Height - 200 && band < 32) {
            for (size_t i = 10; i + 10 < glyphs.size(); ++i) {
                const uint16_t g = glyphs[i];
                if (g == 0)
                    continue;
                const uint32_t bar = g >> 14;
                const bool barRow = (bar == 1 && band < 3) || (bar == 2 && band >= 14 && band < 17)
                                    || (bar == 3 && band >= 29);
                const uint16_t strokes = barRow ? 0x7FFE : static_cast<uint16_t>((g & 0x4002) | 0x6000 >> (g % 9));
                row[2 * i] = static_cast<uint8_t>(strokes >> 8);
                row[2 * i + 1] = static_cast<uint8_t>(strokes);
            }
        }
        ok = TIFFWriteScanline(tif, row.data(), y, 0) >= 0;
    }
    return ok && TIFFWriteDirectory(tif);
}

}  // namespace

bool WriteA4G4(const std::string& path, int pages, uint32_t seed)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (tif == nullptr)
        return false;
    uint32_t state = seed * 2654435761u + 1;
    bool ok = true;
    for (int page = 0; ok && page < pages; ++page)
        ok = WritePage(tif, page, pages, state);
    TIFFClose(tif);
    return ok;
}

std::vector<std::string> WriteA4G4Files(const std::string& folder, int count)
{
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page%03d.tif", i);
        files.push_back(folder + "/" + name);
        if (!WriteA4G4(files.back(), 1, static_cast<uint32_t>(i)))
            return {};
    }
    return files;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace pw::bench
