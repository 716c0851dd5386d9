#include "pages/PageComparison.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "pages/TiffSource.h"

namespace pw {
namespace {

// A strip larger than this decoded is read row by row.
constexpr tmsize_t kWholeStripLimit = tmsize_t{32} << 20;
// Pixels of one band of RGBA rows.
constexpr uint64_t kRgbaBandPixels = uint64_t{4} << 20;

std::string DecodeError(const TiffDiagnostics& diagnostics)
{
    return diagnostics.lastError().empty() ? std::string("libtiff cannot decode it") : diagnostics.lastError();
}

// The photometric interpretation libtiff's RGBA reading gives the page;
// with the tag missing that depends on the compression, so two pages
// without the tag can still mean opposite things.
// Only a page without the tag is set up for RGBA reading here: that sets
// LogLuv and JPEG decoding to its own output form.
uint16_t EffectivePhotometric(TIFF* tif)
{
    uint16_t photometric = 0;
    if (TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        return photometric;
    char message[1024];
    if (TIFFRGBAImageOK(tif, message)) {
        TIFFRGBAImage image;
        if (TIFFRGBAImageBegin(&image, tif, 0, message)) {
            photometric = image.photometric;
            TIFFRGBAImageEnd(&image);
            return photometric;
        }
    }
    return 0xFFFF;
}

struct Layout {
    uint32_t width = 0, height = 0;
    uint16_t orientation = 0;
    uint16_t bits = 0, samples = 0, format = 0, planar = 0, photometric = 0, compression = 0;
    std::vector<uint16_t> extraSamples;
    std::vector<uint16_t> colourMap;
    std::string profile;

    explicit Layout(TIFF* tif)
    {
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
        TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
        TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
        photometric = EffectivePhotometric(tif);
        uint16_t count = 0;
        uint16_t* values = nullptr;
        if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &values) && values != nullptr)
            extraSamples.assign(values, values + count);
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (photometric == PHOTOMETRIC_PALETTE && bits <= 16 &&
            TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) && red && green && blue) {
            const size_t entries = size_t{1} << bits;
            for (const uint16_t* channel : {red, green, blue})
                colourMap.insert(colourMap.end(), channel, channel + entries);
        }
        uint32_t profileSize = 0;
        void* profileData = nullptr;
        if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &profileSize, &profileData) && profileData != nullptr)
            profile.assign(static_cast<const char*>(profileData), profileSize);
    }

    bool SameSamples(const Layout& other) const
    {
        return bits == other.bits && samples == other.samples && format == other.format &&
               planar == other.planar && photometric == other.photometric &&
               extraSamples == other.extraSamples && colourMap == other.colourMap &&
               IsLogLuv() == other.IsLogLuv();
    }

    // LogLuv samples are LogLuv only in one of the two SGILog encodings;
    // decoded, they come out in the form the page's bits and sample format
    // give, on both sides alike.
    bool IsLogLuv() const { return compression == COMPRESSION_SGILOG || compression == COMPRESSION_SGILOG24; }
    bool HoldsLogLuv() const { return photometric == PHOTOMETRIC_LOGLUV || photometric == PHOTOMETRIC_LOGL; }

    // YCbCr samples mean nothing without their subsampling, positioning,
    // coefficients and reference values: such pages are compared as
    // rendered.
    bool SamplesSpeakForThemselves() const { return photometric != PHOTOMETRIC_YCBCR && bits > 0 && samples > 0; }
};

