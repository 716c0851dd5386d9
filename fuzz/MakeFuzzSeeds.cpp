// Writes the fuzzers' starting files into a folder: the test fixtures'
// pages of every kind the program reads (bilevel, grey, RGB, colour maps,
// alpha, four-colour, JPEG, LZMA, Zstd, WebP, tiles, both byte orders, BigTIFF), their
// damaged variants, and the files that once broke the page functions.
//
// Usage: make-fuzz-seeds FOLDER

#include "tests/fixtures/HostileTiffs.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"

#include <cstdio>
#include <filesystem>
#include <string>

using namespace pw::test;

namespace {

constexpr size_t kMaxSeedBytes = 64 * 1024;

void Palette(TIFF* tif)
{
    std::vector<uint16_t> red(16), green(16), blue(16);
    for (size_t i = 0; i < red.size(); ++i) {
        red[i] = static_cast<uint16_t>(i * 4369);
        green[i] = static_cast<uint16_t>(65535 - i * 4000);
        blue[i] = static_cast<uint16_t>(i * 7919);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
}

TestPage Small(TestPage page, uint32_t tile = 0)
{
    page.width = 40;
    page.height = 24;
    page.rowsPerStrip = 16;  // a whole number of JPEG blocks
    page.tileSize = tile;
    return page;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::filesystem::create_directories(folder);
    int written = 0;
    auto keep = [&](const std::string& name, bool ok) {
        if (!ok)
            std::fprintf(stderr, "make-fuzz-seeds: cannot write %s\n", name.c_str());
        written += ok ? 1 : 0;
    };

    // The shared fixtures: two pages of each sample size, scheme and layout.
    const uint16_t schemes[] = {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE, COMPRESSION_PACKBITS,
                                COMPRESSION_CCITTFAX3, COMPRESSION_CCITTFAX4};
    for (uint16_t bits : {1, 8, 16})
        for (uint16_t scheme : schemes)
            for (bool tiled : {false, true}) {
                if ((scheme == COMPRESSION_CCITTFAX3 || scheme == COMPRESSION_CCITTFAX4) && bits != 1)
                    continue;
                PageSpec shape = Page(bits, scheme, 40, 24);
                shape.tiled = tiled;
                shape.rowsPerStrip = 8;
                shape.samplesPerPixel = bits == 16 ? 3 : 1;
                const std::string name = folder + "/fixture-" + std::to_string(bits) + "-" +
                                         std::to_string(scheme) + (tiled ? "-tiles" : "") + ".tif";
                keep(name, WriteTiff(name, 2, shape));
            }

    // The page tests' kinds, each in both byte orders, and as BigTIFF.
    struct Kind {
        const char* name;
        TestPage page;
    };
    auto alpha = [](TIFF* t) {
        const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
    };
    TestPage separate = Small(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW));
    separate.planar = PLANARCONFIG_SEPARATE;
    const Kind kinds[] = {
        {"grey2", Small(Make(2, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE))},
        {"grey4-tiles", Small(Make(4, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_PACKBITS), 16)},
        {"grey16-predictor", Small(Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
         }))},
        {"rgb8-tiles", Small(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW), 16)},
        {"rgba", Small(Make(8, 4, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE, alpha))},
        {"palette4", Small(Make(4, 1, PHOTOMETRIC_PALETTE, COMPRESSION_NONE, Palette))},
        {"cmyk", Small(Make(8, 4, PHOTOMETRIC_SEPARATED, COMPRESSION_LZW))},
        {"separate-planes", separate},
        {"jpeg-ycbcr", Small(Make(8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
             TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
         }))},
        {"jpeg-grey-tiles", Small(Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_JPEG), 16)},
        {"orientation", Small(Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_RIGHTTOP);
         }))},
        // Codecs whose libraries keep buffers of their own, sized by the
        // stream (a dictionary, a window, a whole picture).
        {"grey8-lzma", Small(Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZMA))},
        {"rgb8-zstd-tiles", Small(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_ZSTD), 16)},
        {"rgb8-webp", Small(Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_WEBP))},
        {"rgba8-webp-tiles", Small(Make(8, 4, PHOTOMETRIC_RGB, COMPRESSION_WEBP, alpha), 16)},
    };
    for (const Kind& kind : kinds)
        for (const char* mode : {"w", "wb", "w8"}) {
            const std::string name = folder + "/" + kind.name + "-" + mode + ".tif";
            keep(name, WriteTestTiff(name, {kind.page, kind.page}, mode));
        }

    // Large inputs slow every mutation down; the damage is in the small ones too.
    const std::string scratch = folder + "/scratch";
    std::filesystem::create_directories(scratch);
    int n = 0;
    for (const DamagedCase& c : MakeDamagedCases(scratch)) {
        const std::string name = folder + "/damaged-" + std::to_string(n++) + ".tif";
        if (c.bytes.size() <= kMaxSeedBytes)
            keep(name, WriteBytes(name, c.bytes));
    }
    std::filesystem::remove_all(scratch);
    for (const HostileTiff& h : HostileTiffs()) {
        const std::string name = folder + "/hostile-" + h.name + ".tif";
        keep(name, WriteBytes(name, h.bytes));
    }
    std::printf("%d seed files in %s\n", written, folder.c_str());
    return 0;
}
