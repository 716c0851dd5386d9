#include "pages/PageRaster.h"

#include "pages/PageRasterCodecs.h"
#include "pages/PageSamples.h"
#include "pages/RasterOrientation.h"
#include "pages/TiffDiagnostics.h"
#include "pages/TiffSource.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

namespace pw {

namespace {

// A decoded strip larger than this is read a row at a time (which can be
// cancelled between rows).
constexpr uint64_t kMaxBandBytes = uint64_t{16} << 20;
// Rows between two looks at the cancel flag within a strip, tile row or
// page read row by row: 64, or fewer of rows of many megabytes.
constexpr uint32_t kRowsPerCancelCheck = 64;
constexpr uint64_t kBytesPerCancelCheck = uint64_t{4} << 20;
constexpr int kMaxReduction = 4096;  // keeps the sums of one box within 32 bits

bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

// Whether row (from 0) of rows of rowBytes each is one to look at the
// cancel flag after.
bool CancelPoint(uint64_t row, uint64_t rowBytes) {
    const uint64_t every = std::clamp<uint64_t>(kBytesPerCancelCheck / std::max<uint64_t>(rowBytes, 1), 1, kRowsPerCancelCheck);
    return row % every == every - 1;
}

// Sizes a damaged file claims can overflow any product of them.
uint64_t Times(uint64_t a, uint64_t b) { return a != 0 && b > UINT64_MAX / a ? UINT64_MAX : a * b; }
uint64_t Plus(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

// Sums page rows into output rows, one box of reduction x reduction page
// pixels per output pixel; boxes cut off at the right and bottom edges
// average over the pixels they have.
class BoxReducer {
public:
    BoxReducer(PageRaster& out, uint32_t pageWidth, uint32_t pageHeight, int reduction)
        : out_(out), pageWidth_(pageWidth), pageHeight_(pageHeight), f_(static_cast<uint32_t>(reduction)),
          sums_(f_ == 1 ? 0 : static_cast<size_t>(out.width) * 3, 0), scratch_(f_ == 1 ? 0 : size_t{pageWidth} * 3) {}

    // What the reducer allocates beside the output.
    static uint64_t WorkingBytes(uint64_t outWidth, uint32_t pageWidth, int reduction) {
        return reduction == 1 ? 0 : Plus(Times(outWidth, 3 * sizeof(uint32_t)), Times(pageWidth, 3));
    }

    // Where the next page row of pageWidth RGB pixels is best converted to:
    // its place in the output when nothing is reduced. AddRow follows.
    uint8_t* NextRow() { return f_ == 1 ? &out_.rgb[size_t{row_} * pageWidth_ * 3] : scratch_.data(); }

    // One page row of pageWidth RGB pixels; rows come in page order. Rows
    // past the page's height are dropped.
    void AddRow(const uint8_t* rgb) {
        if (row_ >= pageHeight_)
            return;
        if (f_ == 1) {
            uint8_t* dst = &out_.rgb[size_t{row_} * pageWidth_ * 3];
            if (dst != rgb)
                std::memcpy(dst, rgb, size_t{pageWidth_} * 3);
            ++row_;
            return;
        }
        uint32_t* s = sums_.data();
        uint64_t x = 0;
        for (int ox = 0; ox < out_.width; ++ox, s += 3) {
            const uint64_t end = std::min<uint64_t>(pageWidth_, x + f_);
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
    std::vector<uint8_t> scratch_;
    uint32_t row_ = 0;
    int outRow_ = 0;
};

// The most stored bytes of one strip or tile libtiff holds while it decodes
// it (the file is read, not mapped): what the file has of the largest one.
// libtiff reads uncompressed strips and tiles straight into the buffer it
// is handed.
uint64_t StoredSegmentBytes(TiffSource& source) {
    TIFF* tif = source.tiff();
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (compression == COMPRESSION_NONE)
        return 0;
    const uint32_t count = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    uint64_t most = 0;
    for (uint32_t s = 0; s < count; ++s) {
        const uint64_t offset = std::min(TIFFGetStrileOffset(tif, s), source.fileSize());
        most = std::max(most, std::min(TIFFGetStrileByteCount(tif, s), source.fileSize() - offset));
    }
    return most;
}

// Reads a page's rows in the order they are stored and hands them, as RGB,
// to a reducer. Prepare works out the layout and what reading will cost;
// nothing of the page's size is allocated before Read.
class PageReader {
public:
    // libtiff's errors while reading come to diagnostics, which the caller
    // has cleared: an error libtiff only reports (and reads on past) ends
    // the reading too, at the strip, tile or row it was reported for.
    explicit PageReader(const TiffDiagnostics& diagnostics) : diagnostics_(diagnostics) {}
    virtual ~PageReader() = default;
    virtual bool Prepare(std::string& error) = 0;
    // Bytes that Read allocates, its own buffers and the decoded strips or
    // tiles libtiff allocates for it.
    virtual uint64_t WorkingBytes() const = 0;
    virtual bool Read(BoxReducer& reducer, const std::atomic<bool>* cancel, std::string& error) = 0;

protected:
    bool Reported() const { return !diagnostics_.lastError().empty(); }

private:
    const TiffDiagnostics& diagnostics_;
};

// Pages whose samples ConvertRow knows, decoded by libtiff strip by strip,
// tile by tile or row by row.
class NativeReader final : public PageReader {
public:
    NativeReader(const TiffDiagnostics& diagnostics, TiffSource& source, const SampleLayout& layout, uint32_t width,
                 uint32_t height)
        : PageReader(diagnostics), source_(source), tif_(source.tiff()), layout_(layout), width_(width),
          height_(height) {}

    bool Prepare(std::string& error) override {
        rowBytes_ = TIFFScanlineSize64(tif_);
        if (rowBytes_ == 0) {
            error = "The page's rows have no size.";
            return false;
        }
        if (TIFFIsTiled(tif_)) {
            tiled_ = true;
            TIFFGetField(tif_, TIFFTAG_TILEWIDTH, &tileWidth_);
            TIFFGetField(tif_, TIFFTAG_TILELENGTH, &tileHeight_);
            tileRowBytes_ = TIFFTileRowSize64(tif_);
            tileBytes_ = TIFFTileSize64(tif_);
            // Each tile row starts on a byte of its own and holds at least
            // the tile's width of samples (TIFFTileRowSize rounds up).
            if (tileWidth_ == 0 || tileHeight_ == 0 || tileRowBytes_ == 0 ||
                tileBytes_ < Times(tileRowBytes_, tileHeight_)) {
                error = "The page's tiles cannot be read.";
                return false;
            }
            return true;
        }
        rowsPerStrip_ = height_;
        TIFFGetFieldDefaulted(tif_, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip_);
        rowsPerStrip_ = std::clamp<uint32_t>(rowsPerStrip_, 1, height_);
        const uint64_t strips = (uint64_t{height_} + rowsPerStrip_ - 1) / rowsPerStrip_;
        // One huge strip (or an odd strip layout): libtiff decodes it a row at a time.
        rowByRow_ = Times(rowBytes_, rowsPerStrip_) > kMaxBandBytes || TIFFNumberOfStrips(tif_) < strips;
        // libtiff's reading of a row holds the whole stored strip; rows
        // stored as they are can be read one by one instead.
        uint16_t compression = COMPRESSION_NONE;
        TIFFGetFieldDefaulted(tif_, TIFFTAG_COMPRESSION, &compression);
        storedRows_ = rowByRow_ && compression == COMPRESSION_NONE && TIFFNumberOfStrips(tif_) >= strips;
        return true;
    }

    uint64_t WorkingBytes() const override {
        const uint64_t stored = storedRows_ ? 0 : StoredSegmentBytes(source_);
        if (tiled_)
            return Plus(stored, Plus(tileBytes_, Times(Times(width_, 3), tileHeight_)));
        return Plus(stored, rowByRow_ ? rowBytes_ : Times(rowBytes_, rowsPerStrip_));
    }

    bool Read(BoxReducer& reducer, const std::atomic<bool>* cancel, std::string& error) override {
        if (tiled_)
            return ReadTiles(reducer, cancel, error);
        if (storedRows_)
            return ReadStoredRows(reducer, cancel, error);
        if (rowByRow_)
            return ReadRows(reducer, cancel, error);
        return ReadStrips(reducer, cancel, error);
    }

private:
    // Tile rows become RGB in a band of whole page rows: a tile's width of
    // samples need not end on a byte, an RGB pixel always does.
    bool ReadTiles(BoxReducer& reducer, const std::atomic<bool>* cancel, std::string& error) {
        std::vector<uint8_t> tile(static_cast<size_t>(tileBytes_));
        std::vector<uint8_t> band(size_t{width_} * 3 * tileHeight_);
        for (uint64_t y = 0; y < height_; y += tileHeight_) {
            if (Cancelled(cancel))
                return false;
            const auto rows = static_cast<uint32_t>(std::min<uint64_t>(tileHeight_, height_ - y));
            for (uint64_t x = 0; x < width_; x += tileWidth_) {
                if (Cancelled(cancel))
                    return false;
                const uint32_t index = TIFFComputeTile(tif_, static_cast<uint32_t>(x), static_cast<uint32_t>(y), 0, 0);
                if (TIFFReadEncodedTile(tif_, index, tile.data(), static_cast<tmsize_t>(tileBytes_)) !=
                        static_cast<tmsize_t>(tileBytes_) ||
                    Reported()) {
                    error = "A tile of the page cannot be decoded.";
                    return false;
                }
                const auto cols = static_cast<uint32_t>(std::min<uint64_t>(tileWidth_, width_ - x));
                for (uint32_t r = 0; r < rows; ++r)
                    ConvertRow(layout_, &tile[r * tileRowBytes_], &band[(size_t{r} * width_ + x) * 3], cols);
            }
            for (uint32_t r = 0; r < rows; ++r) {
                if (CancelPoint(r, uint64_t{width_} * 3) && Cancelled(cancel))
                    return false;
                reducer.AddRow(&band[size_t{r} * width_ * 3]);
            }
        }
        return true;
    }

    bool ReadRows(BoxReducer& reducer, const std::atomic<bool>* cancel, std::string& error) {
        std::vector<uint8_t> row(static_cast<size_t>(rowBytes_));
        for (uint32_t y = 0; y < height_; ++y) {
            if (CancelPoint(y, std::max<uint64_t>(rowBytes_, uint64_t{width_} * 3)) && Cancelled(cancel))
                return false;
            if (TIFFReadScanline(tif_, row.data(), y, 0) < 0 || Reported()) {
                error = "A row of the page cannot be decoded.";
                return false;
            }
            uint8_t* dst = reducer.NextRow();
            ConvertRow(layout_, row.data(), dst, width_);
            reducer.AddRow(dst);
        }
        return true;
    }

    // Uncompressed rows straight from the file, turned as libtiff turns
    // them: bits reversed for the other fill order, 16-bit samples into
    // the machine's order.
    bool ReadStoredRows(BoxReducer& reducer, const std::atomic<bool>* cancel, std::string& error) {
        std::vector<uint8_t> row(static_cast<size_t>(rowBytes_));
        uint16_t fillOrder = FILLORDER_MSB2LSB;
        TIFFGetFieldDefaulted(tif_, TIFFTAG_FILLORDER, &fillOrder);
        const bool swapped = TIFFIsByteSwapped(tif_) != 0;
        for (uint32_t y = 0; y < height_; ++y) {
            if (CancelPoint(y, std::max<uint64_t>(rowBytes_, uint64_t{width_} * 3)) && Cancelled(cancel))
                return false;
            const uint32_t strip = y / rowsPerStrip_;
            const uint64_t at = Times(y % rowsPerStrip_, rowBytes_);
            if (Plus(at, rowBytes_) > TIFFGetStrileByteCount(tif_, strip) ||
                !source_.ReadAt(Plus(TIFFGetStrileOffset(tif_, strip), at), row.data(), row.size())) {
                error = "A row of the page cannot be read.";
                return false;
            }
            if (fillOrder == FILLORDER_LSB2MSB)
                TIFFReverseBits(row.data(), static_cast<tmsize_t>(row.size()));
            if (swapped && layout_.bps == 16)
                TIFFSwabArrayOfShort(reinterpret_cast<uint16_t*>(row.data()), static_cast<tmsize_t>(row.size() / 2));
            uint8_t* dst = reducer.NextRow();
            ConvertRow(layout_, row.data(), dst, width_);
            reducer.AddRow(dst);
        }
        return true;
    }

    bool ReadStrips(BoxReducer& reducer, const std::atomic<bool>* cancel, std::string& error) {
        std::vector<uint8_t> strip(static_cast<size_t>(rowBytes_ * rowsPerStrip_));
        uint32_t s = 0;
        for (uint64_t y = 0; y < height_; y += rowsPerStrip_, ++s) {
            if (Cancelled(cancel))
                return false;
            const auto rows = static_cast<uint32_t>(std::min<uint64_t>(rowsPerStrip_, height_ - y));
            const auto want = static_cast<tmsize_t>(rows * rowBytes_);
            if (TIFFReadEncodedStrip(tif_, s, strip.data(), want) < want || Reported()) {
                error = "A strip of the page cannot be decoded.";
                return false;
            }
            // A strip can hold a whole page of many millions of pixels.
            for (uint32_t r = 0; r < rows; ++r) {
                if (CancelPoint(r, std::max<uint64_t>(rowBytes_, uint64_t{width_} * 3)) && Cancelled(cancel))
                    return false;
                uint8_t* dst = reducer.NextRow();
                ConvertRow(layout_, &strip[r * rowBytes_], dst, width_);
                reducer.AddRow(dst);
            }
        }
        return true;
    }

    TiffSource& source_;
    TIFF* tif_;
    SampleLayout layout_;
    uint32_t width_, height_;
    uint64_t rowBytes_ = 0;
    bool storedRows_ = false;
    bool tiled_ = false;
    uint32_t tileWidth_ = 0, tileHeight_ = 0;
    uint64_t tileRowBytes_ = 0, tileBytes_ = 0;
    uint32_t rowsPerStrip_ = 1;
    bool rowByRow_ = false;
};

// libtiff's RGBA reading, a strip or a row of tiles at a time, for the
// kinds of page the direct conversion does not know (CMYK, Lab, YCbCr
// without JPEG, separate planes...). Rows come as stored: the orientation
// is applied afterwards, as for every other page.
class RgbaReader final : public PageReader {
public:
    RgbaReader(const TiffDiagnostics& diagnostics, TiffSource& source, uint32_t width, uint32_t height)
        : PageReader(diagnostics), source_(source), tif_(source.tiff()), width_(width), height_(height) {}
    ~RgbaReader() override {
        if (begun_)
            TIFFRGBAImageEnd(&image_);
    }

    bool Prepare(std::string& error) override {
        char message[1024] = "";
        // Stops at the first strip or tile that does not decode, instead
        // of showing what the buffer held.
        if (!TIFFRGBAImageOK(tif_, message) || !TIFFRGBAImageBegin(&image_, tif_, 1, message)) {
            error = std::string("This kind of page cannot be shown (") + message + ").";
            return false;
        }
        begun_ = true;
        image_.req_orientation = image_.orientation;
        uint32_t rows = height_;
        uint16_t planar = PLANARCONFIG_CONTIG, samples = 1;
        TIFFGetFieldDefaulted(tif_, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tif_, TIFFTAG_SAMPLESPERPIXEL, &samples);
        if (TIFFIsTiled(tif_)) {
            TIFFGetField(tif_, TIFFTAG_TILELENGTH, &rows);
            libraryBytes_ = TIFFTileSize64(tif_);
        } else {
            TIFFGetFieldDefaulted(tif_, TIFFTAG_ROWSPERSTRIP, &rows);
            libraryBytes_ = TIFFStripSize64(tif_);
        }
        // libtiff decodes one strip or tile of each plane it draws from,
        // from the stored bytes of one at a time.
        if (planar == PLANARCONFIG_SEPARATE)
            libraryBytes_ = Times(libraryBytes_, std::clamp<uint16_t>(samples, 1, 4));
        libraryBytes_ = Plus(libraryBytes_, StoredSegmentBytes(source_));
        bandRows_ = std::clamp<uint32_t>(rows, 1, height_);
        return true;
    }

    uint64_t WorkingBytes() const override {
        return Plus(Plus(Times(Times(width_, bandRows_), 4), libraryBytes_), Times(width_, 3));
    }

    bool Read(BoxReducer& reducer, const std::atomic<bool>* cancel, std::string& error) override {
        std::vector<uint32_t> band(size_t{width_} * bandRows_);
        std::vector<uint8_t> rgb(size_t{width_} * 3);
        for (uint64_t y = 0; y < height_; y += bandRows_) {
            if (Cancelled(cancel))
                return false;
            const auto rows = static_cast<uint32_t>(std::min<uint64_t>(bandRows_, height_ - y));
            if (y > INT_MAX) {
                error = "The page has more rows than can be read.";
                return false;
            }
            image_.row_offset = static_cast<int>(y);
            image_.col_offset = 0;
            if (!TIFFRGBAImageGet(&image_, band.data(), width_, rows) || Reported()) {
                error = "A strip of the page cannot be decoded.";
                return false;
            }
            for (uint32_t r = 0; r < rows; ++r) {
                if (CancelPoint(r, uint64_t{width_} * 4) && Cancelled(cancel))
                    return false;
                const uint32_t* abgr = &band[size_t{r} * width_];
                for (uint32_t x = 0; x < width_; ++x) {
                    rgb[x * 3] = static_cast<uint8_t>(TIFFGetR(abgr[x]));
                    rgb[x * 3 + 1] = static_cast<uint8_t>(TIFFGetG(abgr[x]));
                    rgb[x * 3 + 2] = static_cast<uint8_t>(TIFFGetB(abgr[x]));
                }
                reducer.AddRow(rgb.data());
            }
        }
        return true;
    }

private:
    TiffSource& source_;
    TIFF* tif_;
    uint32_t width_, height_;
    TIFFRGBAImage image_{};
    bool begun_ = false;
    uint32_t bandRows_ = 1;
    uint64_t libraryBytes_ = 0;
};

// What libtiff's codec holds while it decodes, beside the buffer it is
// handed: most schemes stream through state of a fixed size, some keep a
// line, a band or a whole strip or tile of their own.
// The most that the library of a scheme that sizes its buffers by the
// stream (below) takes for any stored strip or tile of the page.
uint64_t StoredStreamBytes(TiffSource& source, uint16_t compression, const std::atomic<bool>* cancel) {
    TIFF* tif = source.tiff();
    const uint32_t count = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    uint64_t most = 0;
    for (uint32_t s = 0; s < count; ++s) {
        if (s % 1024 == 0 && Cancelled(cancel))
            return most;
        const uint64_t offset = TIFFGetStrileOffset(tif, s), size = TIFFGetStrileByteCount(tif, s);
        if (size == 0 || offset >= source.fileSize())
            continue;
        const StoredBytes read = [&](uint64_t at, uint8_t* out, size_t n) {
            return at <= source.fileSize() - offset && n <= source.fileSize() - offset - at &&
                   source.ReadAt(offset + at, out, n);
        };
        const uint64_t bytes = compression == COMPRESSION_LZMA   ? LzmaDecoderBytes(size, read)
                               : compression == COMPRESSION_ZSTD ? ZstdDecoderBytes(size, read)
                                                                 : WebpDecoderBytes(size, read);
        most = std::max(most, bytes);
    }
    return most;
}

uint64_t CodecWorkingBytes(TiffSource& source, const std::atomic<bool>* cancel) {
    TIFF* tif = source.tiff();
    uint16_t compression = COMPRESSION_NONE, samples = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    uint32_t width = 0, rows = 0, height = 0;
    uint64_t lineBytes = 0, segmentBytes = 0;
    if (TIFFIsTiled(tif)) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &width);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &rows);
        lineBytes = TIFFTileRowSize64(tif);
        segmentBytes = TIFFTileSize64(tif);
    } else {
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
        rows = height;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
        rows = std::clamp<uint32_t>(rows, 1, std::max<uint32_t>(1, height));
        lineBytes = TIFFScanlineSize64(tif);
        segmentBytes = TIFFStripSize64(tif);
    }
    switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_NEXT:
    case COMPRESSION_THUNDERSCAN:
        return 0;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
        // The runs of two lines, and the line the next one is coded against.
        return Plus(Times(uint64_t{width} + 64, 16), lineBytes);
    case COMPRESSION_JPEG:
        return Times(lineBytes, 64);  // a few rows of blocks
    case COMPRESSION_PIXARLOG:
        return Times(Times(Times(samples, width), rows), sizeof(uint16_t));
    case COMPRESSION_LZMA:  // a dictionary the stream names
    case COMPRESSION_ZSTD:  // a window the stream names
        return StoredStreamBytes(source, compression, cancel);
    case COMPRESSION_WEBP:  // libtiff's copy of the picture, and libwebp's own
        return Plus(segmentBytes, StoredStreamBytes(source, compression, cancel));
    case COMPRESSION_SGILOG:
    case COMPRESSION_SGILOG24:
        return Times(Times(width, rows), 3 * sizeof(float));
    default:
        return segmentBytes;  // decoded whole (old-style JPEG, LERC, JBIG...)
    }
}

std::string Megabytes(uint64_t bytes) {
    return bytes == UINT64_MAX ? std::string("more than can be counted") : std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB";
}

PageRaster Decode(const std::string& path, int pageIndex, const PageRasterLimits& limits,
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
    uint32_t storedWidth = 0, storedHeight = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &storedWidth);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &storedHeight);
    if (storedWidth == 0 || storedHeight == 0) {
        out.error = "The page has no pixels.";
        return out;
    }
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    const bool transposed = OrientationTransposes(orientation);
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    float xres = 0, yres = 0;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres) && TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres) && xres > 0 &&
        yres > 0 && unit != RESUNIT_NONE) {
        const float toInch = unit == RESUNIT_CENTIMETER ? 2.54f : 1.0f;
        out.xResolution = (transposed ? yres : xres) * toInch;
        out.yResolution = (transposed ? xres : yres) * toInch;
    }
    out.pageWidth = transposed ? storedHeight : storedWidth;
    out.pageHeight = transposed ? storedWidth : storedHeight;
    out.reduction = ReductionFor(out.pageWidth, out.pageHeight, limits);
    const uint64_t outWidth = (uint64_t{storedWidth} + out.reduction - 1) / out.reduction;
    const uint64_t outHeight = (uint64_t{storedHeight} + out.reduction - 1) / out.reduction;

    // Boxes of more than kMaxReduction pixels a side would overflow their
    // sums: a page that even they cannot bring within the limits (millions
    // of pixels long) is not shown.
    const uint64_t shownWidth = transposed ? outHeight : outWidth, shownHeight = transposed ? outWidth : outHeight;
    if (shownWidth > std::max<uint32_t>(1, limits.maxWidth) || shownHeight > std::max<uint32_t>(1, limits.maxHeight) ||
        shownWidth * shownHeight > std::max<uint64_t>(1, limits.maxPixels)) {
        out.error = "The page is too large to show: it is " + std::to_string(out.pageWidth) + " x " +
                    std::to_string(out.pageHeight) + " pixels.";
        return out;
    }

    std::unique_ptr<PageReader> reader;
    SampleLayout layout;
    if (ReadSampleLayout(tif, layout))
        reader = std::make_unique<NativeReader>(diagnostics, source, layout, storedWidth, storedHeight);
    else
        reader = std::make_unique<RgbaReader>(diagnostics, source, storedWidth, storedHeight);
    if (!reader->Prepare(out.error))
        return out;

    // Everything the decoding will hold at once, counted before any of it
    // is allocated: a file of a few hundred bytes can claim gigabytes.
    const uint64_t rasterBytes = Times(Times(outWidth, outHeight), 3);
    const uint64_t needed =
        Plus(Plus(Plus(reader->WorkingBytes(), CodecWorkingBytes(source, cancel)), Times(rasterBytes, transposed ? 2 : 1)),
             BoxReducer::WorkingBytes(outWidth, storedWidth, out.reduction));
    if (needed > limits.maxWorkingBytes || outWidth > INT_MAX || outHeight > INT_MAX) {
        out.error = "The page is too large to show: decoding it would take " + Megabytes(needed) + " of memory.";
        return out;
    }
    out.width = static_cast<int>(outWidth);
    out.height = static_cast<int>(outHeight);
    out.rgb.assign(static_cast<size_t>(rasterBytes), 0xFF);

    BoxReducer reducer(out, storedWidth, storedHeight, out.reduction);
    // A decoding error that libtiff only reports (and reads on past) still
    // means the page is not what the file holds.
    diagnostics.SetError(std::string());
    const bool read = reader->Read(reducer, cancel, out.error);
    if (Cancelled(cancel)) {
        out.cancelled = true;
        out.rgb.clear();
        return out;
    }
    if (!read || reducer.rowsDone() != storedHeight || !diagnostics.lastError().empty()) {
        if (out.error.empty())
            out.error = "The page cannot be decoded.";
        if (!diagnostics.lastError().empty())
            out.error += " " + diagnostics.lastError();
        out.rgb.clear();
        return out;
    }
    ApplyOrientation(out.rgb, out.width, out.height, orientation);
    return out;
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
    // Whatever a file does, the caller gets a page or a message.
    PageRaster failed;
    try {
        return Decode(path, pageIndex, limits, cancel);
    } catch (const std::bad_alloc&) {
        failed.error = "There is not enough memory to show the page.";
    } catch (const std::exception& e) {
        failed.error = std::string("The page cannot be decoded (") + e.what() + ").";
    }
    return failed;
}

}  // namespace pw
