#include "pages/TiffTagCopy.h"

#include <cstring>
#include <iterator>

namespace pw {
namespace {

enum class Kind {
    U16,
    U32,
    Float,
    Double,
    Text,
    U16Pair,         // two uint16 values
    FloatArray,      // a fixed-length float array
    CountedData,     // uint32 count, data
    ColorMap,        // three arrays of 1 << BitsPerSample entries
    TransferFunction,  // one or three such arrays
    ExtraSamples,    // uint16 count, uint16 array
};

struct TagRule {
    ttag_t tag;
    Kind kind;
    bool asStoredOnly;
};

// In the order they are set: sizes and sample layout first, then the
// compression (which makes its own tags known), then everything else.
constexpr TagRule kRules[] = {
    {TIFFTAG_SUBFILETYPE, Kind::U32, false},
    {TIFFTAG_IMAGEWIDTH, Kind::U32, true},
    {TIFFTAG_IMAGELENGTH, Kind::U32, true},
    {TIFFTAG_IMAGEDEPTH, Kind::U32, true},
    {TIFFTAG_BITSPERSAMPLE, Kind::U16, true},
    {TIFFTAG_SAMPLESPERPIXEL, Kind::U16, true},
    {TIFFTAG_SAMPLEFORMAT, Kind::U16, true},
    {TIFFTAG_EXTRASAMPLES, Kind::ExtraSamples, true},
    {TIFFTAG_PLANARCONFIG, Kind::U16, true},
    {TIFFTAG_COMPRESSION, Kind::U16, true},
    {TIFFTAG_PHOTOMETRIC, Kind::U16, true},
    {TIFFTAG_FILLORDER, Kind::U16, true},
    {TIFFTAG_ROWSPERSTRIP, Kind::U32, true},
    {TIFFTAG_TILEWIDTH, Kind::U32, true},
    {TIFFTAG_TILELENGTH, Kind::U32, true},
    {TIFFTAG_TILEDEPTH, Kind::U32, true},
    // Tags of the compression schemes; a scheme that does not know a tag
    // never has it, and the lookup below skips it.
    {TIFFTAG_PREDICTOR, Kind::U16, true},
    {TIFFTAG_GROUP3OPTIONS, Kind::U32, true},
    {TIFFTAG_GROUP4OPTIONS, Kind::U32, true},
    {TIFFTAG_BADFAXLINES, Kind::U32, true},
    {TIFFTAG_CLEANFAXDATA, Kind::U16, true},
    {TIFFTAG_CONSECUTIVEBADFAXLINES, Kind::U32, true},
    {TIFFTAG_JPEGTABLES, Kind::CountedData, true},
    {TIFFTAG_LERC_PARAMETERS, Kind::CountedData, true},
    // Colour and sample interpretation of the stored data.
    {TIFFTAG_COLORMAP, Kind::ColorMap, true},
    {TIFFTAG_TRANSFERFUNCTION, Kind::TransferFunction, true},
    {TIFFTAG_YCBCRSUBSAMPLING, Kind::U16Pair, true},
    {TIFFTAG_YCBCRPOSITIONING, Kind::U16, true},
    {TIFFTAG_YCBCRCOEFFICIENTS, Kind::FloatArray, true},
    {TIFFTAG_REFERENCEBLACKWHITE, Kind::FloatArray, true},
    {TIFFTAG_MINSAMPLEVALUE, Kind::U16, true},
    {TIFFTAG_MAXSAMPLEVALUE, Kind::U16, true},
    {TIFFTAG_SMINSAMPLEVALUE, Kind::Double, true},
    {TIFFTAG_SMAXSAMPLEVALUE, Kind::Double, true},
    {TIFFTAG_THRESHHOLDING, Kind::U16, true},
    {TIFFTAG_INKSET, Kind::U16, true},
    {TIFFTAG_NUMBEROFINKS, Kind::U16, true},
    {TIFFTAG_DOTRANGE, Kind::U16Pair, true},
    // Descriptive.
    {TIFFTAG_ORIENTATION, Kind::U16, false},
    {TIFFTAG_XRESOLUTION, Kind::Float, false},
    {TIFFTAG_YRESOLUTION, Kind::Float, false},
    {TIFFTAG_RESOLUTIONUNIT, Kind::U16, false},
    {TIFFTAG_XPOSITION, Kind::Float, false},
    {TIFFTAG_YPOSITION, Kind::Float, false},
    {TIFFTAG_HALFTONEHINTS, Kind::U16Pair, false},
    {TIFFTAG_WHITEPOINT, Kind::FloatArray, false},
    {TIFFTAG_PRIMARYCHROMATICITIES, Kind::FloatArray, false},
    {TIFFTAG_ICCPROFILE, Kind::CountedData, false},
    {TIFFTAG_DOCUMENTNAME, Kind::Text, false},
    {TIFFTAG_PAGENAME, Kind::Text, false},
    {TIFFTAG_IMAGEDESCRIPTION, Kind::Text, false},
    {TIFFTAG_MAKE, Kind::Text, false},
    {TIFFTAG_MODEL, Kind::Text, false},
    {TIFFTAG_SOFTWARE, Kind::Text, false},
    {TIFFTAG_DATETIME, Kind::Text, false},
    {TIFFTAG_ARTIST, Kind::Text, false},
    {TIFFTAG_HOSTCOMPUTER, Kind::Text, false},
    {TIFFTAG_COPYRIGHT, Kind::Text, false},
    {TIFFTAG_TARGETPRINTER, Kind::Text, false},
    {TIFFTAG_XMLPACKET, Kind::CountedData, false},
    {TIFFTAG_PHOTOSHOP, Kind::CountedData, false},
    {TIFFTAG_RICHTIFFIPTC, Kind::CountedData, false},
};

// Reads one tag from in and sets it on out. Returns 1 when copied, 0 when
// the page does not have it, -1 when out refused it or does not know it.
int CopyTag(TIFF* in, TIFF* out, const TagRule& rule)
{
    const ttag_t tag = rule.tag;
    const bool outKnows = TIFFFindField(out, tag, TIFF_ANY) != nullptr;
    // Evaluated only once the source's value is in hand.
    auto Set = [&](auto... values) { return outKnows && TIFFSetField(out, tag, values...) != 0; };
    bool set = false;
    switch (rule.kind) {
    case Kind::U16: {
        uint16_t value = 0;
        if (!TIFFGetField(in, tag, &value))
            return 0;
        set = Set(value);
        break;
    }
    case Kind::U32: {
        uint32_t value = 0;
        // The strip height libtiff reads with is the one the strips were cut
        // by, whether the tag is there or not.
        const int got = tag == TIFFTAG_ROWSPERSTRIP ? (TIFFIsTiled(in) ? 0 : TIFFGetFieldDefaulted(in, tag, &value))
                                                    : TIFFGetField(in, tag, &value);
        if (!got)
            return 0;
        set = Set(value);
        break;
    }
    case Kind::Float: {
        float value = 0;
        if (!TIFFGetField(in, tag, &value))
            return 0;
        set = Set(static_cast<double>(value));
        break;
    }
    case Kind::Double: {
        double value = 0;
        if (!TIFFGetField(in, tag, &value))
            return 0;
        set = Set(value);
        break;
    }
    case Kind::Text: {
        const char* value = nullptr;
        if (!TIFFGetField(in, tag, &value) || value == nullptr)
            return 0;
        set = Set(value);
        break;
    }
    case Kind::U16Pair: {
        uint16_t first = 0, second = 0;
        if (!TIFFGetField(in, tag, &first, &second))
            return 0;
        set = Set(first, second);
        break;
    }
    case Kind::FloatArray: {
        const float* values = nullptr;
        if (!TIFFGetField(in, tag, &values) || values == nullptr)
            return 0;
        set = Set(values);
        break;
    }
    case Kind::CountedData: {
        uint32_t count = 0;
        const void* data = nullptr;
        if (!TIFFGetField(in, tag, &count, &data) || data == nullptr || count == 0)
            return 0;
        set = Set(count, data);
        break;
    }
    case Kind::ColorMap: {
        const uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(in, tag, &red, &green, &blue) || red == nullptr || green == nullptr || blue == nullptr)
            return 0;
        set = Set(red, green, blue);
        break;
    }
    case Kind::TransferFunction: {
        const uint16_t* curves[3] = {nullptr, nullptr, nullptr};
        if (!TIFFGetField(in, tag, &curves[0], &curves[1], &curves[2]) || curves[0] == nullptr)
            return 0;
        set = Set(curves[0], curves[1] ? curves[1] : curves[0], curves[2] ? curves[2] : curves[0]);
        break;
    }
    case Kind::ExtraSamples: {
        uint16_t count = 0;
        const uint16_t* types = nullptr;
        if (!TIFFGetField(in, tag, &count, &types) || count == 0 || types == nullptr)
            return 0;
        set = Set(count, types);
        break;
    }
    }
    return set ? 1 : -1;
}

}  // namespace