// Hands out the decoded rows of one page, plane by plane, in order.
class RowReader {
public:
    RowReader(TIFF* tif, const Layout& layout, TiffDiagnostics& diagnostics)
        : tif_(tif), diagnostics_(diagnostics), height_(layout.height)
    {
        tiled_ = TIFFIsTiled(tif) != 0;
        rowBytes_ = TIFFScanlineSize(tif);
        bitsPerPixel_ = uint64_t{layout.bits} * (layout.planar == PLANARCONFIG_SEPARATE ? 1 : layout.samples);
        if (tiled_) {
            TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth_);
            TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength_);
            tileSize_ = TIFFTileSize(tif);
            tileRowBytes_ = TIFFTileRowSize(tif);
            bandRows_ = tileLength_;
        } else {
            TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &bandRows_);
            bandRows_ = std::min(bandRows_, std::max<uint32_t>(height_, 1));
            stripsPerPlane_ = (height_ + bandRows_ - 1) / std::max<uint32_t>(bandRows_, 1);
            byRow_ = TIFFVStripSize(tif, bandRows_) > kWholeStripLimit;
            if (byRow_)
                bandRows_ = 1;
        }
    }

    uint64_t rowBits(uint32_t width) const { return uint64_t{width} * bitsPerPixel_; }

    // Row y of plane; null with error set when it cannot be decoded.
    const uint8_t* Row(uint32_t y, uint16_t plane, uint32_t width, std::string& error)
    {
        if (rowBytes_ <= 0 || bandRows_ == 0 || (tiled_ && (tileWidth_ == 0 || tileSize_ <= 0))) {
            error = "its strips or tiles cannot be laid out";
            return nullptr;
        }
        const uint32_t band = y / bandRows_;
        if (band != band_ || plane != plane_) {
            if (!LoadBand(band, plane, width, error))
                return nullptr;
            band_ = band;
            plane_ = plane;
        }
        return buffer_.data() + static_cast<size_t>(y % bandRows_) * static_cast<size_t>(rowBytes_);
    }

private:
    bool LoadBand(uint32_t band, uint16_t plane, uint32_t width, std::string& error)
    {
        const size_t bytes = static_cast<size_t>(rowBytes_) * bandRows_;
        if (bytes > static_cast<size_t>(TiffDiagnostics::kMaxAllocation)) {
            error = "its bands of rows are too large to decode";
            return false;
        }
        buffer_.resize(bytes);
        if (!tiled_ && byRow_) {
            if (TIFFReadScanline(tif_, buffer_.data(), band, plane) < 0) {
                error = DecodeError(diagnostics_);
                return false;
            }
            return true;
        }
        if (!tiled_) {
            const uint32_t strip = plane * stripsPerPlane_ + band;
            if (TIFFReadEncodedStrip(tif_, strip, buffer_.data(), static_cast<tmsize_t>(bytes)) < 0) {
                error = DecodeError(diagnostics_);
                return false;
            }
            return true;
        }
        if (tileSize_ > TiffDiagnostics::kMaxAllocation) {
            error = "its tiles are too large to decode";
            return false;
        }
        tile_.resize(static_cast<size_t>(tileSize_));
        const uint32_t y0 = band * bandRows_;
        const uint32_t rows = std::min(bandRows_, height_ - y0);
        for (uint32_t x = 0; x < width; x += tileWidth_) {
            if (TIFFReadEncodedTile(tif_, TIFFComputeTile(tif_, x, y0, 0, plane), tile_.data(), tileSize_) < 0) {
                error = DecodeError(diagnostics_);
                return false;
            }
            // Tile widths are multiples of 16, so every tile starts on a byte.
            const size_t at = static_cast<size_t>(uint64_t{x} * bitsPerPixel_ / 8);
            const size_t take = std::min(static_cast<size_t>(tileRowBytes_), static_cast<size_t>(rowBytes_) - at);
            for (uint32_t r = 0; r < rows; ++r)
                std::memcpy(buffer_.data() + r * static_cast<size_t>(rowBytes_) + at,
                            tile_.data() + r * static_cast<size_t>(tileRowBytes_), take);
        }
        return true;
    }

    TIFF* tif_;
    TiffDiagnostics& diagnostics_;
    uint32_t height_;
    bool tiled_ = false;
    bool byRow_ = false;
    tmsize_t rowBytes_ = 0;
    uint64_t bitsPerPixel_ = 0;
    uint32_t tileWidth_ = 0, tileLength_ = 0;
    tmsize_t tileSize_ = 0, tileRowBytes_ = 0;
    uint32_t bandRows_ = 0;
    uint32_t stripsPerPlane_ = 0;
    uint32_t band_ = UINT32_MAX;
    uint16_t plane_ = 0;
    std::vector<uint8_t> buffer_;
    std::vector<uint8_t> tile_;
};

