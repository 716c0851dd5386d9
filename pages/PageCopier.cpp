#include "pages/PageCopier.h"

#include <algorithm>
#include <string>
#include <vector>

#include "pages/TiffTagCopy.h"

namespace pw {
namespace {

// Schemes whose stored data stays valid when copied into another file
// together with the tags CopyPageTags(AsStored) copies: the data depends
// only on those tags and on the file's byte order, which the copy keeps.
bool CanCopyStored(uint16_t compression)
{
    switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
    case COMPRESSION_LZW:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_JPEG:  // with its JPEGTables tag
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_JBIG:
    case COMPRESSION_PIXARLOG:
    case COMPRESSION_SGILOG:
    case COMPRESSION_SGILOG24:
    case COMPRESSION_LZMA:
    case COMPRESSION_ZSTD:
    case COMPRESSION_WEBP:
    case COMPRESSION_LERC:  // with its LercParameters tag
        // The scheme must be known to the writer too: it alone makes the
        // scheme's own tags (predictor, fax options, tables) writable.
        return TIFFIsCODECConfigured(compression) != 0;
    default:
        return false;
    }
}

uint32_t StripCount(TIFF* tif)
{
    return TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
}

// Uncompressed data shorter than its rows cannot be read back.
uint64_t UncompressedStripSize(TIFF* in, uint32_t strip)
{
    if (TIFFIsTiled(in))
        return TIFFTileSize64(in);
    uint32_t height = 0, rowsPerStrip = 0;
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(in, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::max<uint32_t>(1, std::min(rowsPerStrip, height));
    const uint32_t stripsPerPlane = (height + rowsPerStrip - 1) / rowsPerStrip;
    const uint32_t firstRow = (strip % std::max<uint32_t>(1, stripsPerPlane)) * rowsPerStrip;
    return TIFFVStripSize64(in, std::min(rowsPerStrip, height - firstRow));
}

struct Band {
    uint32_t rows;   // rows decoded at a time
    uint32_t width;
};

Band ConversionBand(TIFF* in)
{
    uint32_t width = 0, height = 0, rows = 0;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &height);
    if (TIFFIsTiled(in))
        TIFFGetField(in, TIFFTAG_TILELENGTH, &rows);
    else
        TIFFGetFieldDefaulted(in, TIFFTAG_ROWSPERSTRIP, &rows);
    return {std::max<uint32_t>(1, std::min(rows, height)), width};
}

bool IsGrey(TIFF* in)
{
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    TIFFGetFieldDefaulted(in, TIFFTAG_PHOTOMETRIC, &photometric);
    return photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
}

bool HasAlpha(TIFF* in)
{
    uint16_t count = 0;
    const uint16_t* types = nullptr;
    return TIFFGetField(in, TIFFTAG_EXTRASAMPLES, &count, &types) && count > 0;
}

bool HasPlausibleSize(TIFF* in)
{
    uint32_t width = 0, height = 0;
    uint16_t bitsPerSample = 1, samples = 1;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samples);
    const uint64_t pixels = uint64_t{width} * height;
    const uint64_t bitsPerPixel = uint64_t{bitsPerSample} * samples;
    if (pixels == 0 || bitsPerPixel == 0)
        return false;
    return pixels <= PageCopier::kMaxPageBytes * 8 / bitsPerPixel;
}

void SetPageNumber(TIFF* out, uint32_t pageNumber, uint32_t pageTotal)
{
    if (pageNumber <= 0xFFFF && pageTotal <= 0xFFFF)
        TIFFSetField(out, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(pageNumber), static_cast<uint16_t>(pageTotal));
}

}  // namespace

bool PageCopier::Fail(const std::string& error)
{
    diagnostics_.SetError(error);
    return false;
}

bool PageCopier::Plan(int index, PagePlan& plan)
{
    diagnostics_.SetError(std::string());
    if (!source_.SelectPage(index)) {
        if (diagnostics_.lastError().empty())
            diagnostics_.SetError("Cannot read page " + std::to_string(index + 1));
        return false;
    }
    TIFF* in = source_.tiff();
    plan.index = index;
    if (!HasPlausibleSize(in))
        return Fail("The page claims an impossible size");
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    if (CanCopyStored(compression))
        return PlanStoredCopy(in, compression, plan);
    if (TIFFIsCODECConfigured(compression))
        return PlanConversion(in, plan);
    return Fail("Compression scheme " + std::to_string(compression) + " is not supported");
}