bool CopyPageTags(TIFF* in, TIFF* out, TagSet set, std::string& error)
{
    for (const TagRule& rule : kRules) {
        if (set == TagSet::Descriptive && rule.asStoredOnly)
            continue;
        // Asking libtiff for a tag it does not know (a scheme's tag on a page
        // of another scheme) would be reported as an error.
        if (TIFFFindField(in, rule.tag, TIFF_ANY) == nullptr)
            continue;
        if (rule.tag == TIFFTAG_TILEWIDTH || rule.tag == TIFFTAG_TILELENGTH || rule.tag == TIFFTAG_TILEDEPTH) {
            if (!TIFFIsTiled(in))
                continue;
        }
        // A tag of the stored data that the output cannot carry would leave
        // the copy unreadable; a descriptive one is only lost.
        if (CopyTag(in, out, rule) < 0 && rule.asStoredOnly) {
            error = "Cannot write tag " + std::to_string(rule.tag) + " of the page";
            return false;
        }
    }
    return true;
}

uint64_t PageTagBytesBound(TIFF* in, uint64_t stripCount)
{
    // Header-free directory: count, link, and an entry of 20 bytes for the
    // two strip tables and the page number, plus the tables themselves.
    uint64_t bytes = 16 + 3 * 20 + stripCount * 16;
    uint16_t bitsPerSample = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    const uint64_t curveBytes = bitsPerSample <= 16 ? uint64_t{2} << bitsPerSample : 0;
    for (const TagRule& rule : kRules) {
        if (TIFFFindField(in, rule.tag, TIFF_ANY) == nullptr)
            continue;
        uint64_t payload = 0;
        bool present = false;
        switch (rule.kind) {
        case Kind::CountedData: {
            uint32_t count = 0;
            const void* data = nullptr;
            // Counts are in units of the tag's type: at most 8 bytes each.
            present = TIFFGetField(in, rule.tag, &count, &data) != 0;
            payload = uint64_t{count} * 8;
            break;
        }
        case Kind::Text: {
            const char* text = nullptr;
            present = TIFFGetField(in, rule.tag, &text) != 0 && text != nullptr;
            payload = present ? std::strlen(text) + 1 : 0;
            break;
        }
        case Kind::ColorMap:
        case Kind::TransferFunction: {
            const uint16_t* curves[3] = {nullptr, nullptr, nullptr};
            present = TIFFGetField(in, rule.tag, &curves[0], &curves[1], &curves[2]) != 0;
            payload = 3 * curveBytes;
            break;
        }
        case Kind::ExtraSamples: {
            uint16_t count = 0;
            const uint16_t* types = nullptr;
            present = TIFFGetField(in, rule.tag, &count, &types) != 0;
            payload = uint64_t{count} * 2;
            break;
        }
        default: {
            // At most a few numbers: room for eight of 8 bytes each, more
            // than any of these tags holds. The value is not looked at.
            uint64_t scratch[8] = {};
            present = rule.kind == Kind::FloatArray || rule.kind == Kind::U16Pair
                          ? TIFFGetField(in, rule.tag, &scratch[0], &scratch[1]) != 0
                          : TIFFGetField(in, rule.tag, &scratch[0]) != 0;
            payload = 64;
            break;
        }
        }
        if (present)
            bytes += 20 + payload;
    }
    return bytes;
}

}  // namespace pw