std::string PixelsDiffer(uint32_t row, uint64_t column)
{
    return "its pixels differ from the source's from row " + std::to_string(row + 1) + ", column " +
           std::to_string(column + 1) + " on";
}

// MurmurHash64A over the row's bits (the padding bits of its last byte
// left out): a changed row gives the same value by chance once in 2^64.
uint64_t RowHash(const uint8_t* row, size_t whole, uint8_t last)
{
    constexpr uint64_t m = 0xc6a4a7935bd1e995ull;
    uint64_t h = 0x8445d61a4e774912ull ^ (whole * m);
    auto mix = [&](uint64_t k) {
        k *= m;
        k ^= k >> 47;
        k *= m;
        h ^= k;
        h *= m;
    };
    size_t i = 0;
    for (; i + 8 <= whole; i += 8) {
        uint64_t k;
        std::memcpy(&k, row + i, 8);
        mix(k);
    }
    uint64_t tail = last;
    for (size_t j = whole; j > i; --j)
        tail = (tail << 8) | row[j - 1];
    mix(tail);
    h ^= h >> 47;
    h *= m;
    h ^= h >> 47;
    return h;
}

struct RowShape {
    size_t whole = 0;  // whole bytes of a row
    uint8_t mask = 0;  // the bits of the byte after them that belong to it
    uint16_t planes = 1;

    RowShape(const Layout& layout, uint64_t bits)
        : whole(static_cast<size_t>(bits / 8)),
          mask(static_cast<uint8_t>(0xFF00u >> (bits % 8))),
          planes(layout.planar == PLANARCONFIG_SEPARATE ? layout.samples : 1)
    {
    }
    uint8_t Last(const uint8_t* row) const { return mask != 0 ? row[whole] & mask : 0; }
};

struct Side {
    TIFF* tif;
    TiffDiagnostics& diagnostics;
};

PageComparison CompareSamples(Side source, Side output, const Layout& layout)
{
    RowReader in(source.tif, layout, source.diagnostics);
    RowReader out(output.tif, layout, output.diagnostics);
    const uint64_t bits = in.rowBits(layout.width);
    const RowShape shape(layout, bits);
    const size_t whole = shape.whole;
    std::string error;
    for (uint16_t plane = 0; plane < shape.planes; ++plane) {
        for (uint32_t y = 0; y < layout.height; ++y) {
            const uint8_t* a = in.Row(y, plane, layout.width, error);
            if (a == nullptr)
                return {PageComparison::Result::SourceUnreadable, 0, error};
            const uint8_t* b = out.Row(y, plane, layout.width, error);
            if (b == nullptr)
                return {PageComparison::Result::Differs, 0, "it cannot be decoded: " + error};
            if (std::memcmp(a, b, whole) != 0 || shape.Last(a) != shape.Last(b)) {
                size_t at = 0;
                while (at < whole && a[at] == b[at])
                    ++at;
                return {PageComparison::Result::Differs, 0, PixelsDiffer(y, uint64_t{at} * 8 * layout.width / std::max<uint64_t>(bits, 1))};
            }
        }
    }
    return {};
}

// One page set up for RGBA reading, given back when it goes.
class RgbaPage {
public:
    RgbaPage(TIFF* tif, std::string& error)
    {
        char message[1024] = "";
        if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image_, tif, 0, message)) {
            error = message[0] != 0 ? message : "libtiff cannot render it";
            return;
        }
        image_.req_orientation = ORIENTATION_TOPLEFT;
        begun_ = true;
    }
    ~RgbaPage()
    {
        if (begun_)
            TIFFRGBAImageEnd(&image_);
    }
    RgbaPage(const RgbaPage&) = delete;
    RgbaPage& operator=(const RgbaPage&) = delete;

    bool ok() const { return begun_; }

    bool Band(uint32_t y, uint32_t rows, uint32_t* pixels)
    {
        image_.row_offset = static_cast<int>(y);
        image_.col_offset = 0;
        return TIFFRGBAImageGet(&image_, pixels, image_.width, rows) != 0;
    }