bool PageCopier::PlanStoredCopy(TIFF* in, uint16_t compression, PagePlan& plan)
{
    const uint64_t fileSize = source_.fileSize();
    const uint32_t count = StripCount(in);
    if (count == 0)
        return Fail("The page has no image data");
    // Every strip has its offset in the file, so a sound page cannot have
    // more strips than the file has bytes; this bounds the loop below.
    if (count > fileSize / 4 + 1)
        return Fail("The page claims more strips than the file can hold");

    std::vector<std::pair<uint64_t, uint64_t>> stretches;
    stretches.reserve(count);
    for (uint32_t strip = 0; strip < count; ++strip) {
        int offsetError = 0, sizeError = 0;
        const uint64_t offset = TIFFGetStrileOffsetWithErr(in, strip, &offsetError);
        const uint64_t size = TIFFGetStrileByteCountWithErr(in, strip, &sizeError);
        if (offsetError || sizeError)
            return Fail("Cannot read the position of strip " + std::to_string(strip));
        if (size == 0 || offset == 0)
            return Fail("Strip " + std::to_string(strip) + " of the page has no data");
        if (offset > fileSize || size > fileSize - offset)
            return Fail("Strip " + std::to_string(strip) + " lies beyond the end of the file");
        if (compression == COMPRESSION_NONE && size < UncompressedStripSize(in, strip))
            return Fail("Strip " + std::to_string(strip) + " is shorter than its rows");
        stretches.emplace_back(offset, offset + size);
    }
    // Strips that share or overlap bytes are copied as the bytes they
    // cover, once.
    std::sort(stretches.begin(), stretches.end());
    uint64_t total = 0;
    uint64_t covered = 0;
    for (const auto& [start, end] : stretches) {
        total += end - std::max(start, std::min(covered, end));
        covered = std::max(covered, end);
    }
    storedBytesPlanned_ += total;
    if (storedBytesPlanned_ > fileSize)
        return Fail("The pages' data is larger than the file");
    plan.method = PagePlan::Method::CopyStored;
    plan.outputBytesBound = total + PageTagBytesBound(in, count);
    return true;
}

bool PageCopier::PlanConversion(TIFF* in, PagePlan& plan)
{
    char message[1024] = "";
    if (!TIFFRGBAImageOK(in, message))
        return Fail(message);
    const Band band = ConversionBand(in);
    if (uint64_t{band.width} * band.rows * 4 > kMaxConvertBand)
        return Fail("The page is too large to convert");
    uint32_t height = 0;
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &height);
    const uint64_t pixels = uint64_t{band.width} * height * 4;
    plan.method = PagePlan::Method::Convert;
    // Deflate adds at most a few bytes per 16 KiB block to what it stores.
    plan.outputBytesBound = pixels + pixels / 64 + PageTagBytesBound(in, height / band.rows + 1) + 4096;
    return true;
}

PageCopier::Result PageCopier::Write(const PagePlan& plan, TIFF* out, uint32_t pageNumber, uint32_t pageTotal)
{
    diagnostics_.SetError(std::string());
    if (!source_.SelectPage(plan.index)) {
        if (diagnostics_.lastError().empty())
            diagnostics_.SetError("Cannot read page " + std::to_string(plan.index + 1));
        return Result::SourceFailed;
    }
    TIFF* in = source_.tiff();
    const Result result = plan.method == PagePlan::Method::CopyStored ? WriteStoredCopy(in, out) : WriteConversion(in, out);
    if (result != Result::Written)
        return result;
    SetPageNumber(out, pageNumber, pageTotal);
    return TIFFWriteDirectory(out) ? Result::Written : Result::OutputFailed;
}

