// Writes the sample document the run script opens: a few bilevel pages of
// A4 at 100 dots per inch, G4-compressed, each with a frame, its page number
// in large digits and rows of "text".
//
// Usage: make-sample-tiff OUTPUT [PAGES]

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 827;
constexpr int kHeight = 1169;

// 5 x 7 dot patterns of the digits, one row per byte, bit 4 on the left.
constexpr unsigned char kDigits[10][7] = {
    {14, 17, 19, 21, 25, 17, 14}, {4, 12, 4, 4, 4, 4, 14},   {14, 17, 1, 2, 4, 8, 31},
    {31, 2, 4, 2, 1, 17, 14},     {2, 6, 10, 18, 31, 2, 2},  {31, 16, 30, 1, 1, 17, 14},
    {6, 8, 16, 30, 17, 17, 14},   {31, 1, 2, 4, 8, 8, 8},    {14, 17, 17, 14, 17, 17, 14},
    {14, 17, 17, 15, 1, 2, 12},
};

struct Page {
    std::vector<unsigned char> black = std::vector<unsigned char>(kWidth * kHeight, 0);
    void Fill(int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1 && y < kHeight; ++y)
            for (int x = x0; x < x1 && x < kWidth; ++x)
                black[y * kWidth + x] = 1;
    }
};

void DrawPage(Page& p, int number) {
    p.Fill(40, 40, kWidth - 40, 46);
    p.Fill(40, kHeight - 46, kWidth - 40, kHeight - 40);
    p.Fill(40, 40, 46, kHeight - 40);
    p.Fill(kWidth - 46, 40, kWidth - 40, kHeight - 40);
    // The page number, 5 x 7 dots of 24 pixels, in the upper right.
    const int digit = number % 10;
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
            if (kDigits[digit][row] & (16 >> col))
                p.Fill(620 + col * 24, 90 + row * 24, 620 + col * 24 + 22, 90 + row * 24 + 22);
    // A heading and paragraphs of words of varying length.
    p.Fill(100, 110, 480, 140);
    unsigned seed = 12345u + static_cast<unsigned>(number) * 977u;
    for (int line = 0; line < 40; ++line) {
        const int y = 300 + line * 19;
        if (line % 9 == 8)
            continue;
        int x = 100;
        const int end = (line % 9 == 7) ? 400 : kWidth - 100;
        while (x < end) {
            seed = seed * 1103515245u + 12345u;
            const int w = 20 + static_cast<int>((seed >> 16) % 70);
            p.Fill(x, y, std::min(x + w, end), y + 9);
            x += w + 10;
        }
    }
}

bool WritePage(TIFF* tif, const Page& p, int index, int pages) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kHeight);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 100.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 100.0f);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tif, TIFFTAG_PAGENUMBER, index, pages);
    std::vector<unsigned char> row((kWidth + 7) / 8);
    for (int y = 0; y < kHeight; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < kWidth; ++x)
            if (p.black[y * kWidth + x])
                row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        if (TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0) < 0)
            return false;
    }
    return TIFFWriteDirectory(tif) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT [PAGES]\n", argv[0]);
        return 2;
    }
    const int pages = argc > 2 ? std::atoi(argv[2]) : 3;
    if (pages < 1) {
        std::fprintf(stderr, "%s: PAGES must be at least 1\n", argv[0]);
        return 2;
    }
    TIFF* tif = TIFFOpen(argv[1], "w");
    if (!tif)
        return 1;
    for (int i = 0; i < pages; ++i) {
        Page p;
        DrawPage(p, i + 1);
        if (!WritePage(tif, p, i, pages)) {
            TIFFClose(tif);
            return 1;
        }
    }
    TIFFClose(tif);
    return 0;
}