private:
    TIFFRGBAImage image_{};
    bool begun_ = false;
};

PageComparison CompareRendered(Side source, Side output, const Layout& layout)
{
    std::string error;
    RgbaPage in(source.tif, error);
    if (!in.ok())
        return {PageComparison::Result::SourceUnreadable, 0, error};
    RgbaPage out(output.tif, error);
    if (!out.ok())
        return {PageComparison::Result::Differs, 0, "it cannot be decoded: " + error};
    const uint32_t width = std::max<uint32_t>(layout.width, 1);
    if (width > kRgbaBandPixels)
        return {PageComparison::Result::SourceUnreadable, 0, "it is too wide to render"};
    const uint32_t band = static_cast<uint32_t>(std::clamp<uint64_t>(kRgbaBandPixels / width, 1, layout.height));
    std::vector<uint32_t> a(static_cast<size_t>(width) * band), b(a.size());
    for (uint32_t y = 0; y < layout.height; y += band) {
        const uint32_t rows = std::min(band, layout.height - y);
        if (!in.Band(y, rows, a.data()))
            return {PageComparison::Result::SourceUnreadable, 0, DecodeError(source.diagnostics)};
        if (!out.Band(y, rows, b.data()))
            return {PageComparison::Result::Differs, 0, "it cannot be decoded: " + DecodeError(output.diagnostics)};
        const size_t count = static_cast<size_t>(width) * rows;
        if (std::memcmp(a.data(), b.data(), count * sizeof(uint32_t)) != 0) {
            const size_t at = static_cast<size_t>(std::mismatch(a.begin(), a.begin() + count, b.begin()).first - a.begin());
            return {PageComparison::Result::Differs, 0, PixelsDiffer(y + static_cast<uint32_t>(at / width), at % width)};
        }
    }
    return {};
}

// A page that cannot be decoded is still copied right when the output holds
// its stored strips or tiles byte for byte, with the same layout.
bool StoredDataSame(TIFF* source, TIFF* output)
{
    uint16_t a = 0, b = 0;
    TIFFGetFieldDefaulted(source, TIFFTAG_COMPRESSION, &a);
    TIFFGetFieldDefaulted(output, TIFFTAG_COMPRESSION, &b);
    const bool tiled = TIFFIsTiled(source) != 0;
    if (a != b || tiled != (TIFFIsTiled(output) != 0) || TIFFNumberOfStrips(source) != TIFFNumberOfStrips(output) ||
        (tiled ? TIFFTileSize(source) != TIFFTileSize(output) : TIFFStripSize(source) != TIFFStripSize(output)))
        return false;
    std::vector<uint8_t> x, y;
    for (uint32_t i = 0; i < TIFFNumberOfStrips(source); ++i) {
        const uint64_t size = TIFFGetStrileByteCount(source, i);
        if (size != TIFFGetStrileByteCount(output, i) || size > static_cast<uint64_t>(TiffDiagnostics::kMaxAllocation))
            return false;
        x.resize(static_cast<size_t>(size));
        y.resize(x.size());
        const tmsize_t n = static_cast<tmsize_t>(size);
        const tmsize_t read = tiled ? TIFFReadRawTile(source, i, x.data(), n) : TIFFReadRawStrip(source, i, x.data(), n);
        const tmsize_t got = tiled ? TIFFReadRawTile(output, i, y.data(), n) : TIFFReadRawStrip(output, i, y.data(), n);
        if (read != n || got != n || x != y)
            return false;
    }
    return true;
}

}  // namespace

struct SourcePrint::Pages {
    struct Page {
        Layout layout;
        std::vector<uint64_t> rows;  // plane after plane
    };
    int first = 0;
    int total = -1;  // the pages of the source, when it was read to its end
    std::vector<std::unique_ptr<Page>> pages;  // null: not taken