PageCopier::Result PageCopier::WriteStoredCopy(TIFF* in, TIFF* out)
{
    std::string error;
    if (!CopyPageTags(in, out, TagSet::AsStored, error)) {
        diagnostics_.SetError(error);
        return Result::SourceFailed;
    }
    const uint32_t count = StripCount(in);
    if (StripCount(out) != count) {
        diagnostics_.SetError("The page's strips cannot be copied");
        return Result::SourceFailed;
    }
    const bool tiled = TIFFIsTiled(in) != 0;
    std::vector<uint8_t> buffer;
    for (uint32_t strip = 0; strip < count; ++strip) {
        uint64_t offset = TIFFGetStrileOffset(in, strip);
        uint64_t left = TIFFGetStrileByteCount(in, strip);
        while (left > 0) {
            const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, kCopyChunk));
            if (buffer.size() < piece)
                buffer.resize(piece);
            if (!source_.ReadAt(offset, buffer.data(), piece)) {
                diagnostics_.SetError("Cannot read strip " + std::to_string(strip));
                return Result::SourceFailed;
            }
            const tmsize_t written = tiled ? TIFFWriteRawTile(out, strip, buffer.data(), static_cast<tmsize_t>(piece))
                                           : TIFFWriteRawStrip(out, strip, buffer.data(), static_cast<tmsize_t>(piece));
            if (written != static_cast<tmsize_t>(piece))
                return Result::OutputFailed;
            offset += piece;
            left -= piece;
        }
    }
    return Result::Written;
}

PageCopier::Result PageCopier::WriteConversion(TIFF* in, TIFF* out)
{
    char message[1024] = "";
    TIFFRGBAImage image;
    // Stopping at the first damaged strip or tile: a page that libtiff
    // cannot decode whole is not passed on as if it were.
    if (!TIFFRGBAImageBegin(&image, in, 1, message)) {
        diagnostics_.SetError(message);
        return Result::SourceFailed;
    }
    // Rows come in the order the file stores them, so that the page keeps
    // its orientation tag and nothing is flipped.
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(in, TIFFTAG_ORIENTATION, &orientation);
    image.req_orientation = orientation;

    const Band band = ConversionBand(in);
    const uint32_t width = band.width;
    const uint32_t height = image.height;
    const bool grey = IsGrey(in);
    const bool alpha = HasAlpha(in);
    const uint16_t colours = grey ? 1 : 3;
    const uint16_t samples = static_cast<uint16_t>(colours + (alpha ? 1 : 0));

    TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, samples);
    if (alpha) {
        // The decoder hands out alpha premultiplied.
        const uint16_t type = EXTRASAMPLE_ASSOCALPHA;
        TIFFSetField(out, TIFFTAG_EXTRASAMPLES, 1, &type);
    }
    TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(out, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, band.rows);
    std::string error;
    if (!CopyPageTags(in, out, TagSet::Descriptive, error)) {
        TIFFRGBAImageEnd(&image);
        diagnostics_.SetError(error);
        return Result::SourceFailed;
    }

    std::vector<uint32_t> raster(static_cast<size_t>(width) * band.rows);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * band.rows * samples);
    Result result = Result::Written;
    uint32_t strip = 0;
    for (uint32_t row = 0; row < height; row += band.rows, ++strip) {
        const uint32_t rows = std::min(band.rows, height - row);
        image.row_offset = static_cast<int>(row);
        image.col_offset = 0;
        if (!TIFFRGBAImageGet(&image, raster.data(), width, rows)) {
            if (diagnostics_.lastError().empty())
                diagnostics_.SetError("Cannot decode rows " + std::to_string(row) + " and on");
            result = Result::SourceFailed;
            break;
        }
        uint8_t* to = pixels.data();
        const size_t count = static_cast<size_t>(width) * rows;
        for (size_t i = 0; i < count; ++i) {
            const uint32_t pixel = raster[i];
            *to++ = static_cast<uint8_t>(TIFFGetR(pixel));
            if (!grey) {
                *to++ = static_cast<uint8_t>(TIFFGetG(pixel));
                *to++ = static_cast<uint8_t>(TIFFGetB(pixel));
            }
            if (alpha)
                *to++ = static_cast<uint8_t>(TIFFGetA(pixel));
        }
        if (TIFFWriteEncodedStrip(out, strip, pixels.data(), static_cast<tmsize_t>(count * samples)) < 0) {
            result = Result::OutputFailed;
            break;
        }
    }
    TIFFRGBAImageEnd(&image);
    return result;
}

}  // namespace pw