    const Page* Find(int index) const
    {
        const int at = index - first;
        return at >= 0 && at < static_cast<int>(pages.size()) ? pages[static_cast<size_t>(at)].get() : nullptr;
    }
};

namespace {

// More rows than this (8 bytes each) are not printed ahead.
constexpr size_t kMaxPrintedRows = size_t{4} << 20;

std::unique_ptr<SourcePrint::Pages::Page> TakePage(TIFF* tif, TiffDiagnostics& diagnostics, size_t& rowsLeft)
{
    auto page = std::make_unique<SourcePrint::Pages::Page>(SourcePrint::Pages::Page{Layout(tif), {}});
    const Layout& layout = page->layout;
    if (!layout.SamplesSpeakForThemselves())
        return nullptr;
    RowReader reader(tif, layout, diagnostics);
    const RowShape shape(layout, reader.rowBits(layout.width));
    const size_t rows = size_t{layout.height} * shape.planes;
    if (rows > rowsLeft)
        return nullptr;
    rowsLeft -= rows;
    page->rows.reserve(rows);
    std::string error;
    for (uint16_t plane = 0; plane < shape.planes; ++plane) {
        for (uint32_t y = 0; y < layout.height; ++y) {
            const uint8_t* row = reader.Row(y, plane, layout.width, error);
            if (row == nullptr)
                return nullptr;  // compared in full, which says why
            page->rows.push_back(RowHash(row, shape.whole, shape.Last(row)));
        }
    }
    return page;
}

PageComparison ComparePrinted(const SourcePrint::Pages::Page& print, Side output, const Layout& layout)
{
    RowReader out(output.tif, layout, output.diagnostics);
    const RowShape shape(layout, out.rowBits(layout.width));
    std::string error;
    size_t index = 0;
    for (uint16_t plane = 0; plane < shape.planes; ++plane) {
        for (uint32_t y = 0; y < layout.height; ++y, ++index) {
            const uint8_t* row = out.Row(y, plane, layout.width, error);
            if (row == nullptr)
                return {PageComparison::Result::Differs, 0, "it cannot be decoded: " + error};
            if (RowHash(row, shape.whole, shape.Last(row)) != print.rows[index])
                return {PageComparison::Result::Differs, 0,
                        "its pixels differ from the source's from row " + std::to_string(y + 1) + " on"};
        }
    }
    return {};
}

bool SameFrame(const Layout& in, const Layout& out, PageComparison& result)
{
    result = {PageComparison::Result::Differs, 0, {}};
    if (in.width != out.width || in.height != out.height)
        result.what = "it is " + std::to_string(out.width) + " x " + std::to_string(out.height) +
                      " pixels instead of " + std::to_string(in.width) + " x " + std::to_string(in.height);
    else if (in.orientation != out.orientation)
        result.what = "its orientation differs from the source's";
    else if (in.profile != out.profile)
        result.what = out.profile.empty() ? "its colour profile was dropped" : "its colour profile differs from the source's";
    else
        return true;
    return false;
}

PageComparison ComparePage(Side source, Side output)
{
    const Layout in(source.tif);
    const Layout out(output.tif);
    PageComparison frame;
    if (!SameFrame(in, out, frame))
        return frame;
    const bool sameSamples = in.SameSamples(out);
    // libtiff's RGBA rendering of LogLuv reads past what it decoded: such
    // pages are compared only as samples.
    if (!sameSamples && (in.HoldsLogLuv() || out.HoldsLogLuv()))
        return {PageComparison::Result::Differs, 0,
                in.IsLogLuv() && !out.IsLogLuv()
                    ? "it is no longer stored in an SGILog encoding (compression " + std::to_string(out.compression) + ")"
                    : "its samples are stored in another form than the source's"};
    PageComparison result = sameSamples && in.SamplesSpeakForThemselves() ? CompareSamples(source, output, in)
                                                                          : CompareRendered(source, output, in);
    if (result.result == PageComparison::Result::SourceUnreadable && sameSamples &&
        StoredDataSame(source.tif, output.tif))
        return {};
    return result;
}

}  // namespace

SourcePrint::SourcePrint(const std::string& source, int first, int count, const std::function<bool()>& stopped)
{
    auto pages = std::make_shared<Pages>();
    pages->first = first;
    TiffDiagnostics diagnostics;
    TiffSource in(source, diagnostics);
    size_t rowsLeft = kMaxPrintedRows;
    if (count < 0)
        count = std::max(in.pageCount() - first, 0);
    int i = 0;
    for (; i < count && !(stopped && stopped()); ++i)
        pages->pages.push_back(in.SelectPage(first + i) ? TakePage(in.tiff(), diagnostics, rowsLeft) : nullptr);
    if (i == count)
        pages->total = in.pageCount();
    pages_ = std::move(pages);
}

namespace {

// The source is opened only for a page the print does not hold.
class LazySource {
public:
    explicit LazySource(const std::string& path) : path_(path) {}
    TiffSource& get()
    {
        if (!source_)
            source_.emplace(path_, diagnostics_);
        return *source_;
    }
    TiffDiagnostics& diagnostics() { return diagnostics_; }

private:
    std::string path_;
    TiffDiagnostics diagnostics_;
    std::optional<TiffSource> source_;
};

PageComparison CompareOpened(LazySource& source, int sourceFirst, TiffSource& out, TiffDiagnostics& outputDiagnostics,
                             int outputFirst, int count, const SourcePrint::Pages* print)
{
    TiffDiagnostics& sourceDiagnostics = source.diagnostics();
    for (int i = 0; i < count; ++i) {
        const int page = sourceFirst + i + 1;
        if (outputFirst + i >= out.pageCount() || !out.SelectPage(outputFirst + i))
            return {PageComparison::Result::Differs, page, "it is missing from the output"};
        const SourcePrint::Pages::Page* printed = print != nullptr ? print->Find(sourceFirst + i) : nullptr;
        if (printed != nullptr) {
            const Layout layout(out.tiff());
            if (printed->layout.SameSamples(layout)) {
                PageComparison result;
                if (SameFrame(printed->layout, layout, result))
                    result = ComparePrinted(*printed, {out.tiff(), outputDiagnostics}, layout);
                if (result.result != PageComparison::Result::Same) {
                    result.page = page;
                    return result;
                }
                continue;
            }
            // Another layout: both sides are decoded below.
        }
        TiffSource& in = source.get();
        if (!in.SelectPage(sourceFirst + i))
            return {PageComparison::Result::SourceUnreadable, page, DecodeError(sourceDiagnostics)};
        PageComparison result = ComparePage({in.tiff(), sourceDiagnostics}, {out.tiff(), outputDiagnostics});
        if (result.result != PageComparison::Result::Same) {
            result.page = page;
            return result;
        }
    }
    return {};
}

}  // namespace

PageComparison ComparePages(const std::string& source, int sourceFirst, const std::string& output, int outputFirst,
                            int count, const SourcePrint* print)
{
    LazySource in(source);
    TiffDiagnostics outputDiagnostics;
    TiffSource out(output, outputDiagnostics);
    return CompareOpened(in, sourceFirst, out, outputDiagnostics, outputFirst, count,
                         print != nullptr ? print->pages_.get() : nullptr);
}

PageComparison CompareFiles(const std::string& source, const std::string& output, const SourcePrint* print)
{
    LazySource in(source);
    TiffDiagnostics outputDiagnostics;
    TiffSource out(output, outputDiagnostics);
    const SourcePrint::Pages* pages = print != nullptr ? print->pages_.get() : nullptr;
    const int sourcePages = pages != nullptr && pages->first == 0 && pages->total >= 0 ? pages->total
                                                                                      : in.get().pageCount();
    const int outputPages = out.pageCount();
    PageComparison result = CompareOpened(in, 0, out, outputDiagnostics, 0, sourcePages, pages);
    if (result.result == PageComparison::Result::Same && outputPages != sourcePages)
        return {PageComparison::Result::Differs, 0,
                "the output has " + std::to_string(outputPages) + " pages instead of " + std::to_string(sourcePages)};
    return result;
}

}  // namespace pw
